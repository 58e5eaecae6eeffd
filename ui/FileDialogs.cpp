#include "ui/FileDialogs.h"

#include "export/CFileChooser.h"
#include "scan/FileFilters.h"

#include <QDateTime>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QScrollBar>
#include <QStringList>
#include <QTreeView>

#include <algorithm>
#include <utility>
#include <vector>

namespace ui {
namespace {

QString local(const std::string& text)
{
    return QString::fromLocal8Bit(text);
}

// Lets the file dialog's detail view show its columns whole: Size, Type and Date Modified as
// wide as their texts, the name column taking the rest, and the dialog widened as it is first
// shown so that the name column keeps its usual width beside typical texts of the others.
class WholeColumns : public QObject
{
public:
    WholeColumns(QFileDialog* dialog, QTreeView* view)
        : QObject(dialog), m_dialog(dialog), m_view(view),
          m_nameWidth(view->header()->sectionSize(0))
    {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_dialog && event->type() == QEvent::Show) {
            m_dialog->removeEventFilter(this);
            widen();
        }
        return false;
    }

private:
    void widen()
    {
        const QLocale locale = QLocale::system();
        const QString typical[] = {
            locale.formattedDataSize(1023 * 1024 + 1023), QStringLiteral("plain text document"),
            locale.toString(QDateTime(QDate(2000, 12, 28), QTime(23, 59, 59)),
                            QLocale::ShortFormat)};
        const QFontMetrics metrics = m_view->fontMetrics();
        int wanted = m_nameWidth + m_view->verticalScrollBar()->sizeHint().width();
        for (int column = 1; column <= 3; ++column) {
            wanted += std::max(m_view->header()->sectionSizeHint(column),
                               metrics.horizontalAdvance(typical[column - 1]) +
                                   2 * metrics.averageCharWidth());
        }
        const int grow = wanted - m_view->maximumViewportSize().width();
        if (grow > 0) {
            m_dialog->setGeometry(m_dialog->geometry().adjusted(-grow / 2, 0, grow - grow / 2, 0));
        }
    }

    QFileDialog* m_dialog;
    QTreeView* m_view;
    int m_nameWidth;
};

} // namespace

std::optional<std::string> runFileDialog(const CFileChooser& chooser)
{
    const std::unique_ptr<QFileDialog> dialog = makeFileDialog(chooser);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog->selectedFiles().constFirst().toLocal8Bit().toStdString();
}

std::optional<std::string> runFolderDialog(QWidget* owner, const std::string& initialFolder,
                                           const std::string& title)
{
    const QString folder =
        QFileDialog::getExistingDirectory(owner, local(title), local(initialFolder));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder.toLocal8Bit().toStdString();
}

std::unique_ptr<QFileDialog> makeFileDialog(const CFileChooser& chooser)
{
    auto dialog = std::make_unique<QFileDialog>(chooser.parent(), local(chooser.title()));
    // The toolkit's own dialog, whatever the desktop offers: the rules below hold for it.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    const bool save = chooser.kind() == CFileChooser::Kind::Save;
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A typed name is used as typed, and an existing file is replaced without asking.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    // The filter list shows the descriptions alone; the patterns in parentheses after each
    // are what the dialog matches with.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const CFileChooser::FilterItem& item : chooser.filterItems()) {
        filters << local(nameFilter(item.description, item.pattern));
    }
    dialog->setNameFilters(filters);
    if (auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        new WholeColumns(dialog.get(), view);
    }
    return dialog;
}

std::string nameFilter(const std::string& description, const std::string& patterns)
{
    std::vector<std::string> list;
    splitTokens(patterns, ";", list);
    std::string spaced;
    std::string matched;
    for (const std::string& pattern : list) {
        spaced += (spaced.empty() ? "" : " ") + pattern;
        // "*.*" matches every name, also one without a dot, as on the desktop the filters
        // were written for.
        matched += (matched.empty() ? "" : " ") + (pattern == "*.*" ? std::string("*") : pattern);
    }
    const std::string shown = !description.empty() && description.back() == ')'
                                  ? description
                                  : description + " (" + spaced + ")";
    return shown + " (" + matched + ")";
}

} // namespace ui

bool browseForFolder(const ui::FolderPicker& picker, QWidget* owner,
                     const std::string& initialFolder, const std::string& title,
                     std::string& chosenPath)
{
    std::optional<std::string> chosen = picker(owner, initialFolder, title);
    if (!chosen || chosen->empty()) {
        return false;
    }
    chosenPath = std::move(*chosen);
    return true;
}
