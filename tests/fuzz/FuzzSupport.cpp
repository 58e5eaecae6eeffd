#include "tests/fuzz/FuzzSupport.h"

#include "platform/FileSystem.h"
#include "platform/Trace.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace fuzz {

const std::string& scratchFolder()
{
    // Kept for the whole run: the exit handler still needs it after static destructors.
    static const std::string* const folder = [] {
        std::string pattern = (fs::temp_directory_path() / "quelt-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            fail("cannot create a scratch folder", pattern);
        }
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratchFolder(), ignored);
        });
        return new std::string(pattern + "/");
    }();
    return *folder;
}

std::string writeScratch(const std::string& name, std::string_view content)
{
    const std::string path = scratchFolder() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || (!content.empty() &&
                  std::fwrite(content.data(), 1, content.size(), file) != content.size())) {
        fail("cannot write a scratch file", path);
    }
    std::fclose(file);
    return path;
}

std::string readWhole(const std::string& path)
{
    return platform::readWholeFile(path).value_or("");
}

void quietTrace()
{
    static const bool once = [] {
        platform::setTraceSink([](std::string_view) {});
        return true;
    }();
    static_cast<void>(once);
}

void fail(const char* what, std::string_view detail)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    if (!detail.empty()) {
        std::fputs("detail: \"", stderr);
        for (const char c : detail) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 32 && byte < 127 && byte != '"' && byte != '\\') {
                std::fputc(byte, stderr);
            } else {
                std::fprintf(stderr, "\\x%02X", byte);
            }
        }
        std::fputs("\"\n", stderr);
    }
    std::abort();
}

} // namespace fuzz
