#pragma once

#include "core/Fingerprint.h"
#include "core/FingerprintQueue.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// What the command line asked for.
struct StoryCrcOptions
{
    bool sum = false;
    bool recurse = false;
    std::string compare;
    std::vector<std::string> names;
    bool sfv = false;   // "name CRC" lines, a list that check reads
    bool check = false; // the names are lists to check
    bool quiet = false; // with check: no line for a file that is OK
};

// Files read ahead of the report at most: enough to keep both workers busy, few enough that
// a huge tree costs no memory.
constexpr std::size_t kReadAhead = 64;

// Where CRC lines go and how they are formed; shared by plain files and folder walks. Files
// are fingerprinted ahead on two workers; their lines and the total follow the order in
// which they were added, exactly as if each were read in turn.
class CrcReport
{
public:
    // CRC lines and the total go to `out`, folders that cannot be listed and names left out
    // to `err`. Uses `options`' sum, compare and sfv, which must outlive the report.
    CrcReport(std::ostream& out, std::ostream& err, const StoryCrcOptions& options);

    // Adds `path` and reports the files before it whose CRCs are ready. In sum mode adds the
    // CRC to total() and prints nothing; with sfv prints sfvLine(shown, CRC); otherwise prints
    // "<CRC>\t<shown>[match]". Throws FileException (as fileCrc) at the first file that cannot
    // be read: the files before it are reported, none after it. With sfv, a `shown` that holds
    // a line end is reported on `err` and left out, unread.
    void add(const std::string& path, std::string shown);
    // Reports every file added so far; throws as add.
    void flush();
    // Reports every file added so far, then "Failed to list folder: <shown>" on `err`; the
    // run goes on, but is no longer complete(). Throws as add.
    void unlistedFolder(const std::string& shown);
    // No folder was left unlisted and no name left out of a list.
    bool complete() const { return m_complete; }
    // The sum of the CRCs reported, modulo 2^32.
    std::uint32_t total() const { return m_total; }

private:
    void reportNext();

    std::ostream& m_out;
    std::ostream& m_err;
    const StoryCrcOptions& m_options;
    bool m_complete = true;
    std::uint32_t m_total = 0;
    core::FingerprintQueue m_queue;
    std::deque<std::string> m_shown; // the printed names of the files in m_queue, in order
};

// The CRC-32 of the file at `path`; a path that does not exist is looked up without regard to
// case. Nothing when it cannot be opened or read; then `error`, when given, says which.
std::optional<std::uint32_t> findAndFingerprint(const std::string& path,
                                                FingerprintError* error = nullptr);

// The CRC-32 of the file at `path` plus `seed`, modulo 2^32. A path that does not exist is
// looked up without regard to case (names from response files are upper-cased).
// Throws FileException "Failed to open file: <path>" when it cannot be opened and "Failed to
// read file: <path>" when it cannot be read to its end.
std::uint32_t fileCrc(const std::string& path, std::uint32_t seed);

// "\t**matched CRC**" when `compare` is exactly crcText(value), else "".
std::string matchText(const std::string& compare, std::uint32_t value);

// Runs the main flow after command-line parsing: CRC lines (with check, the outcome of each
// entry, as checkLists) on `out`, error reports and the elapsed-time line on `err`; the list
// "-" is read from `in`. `startTick` is platform::tickCount() at program start.
// Returns the exit status: 0, or 1 when an error was reported, "Failed to write output"
// (`out` failed) and folders that could not be listed included, a name was left out of a list,
// or a check failed.
int runStoryCrc(const StoryCrcOptions& options, std::uint32_t startTick, std::istream& in,
                std::ostream& out, std::ostream& err);
