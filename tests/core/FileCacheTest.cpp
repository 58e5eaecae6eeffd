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
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "file", "x");
    EXPECT_FALSE(core::writeFileCache(dir / "file/filecache.txt", {{"/s/a.z5", {"00000000", 0}}}));
}

TEST(FileCache, WritesACacheOfManyPiecesWhole)
{
    // Several hundred KiB: the writer hands the file over in pieces.
    FileCache cache;
    std::string expected;
    for (std::uint32_t i = 0; i < 5000; ++i) {
        const std::string key = "/stories/folder-" + std::to_string(i % 7) + "/game" +
                                std::to_string(i) + std::string(i % 50, 'x') + ".z5";
        cache[key] = CacheEntry{"0000ABCD", i * 858993u};
    }
    for (const auto& [key, entry] : cache) {
        expected += key + "|" + entry.fingerprint + "|" + std::to_string(entry.stampLo) + "\n";
    }
    testsupport::TempDir dir;
    ASSERT_TRUE(core::writeFileCache(dir / "filecache.txt", cache));
    EXPECT_EQ(testsupport::readFile(dir / "filecache.txt"), expected);
}
