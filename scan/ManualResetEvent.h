#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace scan {

// An event that stays signalled until it is reset; every waiter is released while it is set.
class ManualResetEvent
{
public:
    void set();
    void reset();
    bool isSet() const;
    void wait() const;
    // True when the event was signalled within `timeout`.
    bool waitFor(std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_signalled = false;
};

} // namespace scan
