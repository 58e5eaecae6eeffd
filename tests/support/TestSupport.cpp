#include "tests/support/TestSupport.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "quelt-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern + "/";
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

ProcessResult runCommand(const std::string& commandLine, const std::string& workingDir)
{
    TempDir capture;
    const std::string outPath = capture / "out";
    const std::string errPath = capture / "err";
    const std::string shell = "cd " + shellQuoted(workingDir) + " && " + commandLine + " >" +
                              shellQuoted(outPath) + " 2>" + shellQuoted(errPath) + " </dev/null";
    const int raw = std::system(shell.c_str());
    ProcessResult result;
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

TimeLimit::TimeLimit(unsigned seconds)
{
    alarm(seconds);
}

TimeLimit::~TimeLimit()
{
    alarm(0);
}

} // namespace testsupport
