#include "platform/FileSystem.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::TempDir;
using testsupport::writeFile;

// What a walk meets is decided here, once; the walk's order and what it passes by show in
// storycrc's transcripts (tests/golden/storycrc), as do response files found ignoring case and
// FIFOs and folders refused as files.
TEST(FileSystem, ListsInByteOrderWithoutSpecialFilesAndFindsPathsIgnoringCase)
{
    TempDir dir;
    writeFile(dir / "b.z5", "12345");
    writeFile(dir / "B.z5", "");
    writeFile(dir / ".hidden", "xy");
    writeFile(dir / "real/file.z5", "abc");
    ASSERT_EQ(mkfifo((dir / "pipe.z5").c_str(), 0600), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "dangling.z5").c_str()), 0);
    ASSERT_EQ(symlink("real", (dir / "loop").c_str()), 0);
    ASSERT_EQ(symlink("real/file.z5", (dir / "alias.z5").c_str()), 0);
    const timespec times[2] = {{0, 0}, {1000000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "b.z5").c_str(), times, 0), 0);

    const auto entries = platform::listFolder(dir.path());
    std::string listing; // name, '/' for a folder, '@' for a link
    for (const platform::FolderEntry& e : *entries) {
        listing += e.name + (e.isFolder ? "/" : "") + (e.isLink ? "@" : "") + "\n";
    }
    EXPECT_EQ(listing, ".hidden\nB.z5\nalias.z5@\nb.z5\nloop/@\nreal/\n");
    // The last-write time as a FILETIME: 100 ns units since 1601, truncated; times before 1970
    // rounded down.
    const auto status = platform::statPath(dir / "b.z5");
    EXPECT_EQ(status->size, 5u);
    EXPECT_EQ(status->lastWrite, 1000000000ULL * 10000000ULL + 1234567ULL + 116444736000000000ULL);
    for (const std::int64_t nanoseconds : {-1, -100}) {
        EXPECT_EQ(platform::fileTimeFromUnixNanoseconds(nanoseconds), 116444735999999999ULL);
    }

    EXPECT_EQ(platform::findPathIgnoringCase(dir / "REAL/FILE.Z5"), dir / "real/file.z5");
    EXPECT_FALSE(platform::findPathIgnoringCase(dir / "REAL/FILE.Z5/X")); // no folder to list
    EXPECT_FALSE(platform::readWholeFile("/dev/zero"));                   // a device may never end
}
