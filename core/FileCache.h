#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// A fingerprint a scan learned, valid while the file's stampLo stays the same.
struct CacheEntry
{
    std::string fingerprint;
    std::uint32_t stampLo = 0;

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

// The cache file at `path`; empty when it is missing, unreadable or not a regular file.
FileCache readFileCache(const std::string& path);

// Replaces the cache file at `path` atomically with one line per entry in key order, each
// ended by '\n', creating its folder when missing. Returns false when it could not be
// written; the old file is then untouched.
bool writeFileCache(const std::string& path, const FileCache& cache);

} // namespace core
