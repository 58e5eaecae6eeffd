#include "tools/storycrc/NameList.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::writeFile;

namespace {
std::vector<std::string> expanded(const std::vector<std::string>& names)
{
    const NameList list = expandNames(names);
    return {list.begin(), list.end()};
}
} // namespace

TEST(ExpandNames, SortsByBytesAndDropsDuplicates)
{
    EXPECT_EQ(expanded({"b.z5", "a.z5", "a.z5"}), (std::vector<std::string>{"a.z5", "b.z5"}));
    EXPECT_EQ(expanded({"a.z5", "B.Z5"}), (std::vector<std::string>{"B.Z5", "a.z5"}));
}

TEST(ExpandNames, ReadsResponseFilesUpperCasedWithEitherLineEnd)
{
    TempDir dir;
    writeFile(dir / "list.txt", "x.z5\r\ny.z5\n\nsub/w.dat");
    EXPECT_EQ(expanded({"@" + (dir / "list.txt"), "m.z5"}),
              (std::vector<std::string>{"", "SUB/W.DAT", "X.Z5", "Y.Z5", "m.z5"}));
}

TEST(ExpandNames, FollowsNestedResponseFilesOnceEach)
{
    TempDir dir;
    // The nested name is upper-cased; the file is found without regard to case.
    writeFile(dir / "outer.txt", "@" + (dir / "inner.txt") + "\nA.Z5\n");
    writeFile(dir / "inner.txt", "@" + (dir / "outer.txt") + "\nb.z5\n");
    EXPECT_EQ(expanded({"@" + (dir / "outer.txt")}), (std::vector<std::string>{"A.Z5", "B.Z5"}));
}

TEST(ExpandNames, IgnoresMissingEmptyAndSpecialResponseFiles)
{
    TempDir dir;
    writeFile(dir / "empty.txt", "");
    // A FIFO, also behind a link, used to block the program for ever.
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("fifo", (dir / "link").c_str()), 0);
    const testsupport::TimeLimit limit(10);
    EXPECT_TRUE(expanded({"@" + (dir / "empty.txt"), "@" + (dir / "missing.txt"), "@",
                          "@" + (dir / "fifo"), "@" + (dir / "link"), "@" + dir.path()})
                    .empty());
}
