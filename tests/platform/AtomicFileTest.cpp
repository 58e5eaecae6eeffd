#include "platform/AtomicFile.h"

#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

TEST(WriteFileAtomically, CreatesAndReplacesWithoutLeavingTemporaries)
{
    TempDir dir;
    const std::string path = dir / "settings.xml";
    EXPECT_TRUE(platform::writeFileAtomically(path, "first"));
    EXPECT_TRUE(platform::writeFileAtomically(path, "second", platform::Durability::NoSync));
    EXPECT_EQ(readFile(path), "second");
    EXPECT_EQ(platform::listFolder(dir.path())->size(), 1u);
}

TEST(WriteFileAtomically, KeepsPermissionsAndFollowsLinks)
{
    TempDir dir;
    const std::string target = dir / "real.xml";
    writeFile(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.xml", (dir / "link.xml").c_str()), 0);
    EXPECT_TRUE(platform::writeFileAtomically(dir / "link.xml", "new"));
    EXPECT_EQ(readFile(target), "new");
    struct stat st
    {};
    ASSERT_EQ(lstat((dir / "link.xml").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(WriteFileAtomically, FailureReportsAndKeepsTheOldFile)
{
    TempDir dir;
    writeFile(dir / "blocker", "not a folder");
    std::string error;
    EXPECT_FALSE(platform::writeFileAtomically(dir / "blocker/x.xml", "data",
                                               platform::Durability::Flush, &error));
    EXPECT_EQ(error, "Not a directory");
    // A folder in the way of the target: the rename fails, the temporary is removed.
    ASSERT_EQ(mkdir((dir / "occupied").c_str(), 0755), 0);
    writeFile(dir / "occupied/keep", "k");
    EXPECT_FALSE(platform::writeFileAtomically(dir / "occupied", "data"));
    EXPECT_EQ(readFile(dir / "occupied/keep"), "k");
    EXPECT_EQ(platform::listFolder(dir.path())->size(), 2u);
}

TEST(MakeFolders, CreatesMissingParents)
{
    TempDir dir;
    EXPECT_TRUE(platform::makeFolders(dir / "a/b/c/"));
    EXPECT_TRUE(platform::statPath(dir / "a/b/c")->isFolder);
    EXPECT_TRUE(platform::makeFolders(dir / "a/b"));
    writeFile(dir / "file", "x");
    EXPECT_FALSE(platform::makeFolders(dir / "file/sub"));
}
