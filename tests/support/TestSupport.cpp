#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#ifdef _WIN32
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir(const std::string& parent)
{
    const fs::path folder = parent.empty() ? fs::temp_directory_path() : fs::path(parent);
    std::random_device random;
    fs::path path;
    do {
        path = folder / ("quelt-test-" + std::to_string(random()));
    } while (!fs::create_directory(path));
    fs::permissions(path, fs::perms::owner_all);
    m_path = path.string() + static_cast<char>(fs::path::preferred_separator);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    // Tests may remove permissions; give them back so everything can be removed.
    for (auto it = fs::recursive_directory_iterator(m_path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(m_path, ignored);
}

std::string TempDir::operator/(std::string_view relative) const
{
    return m_path + std::string(relative);
}

void writeFile(const std::string& path, std::string_view content)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void expectGolden(const std::string& name, const std::string& actual)
{
    const std::string path = std::string(QUELT_GOLDEN_DIR) + name;
    const char* update = std::getenv("QUELT_UPDATE_GOLDEN");
    if (update != nullptr && std::string_view(update) == "1") {
        writeFile(path, actual);
        return;
    }
    EXPECT_EQ(actual, readFile(path)) << "golden file " << path;
}

std::string bytesWithCrc(std::uint32_t crc)
{
    // Walk the register back over four zero bytes, then fold in the initial value.
    static const auto table = [] {
        std::uint32_t t[256];
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t r = i;
            for (int k = 0; k < 8; ++k) {
                r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
            }
            t[i] = r;
        }
        return std::to_array(t);
    }();
    std::uint32_t reg = crc ^ 0xFFFFFFFFu;
    for (int step = 0; step < 4; ++step) {
        std::uint32_t i = 0;
        while ((table[i] >> 24) != (reg >> 24)) {
            ++i;
        }
        reg = ((reg ^ table[i]) << 8) | i;
    }
    reg ^= 0xFFFFFFFFu;
    std::string bytes(4, '\0');
    for (std::size_t k = 0; k < 4; ++k) {
        bytes[k] = static_cast<char>((reg >> (8 * k)) & 0xFF);
    }
    return bytes;
}

#ifdef _WIN32

// For cmd.exe, which takes no quotes within a name.
std::string shellQuoted(std::string_view text)
{
    std::string quoted = "\"";
    quoted += text;
    return quoted + '"';
}

namespace {
std::atomic<unsigned> armedLimit{0}; // the TimeLimit in force, 0 for none
} // namespace

// Windows has no alarm(): a detached thread ends the program unless the limit was disarmed.
TimeLimit::TimeLimit(unsigned seconds)
{
    static std::atomic<unsigned> made{0};
    const unsigned id = ++made;
    armedLimit = id;
    std::thread([id, seconds] {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        if (armedLimit == id) {
            std::fputs("Time limit reached\n", stderr);
            std::_Exit(3);
        }
    }).detach();
}

TimeLimit::~TimeLimit()
{
    armedLimit = 0;
}

#else

std::string shellQuoted(std::string_view text)
{
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::optional<std::string> asNobody(const std::string& groups)
{
    if (geteuid() != 0) {
        return "";
    }
    if (access("/usr/bin/setpriv", X_OK) != 0) {
        return std::nullopt;
    }
    return "/usr/bin/setpriv --reuid=65534 --regid=65534 " +
           (groups.empty() ? std::string("--clear-groups ") : "--groups=" + groups + " ");
}

TimeLimit::TimeLimit(unsigned seconds)
{
    alarm(seconds);
}

TimeLimit::~TimeLimit()
{
    alarm(0);
}

#endif

ProcessResult runCommand(const std::string& commandLine, const std::string& workingDir,
                         const std::string& input)
{
    TempDir capture;
    const std::string outPath = capture / "out";
    const std::string errPath = capture / "err";
#ifdef _WIN32
    // "cd /d" changes the drive too. The line must not begin with a quote: cmd.exe would take
    // off the first and the last.
    const std::string cd = "cd /d ", nothing = "NUL";
#else
    const std::string cd = "cd ", nothing = "/dev/null";
#endif
    const std::string shell = cd + shellQuoted(workingDir) + " && " + commandLine + " >" +
                              shellQuoted(outPath) + " 2>" + shellQuoted(errPath) + " <" +
                              (input.empty() ? nothing : shellQuoted(input));
    int status = std::system(shell.c_str());
#ifndef _WIN32
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return {readFile(outPath), readFile(errPath), status};
}

} // namespace testsupport
