#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// What the command line asked for.
struct StoryCrcOptions
{
    bool sum = false;
    bool recurse = false;
    std::string compare;
    std::vector<std::string> names;
};

// Where CRC lines go and how they are formed; shared by plain files and folder walks.
struct CrcReport
{
    std::ostream& out;
    bool sum = false;
    std::string compare;

    // Fingerprints `path` with `seed` added. In sum mode returns the new running total and
    // prints nothing; otherwise prints "<CRC>\t<shown>[match]" and returns 0.
    std::uint32_t add(const std::string& path, std::uint32_t seed, const std::string& shown) const;
};

// The CRC-32 of the file at `path` plus `seed`, modulo 2^32. A path that does not exist is
// looked up without regard to case (names from response files are upper-cased).
// Throws FileException "Failed to open file: <path>" when it cannot be opened and "Failed to
// read file: <path>" when it cannot be read to its end.
std::uint32_t fileCrc(const std::string& path, std::uint32_t seed);

// "\t**matched CRC**" when `compare` is exactly crcText(value), else "".
std::string matchText(const std::string& compare, std::uint32_t value);

// Runs the main flow after command-line parsing: CRC lines on `out`, error reports and the
// elapsed-time line on `err`. `startTick` is platform::tickCount() at program start.
// Returns the exit status: 0, or 1 when an error was reported, "Failed to write output"
// (`out` failed) included.
int runStoryCrc(const StoryCrcOptions& options, std::uint32_t startTick, std::ostream& out,
                std::ostream& err);
