#include "ui/CCellDelegate.h"

#include <QLineEdit>

#include <limits>

QWidget* CCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                     const QModelIndex& /*index*/) const
{
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("cellEditor"));
    editor->setFrame(false);
    // The default limit of 32,767 characters would cut a longer cell just by opening it.
    editor->setMaxLength(std::numeric_limits<int>::max());
    m_editor = editor;
    return editor;
}

void CCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant foreground = index.data(Qt::ForegroundRole);
    if (!foreground.canConvert<QBrush>()) {
        return;
    }
    const QBrush brush = qvariant_cast<QBrush>(foreground);
    option->palette.setBrush(QPalette::Active, QPalette::HighlightedText, brush);
    option->palette.setBrush(QPalette::Inactive, QPalette::HighlightedText, brush);
    if (option->widget != nullptr) {
        // A disabled list draws its cells in the disabled text colour.
        const QPalette& own = option->widget->palette();
        option->palette.setBrush(QPalette::Disabled, QPalette::Text,
                                 own.brush(QPalette::Disabled, QPalette::Text));
        option->palette.setBrush(QPalette::Disabled, QPalette::HighlightedText,
                                 own.brush(QPalette::Disabled, QPalette::Text));
    }
}
