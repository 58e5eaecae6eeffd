#include "core/ReadAhead.h"

#include "scan/CFileEntry.h"

#include <optional>
#include <utility>

namespace core {
namespace {

// Files queued ahead of the scan at most: enough to keep both workers busy.
constexpr std::size_t kReadAhead = 64;

} // namespace

ReadAhead::ReadAhead(const std::vector<CFileEntry>& entries,
                     std::function<bool(const CFileEntry&)> willRead)
    : m_entries(entries), m_willRead(std::move(willRead))
{
    refill();
}

FingerprintResult ReadAhead::fingerprint(const CFileEntry& entry)
{
    std::optional<FingerprintResult> ahead;
    if (!m_queued.empty() && m_queued.front() == &entry) {
        m_queued.pop_front();
        ahead = m_queue.take();
    }
    refill();
    if (ahead && ahead->crc) {
        return std::move(*ahead);
    }
    FingerprintResult result{entry.path, std::nullopt, FingerprintError::None, {}};
    result.crc = computeFingerprint(entry.path, &result.error, &result.facts);
    return result;
}

void ReadAhead::refill()
{
    while (m_nextEntry < m_entries.size() && m_queued.size() < kReadAhead) {
        const CFileEntry& entry = m_entries[m_nextEntry++];
        if (m_willRead(entry)) {
            m_queue.add(entry.path);
            m_queued.push_back(&entry);
        }
    }
}

} // namespace core
