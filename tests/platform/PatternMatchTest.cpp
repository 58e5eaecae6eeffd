// What a matcher may get right on short names yet not on long ones; the names fuzz target
// checks the rules against a model matcher.

#include "platform/PatternMatch.h"

#include <gtest/gtest.h>

#include <string>

TEST(MatchesPattern, PathologicalPatternsEndInLinearTime)
{
    // Backtracking matchers take exponential time on these.
    const std::string name(5000, 'a');
    EXPECT_FALSE(platform::matchesPattern(name, std::string(200, '*') + "b"));
    EXPECT_TRUE(platform::matchesPattern(name, "*a*a*a*a*a*a*a*a*a*a*a*"));
}
