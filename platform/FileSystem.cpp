// What the file-system services of every system share; each system's side is in
// FileSystemPosix.cpp or FileSystemWin.cpp.

#include "platform/FileSystem.h"

#include "platform/RandomAccessFile.h"

namespace platform {

std::string withTrailingSeparator(std::string path)
{
    if (path.empty() || !isPathSeparator(path.back())) {
        path += kPathSeparator;
    }
    return path;
}

void walkTree(const std::string& root,
              const std::function<bool(const std::string& folder, const FolderEntry& entry)>& visit,
              const std::function<void(const std::string& folder)>& unlisted)
{
    std::vector<std::string> stack{root};
    while (!stack.empty()) {
        const std::string folder = withTrailingSeparator(std::move(stack.back()));
        stack.pop_back();
        const auto entries = listFolder(folder);
        if (!entries) {
            if (unlisted) {
                unlisted(folder);
            }
            continue;
        }
        for (const FolderEntry& entry : *entries) {
            if (visit(folder, entry) && entry.isFolder && !entry.isLink) {
                stack.push_back(folder + entry.name);
            }
        }
    }
}

std::optional<std::string> readWholeFile(const std::string& path)
{
    const auto file = RandomAccessFile::open(path);
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const auto n = file->readAt(content.size(), buffer, sizeof buffer);
        if (!n) {
            return std::nullopt;
        }
        if (*n == 0) {
            return content;
        }
        content.append(buffer, *n);
    }
}

} // namespace platform
