// The cache file's lines as written; the reader's rules are the cache fuzz target's model.

#include "core/FileCache.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::TempDir;

TEST(FileCache, WritesOneLinePerKeyInByteOrder)
{
    TempDir dir;
    const FileCache cache{
        {"/s/b.z5", {"0A1B2C3D", 3141592653u}},
        {"/s/B.z5", {"00000000", 0}},
        {"/s/\xE9.z5", {"FFFFFFFF", 12}},
    };
    ASSERT_TRUE(core::writeFileCache(dir / "filecache.txt", cache));
    EXPECT_EQ(testsupport::readFile(dir / "filecache.txt"),
              "/s/B.z5|00000000|0\n/s/b.z5|0A1B2C3D|3141592653\n/s/\xE9.z5|FFFFFFFF|12\n");
    testsupport::writeFile(dir / "file", "x");
    EXPECT_FALSE(core::writeFileCache(dir / "file/filecache.txt", cache));
    // A signed stamp is no stamp, though a plain number conversion would take "-1" as 2^32-1;
    // the last line needs no line end.
    EXPECT_EQ(core::parseFileCache("/s/d.z5|0000ABCD|-1"),
              (FileCache{{"/s/d.z5", {"0000ABCD", 0}}}));
}
