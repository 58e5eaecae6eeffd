#include "platform/FileSystem.h"

#include "platform/AsciiCase.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::int64_t kFileTimeOf1970 = 116444736000000000LL;

struct DirCloser
{
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Builds the listing entry for `ent` in the open folder `dirFd`; nothing when the entry is
// neither a regular file nor a folder (after following a link) or vanished meanwhile.
std::optional<FolderEntry> describeEntry(int dirFd, const dirent& ent)
{
    const char* name = ent.d_name;
    if (ent.d_type == DT_REG || ent.d_type == DT_DIR) {
        return FolderEntry{name, ent.d_type == DT_DIR};
    }
    struct stat st
    {};
    if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    FolderEntry entry;
    entry.name = name;
    if (S_ISLNK(st.st_mode)) {
        entry.isLink = true;
        if (fstatat(dirFd, name, &st, 0) != 0) {
            return std::nullopt; // dangling link
        }
    }
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    entry.isFolder = S_ISDIR(st.st_mode);
    return entry;
}

bool equalIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

// The name in `folder` equal to `component` without regard to case, if any.
std::optional<std::string> matchComponent(const std::string& folder, const std::string& component)
{
    if (component == "." || component == "..") {
        return component;
    }
    DirHandle dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir) {
        return std::nullopt;
    }
    std::vector<std::string> matches;
    while (const dirent* ent = readdir(dir.get())) {
        if (equalIgnoringAsciiCase(ent->d_name, component)) {
            matches.emplace_back(ent->d_name);
        }
    }
    if (matches.empty()) {
        return std::nullopt;
    }
    return *std::min_element(matches.begin(), matches.end());
}

} // namespace

std::optional<FileStatus> statPath(const std::string& path, std::string* errorText)
{
    struct stat st
    {};
    if (stat(path.c_str(), &st) != 0) {
        if (errorText) {
            *errorText = lastErrorText();
        }
        return std::nullopt;
    }
    return FileStatus{S_ISDIR(st.st_mode), static_cast<std::uint64_t>(st.st_size),
                      lastWriteFileTime(st)};
}

std::optional<std::vector<FolderEntry>> listFolder(const std::string& folder)
{
    DirHandle dir(opendir(folder.c_str()));
    if (!dir) {
        return std::nullopt;
    }
    const int dirFd = dirfd(dir.get());
    std::vector<FolderEntry> entries;
    while (const dirent* ent = readdir(dir.get())) {
        if (std::strcmp(ent->d_name, ".") == 0 || std::strcmp(ent->d_name, "..") == 0) {
            continue;
        }
        if (auto entry = describeEntry(dirFd, *ent)) {
            entries.push_back(std::move(*entry));
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

std::uint64_t fileTimeFromUnixNanoseconds(std::int64_t nanoseconds)
{
    // Floor division keeps times before 1970 monotonic.
    std::int64_t ticks = nanoseconds / 100;
    if (nanoseconds % 100 < 0) {
        --ticks;
    }
    return static_cast<std::uint64_t>(ticks + kFileTimeOf1970);
}

std::uint64_t lastWriteFileTime(const struct stat& st)
{
    return fileTimeFromUnixNanoseconds(static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL +
                                       st.st_mtim.tv_nsec);
}

std::optional<std::string> findPathIgnoringCase(const std::string& path)
{
    struct stat st
    {};
    if (path.empty()) {
        return std::nullopt;
    }
    if (lstat(path.c_str(), &st) == 0) {
        return path;
    }
    std::string resolved = path.front() == '/' ? "/" : "";
    std::size_t pos = 0;
    while (pos < path.size()) {
        const std::size_t slash = path.find('/', pos);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        if (end > pos) {
            std::string component = path.substr(pos, end - pos);
            std::string candidate = resolved + component;
            if (lstat(candidate.c_str(), &st) != 0) {
                auto match = matchComponent(resolved, component);
                if (!match) {
                    return std::nullopt;
                }
                candidate = resolved + *match;
            }
            resolved = std::move(candidate);
            if (slash != std::string::npos) {
                resolved += '/';
            }
        }
        pos = end + 1;
    }
    return resolved;
}

std::string currentDirectory()
{
    std::string buffer(256, '\0');
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return ".";
        }
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

bool isAbsolutePath(std::string_view path)
{
    return path.starts_with('/');
}

std::string lastErrorText()
{
    return std::strerror(errno);
}

} // namespace platform
