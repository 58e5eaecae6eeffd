#include "ui/FileDialogs.h"

#include "export/CFileChooser.h"

#include <QFileDialog>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace ui {
namespace {

FolderPicker& installedPicker()
{
    static FolderPicker picker;
    return picker;
}

QString local(const std::string& text)
{
    return QString::fromLocal8Bit(text);
}

std::optional<std::string> runFileDialog(const CFileChooser& chooser)
{
    QFileDialog dialog(chooser.parent(), local(chooser.title()));
    const bool save = chooser.kind() == CFileChooser::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A typed name is used as typed, and an existing file is replaced without asking.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const CFileChooser::FilterItem& item : chooser.filterItems()) {
        filters << local(nameFilter(item.description, item.pattern));
    }
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst().toLocal8Bit().toStdString();
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

} // namespace

void installFileDialogs()
{
    CFileChooser::setRunner(runFileDialog);
    setFolderPicker(runFolderDialog);
}

FolderPicker setFolderPicker(FolderPicker picker)
{
    return std::exchange(installedPicker(), std::move(picker));
}

std::string nameFilter(const std::string& description, const std::string& patterns)
{
    std::string spaced = patterns;
    std::replace(spaced.begin(), spaced.end(), ';', ' ');
    const std::string suffix = "(" + spaced + ")";
    if (description.size() >= suffix.size() &&
        description.compare(description.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return description;
    }
    return description + " " + suffix;
}

} // namespace ui

bool browseForFolder(QWidget* owner, const std::string& initialFolder, const std::string& title,
                     std::string& chosenPath)
{
    const ui::FolderPicker& picker = ui::installedPicker();
    std::optional<std::string> chosen =
        picker ? picker(owner, initialFolder, title) : std::optional<std::string>();
    if (!chosen || chosen->empty()) {
        return false;
    }
    chosenPath = std::move(*chosen);
    return true;
}
