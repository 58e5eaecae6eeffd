// What the cache fuzz target's model and seeds leave out; the written lines are pinned by the
// scan tests.

#include "core/FileCache.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(FileCache, ReadsASignedStampAsNoneAndFailsToWriteUnderAFile)
{
    // A plain number conversion would take "-1" as 2^32-1; blanks are no number either; the
    // last line needs no line end.
    EXPECT_EQ(core::parseFileCache("/s/b.z5|0000ABCD| \t\n/s/d.z5|0000ABCD|-1"),
              (FileCache{{"/s/b.z5", {"0000ABCD", 0}}, {"/s/d.z5", {"0000ABCD", 0}}}));
    EXPECT_FALSE(core::writeFileCache("/dev/null/filecache.txt", {{"/s/a.z5", {"00000000", 0}}}));
}

// Both files, the fingerprints and the facts beside them, written in pieces and read back.
TEST(FileCache, WritesACacheOfManyPiecesWhole)
{
    FileCache cache; // several hundred KiB: handed to the files in pieces
    for (std::uint32_t i = 0; i < 5000; ++i) {
        core::StoryFacts facts{i, core::StoryCheck::Damaged, 5, 7, "241207", 4 * i, 1, 2, "Z-1"};
        cache["/stories/game" + std::to_string(i) + std::string(i % 50, 'x') + ".z5"] = {
            "0000ABCD", i, i % 3 ? std::optional(facts) : std::nullopt};
    }
    testsupport::TempDir dir;
    ASSERT_TRUE(core::writeFileCache(dir / "filecache.txt", cache));
    EXPECT_EQ(core::readFileCache(dir / "filecache.txt"), cache);
}
