#pragma once

#include "scan/CFileEntry.h"

#include <string>
#include <vector>

// Appends to `out` every file of `root` and of every folder below it. All files of a folder
// come before those of its subfolders; subfolders are walked depth first, the last one listed
// first. Links to folders are not descended; a folder that cannot be listed (the root
// included) is skipped, and appended to `unlisted` when given, ending in '/'. `root` may end
// in '/' or not. As platform::listFolder, the walk does not look at each file.
void findAllFiles(const std::string& root, std::vector<CFileEntry>& out,
                  std::vector<std::string>* unlisted = nullptr);
