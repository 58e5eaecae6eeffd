#include "platform/FileSystem.h"
#include "tools/storycrc/FolderWalk.h"
#include "tools/storycrc/StoryCrc.h"

#include <gtest/gtest.h>

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

TEST(MatchText, NeedsTheExactCrcText)
{
    EXPECT_EQ(matchText("CBF43926", 0xCBF43926), "\t**matched CRC**");
    EXPECT_EQ(matchText("cbf43926", 0xCBF43926), "");
    EXPECT_EQ(matchText("CBF4392", 0xCBF43926), "");
    EXPECT_EQ(matchText("", 0), "");
}
