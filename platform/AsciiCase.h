#pragma once

#include <string>

namespace platform {

// ASCII case folding: 'A' to 'Z' become 'a' to 'z'; every other byte, those above 127
// included, stays as it is (texts are single-byte code-page bytes, not UTF-8).
constexpr char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string asciiLowered(std::string text)
{
    for (char& c : text) {
        c = asciiLower(c);
    }
    return text;
}

} // namespace platform
