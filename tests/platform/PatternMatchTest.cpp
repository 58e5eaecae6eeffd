#include "platform/PatternMatch.h"

#include <gtest/gtest.h>

#include <string>

TEST(MatchesPattern, WildcardsAndCaseFolding)
{
    EXPECT_TRUE(platform::matchesPattern("story.z5", "*.Z5"));
    EXPECT_TRUE(platform::matchesPattern("README", "*.*"));
    EXPECT_TRUE(platform::matchesPattern("a.z5", "?.z5"));
    EXPECT_FALSE(platform::matchesPattern("ab.z5", "?.z5"));
    EXPECT_TRUE(platform::matchesPattern("x", "*"));
    EXPECT_TRUE(platform::matchesPattern("", "*"));
    EXPECT_FALSE(platform::matchesPattern("story.z50", "*.z5"));
    EXPECT_TRUE(platform::matchesPattern("a.b.c.dat", "*.*.dat"));
    EXPECT_TRUE(platform::matchesPattern("tale.dat", "*.z5;*.dat"));
    EXPECT_FALSE(platform::matchesPattern("\xE9.z5", "\xC9.z5")); // only ASCII letters fold
}

TEST(MatchesPattern, StaysFastOnPathologicalPatterns)
{
    const std::string name(5000, 'a');
    EXPECT_FALSE(platform::matchesPattern(name, std::string(200, '*') + "b"));
    EXPECT_TRUE(platform::matchesPattern(name, "*a*a*a*a*a*a*a*a*a*a*a*"));
}
