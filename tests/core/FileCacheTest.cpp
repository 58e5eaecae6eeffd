#include "core/FileCache.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

TEST(FileCache, ReadsThreeFieldLinesAndSkipsTheRest)
{
    const FileCache cache = core::parseFileCache("/s/a.z5|0A1B2C3D|3141592653\r\n"
                                                 "/s/two.z5|0A1B2C3D\n/s/four.z5|0A1B2C3D|1|2\n\n"
                                                 "|/s/b.z5||0000ABCD|| 12 \n"
                                                 "/s/d.z5|0000ABCD|-1\n/s/f.z5|0000ABCD|12x\n"
                                                 "/S/A.Z5|11111111|7\n/s/a.z5|22222222|8\r\n"
                                                 "/s/last.z5|33333333|4294967295");
    const FileCache expected{
        {"/S/A.Z5", {"11111111", 7}}, // taken as it stands, not lower-cased
        {"/s/a.z5", {"22222222", 8}}, // the later line wins
        {"/s/b.z5", {"0000ABCD", 12}}, {"/s/d.z5", {"0000ABCD", 0}},
        {"/s/f.z5", {"0000ABCD", 0}},  {"/s/last.z5", {"33333333", 4294967295u}},
    };
    EXPECT_EQ(cache, expected);
}

TEST(FileCache, WritesKeyOrderAndCreatesTheFolder)
{
    TempDir dir;
    const FileCache cache{
        {"/s/b.z5", {"0A1B2C3D", 3141592653u}},
        {"/s/B.z5", {"00000000", 0}},
        {"/s/\xE9.z5", {"FFFFFFFF", 12}},
    };
    const std::string path = dir / "new/folder/filecache.txt";
    ASSERT_TRUE(core::writeFileCache(path, cache));
    EXPECT_EQ(readFile(path),
              "/s/B.z5|00000000|0\n/s/b.z5|0A1B2C3D|3141592653\n/s/\xE9.z5|FFFFFFFF|12\n");
    EXPECT_EQ(core::readFileCache(path), cache);
    EXPECT_TRUE(core::readFileCache(dir / "missing.txt").empty());
    writeFile(dir / "file", "x");
    EXPECT_FALSE(core::writeFileCache(dir / "file/filecache.txt", cache));
}
