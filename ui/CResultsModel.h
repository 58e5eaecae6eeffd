#pragma once

#include "ui/ResultCells.h"

#include <QAbstractTableModel>

#include <vector>

// The rows of the results list, each an array of one cell per column. Texts are kept as
// bytes and become QString only when the view asks for them.
class CResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit replaces the cell's text only, and only when the text shown was changed.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    void appendRow(const ui::CellRow& cells);
    // Replaces every row.
    void setRows(std::vector<ui::CellRow> rows);
    // The cell at (row, column); both must be in range.
    const ui::Cell& cell(int row, int column) const;

    // Reorders the rows by the texts of `column` as read with capacity 256, folded to lower
    // case: direction +1 puts the greatest first, -1 the smallest. Equal rows keep their order.
    // Selections and current cells held by views follow their rows.
    void sortRows(int column, int direction);

private:
    std::vector<ui::CellRow> m_rows;
};
