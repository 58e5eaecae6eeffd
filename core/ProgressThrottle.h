#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace core {

// Lets progress reports through at most once per interval, so that a scan of many small
// files does not spend its time reporting. The first report always goes through, and so does
// the first of each new phase: a walk that ends within the interval must not leave its
// "listing" report standing through a long read.
class ProgressThrottle
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::milliseconds kDefaultInterval{200};

    // `clock` tells the time; the steady clock unless a test hands in its own.
    explicit ProgressThrottle(std::chrono::milliseconds interval = kDefaultInterval,
                              Clock clock = std::chrono::steady_clock::now);

    // True when a report may go now, always when `newPhase` (and then the next one waits a
    // whole interval).
    bool due(bool newPhase = false);

private:
    std::chrono::milliseconds m_interval;
    Clock m_clock;
    std::optional<std::chrono::steady_clock::time_point> m_last;
};

} // namespace core
