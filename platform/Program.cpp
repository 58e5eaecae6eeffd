#include "platform/Program.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace platform {
namespace {

std::string withTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home) {
        return home;
    }
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
        return pw->pw_dir;
    }
    return "/tmp";
}

} // namespace

std::string programPath()
{
    std::string buffer(4096, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string programFolder()
{
    const std::string path = programPath();
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string userDataFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::string base =
        (xdg && *xdg == '/') ? std::string(xdg) : homeFolder() + "/.local/share";
    return withTrailingSlash(base) + "QueltImport/";
}

std::string besideProgramFolder()
{
    // A program under /usr was installed by the package manager: its files never go beside
    // it, also when the user (root) could write there.
    const std::string folder = programFolder();
    const bool installed = folder.starts_with("/usr/");
    return !installed && access(folder.c_str(), W_OK) == 0 ? folder : userDataFolder();
}

} // namespace platform
