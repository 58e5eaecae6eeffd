#pragma once

#include "core/FingerprintQueue.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <vector>

struct CFileEntry;

namespace core {

// Reads ahead, on the workers of a FingerprintQueue, the files a scan is about to read: the
// entries that `willRead` picks (those it cannot serve from the cache). The scan takes the
// fingerprint of each picked entry in walk order. One a worker could not read is read there
// and then, so the outcome is that of a scan reading each file in turn.
class ReadAhead
{
public:
    // `entries` must outlive the object; `willRead` is asked on the calling thread.
    ReadAhead(const std::vector<CFileEntry>& entries,
              std::function<bool(const CFileEntry&)> willRead);

    // The fingerprint of `entry`, the next of `entries` that `willRead` picked.
    FingerprintResult fingerprint(const CFileEntry& entry);

private:
    void refill();

    const std::vector<CFileEntry>& m_entries;
    std::function<bool(const CFileEntry&)> m_willRead;
    std::size_t m_nextEntry = 0;            // the first of m_entries not asked about yet
    std::deque<const CFileEntry*> m_queued; // queued and not taken, in walk order
    FingerprintQueue m_queue{true};
};

} // namespace core
