#pragma once

#include "batch/RowFormats.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace batch {

// Exit statuses of QueltImport without a window.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1; // a catalogue, folder or file the run could not use
inline constexpr int kExitUsage = 2;   // a bad command line

// What a scan without a window does.
struct Options
{
    std::string folder;                   // --scan
    std::optional<std::string> catalogue; // --catalogue
    std::optional<std::string> save;      // --save
    bool gameList = false;                // --gamelist: "gamelist.txt" beside `save`
    std::optional<std::string> installer; // --installer
    std::optional<std::string> missing;   // --missing: the catalogue's games not found
    Format format = Format::Tsv;          // --format
    bool quiet = false;                   // --quiet: no progress on standard error
};

// What the command line asks for.
struct Invocation
{
    enum class Kind
    {
        Window, // no arguments at all
        Scan,   // `options` hold the run
        Exit    // help, version or a usage error printed: end with `status`
    };
    Kind kind = Kind::Window;
    Options options;
    int status = kExitSuccess;
};

// Parses `args` (the program's arguments, its name left out). --help and --version print to
// `out` and exit with 0; a bad command line prints the reason and a hint to `err` and exits
// with kExitUsage.
Invocation parseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err);

} // namespace batch
