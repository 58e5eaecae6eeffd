#pragma once

#include "batch/CommandLine.h"

#include <iosfwd>
#include <optional>

namespace batch {

// Does what the window's Scan, Save and Make do, for `options`: loads the catalogue, scans the
// folder through the window's fingerprint cache, prints the rows the window would show to
// `out` (tab-separated, fingerprint order) and the line "N: games found." or
// "no games found.", then writes the files asked for, byte for byte as Save and Make write
// them. With `showProgress`, the scan's progress is rewritten in place on `err`. Returns the
// exit status: kExitFailure, with the reason on `err`, when the catalogue cannot be loaded, the
// folder does not exist or an output cannot be written.
int runScan(const Options& options, std::ostream& out, std::ostream& err, bool showProgress);

// QueltImport's command line, short of the window: nothing when the window is to be opened
// (no arguments), otherwise the exit status once the scan, the help, the version or a usage
// error is done. Progress shows only when standard error is a terminal and --quiet is not
// given.
std::optional<int> runWithoutWindow(int argc, const char* const* argv);

} // namespace batch
