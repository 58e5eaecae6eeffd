#include "scan/ManualResetEvent.h"

namespace scan {

void ManualResetEvent::set()
{
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_changed.notify_all();
}

void ManualResetEvent::reset()
{
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

bool ManualResetEvent::isSet() const
{
    std::lock_guard lock(m_mutex);
    return m_signalled;
}

void ManualResetEvent::wait() const
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_signalled; });
}

bool ManualResetEvent::waitFor(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_signalled; });
}

} // namespace scan
