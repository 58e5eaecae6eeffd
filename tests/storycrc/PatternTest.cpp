#include "tools/storycrc/FileException.h"
#include "tools/storycrc/FolderWalk.h"
#include "tools/storycrc/PatternMatch.h"
#include "tools/storycrc/StoryCrc.h"

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

TEST(MatchesPattern, WildcardsAndCaseFolding)
{
    EXPECT_TRUE(matchesPattern("story.z5", "*.Z5"));
    EXPECT_TRUE(matchesPattern("README", "*.*"));
    EXPECT_TRUE(matchesPattern("a.z5", "?.z5"));
    EXPECT_FALSE(matchesPattern("ab.z5", "?.z5"));
    EXPECT_TRUE(matchesPattern("x", "*"));
    EXPECT_TRUE(matchesPattern("", "*"));
    EXPECT_FALSE(matchesPattern("story.z50", "*.z5"));
    EXPECT_TRUE(matchesPattern("a.b.c.dat", "*.*.dat"));
    EXPECT_TRUE(matchesPattern("tale.dat", "*.z5;*.dat"));
    EXPECT_FALSE(matchesPattern("\xE9.z5", "\xC9.z5")); // only ASCII letters fold
}

TEST(MatchesPattern, StaysFastOnPathologicalPatterns)
{
    const std::string name(5000, 'a');
    EXPECT_FALSE(matchesPattern(name, std::string(200, '*') + "b"));
    EXPECT_TRUE(matchesPattern(name, "*a*a*a*a*a*a*a*a*a*a*a*"));
}

TEST(ResolvePattern, SplitsAtTheLastSlashAndAnchorsRelativeNames)
{
    const std::string cwd = platform::currentDirectory();
    const std::string base = cwd == "/" ? "/" : cwd + "/";
    const ResolvedPattern relative = resolvePattern("*.z5");
    EXPECT_EQ(relative.folder, base);
    EXPECT_EQ(relative.pattern, "*.z5");
    const ResolvedPattern absolute = resolvePattern("/tmp/*.dat");
    EXPECT_EQ(absolute.folder, "/tmp/");
    EXPECT_EQ(absolute.pattern, "*.dat");
}

TEST(ResolvePattern, MissingFolderThrowsWithTheSystemsText)
{
    try {
        resolvePattern("/no/such/folder/*.z5");
        FAIL() << "no exception";
    } catch (const FileException& e) {
        EXPECT_STREQ(e.what(), "[/no/such/folder/] No such file or directory");
    }
}

TEST(MatchText, NeedsTheExactCrcText)
{
    EXPECT_EQ(matchText("CBF43926", 0xCBF43926), "\t**matched CRC**");
    EXPECT_EQ(matchText("cbf43926", 0xCBF43926), "");
    EXPECT_EQ(matchText("CBF4392", 0xCBF43926), "");
    EXPECT_EQ(matchText("", 0), "");
}
