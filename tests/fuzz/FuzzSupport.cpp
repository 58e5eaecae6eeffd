#include "tests/fuzz/FuzzSupport.h"

#include "platform/Trace.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace fuzz {
namespace {

std::string makeScratchFolder()
{
    std::error_code ignored;
    const bool tmpDirSet = std::getenv("TMPDIR") != nullptr;
    const fs::path base = !tmpDirSet && fs::is_directory("/dev/shm", ignored)
                              ? fs::path("/dev/shm")
                              : fs::temp_directory_path();
    std::string pattern = (base / "quelt-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a scratch folder under " + base.string());
    }
    return pattern + "/";
}

void removeScratchFolder()
{
    std::error_code ignored;
    fs::remove_all(scratchFolder(), ignored);
}

} // namespace

const std::string& scratchFolder()
{
    // Kept for the whole run: the exit handler below still needs it after static destructors.
    static const std::string* const folder = [] {
        const auto* made = new std::string(makeScratchFolder());
        std::atexit(removeScratchFolder);
        return made;
    }();
    return *folder;
}

void writeScratch(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        fail("cannot write a scratch file", path);
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        fail("short write of a scratch file", path);
    }
    std::fclose(file);
}

std::string readWhole(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
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
