#include "scan/FileWalk.h"

#include "platform/FileSystem.h"
#include "platform/PatternMatch.h"

std::uint64_t findFiles(const std::string& root, const std::string& pattern, bool recurse,
                        std::vector<CFileEntry>& out)
{
    std::uint64_t total = 0;
    platform::walkTree(root, [&](const std::string& folder, const platform::FolderEntry& entry) {
        // The pattern selects folders as well as files, as the platform's listing did.
        if (!platform::matchesPattern(entry.name, pattern)) {
            return false;
        }
        total += entry.size;
        if (!entry.isFolder) {
            out.push_back({folder + entry.name, static_cast<std::uint32_t>(entry.size),
                           entry.stampLo, entry.stampHi});
        }
        return recurse;
    });
    return total;
}

std::uint64_t findAllFiles(const std::string& root, std::vector<CFileEntry>& out)
{
    return findFiles(root, "*.*", true, out);
}
