// Black-box tests of the built storycrc: exact standard output, error lines, exit status.

#include "core/Fingerprint.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::bytesWithCrc;
using testsupport::ProcessResult;
using testsupport::shellQuoted;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

constexpr const char* kElapsed = "\n0 Total seconds.\n";

class StoryCrcProgram : public ::testing::Test
{
protected:
    ProcessResult run(const std::string& args)
    {
        return testsupport::runCommand(shellQuoted(STORYCRC_PATH) + " " + args, dir.path());
    }

    TempDir dir;
};

} // namespace

TEST_F(StoryCrcProgram, PrintsSortedDistinctNamesWithTheirCrc)
{
    writeFile(dir / "a.z5", "123456789");
    writeFile(dir / "b.z5", bytesWithCrc(0xABCD));
    writeFile(dir / "B.Z5", "");
    const ProcessResult r = run("b.z5 a.z5 a.z5 B.Z5");
    EXPECT_EQ(r.out, "00000000\tB.Z5\nCBF43926\ta.z5\n0000ABCD\tb.z5\n");
    EXPECT_EQ(r.err, kElapsed);
    EXPECT_EQ(r.status, 0);
}

TEST_F(StoryCrcProgram, CompareAppendsTheMatchMarkOnlyForTheExactText)
{
    writeFile(dir / "a.z5", "123456789");
    EXPECT_EQ(run("-c CBF43926 a.z5").out, "CBF43926\ta.z5\t**matched CRC**\n");
    EXPECT_EQ(run("-c cbf43926 a.z5").out, "CBF43926\ta.z5\n");
    EXPECT_EQ(run("--compare CBF4392 a.z5").out, "CBF43926\ta.z5\n");
}

TEST_F(StoryCrcProgram, SumPrintsOnlyTheTotal)
{
    writeFile(dir / "one", bytesWithCrc(1));
    writeFile(dir / "two", bytesWithCrc(2));
    writeFile(dir / "big", bytesWithCrc(0xFFFFFFFF));
    EXPECT_EQ(run("-s one two").out, "00000003\tTOTAL\n");
    EXPECT_EQ(run("-s one big").out, "00000000\tTOTAL\n"); // modulo 2^32
    EXPECT_EQ(run("-s -c 00000003 one two").out, "00000003\tTOTAL\t**matched CRC**\n");
}

TEST_F(StoryCrcProgram, ResponseFileNamesAreUpperCasedAndFoundIgnoringCase)
{
    writeFile(dir / "x.z5", "123456789");
    writeFile(dir / "y.z5", "");
    writeFile(dir / "games/Story.dat", "");
    writeFile(dir / "list.txt", "x.z5\r\ny.z5\r\ngames\ngames/*.dat\n");
    const ProcessResult r = run("@list.txt");
    // Folders and patterns are walked as found and printed as typed.
    EXPECT_EQ(r.out, "00000000\tGAMES/Story.dat\n00000000\t" + (dir / "GAMES/Story.dat") +
                         "\nCBF43926\tX.Z5\n00000000\tY.Z5\n");
    EXPECT_EQ(r.status, 0);
}

TEST_F(StoryCrcProgram, AFileThatCannotBeOpenedStopsTheRunWithStatus1)
{
    writeFile(dir / "b.z5", "123456789");
    const ProcessResult r = run("b.z5 a.z5");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              std::string("Exception caught in main() :\nFailed to open file: a.z5\n") + kElapsed);
    EXPECT_EQ(r.status, 1);

    // A read error is no end of file: no CRC of the bytes read so far.
    const ProcessResult unread = run("b.z5 /proc/self/mem");
    EXPECT_EQ(unread.out, "");
    EXPECT_EQ(unread.err, std::string("Exception caught in main() :\nFailed to read file: "
                                      "/proc/self/mem\n") +
                              kElapsed);
    EXPECT_EQ(unread.status, 1);

    writeFile(dir / "blank.txt", "b.z5\n\n");
    const ProcessResult blank = run("@blank.txt");
    EXPECT_EQ(blank.out, "");
    EXPECT_EQ(blank.err,
              std::string("Exception caught in main() :\nFailed to open file: \n") + kElapsed);
    EXPECT_EQ(blank.status, 1);
}

TEST_F(StoryCrcProgram, OutputThatCannotBeWrittenIsAFailure)
{
    writeFile(dir / "a.z5", "123456789");
    const ProcessResult r =
        testsupport::runCommand("(" + shellQuoted(STORYCRC_PATH) + " a.z5 >/dev/full)", dir.path());
    EXPECT_EQ(r.err, std::string("Failed to write output\n") + kElapsed);
    EXPECT_EQ(r.status, 1);
}

TEST_F(StoryCrcProgram, EmptyMissingAndSpecialResponseFilesAndMissingNames)
{
    writeFile(dir / "empty.txt", "");
    // A FIFO, also behind a link, used to block the program for ever; like a folder, such
    // response files are missing ones.
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("fifo", (dir / "link").c_str()), 0);
    const testsupport::TimeLimit limit(20);
    const ProcessResult empty = run("@empty.txt @missing.txt @fifo @link @.");
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(empty.err, kElapsed);
    EXPECT_EQ(empty.status, 0);

    const ProcessResult none = run("-s");
    EXPECT_EQ(none.err, std::string("error: At Least one filename needs to be specified!! for "
                                    "arg  \n") +
                            kElapsed);
    EXPECT_EQ(none.status, 1);
}

TEST_F(StoryCrcProgram, ParserOutcomes)
{
    const ProcessResult bad = run("a -c"); // -c needs a value
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("PARSE ERROR"), std::string::npos);
    EXPECT_EQ(bad.err.find("Total seconds"), std::string::npos);

    const ProcessResult version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("version: 1.0.0 "), std::string::npos);
    EXPECT_NE(version.out.find(" @ "), std::string::npos);

    const ProcessResult help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Generate CRC for files."), std::string::npos);
    EXPECT_NE(help.out.find("Recurse through file system.."), std::string::npos);

    // A name that begins with a dash, as a shell pattern hands it over, is an option unless
    // "--" comes first, as the help says.
    EXPECT_NE(help.out.find("Put -- before names that may begin with '-':\n   storycrc -- *.z5"),
              std::string::npos);
    writeFile(dir / "-s.z5", "123456789");
    writeFile(dir / "-x.z5", "");
    EXPECT_EQ(run("*.z5").status, 1); // "-s.z5" reads as -s followed by the unknown "-.z5"
    const ProcessResult dashed = run("-- *.z5");
    EXPECT_EQ(dashed.out, "CBF43926\t-s.z5\n00000000\t-x.z5\n");
    EXPECT_EQ(dashed.status, 0);
}

TEST_F(StoryCrcProgram, FolderArgumentsWalkInListingOrder)
{
    writeFile(dir / "games/b.z5", "123456789");
    writeFile(dir / "games/a.z5", "");
    writeFile(dir / "games/S1/one.z5", "");
    writeFile(dir / "games/S2/two.z5", "");
    writeFile(dir / "games/S2/deeper/three.z5", "");
    ASSERT_EQ(mkfifo((dir / "games/pipe.z5").c_str(), 0600), 0);
    ASSERT_EQ(symlink("..", (dir / "games/S1/up").c_str()), 0); // a loop, never entered

    EXPECT_EQ(run("games").out, "00000000\tgames/a.z5\nCBF43926\tgames/b.z5\n");
    // Subfolders come after their folder's files, the last one listed first.
    EXPECT_EQ(run("-r games/").out, "00000000\tgames/a.z5\n"
                                    "CBF43926\tgames/b.z5\n"
                                    "00000000\tgames/S2/two.z5\n"
                                    "00000000\tgames/S2/deeper/three.z5\n"
                                    "00000000\tgames/S1/one.z5\n");
}

// Files are read ahead on two workers, yet the lines keep the walk's order, and the first
// file that cannot be read ends the output: the lines before it are printed, none after.
TEST_F(StoryCrcProgram, TreesAreReportedInWalkOrderUpToTheFirstUnreadableFile)
{
    std::string expected;
    std::uint32_t sum = 0;
    auto add = [&](const std::string& name, const std::string& bytes) {
        writeFile(dir / name, bytes);
        const std::uint32_t crc = crc32Update(0, bytes.data(), bytes.size());
        expected += crcText(crc) + "\t" + name + "\n";
        sum += crc;
    };
    for (int i = 0; i < 150; ++i) {
        // Sizes from nothing to past the point where one file is read in two halves.
        const std::size_t size = i == 75 ? std::size_t{5} << 20 : static_cast<std::size_t>(i) * 997;
        add("tree/a" + std::to_string(1000 + i), std::string(size, static_cast<char>(i)));
    }
    const std::string beforeSub = expected;
    for (int i = 0; i < 150; ++i) {
        add("tree/sub/f" + std::to_string(1000 + i), std::to_string(i));
    }
    EXPECT_EQ(run("-r tree").out, expected);
    EXPECT_EQ(run("-s -r tree").out, crcText(sum) + "\tTOTAL\n");

    // A regular file whose first read fails, met between the two folders.
    ASSERT_EQ(symlink("/proc/self/mem", (dir / "tree/m").c_str()), 0);
    const ProcessResult failed = run("-r tree");
    EXPECT_EQ(failed.out, beforeSub);
    EXPECT_TRUE(failed.err.starts_with("Exception caught in main() :\nFailed to ")) << failed.err;
    EXPECT_TRUE(failed.err.ends_with(" tree/m\n" + std::string(kElapsed))) << failed.err;
    EXPECT_EQ(failed.status, 1);
}

TEST_F(StoryCrcProgram, PatternsMatchNamesIgnoringCaseFromTheCurrentFolder)
{
    writeFile(dir / "story.z5", "123456789");
    writeFile(dir / "notes.txt", "");
    writeFile(dir / "x.z5/inside.z5", "");
    writeFile(dir / "sub/deep.z5", "");
    const ProcessResult r = run("'*.Z5'");
    EXPECT_EQ(r.out, "CBF43926\t" + (dir / "story.z5") + "\n");
    EXPECT_EQ(run("-r 'sub/*.z5'").out, "00000000\t" + (dir / "sub/deep.z5") + "\n");

    const ProcessResult missing = run("'nosuch/*.z5'");
    EXPECT_EQ(missing.err, "Exception caught in main() :\n[" + (dir / "nosuch/") +
                               "] No such file or directory\n" + kElapsed);
    EXPECT_EQ(missing.status, 1);
}

TEST_F(StoryCrcProgram, SumCoversPlainFilesAndWalks)
{
    writeFile(dir / "one", bytesWithCrc(1));
    writeFile(dir / "folder/two", bytesWithCrc(2));
    writeFile(dir / "folder/sub/four", bytesWithCrc(4));
    EXPECT_EQ(run("-s -r folder one").out, "00000007\tTOTAL\n");
    EXPECT_EQ(run("-s folder one").out, "00000003\tTOTAL\n");
}

TEST_F(StoryCrcProgram, LongPathsWork)
{
    std::string deep = "d";
    while (deep.size() < 600) {
        deep += "/abcdefghijklmnopqrstuvwxyz";
    }
    writeFile(dir / (deep + "/f.z5"), "123456789");
    EXPECT_EQ(run(deep + "/f.z5").out, "CBF43926\t" + deep + "/f.z5\n");
}
