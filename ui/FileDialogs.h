#pragma once

#include <functional>
#include <optional>
#include <string>

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

// The toolkit's filter text for a chooser filter item: the description, followed by its
// patterns in parentheses when the description does not already end with them.
std::string nameFilter(const std::string& description, const std::string& patterns);

} // namespace ui

// Shows the folder picker owned by `owner` with `title`, preselecting `initialFolder` (none
// when empty). True with the folder in `chosenPath` when the user picked one.
bool browseForFolder(QWidget* owner, const std::string& initialFolder, const std::string& title,
                     std::string& chosenPath);
