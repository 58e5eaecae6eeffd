// Scanned trees with what users' disks hold: loops, FIFOs, huge and many files, deep nesting.
// Each case must end, leave the records right and stay within a few seconds.

#include "core/CGameCatalogue.h"
#include "core/FileCache.h"
#include "core/Fingerprint.h"
#include "scan/FileWalk.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

constexpr const char* kStoryExtensions = ".dat,.zip,.z1,.z2,.z3,.z4,.z5,.z6,.z7,.z8";

struct ScanResult
{
    std::size_t count = 0;
    GameSet set;
    std::string messages;
};

ScanResult scanWithUnknowns(const std::string& folder, const std::string& cachePath,
                            GameSet set = {})
{
    CGameCatalogue catalogue;
    catalogue.setFilters(kStoryExtensions);
    catalogue.setCachePath(cachePath);
    ScanResult result;
    result.count = catalogue.scan(folder, &set, true);
    result.set = std::move(set);
    result.messages = catalogue.messages.str();
    return result;
}

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

// Puts the test's temporary folders in memory when the system offers it: a hundred thousand
// files or a 4 GiB read cost seconds there and up to a minute on a busy disk.
class ScannedTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const char* old = std::getenv("TMPDIR")) {
            m_oldTmpDir = old;
        }
        std::error_code ignored;
        if (fs::is_directory("/dev/shm", ignored) && access("/dev/shm", W_OK) == 0) {
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

TEST_F(ScannedTree, LoopsAndFifosNeitherHangNorRepeat)
{
    TempDir dir;
    writeFile(dir / "tree/sub/story.z5", "story");
    ASSERT_EQ(symlink("..", (dir / "tree/sub/up").c_str()), 0);
    ASSERT_EQ(symlink(".", (dir / "tree/sub/self").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "tree/pipe.z5").c_str(), 0600), 0);

    const ScanResult result = scanWithUnknowns(dir / "tree", dir / "filecache.txt");
    ASSERT_EQ(result.set.size(), 1u);
    EXPECT_EQ((*result.set.begin())->fn.substr(dir.path().size()), "tree/sub/story.z5");

    // Given by name, as a dropped file is, the FIFO is refused instead of waited on.
    CGameCatalogue dropped;
    EXPECT_FALSE(dropped.addFile(dir / "tree/pipe.z5", true, "unknown"));
    EXPECT_EQ(dropped.messages.str(), "Could not load file: " + dir / "tree/pipe.z5");
}

TEST_F(ScannedTree, ACacheFileThatIsNotARegularFileIsIgnoredAndKept)
{
    TempDir dir;
    writeFile(dir / "tree/story.z5", "story");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("fifo", (dir / "link").c_str()), 0);
    const testsupport::TimeLimit limit(20); // reading the FIFO used to block the scan for ever
    for (const char* cache : {"fifo", "link"}) {
        EXPECT_EQ(scanWithUnknowns(dir / "tree", dir / cache).set.size(), 1u) << cache;
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
    const ScanResult result = scanWithUnknowns(dir / "big", dir / "filecache.txt");
    ASSERT_EQ(result.set.size(), 1u);
    // The CRC-32 of 2^32 zero bytes followed by the ten digits.
    EXPECT_EQ((*result.set.begin())->fingerprint, "2E891E5C");
}

TEST_F(ScannedTree, HundredThousandEmptyFilesAreWalkedAndChangeNothing)
{
    TempDir dir;
    constexpr int kFiles = 100000;
    for (int folder = 0; folder < 100; ++folder) {
        const std::string path = dir / ("tree/" + std::to_string(folder) + "/");
        fs::create_directories(path);
        for (int i = 0; i < kFiles / 100; ++i) {
            std::ofstream(path + std::to_string(i) + ".z5");
        }
    }
    std::vector<CFileEntry> entries;
    EXPECT_EQ(findAllFiles(dir / "tree", entries), 0u);
    EXPECT_EQ(entries.size(), static_cast<std::size_t>(kFiles));

    // A tree without content is not scanned at all, even when unknown files get records.
    const ScanResult result = scanWithUnknowns(dir / "tree", dir / "filecache.txt");
    EXPECT_EQ(result.count, 0u);
    EXPECT_EQ(result.set.size(), 0u);
    EXPECT_FALSE(fs::exists(dir / "filecache.txt"));
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

    const ScanResult result = scanWithUnknowns(dir / "tree", dir / "filecache.txt");
    // Depth 1000 (a path of about 2000 bytes) is found; depth 3000 lies beyond PATH_MAX, so
    // its folder cannot be listed and is skipped without a word, like any unreadable folder.
    ASSERT_EQ(result.set.size(), 1u);
    EXPECT_TRUE((*result.set.begin())->fn.ends_with("/d/s1000.z5"));
    EXPECT_EQ(result.messages, "");
    EXPECT_EQ(testsupport::runCommand("rm -rf tree", dir.path()).status, 0);
}
