// The common cases are checked against a model matcher by the names fuzz target.

#include "platform/PatternMatch.h"

#include <gtest/gtest.h>

#include <string>

TEST(MatchesPattern, ListsOfPatternsAsciiCaseAndPathologicalPatterns)
{
    EXPECT_TRUE(platform::matchesPattern("tale.dat", "*.z5;*.dat"));
    EXPECT_TRUE(platform::matchesPattern("", "*"));
    EXPECT_FALSE(platform::matchesPattern("\xE9.z5", "\xC9.z5")); // only ASCII letters fold
    // Backtracking matchers take exponential time on these.
    const std::string name(5000, 'a');
    EXPECT_FALSE(platform::matchesPattern(name, std::string(200, '*') + "b"));
    EXPECT_TRUE(platform::matchesPattern(name, "*a*a*a*a*a*a*a*a*a*a*a*"));
}
