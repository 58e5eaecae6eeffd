#include "core/ProgressThrottle.h"

#include <utility>

namespace core {

ProgressThrottle::ProgressThrottle(std::chrono::milliseconds interval, Clock clock)
    : m_interval(interval), m_clock(std::move(clock))
{
}

bool ProgressThrottle::due(bool newPhase)
{
    const auto now = m_clock();
    if (!newPhase && m_last && now - *m_last < m_interval) {
        return false;
    }
    m_last = now;
    return true;
}

} // namespace core
