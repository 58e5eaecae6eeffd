#include "scan/FileFilters.h"

#include <gtest/gtest.h>

using Tokens = std::vector<std::string>;

TEST(FileFilters, TokensAreMaximalRunsAndEndingsMatchByteForByte)
{
    Tokens tokens{"stale"};
    EXPECT_EQ(splitTokens(",.dat,,.zip, .z5", ",", tokens), 3u);
    EXPECT_EQ(tokens, (Tokens{".dat", ".zip", " .z5"})); // no empty tokens, nothing trimmed
    EXPECT_EQ(splitTokens("a b", "", tokens), 1u);       // no delimiters: blanks do not split
    EXPECT_EQ(tokens, (Tokens{"a b"}));

    const EndingList stories(kStoryExtensions);
    for (const char* path : {"story1.dat", "games.zip", "tale.z5", "x.z8", ".dat", "/a/b.z1"}) {
        EXPECT_TRUE(stories.matches(path)) << path;
    }
    for (const char* path : {"tale.Z5", "save.sav", "story1.z10", "z5", ""}) {
        EXPECT_FALSE(stories.matches(path)) << path;
    }
    EXPECT_FALSE(EndingList("").matches("story.dat"));
}
