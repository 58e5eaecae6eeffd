#include "platform/FileSystem.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::vector<std::string> namesOf(const std::vector<platform::FolderEntry>& entries)
{
    std::vector<std::string> names;
    for (const auto& e : entries) {
        names.push_back(e.name);
    }
    return names;
}

} // namespace

TEST(ListFolder, ListsFilesAndFoldersInByteOrderWithDotFiles)
{
    TempDir dir;
    writeFile(dir / "b.z5", "12345");
    writeFile(dir / "a.z5", "");
    writeFile(dir / "B.z5", "1");
    writeFile(dir / ".hidden", "xy");
    writeFile(dir / "sub/inner.z5", "1");
    const auto entries = platform::listFolder(dir.path());
    ASSERT_TRUE(entries);
    EXPECT_EQ(namesOf(*entries),
              (std::vector<std::string>{".hidden", "B.z5", "a.z5", "b.z5", "sub"}));
    EXPECT_EQ((*entries)[3].size, 5u);
    EXPECT_TRUE((*entries)[4].isFolder);
    EXPECT_EQ((*entries)[4].size, 0u);
}

TEST(ListFolder, LeavesOutSpecialFilesAndDanglingLinksAndMarksLinks)
{
    TempDir dir;
    writeFile(dir / "real/file.z5", "abc");
    ASSERT_EQ(mkfifo((dir / "pipe.z5").c_str(), 0600), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "dangling.z5").c_str()), 0);
    ASSERT_EQ(symlink("real", (dir / "loop").c_str()), 0);
    ASSERT_EQ(symlink("real/file.z5", (dir / "alias.z5").c_str()), 0);
    const auto entries = platform::listFolder(dir.path());
    ASSERT_TRUE(entries);
    ASSERT_EQ(namesOf(*entries), (std::vector<std::string>{"alias.z5", "loop", "real"}));
    EXPECT_FALSE((*entries)[0].isFolder);
    EXPECT_EQ((*entries)[0].size, 3u);
    EXPECT_TRUE((*entries)[1].isFolder);
    EXPECT_TRUE((*entries)[1].isLink);
    EXPECT_FALSE((*entries)[2].isLink);
}

TEST(ListFolder, FailsOnlyForFoldersThatCannotBeOpened)
{
    TempDir dir;
    writeFile(dir / "file", "x");
    EXPECT_FALSE(platform::listFolder(dir / "missing"));
    EXPECT_FALSE(platform::listFolder(dir / "file"));
    ASSERT_TRUE(platform::listFolder(dir.path()));
}

TEST(ListFolder, StampsAreTheFileTimeOfTheModificationTime)
{
    TempDir dir;
    writeFile(dir / "old.z5", "x");
    const timespec times[2] = {{0, 0}, {1000000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "old.z5").c_str(), times, 0), 0);
    const auto entries = platform::listFolder(dir.path());
    ASSERT_TRUE(entries);
    const std::uint64_t expected = 1000000000ULL * 10000000ULL + 1234567ULL + 116444736000000000ULL;
    EXPECT_EQ((*entries)[0].stampLo, static_cast<std::uint32_t>(expected));
    EXPECT_EQ((*entries)[0].stampHi, static_cast<std::uint32_t>(expected >> 32));
}

TEST(FileTime, CountsHundredNanosecondsSince1601)
{
    EXPECT_EQ(platform::fileTimeFromUnixNanoseconds(0), 116444736000000000ULL);
    EXPECT_EQ(platform::fileTimeFromUnixNanoseconds(199), 116444736000000001ULL);
    EXPECT_EQ(platform::fileTimeFromUnixNanoseconds(-1), 116444735999999999ULL);
}

TEST(FindPathIgnoringCase, MatchesEachComponentWithoutRegardToCase)
{
    TempDir dir;
    writeFile(dir / "Games/zork1.z3", "x");
    EXPECT_EQ(platform::findPathIgnoringCase(dir / "GAMES/ZORK1.Z3"), dir / "Games/zork1.z3");
    EXPECT_EQ(platform::findPathIgnoringCase(dir / "Games/zork1.z3"), dir / "Games/zork1.z3");
    EXPECT_FALSE(platform::findPathIgnoringCase(dir / "GAMES/ZORK2.Z3"));
    EXPECT_FALSE(platform::findPathIgnoringCase(""));
}

TEST(StatPath, ReportsFoldersAndTheSystemsErrorText)
{
    TempDir dir;
    writeFile(dir / "f", "abc");
    EXPECT_TRUE(platform::statPath(dir.path())->isFolder);
    EXPECT_EQ(platform::statPath(dir / "f")->size, 3u);
    std::string error;
    EXPECT_FALSE(platform::statPath(dir / "missing", &error));
    EXPECT_EQ(error, "No such file or directory");
}

TEST(OpenForReading, RefusesFoldersMissingFilesAndSpecialFiles)
{
    TempDir dir;
    writeFile(dir / "f", "abc");
    EXPECT_TRUE(platform::openForReading(dir / "f"));
    EXPECT_FALSE(platform::openForReading(dir.path()));
    EXPECT_FALSE(platform::openForReading(dir / "missing"));
    // A FIFO without a writer used to block the open for ever; a device may never end.
    ASSERT_EQ(mkfifo((dir / "pipe.z5").c_str(), 0600), 0);
    EXPECT_FALSE(platform::openForReading(dir / "pipe.z5"));
    EXPECT_FALSE(platform::openForReading("/dev/zero"));
}
