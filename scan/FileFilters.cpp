#include "scan/FileFilters.h"

#include <boost/tokenizer.hpp>

#include <algorithm>

unsigned splitTokens(const std::string& text, const std::string& delimiters,
                     std::vector<std::string>& tokens)
{
    tokens.clear();
    // Passing the delimiters explicitly keeps the separator from falling back to blanks.
    const boost::char_separator<char> separator(delimiters.c_str());
    const boost::tokenizer<boost::char_separator<char>> tokenizer(text, separator);
    tokens.assign(tokenizer.begin(), tokenizer.end());
    return static_cast<unsigned>(tokens.size());
}

EndingList::EndingList(const std::string& list)
{
    splitTokens(list, ",", m_endings);
}

bool EndingList::matches(std::string_view path) const
{
    return std::any_of(m_endings.begin(), m_endings.end(),
                       [path](const std::string& ending) { return path.ends_with(ending); });
}

bool endsWithAny(const std::string& list, const std::string& path)
{
    return EndingList(list).matches(path);
}
