#pragma once

#include "core/GameSet.h"
#include "ui/ResultCells.h"

#include <QTableView>

#include <array>
#include <string>

class CCellDelegate;
class CResultsModel;
class QMenu;

// The results list: one row per game, with a cell in each column, sortable by any column,
// with the Warnings and FullName cells editable in place. Rows keep their own texts: edits
// change what is shown, copied and saved, never the records the rows were made from.
//
// It keeps a current cell (row and column, -1 when none) that follows the selected row and
// that Left and Right move within the row. The list takes every key while it has the focus
// except Tab and Shift+Tab, which move on to the dialog's other controls.
class CResultsList : public QTableView
{
    Q_OBJECT

public:
    static constexpr int kCopyCommand = 32772;
    static constexpr int kDeleteCommand = 32774;

    explicit CResultsList(QWidget* parent = nullptr);

    // Replaces every row by one row per game, in fingerprint order.
    void showGames(const GameSet& games);
    // Appends one row for `game` below the existing rows.
    void addGameRow(const CGame& game);
    int rowCount() const;
    // The text of one cell cut to capacity - 1 bytes; empty when the cell does not exist.
    std::string cellText(int row, int column, int capacity) const;
    // The whole text of one cell, as Save and Make write it; empty when it does not exist.
    std::string cellText(int row, int column) const;
    // The five cells of `row` that Copy writes, all but Check (each cut to 255 bytes), joined
    // by commas, no line end.
    std::string rowLine(int row) const;

    int selectedRow() const; // -1 when none
    int currentRow() const;  // -1 when none
    int currentColumn() const;

    // Reorders the rows by `column`: direction +1 descending, -1 ascending (ASCII case folded).
    void sortRows(int column, int direction);

    // Shares the list's client width among the columns, 3 parts each to FingerPrint, Serial #
    // and Check, 8 each to Filename, Warnings and FullName; from then on again whenever that
    // width changes, also as the vertical scrollbar comes or goes (but not when only the
    // height does, as the horizontal scrollbar comes for a column dragged wide).
    void fitColumns();
    static std::array<int, ui::kColumnCount> proportionalWidths(int clientWidth);
    // Brings the row of `index` into view; never scrolls sideways.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

public slots:
    // Puts rowLine() of the selected row on the clipboard, each carriage return followed by
    // a line feed. Nothing without a selected row.
    void OnCopy();
    // Deletes the selected row, if any; the current cell goes with it.
    void OnDelete();
    // Deletes every row.
    void OnClear();
    // Shows the popup menu at `globalPos` when a row is selected and a current cell exists.
    void OnListRightClick(const QPoint& globalPos);

signals:
    // A command chosen in the popup menu: kCopyCommand or kDeleteCommand.
    void commandChosen(int command);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void setUpLook();
    void setUpMenu();
    void leftPress(QMouseEvent* event, const QModelIndex& index);
    // Opens the editor on the current cell when it is editable; `key` is passed on to it.
    bool editCurrentCell(QKeyEvent* key);
    void moveCurrentColumn(int delta);
    void clearCurrentCell();
    // Commits and closes an open in-place editor, giving the focus back to the list.
    void closeOpenEditor();
    // Makes the selected row the current row, keeping the current column (0 when none).
    void followSelection();

    CResultsModel* m_model;
    CCellDelegate* m_delegate;
    QMenu* m_menu = nullptr;    // "OUTPUT", with the actions "Copy" and "Delete"
    bool m_ctrlClicked = false; // the left button went down with Ctrl held
    int clientWidth() const;
    bool m_fitsColumns = false; // fitColumns() has run: the widths follow the client width
    int m_fittedWidth = -1;     // the client width the columns were last fitted to
};
