#pragma once

#include "core/FileCache.h"
#include "core/GameSet.h"
#include "core/ProgressThrottle.h"
#include "core/ScanProgress.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

namespace core {
struct FingerprintResult;
}

// The view of a GameSet whose order a saved catalogue follows.
enum class CatalogueView
{
    Fingerprint,
    FullName,
    Fn,
    Sn,
    Warn
};

// A set of games with its catalogue file, the scan that matches the story files under a
// folder against it, and the single-file add. Callers make one per job and discard it; one
// thread uses it at a time. Failures are a false or zero result plus one report in
// `messages`.
class CGameCatalogue
{
public:
    CGameCatalogue();

    // Adds the entries of the catalogue file at `path` to `games` (the first entry of a
    // fingerprint wins). False when the file cannot be read or parsed (report in
    // `messages`, nothing added) or has no `games` element (no report).
    bool loadCatalogue(const std::string& path);

    // Writes `games` in ascending order of `view` to `path`, replacing it atomically.
    // False when the file could not be written; nothing is reported.
    bool saveCatalogue(const std::string& path,
                       CatalogueView view = CatalogueView::Fingerprint) const;

    // The comma-separated endings that make a file a candidate for `scan`.
    void setFilters(const std::string& extensionList);

    // Fingerprints every candidate file under `folder` (through the file cache) and marks
    // the records of `set` (nullptr: `games`) that match; with `createUnknown`, a file that
    // matches nothing gets an "unknown" record. Records get the path as the walk found it;
    // only the cache key is lower-cased, and a key that two paths of the walk share is
    // neither served from the cache nor stored, nor is one holding a line end or '|'. A file
    // that cannot be opened or read is reported and left out, as is a folder that cannot be
    // listed. Each record met gets the story facts of its file (those of a file served from
    // the cache come from the cache), and each unknown record its hint. Returns the number of
    // files that matched; 0 at once for an empty `folder` or a tree without content. What it learns
    // goes to the cache file when it has waited a second, and when the scan ends, also by an
    // exception.
    std::size_t scan(const std::string& folder, GameSet* set, bool createUnknown);

    // Fingerprints the file at `path` and gives the matching record of `games` that path, the
    // file's story facts (and `name`, unless it is "unknown"); with `createUnknown`, a file
    // that matches nothing gets a record named `name`, with its facts and hint. False when the
    // file cannot be opened or read.
    bool addFile(const std::string& path, bool createUnknown, const std::string& name);

    // `scan` and `addFile` also hand each report to `handler` as they make it, on the calling
    // thread: every file that could not be read ("Could not load file: <path>") and every
    // folder that could not be listed ("Could not list folder: <path>/"), where `messages`
    // keeps only the last. No handler: `messages` only.
    void setReportHandler(std::function<void(const std::string&)> handler);

    // Where `scan` keeps its fingerprint cache; core::defaultCachePath() unless set.
    void setCachePath(const std::string& path);

    // `scan` reports its progress to `handler`, on the scanning thread: once as it starts
    // walking, then as it works through the candidates, never more often than the throttle
    // lets through (every 200 ms unless set) but always as a new phase begins. No handler, no
    // reports.
    void setProgressHandler(ScanProgressHandler handler);
    void setProgressThrottle(core::ProgressThrottle throttle);

    // The millisecond clock by which `scan` spaces its cache rewrites; platform::tickCount
    // unless set.
    void setClock(std::function<std::uint32_t()> clock);

    std::string extensions;      // candidate endings for `scan`, set by setFilters
    std::ostringstream messages; // the report of the last failure, at most one
    GameSet games;

private:
    void report(const std::string& text);
    bool matchFile(GameSet& set, const std::string& fingerprint, const std::string& path,
                   bool createUnknown, const core::StoryFacts& facts,
                   const std::string* serial = nullptr);
    bool fingerprintFromDisk(const core::FingerprintResult& read, std::string& fingerprint);
    void reportProgress(const ScanProgress& progress);

    std::string m_cachePath;
    std::function<std::uint32_t()> m_clock;
    std::function<void(const std::string&)> m_reportHandler;
    ScanProgressHandler m_progress;
    core::ProgressThrottle m_throttle;
    std::optional<ScanProgress::Phase> m_phase; // of the last report offered to the throttle
};
