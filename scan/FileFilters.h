#pragma once

#include <string>
#include <string_view>
#include <vector>

// The names that make a file a candidate story file; matched against lower-cased paths.
inline constexpr const char* kStoryExtensions = ".dat,.zip,.z1,.z2,.z3,.z4,.z5,.z6,.z7,.z8";

// Empties `tokens`, then fills it with the maximal runs of `text` that hold none of the
// characters of `delimiters`: no empty tokens, nothing trimmed. Returns their number.
unsigned splitTokens(const std::string& text, const std::string& delimiters,
                     std::vector<std::string>& tokens);

// The endings of a comma-separated list such as kStoryExtensions, split once for testing
// many paths.
class EndingList
{
public:
    explicit EndingList(const std::string& list);
    // Whether `path` ends with one of the endings, compared byte for byte (case-sensitive).
    // False for an empty list.
    bool matches(std::string_view path) const;

private:
    std::vector<std::string> m_endings;
};

// EndingList(list).matches(path), for a single test.
bool endsWithAny(const std::string& list, const std::string& path);
