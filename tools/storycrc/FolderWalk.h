#pragma once

#include <string>

class CrcReport;

// A wildcard argument split into the folder to walk (ending in '/') and the name pattern.
struct ResolvedPattern
{
    std::string folder;
    std::string pattern;
};

// Splits `name` at its last '/'; a relative folder part is taken from the current directory.
// Throws FileException "[folder] <system text>" when the folder does not exist.
ResolvedPattern resolvePattern(const std::string& name);

// Adds to `report` every file of `folder` (and, with `recurse`, of every folder below it)
// whose name matches `pattern`. Folders are listed in byte order of their names; the
// subfolders met in a folder are walked after it, the last one first. Links to folders are
// not descended. Throws FileException (from `report`) when a matching file cannot be read.
void walkFolder(const std::string& folder, const std::string& pattern, bool recurse,
                CrcReport& report);
