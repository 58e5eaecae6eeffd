// The names fuzz target checks the rules against a model matcher; these are the cases its
// short random inputs rarely reach.

#include "platform/PatternMatch.h"

#include <gtest/gtest.h>

#include <string>

TEST(MatchesPattern, ListsAsciiCaseAndPathologicalPatterns)
{
    EXPECT_TRUE(platform::matchesPattern("tale.dat", "*.z5;*.dat**"));
    EXPECT_FALSE(platform::matchesPattern("\xE9.z5", "\xC9.z5")); // only ASCII letters fold
    // Backtracking matchers take exponential time on these.
    const std::string name(5000, 'a');
    EXPECT_FALSE(platform::matchesPattern(name, std::string(200, '*') + "b"));
    EXPECT_TRUE(platform::matchesPattern(name, "*a*a*a*a*a*a*a*a*a*a*a*"));
}
