#include "export/CFileChooser.h"

#include "scan/FileFilters.h"

#include <cassert>

CFileChooser::CFileChooser(Kind kind, std::string filter, std::string title, QWidget* parent,
                           Runner runner)
    : m_kind(kind), m_filter(std::move(filter)), m_title(std::move(title)), m_parent(parent),
      m_runner(std::move(runner))
{
    assert(m_runner);
}

CFileChooser::Result CFileChooser::show()
{
    m_chosenFile.clear();
    std::optional<std::string> chosen = m_runner(*this);
    if (!chosen || chosen->empty()) {
        return Result::Cancel;
    }
    m_chosenFile = std::move(*chosen);
    return Result::Ok;
}

std::vector<CFileChooser::FilterItem> CFileChooser::filterItems() const
{
    std::vector<std::string> tokens;
    splitTokens(m_filter, "|", tokens);
    std::vector<FilterItem> items;
    for (std::size_t i = 0; i + 1 < tokens.size(); i += 2) {
        items.push_back({tokens[i], tokens[i + 1]});
    }
    return items;
}
