#include "scan/FileWalk.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::vector<std::string> pathsBelow(const std::string& prefix,
                                    const std::vector<CFileEntry>& entries)
{
    std::vector<std::string> paths;
    for (const CFileEntry& entry : entries) {
        EXPECT_EQ(entry.path.rfind(prefix, 0), 0u) << entry.path;
        paths.push_back(entry.path.substr(prefix.size()));
    }
    return paths;
}

} // namespace

TEST(FindAllFiles, FilesOfAFolderComeFirstThenSubfoldersLastListedFirst)
{
    TempDir dir;
    writeFile(dir / "b.z5", "bb");
    writeFile(dir / "a.z5", "a");
    writeFile(dir / "S1/one.dat", "1");
    writeFile(dir / "S1/deep/inner.z3", "1");
    writeFile(dir / "S2/two.dat", "22");
    writeFile(dir / ".hidden/seen.z8", "3");
    writeFile(dir / "NoDot", "4");

    // With or without a trailing slash, and past the old 260-character limit.
    const std::string deep = "S1/" + std::string(120, 'd') + "/" + std::string(120, 'e') + "/";
    writeFile(dir / (deep + "far.z5"), "5");
    for (const std::string& root : {dir.path(), dir.path().substr(0, dir.path().size() - 1)}) {
        std::vector<CFileEntry> entries{CFileEntry{"kept", 1, 2, 3}};
        const std::uint64_t total = findAllFiles(root, entries);
        ASSERT_EQ(entries.front().path, "kept"); // the walk only appends
        entries.erase(entries.begin());
        EXPECT_EQ(
            pathsBelow(dir.path(), entries),
            (std::vector<std::string>{"NoDot", "a.z5", "b.z5", "S2/two.dat", "S1/one.dat",
                                      "S1/deep/inner.z3", deep + "far.z5", ".hidden/seen.z8"}));
        EXPECT_EQ(total, 10u);
    }
}

TEST(FindAllFiles, NeverFollowsLinksToFoldersAndSkipsSpecialFiles)
{
    TempDir dir;
    writeFile(dir / "real/story.z5", "abc");
    ASSERT_EQ(symlink("..", (dir / "real/up").c_str()), 0); // a cycle if followed
    ASSERT_EQ(symlink("real/story.z5", (dir / "alias.z5").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "pipe.z5").c_str(), 0600), 0);
    std::vector<CFileEntry> entries;
    findAllFiles(dir.path(), entries);
    EXPECT_EQ(pathsBelow(dir.path(), entries),
              (std::vector<std::string>{"alias.z5", "real/story.z5"}));
}

TEST(FindFiles, PatternSelectsEntriesAndRecurseIsOptional)
{
    TempDir dir;
    writeFile(dir / "tale.Z5", "1");
    writeFile(dir / "notes.txt", "22");
    writeFile(dir / "sub/inner.z5", "333");
    std::vector<CFileEntry> entries;
    EXPECT_EQ(findFiles(dir.path(), "*.z5", true, entries), 1u);
    EXPECT_EQ(pathsBelow(dir.path(), entries), (std::vector<std::string>{"tale.Z5"}));
    entries.clear();
    EXPECT_EQ(findFiles(dir.path(), "*.*", false, entries), 3u);
    EXPECT_EQ(pathsBelow(dir.path(), entries), (std::vector<std::string>{"notes.txt", "tale.Z5"}));
}
