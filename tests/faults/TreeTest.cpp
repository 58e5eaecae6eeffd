// Scanned trees with what users' disks hold beyond the unit tests' reach: files of 4 GiB and
// more, nesting deeper than a path may be long. Each case must end and leave the records
// right. (Loops, FIFOs and links are the platform listing's and the walk's tests.)

#include "scan/FileWalk.h"
#include "tests/faults/FaultData.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using faultdata::scanTree;
using testsupport::TempDir;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

// A file of `size` bytes that are all zero except `tail` at its end, without writing the
// zeros (a sparse file).
void writeSparse(const std::string& path, std::uint64_t size, const std::string& tail)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary).close();
    fs::resize_file(path, size - tail.size());
    std::ofstream file(path, std::ios::binary | std::ios::app);
    file << tail;
}

// Puts the test's temporary folders in memory when the system offers it: a 4 GiB read costs
// seconds there and up to a minute on a busy disk.
class ScannedTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const char* old = std::getenv("TMPDIR")) {
            m_oldTmpDir = old;
        }
        if (access("/dev/shm", W_OK) == 0) {
            setenv("TMPDIR", "/dev/shm", 1);
        }
    }
    void TearDown() override
    {
        if (m_oldTmpDir) {
            setenv("TMPDIR", m_oldTmpDir->c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
    }

private:
    std::optional<std::string> m_oldTmpDir;
};

} // namespace

TEST_F(ScannedTree, ACacheFileThatIsNotARegularFileIsIgnoredAndKept)
{
    TempDir dir;
    writeFile(dir / "tree/story.z5", "story");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("fifo", (dir / "link").c_str()), 0);
    const testsupport::TimeLimit limit(20); // reading the FIFO used to block the scan for ever
    for (const char* cache : {"fifo", "link"}) {
        EXPECT_EQ(scanTree(dir / "tree", dir / cache).set.size(), 1u) << cache;
        EXPECT_EQ(fs::symlink_status(dir / "fifo").type(), fs::file_type::fifo);
        EXPECT_EQ(fs::symlink_status(dir / "link").type(), fs::file_type::symlink);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

TEST_F(ScannedTree, FilesOfFourGibibytesAndMoreAreWalkedAndFingerprintedWhole)
{
    TempDir dir;
    // Exactly 4 GiB: its size is 0 in 32 bits, yet the tree is not empty.
    writeSparse(dir / "exact/zeros.bin", std::uint64_t{1} << 32, "");
    std::vector<CFileEntry> entries;
    EXPECT_EQ(findAllFiles(dir / "exact", entries), std::uint64_t{1} << 32);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].size, 0u);

    writeSparse(dir / "big/huge.z5", (std::uint64_t{1} << 32) + 10, "0123456789");
    const auto result = scanTree(dir / "big", dir / "filecache.txt");
    ASSERT_EQ(result.set.size(), 1u);
    // The CRC-32 of 2^32 zero bytes followed by the ten digits.
    EXPECT_EQ((*result.set.begin())->fingerprint, "2E891E5C");
}

TEST_F(ScannedTree, DeepNestingEndsAndFindsWhatThePathLimitAllows)
{
    TempDir dir;
    // Built through folder handles: the deepest paths are longer than the system accepts in
    // one call. Removed by rm, which copes with such trees.
    fs::create_directory(dir / "tree");
    int folder = open((dir / "tree").c_str(), O_RDONLY | O_DIRECTORY);
    for (int depth = 1; depth <= 3000 && folder >= 0; ++depth) {
        ASSERT_EQ(mkdirat(folder, "d", 0755), 0);
        const int deeper = openat(folder, "d", O_RDONLY | O_DIRECTORY);
        close(folder);
        folder = deeper;
        if (depth == 1000 || depth == 3000) {
            const std::string name = "s" + std::to_string(depth) + ".z5";
            const int file = openat(folder, name.c_str(), O_WRONLY | O_CREAT, 0644);
            ASSERT_EQ(write(file, name.data(), name.size()), static_cast<ssize_t>(name.size()));
            close(file);
        }
    }
    ASSERT_GE(folder, 0);
    close(folder);

    const auto result = scanTree(dir / "tree", dir / "filecache.txt");
    // Depth 1000 (a path of about 2000 bytes) is found; depth 3000 lies beyond PATH_MAX, so
    // its folder cannot be listed and is skipped without a word, like any unreadable folder.
    ASSERT_EQ(result.set.size(), 1u);
    EXPECT_TRUE((*result.set.begin())->fn.ends_with("/d/s1000.z5"));
    EXPECT_EQ(result.messages, "");
    EXPECT_EQ(testsupport::runCommand("rm -rf tree", dir.path()).status, 0);
}
