#include "platform/AtomicFile.h"

#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

// The names of the regular files and folders in `folder`, temporaries included, a link's marked
// with '@', each followed by a blank.
std::string listing(const std::string& folder)
{
    std::string names;
    const auto entries = platform::listFolder(folder);
    for (const platform::FolderEntry& entry : *entries) {
        names += entry.name + (entry.isLink ? "@ " : " ");
    }
    return names;
}

} // namespace

// As a plain write: through links to the file at the end of their chain, keeping its mode and
// owner, and refusing what is not a regular file there (a folder: the batch mode's transcripts).
TEST(WriteFileAtomically, ReplacesOnlyARegularFileAtTheEndOfItsLinksKeepingItsModeAndOwner)
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
    ASSERT_EQ(mkfifo((dir / "links/fifo").c_str(), 0600), 0);
    fs::create_symlink("fifo", dir / "links/to_fifo");
    fs::create_symlink("loop", dir / "links/loop");
    // The longest name the system allows: the temporary file's name must fit as well.
    const std::string longest(255, 'n');
    for (const std::string& path :
         {dir / "links/first.xml", dir / "links/dangling.xml", dir / longest, dir / longest}) {
        EXPECT_TRUE(platform::writeFileAtomically(path, path, platform::Durability::NoSync));
    }
    for (const auto& [target, why] : {std::pair{"fifo", "Invalid argument"},
                                      {"to_fifo", "Invalid argument"},
                                      {"loop", "Too many levels of symbolic links"}}) {
        std::string error;
        EXPECT_FALSE(platform::writeFileAtomically(dir / "links/" + target, "data",
                                                   platform::Durability::Flush, &error));
        EXPECT_EQ(error, why) << target;
    }
    EXPECT_EQ(readFile(dir / "real/real.xml"), dir / "links/first.xml");
    EXPECT_EQ(readFile(dir / "real/new.xml"), dir / "links/dangling.xml");
    struct stat st
    {};
    ASSERT_EQ(stat((dir / "real/real.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_gid, group);
    // The links stay links; the FIFO, the link to it and the loop stay unlisted, as they were.
    EXPECT_EQ(listing(dir / "links"), "dangling.xml@ first.xml@ middle@ ");
    EXPECT_EQ(listing(dir / "real"), "new.xml real.xml ");
    EXPECT_EQ(listing(dir.path()), "links " + longest + " real ");
}

TEST(WriteFileAtomically, RemovesTemporariesOfWritersThatNoLongerRun)
{
    TempDir dir;
    const std::string path = dir / "games.xml";
    writeFile(path, "old");
    // A writer that ends mid-write, as if killed, leaves its temporary file.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::writeFileAtomically(path, []() -> std::string_view { _exit(0); });
    }
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    const std::string gone = listing(dir.path()).substr(0, listing(dir.path()).find(' '));
    ASSERT_EQ(listing(dir.path()), gone + " games.xml ");
    // The same temporary of a writer still running (this process) stays, and so does a file
    // named like the gone writer's with more after its ".tmp".
    std::string running = gone;
    const std::string childId = "." + std::to_string(child) + ".";
    running.replace(running.find(childId), childId.size(), "." + std::to_string(getpid()) + ".");
    fs::copy_file(dir / gone, dir / running);
    fs::copy_file(dir / gone, dir / (gone + ".kept"));

    EXPECT_TRUE(platform::writeFileAtomically(path, "new"));
    EXPECT_EQ(readFile(path), "new");
    EXPECT_FALSE(fs::exists(dir / gone));
    EXPECT_TRUE(fs::exists(dir / running) && fs::exists(dir / (gone + ".kept")));
}
