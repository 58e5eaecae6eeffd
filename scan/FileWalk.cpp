#include "scan/FileWalk.h"

#include "platform/FileSystem.h"

void findAllFiles(const std::string& root, std::vector<CFileEntry>& out,
                  std::vector<std::string>* unlisted)
{
    platform::walkTree(
        root,
        [&](const std::string& folder, const platform::FolderEntry& entry) {
            if (!entry.isFolder) {
                out.push_back({folder + entry.name});
            }
            return true;
        },
        [&](const std::string& folder) {
            if (unlisted) {
                unlisted->push_back(folder);
            }
        });
}
