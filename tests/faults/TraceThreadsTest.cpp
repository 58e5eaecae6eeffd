// The debug-output channel is written from the scan threads and the user-interface thread at
// once: every line must reach the sink whole, one call at a time.

#include "platform/Trace.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

TEST(TraceThreads, LinesFromManyThreadsArriveWholeAndOnceEach)
{
    constexpr int kThreads = 4;
    constexpr int kLines = 2000;
    std::vector<std::string> received; // guarded by the channel's one-call-at-a-time rule
    const platform::TraceSink previous =
        platform::setTraceSink([&received](std::string_view line) { received.emplace_back(line); });
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            const std::string line = "Narlo::thread " + std::to_string(t) + std::string(64, 'x');
            for (int i = 0; i < kLines; ++i) {
                platform::debugOutput(line);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    platform::setTraceSink(previous);

    ASSERT_EQ(received.size(), static_cast<std::size_t>(kThreads * kLines));
    std::vector<int> perThread(kThreads, 0);
    for (const std::string& line : received) {
        ASSERT_EQ(line.size(), 79u) << line; // "Narlo::thread N" and 64 x
        ++perThread[static_cast<std::size_t>(line[14] - '0')];
    }
    EXPECT_EQ(perThread, std::vector<int>(kThreads, kLines));
}
