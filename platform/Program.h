#pragma once

#include <string>

namespace platform {

// Full path of the running executable (from /proc/self/exe); empty if it cannot be read.
std::string programPath();

// The folder of `programPath()`, ending in '/'.
std::string programFolder();

// The folder that holds the files that belong beside the program (fingerprint cache,
// settings), ending in '/': the program's own folder when the user may write into it and it
// is not an installed program (under /usr), otherwise the per-user folder
// $XDG_DATA_HOME/QueltImport/ (default
// ~/.local/share/QueltImport/), which the writers create when they first write.
std::string besideProgramFolder();

// The per-user data folder used when the program's folder is read-only, ending in '/'.
std::string userDataFolder();

} // namespace platform
