#include "scan/FileWalk.h"

#include "platform/FileSystem.h"

void findAllFiles(const std::string& root, std::vector<CFileEntry>& out)
{
    platform::walkTree(root, [&](const std::string& folder, const platform::FolderEntry& entry) {
        if (!entry.isFolder) {
            out.push_back({folder + entry.name});
        }
        return true;
    });
}
