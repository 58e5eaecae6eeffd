#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CFileChooser;
class QFileDialog;
class QWidget;

namespace ui {

// Shows a folder picker; the chosen folder, or nothing when cancelled.
using FolderPicker = std::function<std::optional<std::string>(
    QWidget* owner, const std::string& initialFolder, const std::string& title)>;

// Installs the toolkit's file dialog as the runner of every CFileChooser and its folder
// dialog as the folder picker. The program does this once at start-up; tests install
// answers instead (CFileChooser::setRunner, setFolderPicker).
void installFileDialogs();

// Installs the folder picker for the process; returns the previous one.
FolderPicker setFolderPicker(FolderPicker picker);

// The toolkit's file dialog for `chooser`, not yet shown.
std::unique_ptr<QFileDialog> makeFileDialog(const CFileChooser& chooser);

// The toolkit's filter text for a chooser filter item: what the dialog shows (the description,
// followed by its patterns in parentheses unless it already ends with a parenthesised part),
// then in parentheses the patterns the dialog matches with, "*.*" matching every name.
std::string nameFilter(const std::string& description, const std::string& patterns);

} // namespace ui

// Shows the folder picker owned by `owner` with `title`, preselecting `initialFolder` (none
// when empty). True with the folder in `chosenPath` when the user picked one.
bool browseForFolder(QWidget* owner, const std::string& initialFolder, const std::string& title,
                     std::string& chosenPath);
