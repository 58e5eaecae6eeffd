// The file-system services on Windows, through the wide Win32 calls (std::filesystem cannot
// tell a link from its target without a look at each file).

#include "platform/FileSystem.h"

#include "platform/WideTextWin.h"

#include <windows.h>

#include <algorithm>
#include <system_error>

namespace platform {
namespace {

std::uint64_t fileTime(const FILETIME& time)
{
    return std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime;
}

// Whether a listed entry is a symbolic link or a junction (its reparse tag is in dwReserved0).
// Other reparse points, such as files kept in the cloud, are ordinary files and folders.
bool isLink(const WIN32_FIND_DATAW& found)
{
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
            found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
}

} // namespace

bool isAbsolutePath(std::string_view path)
{
    return (!path.empty() && isPathSeparator(path.front())) || (path.size() >= 2 && path[1] == ':');
}

std::optional<FileStatus> statPath(const std::string& path, std::string* errorText)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const auto wide = wideFromUtf8(path);
    if (!wide || !GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data)) {
        if (errorText) {
            *errorText = lastErrorText();
        }
        return std::nullopt;
    }
    return FileStatus{(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                      std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow,
                      fileTime(data.ftLastWriteTime)};
}

std::optional<std::vector<FolderEntry>> listFolder(const std::string& folder)
{
    const auto search = wideFromUtf8(withTrailingSeparator(folder) + "*");
    if (!search) {
        return std::nullopt;
    }
    WIN32_FIND_DATAW found{};
    // The basic level leaves out the short 8.3 names; a large fetch asks for more per call.
    HANDLE find = FindFirstFileExW(search->c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        // The root of an empty drive holds not even "." and "..": nothing found is no failure.
        if (GetLastError() == ERROR_FILE_NOT_FOUND) {
            return std::vector<FolderEntry>{};
        }
        return std::nullopt;
    }
    std::vector<FolderEntry> entries;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") {
            entries.push_back({utf8FromWide(name),
                               (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                               isLink(found)});
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
    // Byte order of the UTF-8 names, as on POSIX: the same tree is walked in the same order.
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

// Windows' file systems compare names without regard to case themselves.
std::optional<std::string> findPathIgnoringCase(const std::string& path)
{
    const auto wide = wideFromUtf8(path);
    if (path.empty() || !wide || GetFileAttributesW(wide->c_str()) == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return path;
}

std::string currentDirectory()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) {
            return ".";
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return utf8FromWide(buffer);
        }
        buffer.resize(length); // the size needed, its terminating zero included
    }
}

// FormatMessage's text, without its line end and final full stop.
std::string lastErrorText()
{
    return std::system_category().message(static_cast<int>(GetLastError()));
}

} // namespace platform
