#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QWidget;

// One use of the modal open/save file dialog. The filter is a list of description and
// pattern pairs, every item followed by '|' ("Inno Files (*.ISS)|*.ISS|All files (*.*)|*.*|").
// No default extension is added to a typed name, there is no overwrite prompt and no check
// that the file exists. The dialog itself is shown by the runner the chooser is given: the
// toolkit's dialog in the program, one that answers at once in tests.
class CFileChooser
{
public:
    enum class Kind
    {
        Open,
        Save
    };
    enum class Result
    {
        Ok,
        Cancel
    };
    struct FilterItem
    {
        std::string description;
        std::string pattern; // one or more patterns separated by ';'
    };
    // Shows the dialog for `chooser`; the chosen path, or nothing when cancelled or failed.
    using Runner = std::function<std::optional<std::string>(const CFileChooser& chooser)>;

    // `runner` is required.
    CFileChooser(Kind kind, std::string filter, std::string title, QWidget* parent, Runner runner);

    // Shows the dialog through the runner; Ok with the path in chosenFile(), Cancel otherwise.
    Result show();

    Kind kind() const { return m_kind; }
    const std::string& filter() const { return m_filter; }
    const std::string& title() const { return m_title; }
    QWidget* parent() const { return m_parent; }
    const std::string& chosenFile() const { return m_chosenFile; }
    // The filter's description and pattern pairs; an unpaired last description is dropped.
    std::vector<FilterItem> filterItems() const;

private:
    Kind m_kind;
    std::string m_filter;
    std::string m_title;
    QWidget* m_parent;
    Runner m_runner;
    std::string m_chosenFile;
};
