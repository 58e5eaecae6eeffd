#include "core/ProgressThrottle.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ProgressThrottle, LetsTheFirstReportThroughThenOnePerInterval)
{
    using std::chrono::milliseconds;
    const std::vector<int> times{1000, 1100, 1199, 1200, 1250, 1399, 1400, 5000, 5000};
    const std::vector<bool> expected{true, false, false, true, false, false, true, true, false};
    std::size_t look = 0;
    core::ProgressThrottle throttle(milliseconds(200), [&] {
        return std::chrono::steady_clock::time_point(milliseconds(times.at(look++)));
    });
    std::vector<bool> due;
    for (std::size_t i = 0; i < times.size(); ++i) {
        due.push_back(throttle.due());
    }
    EXPECT_EQ(due, expected);
}
