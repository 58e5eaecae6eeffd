// What fault_driver leaves when killed with SIGKILL in the middle of a write (the old file or
// the new one, complete), and what it does as the user nobody, who may not write everywhere.
// (That a killed writer's temporary file does not pile up is the atomic write's test; when a
// scan rewrites the cache, the scan's.)

#include "core/Fingerprint.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

// Writable by its owner, root, alone.
const fs::perms kReadOnly = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec;

// The shell command that runs fault_driver with `args`, as `programPath` when given.
std::string driver(const std::vector<std::string>& args,
                   const std::string& programPath = QUELT_FAULT_DRIVER)
{
    std::string line = testsupport::shellQuoted(programPath);
    for (const std::string& arg : args) {
        line += " " + testsupport::shellQuoted(arg);
    }
    return line;
}

std::string output(const std::string& command)
{
    return testsupport::runCommand(command, "/").out;
}

// Runs commands as nobody through setpriv: the tests run as root, who may write anything.
class AsNobody : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!testsupport::asNobody()) {
            GTEST_SKIP() << "running as root without setpriv: no unprivileged user to test with";
        }
        fs::permissions(dir.path(), fs::perms::all);
    }

    // The output of `command` run as nobody, with `environment` ("NAME=value ...") set, in
    // the supplementary `groups`.
    std::string run(const std::string& command, const std::string& environment = "",
                    const std::string& groups = "")
    {
        const auto result =
            testsupport::runCommand(environment + *testsupport::asNobody(groups) + command, "/");
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out;
    }

    TempDir dir;
};

} // namespace

// Atomic writes: the settings file and a catalogue are written as user documents, the cache
// as derived data, without waiting for the disk.
TEST(KilledWriter, LeavesTheOldFileOrTheNewOneComplete)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("random seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (const auto& [kind, maxDelayMs] :
         {std::pair{"settings", 60u}, {"catalogue", 150u}, {"cache", 100u}}) {
        TempDir dir;
        for (int round = 0; round < 12; ++round) {
            SCOPED_TRACE(std::string(kind) + " round " + std::to_string(round));
            const std::string delay = std::to_string(random() % (maxDelayMs + 1));
            EXPECT_NE(output(driver({"write", kind, dir / "file", delay})).find("done"),
                      std::string::npos)
                << "the driver ended before its first write";
            EXPECT_EQ(output(driver({"check", kind, dir / "file"})), "complete\n");
        }
    }
}

TEST_F(AsNobody, SavesIntoAReadOnlyFolderOrOverAReadOnlyFileFailAndKeepTheOldFile)
{
    // A read-only file in a folder the user may write used to be replaced all the same.
    for (const bool folderReadOnly : {true, false}) {
        const std::string folder = dir / (folderReadOnly ? "ro-folder/" : "ro-files/");
        fs::create_directory(folder);
        fs::permissions(folder, folderReadOnly ? kReadOnly : fs::perms::all);
        for (const std::string kind : {"settings", "catalogue"}) {
            writeFile(folder + kind, "old");
            fs::permissions(folder + kind, kReadOnly);
            EXPECT_EQ(run(driver({"write", kind, folder + kind})), "failed\n") << folder << kind;
            EXPECT_EQ(testsupport::readFile(folder + kind), "old");
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
    }
}

// A catalogue shared by a group: its members may write it, and a save keeps it so. In a sticky
// folder, where only a file's owner may replace it, a member may still write it in place.
TEST_F(AsNobody, SavesKeepTheFilesGroupAndWriteInPlaceWhereTheyMayNotReplace)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "files of another owner and group are made as root";
    }
    constexpr gid_t kShared = 100; // "users", which nobody joins here
    for (const mode_t mode : {0775u, 01777u}) {
        const std::string folder = dir / std::to_string(mode) + "/";
        const std::string path = folder + "games.xml";
        fs::create_directory(folder);
        writeFile(path, "old");
        ASSERT_EQ(chown(folder.c_str(), 0, kShared), 0);
        ASSERT_EQ(chmod(folder.c_str(), mode), 0);
        ASSERT_EQ(chown(path.c_str(), 0, kShared), 0);
        ASSERT_EQ(chmod(path.c_str(), 0664), 0);
        struct stat before
        {};
        ASSERT_EQ(stat(path.c_str(), &before), 0);
        EXPECT_EQ(run(driver({"write", "catalogue", path}), "", std::to_string(kShared)), "saved\n")
            << mode;
        EXPECT_EQ(output(driver({"check", "catalogue", path})), "complete\n") << mode;
        struct stat after
        {};
        ASSERT_EQ(stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_gid, kShared) << mode;
        EXPECT_EQ(after.st_mode & 07777, 0664u) << mode;
        // Replaced in the shared folder (by nobody), written in place in the sticky one.
        EXPECT_EQ(after.st_ino == before.st_ino, mode == 01777) << mode;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
}

TEST_F(AsNobody, ScanWorksSilentlyWithTheCacheInTheUserFolderOrNowhere)
{
    writeFile(dir / "tree/story.z5", "a story");
    fs::create_directories(dir / "prog");
    fs::copy_file(QUELT_FAULT_DRIVER, dir / "prog/fault_driver");
    fs::create_directories(dir / "xdg-ro");
    fs::permissions(dir / "prog", kReadOnly);
    fs::permissions(dir / "xdg-ro", kReadOnly);
    const std::string scan =
        driver({"scan", dir / "tree", "-", crcText(*computeFingerprint(dir / "tree/story.z5"))},
               dir / "prog/fault_driver");
    for (const char* xdg : {"xdg", "xdg-ro"}) {
        EXPECT_EQ(run(scan, "XDG_DATA_HOME=" + dir / xdg + " "),
                  "count=1\nmessages=\ncache=" + dir / xdg + "/QueltImport/filecache.txt\n");
    }
    EXPECT_TRUE(fs::exists(dir / "xdg/QueltImport/filecache.txt"));
    EXPECT_FALSE(fs::exists(dir / "prog/filecache.txt"));
    EXPECT_FALSE(fs::exists(dir / "xdg-ro/QueltImport"));
}
