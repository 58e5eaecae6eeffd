// Folders and files the user may not write or read. The tests run as root, who may do
// anything, so the driver runs as the user nobody through setpriv; without setpriv they are
// skipped.

#include "core/CGameCatalogue.h"
#include "core/Fingerprint.h"
#include "tests/faults/DriverProcess.h"
#include "tests/faults/FaultData.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using testsupport::TempDir;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

// A temporary folder that the unprivileged user may enter and write into.
class SharedDir : public TempDir
{
public:
    SharedDir() { fs::permissions(path(), fs::perms::all); }
};

std::string fingerprintOf(const std::string& path)
{
    return crcText(*computeFingerprint(path));
}

// Runs `argv` as nobody and returns its output; skips the test when that is impossible.
#define RUN_AS_NOBODY(output, argv, environment)                                                   \
    const std::vector<std::string> commandLine = faulttest::asUnprivilegedUser(argv);              \
    if (commandLine.empty()) {                                                                     \
        GTEST_SKIP() << "running as root without setpriv: no unprivileged user to test with";      \
    }                                                                                              \
    int status = 0;                                                                                \
    const std::string output = faulttest::outputOf(commandLine, status, environment);              \
    ASSERT_EQ(status, 0) << output

} // namespace

TEST(ReadOnly, SavesIntoAReadOnlyFolderOrOverAReadOnlyFileFailAndKeepTheOldFile)
{
    SharedDir dir;
    // A read-only file in a folder the user may write used to be replaced all the same.
    for (const bool folderReadOnly : {true, false}) {
        const std::string folder = dir / (folderReadOnly ? "ro-folder/" : "ro-files/");
        const std::string settings = folder + "QueltImport_settings.xml";
        const std::string catalogue = folder + "games.xml";
        fs::create_directory(folder);
        ASSERT_TRUE(faultdata::settingsOfGeneration(0).save(settings));
        ASSERT_TRUE(faultdata::catalogueOfGeneration(0)->saveCatalogue(catalogue));
        const fs::perms readable =
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
        const fs::perms enterable =
            fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
        if (folderReadOnly) {
            fs::permissions(folder, readable | enterable | fs::perms::owner_write);
        } else {
            fs::permissions(folder, fs::perms::all);
            fs::permissions(settings, readable);
            fs::permissions(catalogue, readable);
        }
        {
            RUN_AS_NOBODY(
                out, (std::vector<std::string>{QUELT_FAULT_DRIVER, "try-save-settings", settings}),
                {});
            EXPECT_EQ(out, "failed\n") << folder;
        }
        EXPECT_EQ(faultdata::settingsGeneration(settings), 0);
        {
            RUN_AS_NOBODY(
                out,
                (std::vector<std::string>{QUELT_FAULT_DRIVER, "try-save-catalogue", catalogue}),
                {});
            EXPECT_EQ(out, "failed\n") << folder;
        }
        EXPECT_EQ(faultdata::catalogueGeneration(catalogue), 0);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
    }
}

TEST(ReadOnlyProgramFolder, ScanWorksSilentlyWithTheCacheInTheUserFolderOrNowhere)
{
    SharedDir dir;
    writeFile(dir / "tree/story.z5", "a story");
    const std::string fingerprint = fingerprintOf(dir / "tree/story.z5");
    fs::create_directories(dir / "prog");
    fs::copy_file(QUELT_FAULT_DRIVER, dir / "prog/fault_driver");
    fs::create_directories(dir / "xdg-ro");
    for (const char* folder : {"prog", "xdg-ro"}) {
        fs::permissions(dir / folder,
                        fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    }
    fs::create_directories(dir / "home");
    fs::permissions(dir / "home", fs::perms::all);
    const std::vector<std::string> argv{dir / "prog/fault_driver", "try-scan", dir / "tree", "-",
                                        fingerprint};
    {
        RUN_AS_NOBODY(
            out, argv,
            (std::vector<std::string>{"HOME=" + dir / "home", "XDG_DATA_HOME=" + dir / "xdg"}));
        EXPECT_EQ(out, "count=1\nmessages=\ncache=" + dir / "xdg/QueltImport/filecache.txt\n");
        EXPECT_TRUE(fs::exists(dir / "xdg/QueltImport/filecache.txt"));
    }
    {
        RUN_AS_NOBODY(
            out, argv,
            (std::vector<std::string>{"HOME=" + dir / "home", "XDG_DATA_HOME=" + dir / "xdg-ro"}));
        EXPECT_EQ(out, "count=1\nmessages=\ncache=" + dir / "xdg-ro/QueltImport/filecache.txt\n");
    }
    EXPECT_FALSE(fs::exists(dir / "prog/filecache.txt"));
    EXPECT_FALSE(fs::exists(dir / "xdg-ro/QueltImport"));
}

TEST(UnreadableEntries, ScanSkipsThemAndReportsTheLastUnreadableFile)
{
    SharedDir dir;
    writeFile(dir / "tree/a.z5", "readable");
    writeFile(dir / "tree/b.z5", "unreadable");
    writeFile(dir / "tree/sub/c.z5", "in an unreadable folder");
    std::vector<std::string> argv{QUELT_FAULT_DRIVER, "try-scan", dir / "tree", dir / "cache.txt"};
    for (const char* file : {"tree/a.z5", "tree/b.z5", "tree/sub/c.z5"}) {
        argv.push_back(fingerprintOf(dir / file));
    }
    fs::permissions(dir / "tree/b.z5", fs::perms::none);
    fs::permissions(dir / "tree/sub", fs::perms::none);

    RUN_AS_NOBODY(out, argv, {});
    EXPECT_EQ(out, "count=1\nmessages=Could not load file: " + dir / "tree/b.z5" +
                       "\ncache=" + dir / "cache.txt\n");
}
