#pragma once

// The harness the fuzz targets share. Each target is one LLVMFuzzerTestOneInput, run by
// libFuzzer or ReplayMain.cpp in a scratch folder of its own as the current folder. A broken
// property aborts through fuzz::check, so that libFuzzer keeps the input as a crash.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

inline std::string_view bytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Unless `ok`, reports the broken property `what` and aborts.
inline void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// Replaces the file `name` of the current folder with `content`; returns the name.
inline std::string writeScratch(const std::string& name, std::string_view content)
{
    check(static_cast<bool>(std::ofstream(name, std::ios::binary) << content),
          "cannot write a scratch file");
    return name;
}

// `text` read whole as a number of type T (decimal digits, after a '-' if T is signed), else 0.
template <class T> T numberOrZero(std::string_view text)
{
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : T{};
}

// `text` cut at each `separator`.
inline std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    for (std::size_t at; (at = text.find(separator)) != text.npos; text.remove_prefix(at + 1)) {
        parts.emplace_back(text.substr(0, at));
    }
    parts.emplace_back(text);
    return parts;
}

// The lines as a line reader sees them: none after a final line end, a carriage return at the
// end of a line dropped.
inline std::vector<std::string> lines(std::string_view text)
{
    std::vector<std::string> result;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        result.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
    }
    return result;
}

} // namespace fuzz
