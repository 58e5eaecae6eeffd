#include "platform/AtomicFile.h"

#include "platform/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// The file a write to `path` must replace: the target of a symbolic link, else `path`.
std::string resolveTarget(const std::string& path)
{
    struct stat st
    {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(path.c_str(), nullptr)) {
            std::string target(real);
            std::free(real);
            return target;
        }
    }
    return path;
}

std::string temporaryName(const std::string& target)
{
    static std::atomic<unsigned> counter{0};
    return target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

bool writeAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t n = write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void fail(std::string* errorText)
{
    if (errorText) {
        *errorText = lastErrorText();
    }
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view content, Durability durability,
                         std::string* errorText)
{
    const std::string target = resolveTarget(path);
    const std::string temp = temporaryName(target);
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        fail(errorText);
        return false;
    }
    struct stat old
    {};
    if (stat(target.c_str(), &old) == 0) {
        fchmod(fd, old.st_mode & 07777); // best effort: keep the file's permissions
    }
    bool ok = writeAll(fd, content);
    if (ok && durability == Durability::Flush) {
        ok = fsync(fd) == 0;
    }
    if (ok) {
        ok = close(fd) == 0;
    } else {
        const int saved = errno;
        close(fd);
        errno = saved;
    }
    if (ok && rename(temp.c_str(), target.c_str()) == 0) {
        return true;
    }
    fail(errorText);
    const int saved = errno;
    unlink(temp.c_str()); // best effort
    errno = saved;
    return false;
}

bool makeFolders(const std::string& folder)
{
    std::string partial;
    std::size_t pos = 0;
    while (pos <= folder.size()) {
        const std::size_t slash = folder.find('/', pos);
        const std::size_t end = slash == std::string::npos ? folder.size() : slash;
        partial = folder.substr(0, end);
        if (!partial.empty()) {
            mkdir(partial.c_str(), 0777); // existing folders are fine
        }
        if (slash == std::string::npos) {
            break;
        }
        pos = slash + 1;
    }
    struct stat st
    {};
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace platform
