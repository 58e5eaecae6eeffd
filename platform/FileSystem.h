#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct stat;

namespace platform {

// The separator the system writes between the parts of a path, and those it reads: Windows
// takes '/' as well as its own '\'.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
constexpr bool isPathSeparator(char c)
{
    return c == '\\' || c == '/';
}
#else
inline constexpr char kPathSeparator = '/';
constexpr bool isPathSeparator(char c)
{
    return c == '/';
}
#endif

// `path` with kPathSeparator added unless it ends in a separator already.
std::string withTrailingSeparator(std::string path);

// Whether `path` is taken as it stands rather than from the current directory: it begins with
// a separator (on Windows also: its second character is a colon, after a drive letter).
bool isAbsolutePath(std::string_view path);

// What `stat` (following links) says of a path. On Windows a link's own attributes: a link to
// a folder is a folder, one to a file has size 0.
struct FileStatus
{
    bool isFolder = false;
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0; // last-write time as a Windows FILETIME
};

// Status of `path`, or nothing when it does not exist or cannot be examined; then
// `errorText` (when given) receives the system's text for the failure.
std::optional<FileStatus> statPath(const std::string& path, std::string* errorText = nullptr);

// One entry of a folder listing. Only regular files and folders are listed.
struct FolderEntry
{
    std::string name;
    bool isFolder = false;
    bool isLink = false; // a symbolic link (or a junction); walks never descend such folders
};

// The entries of `folder` in ascending byte order of their names, "." and ".." left out,
// dot-files included. FIFOs, sockets, devices and dangling links are not listed (opening
// a FIFO would block). Nothing when the folder cannot be opened. Entries the folder's own
// listing names as a regular file or a folder (most file systems do) are not looked at one
// by one: a walk of a tree costs no system call per file. Windows lists no FIFOs or devices;
// names come with their kinds there, so a dangling link is listed (and fails to open).
std::optional<std::vector<FolderEntry>> listFolder(const std::string& folder);

// Lists `root` and the folders below it with an explicit stack (no recursion, so depth costs
// memory, not call depth). `visit` sees every entry of every folder listed, with that folder's
// path ending in a separator, and returns whether to walk into an entry that is a folder; folders
// reached through a link are never walked into. The folders met in one folder are walked
// after it, the last one met first. A folder that cannot be listed, the root included, is
// handed to `unlisted` (when given), ending in a separator, and the walk goes on without it.
void walkTree(const std::string& root,
              const std::function<bool(const std::string& folder, const FolderEntry& entry)>& visit,
              const std::function<void(const std::string& folder)>& unlisted = {});

// 100-ns intervals since 1601-01-01 UTC for a time in nanoseconds since 1970-01-01 UTC.
std::uint64_t fileTimeFromUnixNanoseconds(std::int64_t nanoseconds);

// The last-write time of `st` as such a FILETIME.
std::uint64_t lastWriteFileTime(const struct stat& st);

// `path` itself when it exists; otherwise the existing path whose components equal those of
// `path` without regard to ASCII case (first match in listing order); nothing when none does.
std::optional<std::string> findPathIgnoringCase(const std::string& path);

// Every byte of the regular file at `path`; nothing when it cannot be opened (as
// RandomAccessFile::open: folders, FIFOs and devices are refused) or a read fails.
std::optional<std::string> readWholeFile(const std::string& path);

// The current working directory, without a trailing separator except for the root (on
// Windows, a drive's root: "C:\").
std::string currentDirectory();

// The system's text for the last failed call (errno; on Windows GetLastError), without a line
// end.
std::string lastErrorText();

} // namespace platform
