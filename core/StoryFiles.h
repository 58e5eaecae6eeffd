#pragma once

#include "core/FileCache.h"

#include <cstddef>
#include <string>
#include <vector>

struct CFileEntry;

namespace core {

// The candidates of a walk: how many there are, each entry's cache key (lower-cased once
// per scan), and which keys the cache cannot hold. On a file system with case-sensitive names
// Game.z5 and game.z5 are two files under one key, and a cached fingerprint could belong to
// either; a key holding a line end or '|' would be read back from the cache file as other
// keys' entries.
struct StoryFiles
{
    std::size_t count = 0;
    std::vector<std::string> keys; // per entry: its cache key, empty when no candidate
    std::vector<bool> uncached;    // per entry: never served nor stored, read every time
};

// The candidates among `entries`: those whose path, lower-cased, ends with one of the
// comma-separated `extensions`.
StoryFiles findStoryFiles(const std::vector<CFileEntry>& entries, const std::string& extensions);

// Whether any of the files holds a byte; usually the first one says so.
bool anyContent(const std::vector<CFileEntry>& entries);

// Per entry, the cache entry it is served from, or nullptr: a candidate whose key is cached
// with its facts, not `uncached`, and whose file still has the cached last-write time. Only
// candidates with a cached key are looked at, so a first scan looks at none.
std::vector<const CacheEntry*> servedEntries(const FileCache& cache, const StoryFiles& stories,
                                             const std::vector<CFileEntry>& entries);

} // namespace core
