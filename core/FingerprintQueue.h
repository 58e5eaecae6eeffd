#pragma once

#include "core/Fingerprint.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace core {

// The outcome of fingerprinting one file.
struct FingerprintResult
{
    std::string path;
    std::optional<std::uint32_t> crc; // nothing: see `error`
    FingerprintError error = FingerprintError::None;
    FileFacts facts; // when the queue was asked for them
};

// Fingerprints files on background workers, each taking whole files in the order they were
// added, so that the caller, taking the results in that same order, finds most of them
// ready. One thread adds and takes; the workers start with the first file added (without
// them, when the system gives no thread, take() reads the file itself).
class FingerprintQueue
{
public:
    // With `withFacts`, each result also holds the file's facts.
    explicit FingerprintQueue(bool withFacts = false);
    // Waits for the files being read; the results not taken are dropped.
    ~FingerprintQueue();
    FingerprintQueue(const FingerprintQueue&) = delete;
    FingerprintQueue& operator=(const FingerprintQueue&) = delete;

    void add(std::string path);
    // Files added and not taken yet.
    std::size_t pending() const;
    // Whether the result of the earliest of them is there.
    bool nextReady() const;
    // The result of the earliest file added and not taken, waiting for it; pending() > 0.
    FingerprintResult take();

private:
    struct Item
    {
        FingerprintResult result;
        bool done = false;
    };

    void work();
    // Whether the first m_awaited files are done; under the lock.
    bool awaitedDone() const;

    bool m_withFacts;
    std::vector<std::thread> m_workers;
    mutable std::mutex m_mutex;
    std::condition_variable m_added;    // a file waits for a worker, or the queue closes
    std::condition_variable m_finished; // a worker finished a file
    std::deque<Item> m_items;           // added and not taken, in order; references stay valid
    std::size_t m_started = 0;          // how many of m_items a worker has begun
    std::size_t m_awaited = 0;          // how many leading results take() waits for, if any
    bool m_closing = false;
};

} // namespace core
