#include "scan/FileFilters.h"

#include <boost/tokenizer.hpp>

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

bool endsWithAny(const std::string& list, const std::string& path)
{
    std::vector<std::string> tokens;
    splitTokens(list, ",", tokens);
    for (const std::string& token : tokens) {
        if (path.ends_with(token)) {
            return true;
        }
    }
    return false;
}
