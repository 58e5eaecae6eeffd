#include "platform/AtomicFile.h"

#include "platform/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// As many links as the kernel follows in one path lookup.
constexpr int kMaxLinks = 40;

// The folder part of `path`, ending in '/', and its last component.
std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {"", path};
    }
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// The file a write to `path` replaces: `path` itself, or the end of the chain of symbolic
// links that starts there, an existing file or a name to create (a plain write through a
// dangling link creates its target). Nothing, with errno set, when a link cannot be read or
// the chain is too long.
std::optional<std::string> resolveTarget(std::string path)
{
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat st
        {};
        if (lstat(path.c_str(), &st) != 0) {
            return errno == ENOENT ? std::optional(path) : std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) {
            return path;
        }
        char link[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), link, sizeof link);
        if (length < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(length) == sizeof link) {
            errno = ENAMETOOLONG;
            return std::nullopt;
        }
        const std::string target(link, static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : splitPath(path).first + target;
    }
    errno = ELOOP;
    return std::nullopt;
}

// Whether the file at `target` may be replaced as a plain write would replace its content:
// it does not exist, or it is a regular file the user may write. `existing` receives an
// existing file's status. False with errno set otherwise.
bool mayReplace(const std::string& target, std::optional<struct stat>& existing)
{
    struct stat st
    {};
    if (stat(target.c_str(), &st) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISREG(st.st_mode)) {
        // A folder, a FIFO or a device: a rename would put a regular file in its place.
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    if (access(target.c_str(), W_OK) != 0) {
        return false;
    }
    existing = st;
    return true;
}

// Gives the new file the owner, group and permission bits of the one it replaces, as a plain
// write keeps them: a file shared through a group keeps its group. Only root may give a file
// away; anyone may hand it to a group they belong to. Best effort. The bits come last: a
// change of owner clears the set-id bits.
void keepOwnership(int fd, const struct stat& existing)
{
    if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        static_cast<void>(fchown(fd, static_cast<uid_t>(-1), existing.st_gid));
    }
    fchmod(fd, existing.st_mode & 07777); // the umask does not apply to the kept bits
}

// What the temporary files of the file named `name` begin with: a dot, so that listings hide
// them, at most 16 bytes of the name, so that a name of 255 bytes still leaves room, and a
// hash of the whole name, so that only this file's temporaries match. The writer's process
// id and a number follow, then ".tmp".
std::string temporaryPrefix(const std::string& name)
{
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", hash);
    return "." + name.substr(0, 16) + "~" + hex + ".";
}

std::string temporaryName(const std::string& folder, const std::string& prefix)
{
    // Starts at random, so that a process that got the id of one killed before is unlikely
    // to meet the temporaries it left (they stay until this process has gone too).
    static std::atomic<std::uint32_t> counter{std::random_device{}()};
    char number[9];
    std::snprintf(number, sizeof number, "%08x", static_cast<unsigned>(counter++));
    return folder + prefix + std::to_string(getpid()) + "." + number + ".tmp";
}

// Removes the temporaries starting with `prefix` in `folder` whose writer no longer runs:
// it was killed between creating and renaming them. Best effort.
void removeStaleTemporaries(const std::string& folder, const std::string& prefix)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()),
                                                  closedir);
    if (!dir) {
        return;
    }
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (!name.starts_with(prefix) || !name.ends_with(".tmp")) {
            continue;
        }
        const std::string_view rest = name.substr(prefix.size());
        pid_t writer = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), writer);
        if (error != std::errc() || writer <= 0 || *end != '.') {
            continue; // never kill(0) or kill(-1): those reach whole groups of processes
        }
        if (kill(writer, 0) != 0 && errno == ESRCH) {
            unlinkat(dirfd(dir.get()), entry->d_name, 0);
        }
    }
}

// Makes a rename in `folder` survive a power cut. Best effort: the file is replaced either way.
void syncFolder(const std::string& folder)
{
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
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

// Copies the bytes of `from` over those of `to` and cuts `to` to their length. The space is
// reserved first where the file system can, so that a full disk fails before the old content
// is touched. False, with errno set, when a call fails.
bool copyOver(int from, int to, Durability durability)
{
    struct stat st
    {};
    if (fstat(from, &st) != 0) {
        return false;
    }
    if (st.st_size > 0 && fallocate(to, FALLOC_FL_KEEP_SIZE, 0, st.st_size) != 0 &&
        errno != EOPNOTSUPP) {
        return false;
    }
    char buffer[65536];
    for (off_t at = 0; at < st.st_size;) {
        const ssize_t n = pread(from, buffer, sizeof buffer, at);
        if (n <= 0 || pwrite(to, buffer, static_cast<std::size_t>(n), at) != n) {
            errno = n == 0 ? EIO : errno; // the temporary file cut short under us
            return false;
        }
        at += n;
    }
    return ftruncate(to, st.st_size) == 0 && (durability != Durability::Flush || fsync(to) == 0);
}

// Copies the complete, flushed file `temp` over the file `target`, for a folder where the user
// may write the file but not rename over it (a sticky folder holding another user's file).
// False, with errno set, when that fails.
bool overwriteInPlace(const std::string& temp, const std::string& target, Durability durability)
{
    const int from = open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        return false;
    }
    const int to = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    bool ok = to >= 0 && copyOver(from, to, durability);
    int error = errno;
    close(from);
    if (to >= 0 && close(to) != 0 && ok) {
        ok = false;
        error = errno;
    }
    errno = error;
    return ok;
}

bool fail(std::string* errorText)
{
    if (errorText) {
        *errorText = lastErrorText();
    }
    return false;
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view content, Durability durability,
                         std::string* errorText)
{
    bool given = false;
    const auto once = [&] {
        const std::string_view piece = given ? std::string_view{} : content;
        given = true;
        return piece;
    };
    return writeFileAtomically(path, once, durability, errorText);
}

bool writeFileAtomically(const std::string& path, const ContentPieces& content,
                         Durability durability, std::string* errorText)
{
    const std::optional<std::string> target = resolveTarget(path);
    std::optional<struct stat> existing;
    if (!target || !mayReplace(*target, existing)) {
        return fail(errorText);
    }
    const std::string folder = splitPath(*target).first;
    const std::string prefix = temporaryPrefix(splitPath(*target).second);
    removeStaleTemporaries(folder, prefix);
    const auto create = [&](std::string& temp) {
        temp = temporaryName(folder, prefix);
        return open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    };
    std::string temp;
    int fd = create(temp);
    // A process that had this one's id before, or a copy of this one made by fork, may
    // hold the name already.
    for (int retry = 0; fd < 0 && errno == EEXIST && retry < 3; ++retry) {
        fd = create(temp);
    }
    if (fd < 0) {
        return fail(errorText);
    }
    if (existing) {
        keepOwnership(fd, *existing);
    }
    bool ok = true;
    try {
        for (std::string_view piece = content(); ok && !piece.empty(); piece = content()) {
            ok = writeAll(fd, piece);
        }
    } catch (...) {
        close(fd);
        unlink(temp.c_str()); // best effort
        throw;
    }
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
    if (ok && rename(temp.c_str(), target->c_str()) == 0) {
        if (durability == Durability::Flush) {
            syncFolder(folder);
        }
        return true;
    }
    if (ok && existing && (errno == EPERM || errno == EACCES)) {
        // A plain write would succeed: the new content, whole and flushed, goes over the old.
        // Should that fail part-way, the temporary file keeps the new content.
        if (!overwriteInPlace(temp, *target, durability)) {
            return fail(errorText);
        }
        unlink(temp.c_str()); // best effort
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
