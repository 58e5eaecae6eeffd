#include "core/CacheWriter.h"

#include <iterator>
#include <utility>

namespace core {
namespace {

constexpr std::uint32_t kRewriteMs = 1000;

} // namespace

CacheWriter::CacheWriter(const std::string& path, FileCache& cache,
                         const std::function<std::uint32_t()>& clock)
    : m_path(path), m_cache(cache), m_clock(clock), m_lastWrite(clock()), m_hint(cache.end())
{
}

CacheWriter::~CacheWriter()
{
    try {
        write();
    } catch (...) {
        // best effort: the scan is ending, maybe by an exception already
    }
}

void CacheWriter::set(const std::string& key, CacheEntry entry)
{
    // A scan sets its keys in walk order, mostly ascending: each goes next to the last.
    const auto slot = m_cache.try_emplace(m_hint, key);
    m_hint = std::next(slot);
    if (slot->second != entry) {
        slot->second = std::move(entry);
        m_waiting = true;
    }
}

void CacheWriter::rewriteWhenDue()
{
    if (!m_waiting) {
        return;
    }
    const std::uint32_t now = m_clock();
    if (now - m_lastWrite >= kRewriteMs) { // unsigned: right across the clock's wrap
        write();
        m_lastWrite = now;
    }
}

void CacheWriter::write()
{
    if (m_waiting) {
        m_waiting = !writeFileCache(m_path, m_cache); // unwritable: tried again later
    }
}

} // namespace core
