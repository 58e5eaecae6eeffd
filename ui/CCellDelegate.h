#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

// Draws each cell's text in the cell's own colour, also in a selected row, and opens a
// single-line editor named "cellEditor" over an editable cell.
class CCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

    // The editor last opened, while it exists.
    QWidget* lastEditor() const { return m_editor; }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    mutable QPointer<QWidget> m_editor;
};
