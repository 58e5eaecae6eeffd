#include "scan/FileFilters.h"

#include <gtest/gtest.h>

using Tokens = std::vector<std::string>;

TEST(SplitTokens, MaximalRunsWithoutEmptyTokensOrTrimming)
{
    Tokens tokens{"stale"};
    EXPECT_EQ(splitTokens(",.dat,,.zip,", ",", tokens), 2u);
    EXPECT_EQ(tokens, (Tokens{".dat", ".zip"}));
    EXPECT_EQ(splitTokens(".dat, .zip", ",", tokens), 2u);
    EXPECT_EQ(tokens, (Tokens{".dat", " .zip"}));
    EXPECT_EQ(splitTokens("", ",", tokens), 0u);
    EXPECT_TRUE(tokens.empty());
    EXPECT_EQ(splitTokens("a|b;c", "|;", tokens), 3u);
    EXPECT_EQ(tokens, (Tokens{"a", "b", "c"}));
    // No delimiters: blanks do not split, the whole text is one token.
    EXPECT_EQ(splitTokens("a b", "", tokens), 1u);
    EXPECT_EQ(tokens, (Tokens{"a b"}));
}

TEST(EndsWithAny, MatchesWholeSuffixesByteForByte)
{
    for (const char* path : {"story1.dat", "games.zip", "tale.z5", "x.z8", ".dat", "/a/b.z1"}) {
        EXPECT_TRUE(endsWithAny(kStoryExtensions, path)) << path;
    }
    for (const char* path : {"tale.Z5", "save.sav", "notes.txt", "story1.z10", "z5", ""}) {
        EXPECT_FALSE(endsWithAny(kStoryExtensions, path)) << path;
    }
    EXPECT_FALSE(endsWithAny("", "story.dat"));
    EXPECT_TRUE(endsWithAny(".z5,,", "tale.z5"));
}
