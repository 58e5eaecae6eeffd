#pragma once

#include "scan/CFileEntry.h"

#include <cstdint>
#include <string>
#include <vector>

// Appends to `out` every file of `root` and of every folder below it. All files of a folder
// come before those of its subfolders; subfolders are walked depth first, the last one listed
// first. Links to folders are not descended; a folder that cannot be listed is skipped without
// a word. `root` may end in '/' or not.
// Returns the sum of the full sizes of every entry listed, in 64 bits: 0 means that no file
// under `root` has any content.
std::uint64_t findAllFiles(const std::string& root, std::vector<CFileEntry>& out);
