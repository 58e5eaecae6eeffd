#pragma once

#include <string>

// One file found by the folder walk. Its size and times are not part of it: the walk does
// not look at each file, and the scan asks for them only where it needs them.
struct CFileEntry
{
    std::string path; // folder path (ending in '/') + the name as listed; case kept
};
