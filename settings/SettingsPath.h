#pragma once

#include <string>

namespace Orvane {

// The settings file of the program at `programPath`, in the program's folder: the program's
// file name without its extension (only the file name is searched for the '.'), followed by
// "_settings.xml". "/opt/my.tools/QueltImport" gives "/opt/my.tools/QueltImport_settings.xml",
// "/opt/tools/QueltImport.bin" gives "/opt/tools/QueltImport_settings.xml". Empty when
// `programPath` is.
std::string settingsPathFor(const std::string& programPath);

} // namespace Orvane
