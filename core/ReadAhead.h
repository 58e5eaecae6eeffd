#pragma once

#include "core/FingerprintQueue.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <vector>

struct CFileEntry;

namespace core {

// Reads ahead, on the workers of a FingerprintQueue, the files a scan is about to read: the
// entries that `willRead` picks (those whose cache entries are not current), asked a little
// ahead of the scan, so it sees what the scan learned so far. The scan takes their
// fingerprints in walk order. One it finds current after all is dropped; one it must read
// that was not foreseen, or that a worker could not read, is read there and then, so the
// outcome is that of a scan reading each file in turn.
class ReadAhead
{
public:
    // `entries` must outlive the object; `willRead` is asked on the calling thread.
    ReadAhead(const std::vector<CFileEntry>& entries,
              std::function<bool(const CFileEntry&)> willRead);

    // The fingerprint of `entry`, one of `entries`; entries are taken in their order.
    FingerprintResult fingerprint(const CFileEntry& entry);

private:
    void refill();

    const std::vector<CFileEntry>& m_entries;
    std::function<bool(const CFileEntry&)> m_willRead;
    std::size_t m_nextEntry = 0;            // the first of m_entries not asked about yet
    std::deque<const CFileEntry*> m_queued; // queued and not taken, in walk order
    FingerprintQueue m_queue;
};

} // namespace core
