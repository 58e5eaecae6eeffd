#include "core/FingerprintQueue.h"

#include <algorithm>
#include <cassert>
#include <system_error>
#include <utility>

namespace core {

namespace {

constexpr unsigned kWorkers = 2; // one per core of the machines it was measured on
// Threads sleep and wake in batches of this many files. A caller that finds the earliest
// result missing sleeps until this many are there, and idle workers are woken when this many
// files wait (or the caller waits): woken for every file, a thread takes a core from the
// others as often (a 10,000-file tree cost 9,000 context switches).
constexpr std::size_t kWakeBatch = 16;

} // namespace

FingerprintQueue::FingerprintQueue(bool withFacts) : m_withFacts(withFacts) {}

FingerprintQueue::~FingerprintQueue()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_added.notify_all();
    for (std::thread& worker : m_workers) {
        worker.join();
    }
}

void FingerprintQueue::add(std::string path)
{
    bool wake = false;
    {
        const std::lock_guard lock(m_mutex);
        m_items.push_back(Item{FingerprintResult{std::move(path), std::nullopt, {}, {}}, false});
        wake = m_items.size() - m_started >= kWakeBatch;
    }
    if (wake) {
        m_added.notify_one();
    }
    if (m_workers.empty()) {
        try {
            for (unsigned i = 0; i < kWorkers; ++i) {
                m_workers.emplace_back([this] { work(); });
            }
        } catch (const std::system_error&) {
            // Go on with the workers that started, or none.
        }
    }
}

std::size_t FingerprintQueue::pending() const
{
    const std::lock_guard lock(m_mutex);
    return m_items.size();
}

bool FingerprintQueue::nextReady() const
{
    const std::lock_guard lock(m_mutex);
    return !m_items.empty() && m_items.front().done;
}

FingerprintResult FingerprintQueue::take()
{
    std::unique_lock lock(m_mutex);
    assert(!m_items.empty());
    if (m_workers.empty()) {
        Item& item = m_items.front();
        item.result.crc = computeFingerprint(item.result.path, &item.result.error,
                                             m_withFacts ? &item.result.facts : nullptr);
        item.done = true;
        ++m_started;
    }
    if (!m_items.front().done) {
        m_added.notify_all(); // fewer files than a batch may wait unseen
        m_awaited = std::min(kWakeBatch, m_items.size());
        m_finished.wait(lock, [this] { return awaitedDone(); });
        m_awaited = 0;
    }
    FingerprintResult result = std::move(m_items.front().result);
    m_items.pop_front();
    --m_started; // the front was begun, since it is done
    return result;
}

bool FingerprintQueue::awaitedDone() const
{
    if (m_items.front().done && !m_items.front().result.crc) {
        return true; // a failure, where the caller may stop: it need not wait for the batch
    }
    for (std::size_t i = 0; i < m_awaited; ++i) {
        if (!m_items[i].done) {
            return false;
        }
    }
    return true;
}

void FingerprintQueue::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_added.wait(lock, [this] { return m_closing || m_started < m_items.size(); });
        if (m_closing) {
            return;
        }
        Item& item = m_items[m_started++];
        const std::string& path = item.result.path; // never changed while queued
        lock.unlock();
        std::optional<std::uint32_t> crc;
        FingerprintError error = FingerprintError::None;
        FileFacts facts;
        try {
            crc = computeFingerprint(path, &error, m_withFacts ? &facts : nullptr);
        } catch (...) {
            // Out of memory, most likely: the caller tries the file again and meets it there.
            error = FingerprintError::Read;
        }
        lock.lock();
        item.result.crc = crc;
        item.result.error = error;
        item.result.facts = std::move(facts);
        item.done = true;
        if (m_awaited > 0 && awaitedDone()) {
            m_finished.notify_one();
        }
    }
}

} // namespace core
