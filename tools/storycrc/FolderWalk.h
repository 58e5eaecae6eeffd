#pragma once

#include <string>

class CrcReport;

// A wildcard argument split into the folder to walk and the name pattern.
struct ResolvedPattern
{
    std::string folder; // as found on disk, ending in a separator
    std::string pattern;
    std::string shownFolder; // as typed (relative ones made absolute): printed paths begin so
    std::string typedFolder; // as typed, ending in a separator; empty when none was typed
};

// Splits `name` at its last separator; a relative folder part is taken from the current
// directory. A folder that does not exist as typed is looked for without regard to case (names
// from response files are upper-cased). Throws FileException "[folder] <system text>" when it
// does not exist either way.
ResolvedPattern resolvePattern(const std::string& name);

// Adds to `report` every file of `folder` (ending in a separator; with `recurse`, also of every
// folder below it) whose name matches `pattern`. Folders are listed in byte order of their
// names; the subfolders met in a folder are walked after it, the last one first. Links to
// folders are not descended; a folder that cannot be listed goes to report.unlistedFolder().
// Printed paths begin with `shownFolder` in place of `folder`. Throws FileException (from
// `report`) when a matching file cannot be opened or read.
void walkFolder(const std::string& folder, const std::string& shownFolder,
                const std::string& pattern, bool recurse, CrcReport& report);
