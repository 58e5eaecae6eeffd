#include "scan/FileWalk.h"

#include "platform/FileSystem.h"
#include "platform/PatternMatch.h"

#include <utility>

std::uint64_t findFiles(const std::string& root, const std::string& pattern, bool recurse,
                        std::vector<CFileEntry>& out)
{
    std::uint64_t total = 0;
    std::vector<std::string> stack{root};
    while (!stack.empty()) {
        std::string folder = std::move(stack.back());
        stack.pop_back();
        if (folder.empty() || folder.back() != '/') {
            folder += '/';
        }
        const auto entries = platform::listFolder(folder);
        if (!entries) {
            continue;
        }
        for (const platform::FolderEntry& entry : *entries) {
            if (!platform::matchesPattern(entry.name, pattern)) {
                continue;
            }
            total += entry.size;
            if (!entry.isFolder) {
                out.push_back({folder + entry.name, static_cast<std::uint32_t>(entry.size),
                               entry.stampLo, entry.stampHi});
            } else if (recurse && !entry.isLink) {
                stack.push_back(folder + entry.name);
            }
        }
    }
    return total;
}

std::uint64_t findAllFiles(const std::string& root, std::vector<CFileEntry>& out)
{
    return findFiles(root, "*.*", true, out);
}
