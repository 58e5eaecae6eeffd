#include "platform/PatternMatch.h"

#include "platform/AsciiCase.h"

namespace platform {
namespace {

// Greedy matching with one backtrack point: linear in practice, O(n*m) at worst.
bool matchesOne(std::string_view name, std::string_view pattern)
{
    if (pattern == "*.*") {
        return true;
    }
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || asciiLower(pattern[p]) == asciiLower(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace

bool matchesPattern(std::string_view name, std::string_view pattern)
{
    for (;;) {
        const std::size_t semicolon = pattern.find(';');
        if (matchesOne(name, pattern.substr(0, semicolon))) {
            return true;
        }
        if (semicolon == std::string_view::npos) {
            return false;
        }
        pattern.remove_prefix(semicolon + 1);
    }
}

} // namespace platform
