// A writer killed mid-write leaves the old file or the new one, whole; saves and scans work as
// the user nobody. This program is also the process killed or run as nobody: "write <path>
// <once|ms>" writes catalogue generations 1, 2, ..., printing "saved" or "failed" after each, and
// dies by SIGKILL <ms> after the first; "scan <folder> <fingerprint>" scans against one record.

#include "core/CGameCatalogue.h"
#include "core/Fingerprint.h"
#include "platform/Program.h"
#include "scan/FileFilters.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using testsupport::readFile;
namespace fs = std::filesystem;

namespace {

// Generation `g` of a catalogue: 3,000 records long enough that kills land inside a write. (The
// settings file and the cache are written by the same atomic write as a catalogue.)
bool write(const std::string& path, unsigned g)
{
    CGameCatalogue catalogue;
    for (unsigned i = 0; i < 3000; ++i) {
        const std::string name = std::to_string(g) + std::string(150, ':') + std::to_string(i);
        catalogue.games.insert(std::make_shared<CGame>(name, crcText(i), "880429"));
    }
    return catalogue.saveCatalogue(path);
}

// Whether `path` holds byte for byte what an uninterrupted write of generation `g` leaves.
bool holdsGeneration(const std::string& path, unsigned g)
{
    const std::string whole = fs::path(path).parent_path() / "whole";
    return write(whole, g) && readFile(whole) == readFile(path);
}

// This program, quoted for the shell.
const std::string kDriver = testsupport::shellQuoted(platform::programPath());

long entriesIn(const std::string& folder)
{
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
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
        chmod(dir.path().c_str(), 0777);
    }

    // The output of `command` run as nobody in the supplementary `groups`.
    std::string run(const std::string& command, const std::string& groups = "")
    {
        const auto result = testsupport::runCommand(*testsupport::asNobody(groups) + command, "/");
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out;
    }

    testsupport::TempDir dir;
};

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "scan") {
        GameSet set{std::make_shared<CGame>("game", args[2], "")};
        CGameCatalogue catalogue;
        catalogue.setFilters(kStoryExtensions);
        const std::size_t count = catalogue.scan(args[1], &set, false);
        std::printf("count=%zu\nmessages=%s\n", count, catalogue.messages.str().c_str());
        return 0;
    }
    for (unsigned g = 1; args.size() == 3 && args[0] == "write"; ++g) {
        std::puts(write(args[1], g) ? "saved" : "failed");
        std::fflush(stdout);
        if (args[2] == "once") {
            return 0;
        }
        if (g == 1) {
            std::signal(SIGALRM, [](int) { kill(getpid(), SIGKILL); });
            const itimerval timer{{0, 0}, {0, 1000 * std::stoi(args[2])}};
            setitimer(ITIMER_REAL, &timer, nullptr);
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

TEST(KilledWriter, LeavesTheOldFileOrTheNewOneComplete)
{
    const testsupport::TempDir dir;
    const std::string file = dir / "games.xml";
    for (unsigned ms = 3; ms <= 150; ms += 6) { // over the first writes, as they take here
        SCOPED_TRACE("killed after " + std::to_string(ms) + " ms");
        const std::string command = kDriver + " write " + file + " " + std::to_string(ms);
        const std::string out = testsupport::runCommand(command, "/").out;
        // Killed while writing generation `done + 1`, or after it and before saying so.
        const auto done = static_cast<unsigned>(std::count(out.begin(), out.end(), '\n'));
        ASSERT_GE(done, 1u) << "the driver ended before its first write";
        EXPECT_TRUE(holdsGeneration(file, done) || holdsGeneration(file, done + 1));
    }
    // Cut short by a file size limit, as by a full disk: a failed save, the old file kept, and
    // beside it only the compared whole write, no temporary. (A coverage build's counts, which
    // the limit would cut short, are not written.)
    const std::string old = readFile(file);
    const std::string cut =
        "trap '' XFSZ; ulimit -f 8; GCOV_PREFIX=/dev/null " + kDriver + " write " + file + " once";
    EXPECT_EQ(testsupport::runCommand(cut, "/").out, "failed\n");
    EXPECT_EQ(readFile(file), old);
    EXPECT_EQ(entriesIn(dir.path()), 2);
}

// A save fails where nobody may not write, keeping the old file (a file of mode 0444 in a folder
// nobody may write used to be replaced all the same). A file shared by a group stays shared:
// replaced, keeping its group and bits (it used to get nobody's group), or written in place in a
// sticky folder, where only its owner may replace it (it used to be refused).
TEST_F(AsNobody, SavesFailWhereTheyMayNotWriteAndKeepAGroupsFileShared)
{
    const struct
    {
        mode_t folderMode;
        mode_t fileMode;
        const char* group; // of the folder and the file, which nobody joins; "": the owner's
        bool replaced;
    } cases[] = {{0755, 0644, "", false},
                 {0777, 0444, "", false},
                 {0775, 0664, "100", true},
                 {01777, 0664, "100", false}};
    for (const auto& c : cases) {
        if (*c.group && geteuid() != 0) {
            continue; // files of another group are made as root
        }
        const std::string folder = dir / std::to_string(c.folderMode) + "/";
        const std::string path = folder + "games.xml";
        SCOPED_TRACE(path);
        fs::create_directory(folder);
        testsupport::writeFile(path, "old");
        for (const auto& [file, mode] : {std::pair{folder, c.folderMode}, {path, c.fileMode}}) {
            ASSERT_EQ(chmod(file.c_str(), mode), 0);
            ASSERT_EQ(*c.group ? chown(file.c_str(), 0, 100) : 0, 0);
        }
        struct stat before = {}, after = {};
        ASSERT_EQ(stat(path.c_str(), &before), 0);
        EXPECT_EQ(run(kDriver + " write " + path + " once", c.group),
                  *c.group ? "saved\n" : "failed\n");
        EXPECT_TRUE(*c.group ? holdsGeneration(path, 1) : readFile(path) == "old");
        ASSERT_EQ(stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino != before.st_ino, c.replaced);
        EXPECT_EQ(entriesIn(folder), *c.group ? 2 : 1); // the compared whole write too
    }
}

TEST_F(AsNobody, ScanWorksSilentlyWithTheCacheInTheUserFolderOrNowhere)
{
    testsupport::writeFile(dir / "tree/story.z5", testsupport::bytesWithCrc(0x0A1B2C3D));
    for (const char* readOnly : {"prog", "xdg-ro"}) {
        fs::create_directories(dir / readOnly);
        chmod((dir / readOnly).c_str(), 0555);
    }
    fs::copy_file(platform::programPath(), dir / "prog/faults_tests");
    const std::string scan = dir / "prog/faults_tests scan " + dir / "tree 0A1B2C3D";
    for (const char* xdg : {"xdg", "xdg-ro"}) {
        EXPECT_EQ(run("env XDG_DATA_HOME=" + dir / xdg + " " + scan), "count=1\nmessages=\n");
    }
    EXPECT_TRUE(fs::exists(dir / "xdg/QueltImport/filecache.txt"));
    EXPECT_EQ(entriesIn(dir / "prog"), 1);
    EXPECT_EQ(entriesIn(dir / "xdg-ro"), 0);
}
