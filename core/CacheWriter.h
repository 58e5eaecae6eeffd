#pragma once

#include "core/FileCache.h"

#include <cstdint>
#include <functional>
#include <string>

namespace core {

// Keeps the cache file up to date during a scan at a cost that grows with the scan, not with
// its square: rewritten when a new entry waits and a second has passed since the last
// rewrite, and once more when the writer goes, however the scan ends. A scan killed at any
// moment so loses what it learned in the last second at most (and the file it was reading).
class CacheWriter
{
public:
    // `path`, `cache` and `clock` (milliseconds, wrapping at 2^32) must outlive the writer.
    CacheWriter(const std::string& path, FileCache& cache,
                const std::function<std::uint32_t()>& clock);
    // Writes what waits; a failure goes unreported, as every failure to write the cache.
    ~CacheWriter();
    CacheWriter(const CacheWriter&) = delete;
    CacheWriter& operator=(const CacheWriter&) = delete;

    // Sets the cache entry of `key`; a new or changed entry waits to be written.
    void set(const std::string& key, CacheEntry entry);
    // Rewrites the file when an entry waits and a second has passed; called after each file
    // read from disk.
    void rewriteWhenDue();

private:
    void write();

    const std::string& m_path;
    FileCache& m_cache;
    const std::function<std::uint32_t()>& m_clock;
    std::uint32_t m_lastWrite;
    FileCache::iterator m_hint; // where the next key is likely to go
    bool m_waiting = false;
};

} // namespace core
