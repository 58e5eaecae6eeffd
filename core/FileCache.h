#pragma once

#include "core/StoryFacts.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// A fingerprint a scan learned, valid while the file's stampLo stays the same, and the story
// facts learned with it (nothing when they were not kept: the file is read again).
struct CacheEntry
{
    std::string fingerprint;
    std::uint32_t stampLo = 0;
    std::optional<core::StoryFacts> facts = {};

    bool operator==(const CacheEntry&) const = default;
};

// Lower-cased full path of a story file -> what a scan learned of it, in byte order of paths.
using FileCache = std::map<std::string, CacheEntry>;

namespace core {

// Where scans keep their cache: "filecache.txt" in the folder beside the program (the
// per-user folder when the program's own folder is read-only).
std::string defaultCachePath();

// The entries of a cache file's text, one "key|fingerprint|stampLo" per line. A line that
// does not split into exactly three fields is skipped; a stamp that is not a decimal
// number fitting 32 bits (blanks around it allowed) reads as 0; later lines win; a
// trailing '\r' is ignored.
FileCache parseFileCache(std::string_view text);

// Gives the entries of `cache` the facts of a facts file's text: one line per entry,
// "key|fingerprint|stampLo|size|check|version|release|serial|declaredLength|checksum|sum|
// declaredCrc|ifid" (serial in twelve hexadecimal digits, checksum and sum in four, the CRC in
// eight or empty, every other number decimal). A line that does not read so, or whose key,
// fingerprint or stamp differ from the entry's, gives nothing; a trailing '\r' is ignored.
void parseFactsCache(std::string_view text, FileCache& cache);

// The file of story facts beside the cache file at `cachePath`: "filefacts.txt" in its folder.
std::string factsPathOf(const std::string& cachePath);

// The cache file at `path`, with the facts of its facts file; empty when it is missing,
// unreadable or not a regular file. A missing or broken facts file gives no facts.
FileCache readFileCache(const std::string& path);

// Replaces the cache file at `path` atomically with one line per entry in key order, each
// ended by '\n', creating its folder when missing; then the facts file beside it likewise,
// with a line for each entry that has facts. Returns false when either could not be written;
// an old file is then untouched.
bool writeFileCache(const std::string& path, const FileCache& cache);

} // namespace core
