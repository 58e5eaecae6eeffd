#pragma once

// The harness the fuzz targets share. Each target is one LLVMFuzzerTestOneInput, run by
// libFuzzer or by ReplayMain.cpp over saved inputs; a broken property aborts through
// fuzz::check, so that libFuzzer keeps the input as a crash.

#include "platform/FileSystem.h"
#include "platform/Trace.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

inline std::string_view bytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Unless `ok`, reports the broken property `what`, with `detail` escaped, and aborts.
inline void check(bool ok, const char* what, std::string_view detail = {})
{
    if (ok) {
        return;
    }
    std::fprintf(stderr, "property broken: %s\ndetail: \"", what);
    for (const char c : detail) {
        const bool plain = c >= 32 && c < 127 && c != '"' && c != '\\';
        std::fprintf(stderr, plain ? "%c" : "\\x%02X", static_cast<unsigned char>(c));
    }
    std::fputs("\"\n", stderr);
    std::abort();
}

// A folder of this process's own under $TMPDIR, ending in '/', removed at a normal exit
// (libFuzzer does not always exit so: run-fuzzers.sh removes its whole TMPDIR).
inline const std::string& scratchFolder()
{
    // Never destroyed: the exit handler needs it after the static destructors.
    static const std::string* const folder = [] {
        std::string path = (std::filesystem::temp_directory_path() / "quelt-fuzz-XXXXXX").string();
        check(mkdtemp(path.data()) != nullptr, "cannot create a scratch folder", path);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return new std::string(path + "/");
    }();
    return *folder;
}

// Replaces the scratch file `name` with `content`; returns its path.
inline std::string writeScratch(const std::string& name, std::string_view content)
{
    const std::string path = scratchFolder() + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    check(static_cast<bool>(file.write(content.data(), std::streamsize(content.size()))),
          "cannot write a scratch file", path);
    return path;
}

inline std::string readWhole(const std::string& path)
{
    return platform::readWholeFile(path).value_or("");
}

// Silences the debug-output channel, which some code under test writes to on every call.
inline void quietTrace()
{
    platform::setTraceSink([](std::string_view) {});
}

// `text` read whole as a number of type T (decimal digits, after a '-' if T is signed), else 0.
template <class T> T numberOrZero(std::string_view text)
{
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : T{};
}

// `text` cut at each `separator`, the last part keeping any beyond `maxParts`.
inline std::vector<std::string> split(std::string_view text, char separator,
                                      std::size_t maxParts = SIZE_MAX)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (parts.size() + 1 < maxParts && (at = text.find(separator)) != text.npos) {
        parts.emplace_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    parts.emplace_back(text);
    return parts;
}

// The lines as a line reader sees them: no empty line after a final line end, and one
// carriage return at a line's end dropped.
inline std::vector<std::string> lines(std::string_view text)
{
    std::vector<std::string> result = split(text, '\n');
    if (text.empty() || text.back() == '\n') {
        result.pop_back();
    }
    for (std::string& line : result) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
    }
    return result;
}

} // namespace fuzz
