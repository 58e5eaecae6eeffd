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

// The toolkit's file dialog for `chooser`, shown modally: the chosen path, or nothing.
std::optional<std::string> runFileDialog(const CFileChooser& chooser);

// The toolkit's folder dialog: the chosen folder, or nothing.
std::optional<std::string> runFolderDialog(QWidget* owner, const std::string& initialFolder,
                                           const std::string& title);

// The toolkit's file dialog for `chooser`, not yet shown.
std::unique_ptr<QFileDialog> makeFileDialog(const CFileChooser& chooser);

// The toolkit's filter text for a chooser filter item: what the dialog shows (the description,
// followed by its patterns in parentheses unless it already ends with a parenthesised part),
// then in parentheses the patterns the dialog matches with, "*.*" matching every name.
std::string nameFilter(const std::string& description, const std::string& patterns);

} // namespace ui

// Shows `picker` owned by `owner` with `title`, preselecting `initialFolder` (none when
// empty). True with the folder in `chosenPath` when the user picked one.
bool browseForFolder(const ui::FolderPicker& picker, QWidget* owner,
                     const std::string& initialFolder, const std::string& title,
                     std::string& chosenPath);
