#include "scan/FileWalk.h"

#include "platform/FileSystem.h"

std::uint64_t findAllFiles(const std::string& root, std::vector<CFileEntry>& out)
{
    std::uint64_t total = 0;
    platform::walkTree(root, [&](const std::string& folder, const platform::FolderEntry& entry) {
        total += entry.size;
        if (!entry.isFolder) {
            out.push_back({folder + entry.name, static_cast<std::uint32_t>(entry.size),
                           entry.stampLo, entry.stampHi});
        }
        return true;
    });
    return total;
}
