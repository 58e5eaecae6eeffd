#include "scan/FileWalk.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

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

// What a listing leaves out (FIFOs, dangling links) is the platform listing's test.
TEST(FileWalk, FilesOfAFolderComeFirstThenSubfoldersLastListedFirstNeverThroughLinks)
{
    TempDir dir;
    writeFile(dir / "b.z5", "bb");
    writeFile(dir / "a.z5", "a");
    writeFile(dir / "C.Z5", "333");
    writeFile(dir / "S1/one.dat", "1");
    writeFile(dir / "S1/deep/inner.z3", "1");
    writeFile(dir / "S2/two.dat", "22");
    writeFile(dir / ".hidden/seen.z8", "3");
    ASSERT_EQ(symlink("..", (dir / "S2/up").c_str()), 0);         // a cycle if followed
    ASSERT_EQ(symlink("../b.z5", (dir / "S2/alias").c_str()), 0); // a file: listed

    // With or without a trailing slash, and past the old 260-character limit.
    const std::string deep = "S1/" + std::string(120, 'd') + "/" + std::string(120, 'e') + "/";
    writeFile(dir / (deep + "far.z5"), "5");
    for (const std::string& root : {dir.path(), dir.path().substr(0, dir.path().size() - 1)}) {
        std::vector<CFileEntry> entries{CFileEntry{"kept"}};
        findAllFiles(root, entries);
        ASSERT_EQ(entries.front().path, "kept"); // the walk only appends
        entries.erase(entries.begin());
        EXPECT_EQ(pathsBelow(dir.path(), entries),
                  (std::vector<std::string>{"C.Z5", "a.z5", "b.z5", "S2/alias", "S2/two.dat",
                                            "S1/one.dat", "S1/deep/inner.z3", deep + "far.z5",
                                            ".hidden/seen.z8"}));
    }
}
