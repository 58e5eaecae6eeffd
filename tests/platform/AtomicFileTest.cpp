#include "platform/AtomicFile.h"

#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    const auto entries = platform::listFolder(folder);
    for (const platform::FolderEntry& entry : *entries) {
        names.push_back(entry.name);
    }
    return names;
}

} // namespace

TEST(WriteFileAtomically, CreatesAndReplacesAnyNameWithoutLeavingTemporaries)
{
    TempDir dir;
    const std::string path = dir / "settings.xml";
    EXPECT_TRUE(platform::writeFileAtomically(path, "first"));
    EXPECT_TRUE(platform::writeFileAtomically(path, "second", platform::Durability::NoSync));
    EXPECT_EQ(readFile(path), "second");
    // The longest name the system allows: the temporary file's name must fit as well.
    const std::string longest(255, 'n');
    EXPECT_TRUE(platform::writeFileAtomically(dir / longest, "long"));
    EXPECT_TRUE(platform::writeFileAtomically(dir / longest, "longer"));
    EXPECT_EQ(readFile(dir / longest), "longer");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{longest, "settings.xml"}));
}

TEST(WriteFileAtomically, FollowsLinksToTheFileAtTheEndAndKeepsItsModeAndOwner)
{
    TempDir dir;
    writeFile(dir / "real/real.xml", "old");
    // Root may keep any owner; others keep their own (a shared group: the fault tests).
    const uid_t owner = geteuid() == 0 ? 65534 : geteuid();
    const gid_t group = geteuid() == 0 ? 65534 : getegid();
    ASSERT_EQ(chown((dir / "real/real.xml").c_str(), owner, group), 0);
    ASSERT_EQ(chmod((dir / "real/real.xml").c_str(), 0640), 0);
    fs::create_directory(dir / "links");
    fs::create_symlink("../real/real.xml", dir / "links/middle");
    fs::create_symlink("middle", dir / "links/first.xml");
    fs::create_symlink("../real/new.xml", dir / "links/dangling.xml");
    fs::create_symlink("loop", dir / "links/loop");
    EXPECT_TRUE(platform::writeFileAtomically(dir / "links/first.xml", "new"));
    EXPECT_TRUE(platform::writeFileAtomically(dir / "links/dangling.xml", "created"));
    EXPECT_EQ(readFile(dir / "real/real.xml"), "new");
    EXPECT_EQ(fs::status(dir / "real/real.xml").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    struct stat st
    {};
    ASSERT_EQ(stat((dir / "real/real.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(readFile(dir / "real/new.xml"), "created");
    for (const char* link : {"middle", "first.xml", "dangling.xml"}) {
        EXPECT_TRUE(fs::is_symlink(dir / "links/" + link)) << link;
    }
    EXPECT_EQ(namesIn(dir / "real"), (std::vector<std::string>{"new.xml", "real.xml"}));
    std::string error;
    EXPECT_FALSE(platform::writeFileAtomically(dir / "links/loop", "x", platform::Durability::Flush,
                                               &error));
    EXPECT_EQ(error, "Too many levels of symbolic links");
}

TEST(WriteFileAtomically, RefusesWhatIsNotARegularFileAndKeepsIt)
{
    TempDir dir;
    writeFile(dir / "blocker", "not a folder");
    std::string error;
    EXPECT_FALSE(platform::writeFileAtomically(dir / "blocker/x.xml", "data",
                                               platform::Durability::Flush, &error));
    EXPECT_EQ(error, "Not a directory");
    writeFile(dir / "folder/keep", "k");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_symlink("fifo", dir / "link");
    for (const char* target : {"folder", "fifo", "link"}) {
        EXPECT_FALSE(platform::writeFileAtomically(dir / target, "data")) << target;
    }
    EXPECT_EQ(readFile(dir / "folder/keep"), "k");
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir / "fifo")));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"blocker", "folder"}));
}

TEST(WriteFileAtomically, RemovesTemporariesOfWritersThatNoLongerRun)
{
    TempDir dir;
    const std::string path = dir / "games.xml";
    writeFile(path, "old");
    // A writer killed mid-write, here by the file size limit, leaves its temporary file.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit size{4096, 4096};
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_FSIZE, &size);
        setrlimit(RLIMIT_CORE, &noCore);
        std::signal(SIGXFSZ, SIG_DFL);
        platform::writeFileAtomically(path, std::string(1 << 20, 'x'));
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    std::vector<std::string> names = namesIn(dir.path());
    ASSERT_EQ(names.size(), 2u);
    // The same temporary of a writer still running (this process) stays.
    const std::string killed = names[0] == "games.xml" ? names[1] : names[0];
    std::string running = killed;
    const std::string childId = "." + std::to_string(child) + ".";
    running.replace(running.find(childId), childId.size(), "." + std::to_string(getpid()) + ".");
    fs::copy_file(dir / killed, dir / running);

    EXPECT_TRUE(platform::writeFileAtomically(path, "new"));
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{running, "games.xml"}));
}
