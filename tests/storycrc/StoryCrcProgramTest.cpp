// Black-box tests of the built storycrc: exact standard output, error lines, exit status. On
// Windows (under wine) the same cases run through cmd.exe, with backslashes in the names and
// "\r\n" ending the lines. What only POSIX has (FIFOs, symbolic links, /proc, /dev/full, the
// shell's expansion of patterns) is tried on Linux alone; what stands in for it on Windows is
// said where it is.

#include "core/Fingerprint.h"
#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <system_error>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using testsupport::bytesWithCrc;
using testsupport::ProcessResult;
using testsupport::shellQuoted;
using testsupport::writeFile;

namespace {

#ifdef _WIN32
constexpr std::string_view kLineEnd = "\r\n";
const std::string kNoSuchFile = std::system_category().message(2); // ERROR_FILE_NOT_FOUND
const std::string kIsAFolder = std::system_category().message(5);  // ERROR_ACCESS_DENIED
#else
constexpr std::string_view kLineEnd = "\n";
const std::string kNoSuchFile = "No such file or directory";
const std::string kIsAFolder = "Is a directory";
#endif

// `text` with the system's separator for each '/'.
std::string withSeparators(std::string text)
{
    std::replace(text.begin(), text.end(), '/', platform::kPathSeparator);
    return text;
}

// `text` with the system's line ends.
std::string withLineEnds(const std::string& text)
{
    std::string written;
    for (char c : text) {
        written += c == '\n' ? std::string(kLineEnd) : std::string(1, c);
    }
    return written;
}

// `text` as storycrc writes the paths it makes: with the system's separators and line ends.
std::string asWritten(const std::string& text)
{
    return withLineEnds(withSeparators(text));
}

const std::string kElapsed = asWritten("\n0 Total seconds.\n");
const std::string kCaught = asWritten("Exception caught in main() :\n");

class StoryCrcProgram : public ::testing::Test
{
protected:
    // `args` as sh takes them; for cmd.exe with the system's separators and '"' for quotes.
    // Standard input is the file `input` of the test folder, or nothing.
    ProcessResult run(std::string args, const std::string& input = "")
    {
        args = withSeparators(std::move(args));
#ifdef _WIN32
        std::replace(args.begin(), args.end(), '\'', '"');
        return testsupport::runCommand(shellQuoted(STORYCRC_PATH) + " " + args, dir.path(), input);
#else
        // In a subshell: `args` may redirect the output (only on Linux: wine's cmd.exe takes
        // no redirection after a quoted program, nor after parentheses).
        return testsupport::runCommand("(" + shellQuoted(STORYCRC_PATH) + " " + args + ")",
                                       dir.path(), input);
#endif
    }

    // `text` with "<dir>/" standing for the test folder.
    std::string inDir(std::string text) const
    {
        std::size_t at = 0;
        while ((at = text.find("<dir>/")) != std::string::npos) {
            text.replace(at, 6, dir.path());
        }
        return text;
    }

    testsupport::TempDir dir;
};

} // namespace

TEST_F(StoryCrcProgram, PrintsExactlyThis)
{
    for (const char* name : {"story.z5", "names/a.z5", "resp/x.z5", "games/b.z5"}) {
        writeFile(dir / name, "123456789"); // CRC CBF43926
    }
    for (const char* name : {"notes.txt", "x.z5/inside.z5", "sub/deep.z5", "names/C.Z5",
                             "resp/y.z5", "resp/games/Story.dat", "resp/empty.txt", "games/a.z5",
                             "games/S1/one.z5", "games/S2/two.z5", "games/S2/deeper/three.z5"}) {
        writeFile(dir / name, "");
    }
    writeFile(dir / "names/b.z5", bytesWithCrc(0xABCD));
    writeFile(dir / "sum/one", bytesWithCrc(1));
    writeFile(dir / "sum/big", bytesWithCrc(0xFFFFFFFF));
    writeFile(dir / "sum/folder/two", bytesWithCrc(2));
    writeFile(dir / "sum/folder/sub/four", bytesWithCrc(4));
    writeFile(dir / "resp/list.txt",
              withSeparators("resp/x.z5\r\nresp/y.z5\r\nresp/games\nresp/games/*.dat\n"));
    writeFile(dir / "resp/blank.txt", "x\n\n");
#ifdef _WIN32
    // Windows lists no FIFOs, and its links need rights a test does not have. A device, which
    // might never end, stands in as a response file: NUL, a name in every folder.
    const std::string unreadableResponses = "@resp/nul";
#else
    // A FIFO, also behind a link, used to block the program for ever; like a folder, such
    // response files are missing ones, and a walk passes them by, as it does links to folders.
    ASSERT_EQ(mkfifo((dir / "resp/fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("fifo", (dir / "resp/link").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "games/pipe.z5").c_str(), 0600), 0);
    ASSERT_EQ(symlink("..", (dir / "games/S1/up").c_str()), 0);
    const std::string unreadableResponses = "@resp/fifo @resp/link";
#endif
    const testsupport::TimeLimit limit(60);

    struct Case
    {
        std::string args;
        std::string out;
        std::string err = {}; // before the elapsed time
        int status = 0;
    };
    const Case cases[] = {
        // Names sorted, each once.
        {"names/b.z5 names/a.z5 names/a.z5 names/C.Z5",
         "00000000\tnames/C.Z5\nCBF43926\tnames/a.z5\n0000ABCD\tnames/b.z5\n"},
        // The mark for the exact text only.
        {"-c CBF43926 names/a.z5", "CBF43926\tnames/a.z5\t**matched CRC**\n"},
        {"-c cbf43926 names/a.z5", "CBF43926\tnames/a.z5\n"},
        {"--compare CBF4392 names/a.z5", "CBF43926\tnames/a.z5\n"},
        // A sum, modulo 2^32, of files and of walks.
        {"-s sum/one sum/big", "00000000\tTOTAL\n"},
        {"-s sum/folder sum/one", "00000003\tTOTAL\n"},
        {"-s -r sum/folder sum/one", "00000007\tTOTAL\n"},
        {"-s -c 00000003 sum/folder sum/one", "00000003\tTOTAL\t**matched CRC**\n"},
        // Response file names are upper-cased and found ignoring case; folders and patterns
        // are walked as found and printed as typed.
        {"@resp/list.txt", "00000000\tRESP/GAMES/Story.dat\n00000000\t<dir>/RESP/GAMES/Story.dat\n"
                           "CBF43926\tRESP/X.Z5\n00000000\tRESP/Y.Z5\n"},
        {"@resp/empty.txt @resp/missing.txt " + unreadableResponses + " @resp", ""},
        // Folders: files in byte order, subfolders after them, the last one listed first.
        {"games", "00000000\tgames/a.z5\nCBF43926\tgames/b.z5\n"},
        {"-r games/", "00000000\tgames/a.z5\nCBF43926\tgames/b.z5\n00000000\tgames/S2/two.z5\n"
                      "00000000\tgames/S2/deeper/three.z5\n00000000\tgames/S1/one.z5\n"},
        // Patterns match file names ignoring case, relative ones from the current folder.
        {"'*.Z5'", "CBF43926\t<dir>/story.z5\n"},
        {"-r 'sub/*.z5'", "00000000\t<dir>/sub/deep.z5\n"},
        {"'<dir>/sub/*.Z5'", "00000000\t<dir>/sub/deep.z5\n"},
        // Failures end the run with status 1; a read error is no end of file.
        {"'nosuch/*.z5'", "", "Exception caught in main() :\n[<dir>/nosuch/] " + kNoSuchFile + "\n",
         1},
        {"names/b.z5 missing.z5", "",
         "Exception caught in main() :\nFailed to open file: missing.z5\n", 1},
        {"@resp/blank.txt", "", "Exception caught in main() :\nFailed to open file: \n", 1},
        {"-s", "", "error: At Least one filename needs to be specified!! for arg  \n", 1},
#ifdef _WIN32
        // A device is refused (Windows lists none, so only a name given can be one).
        {"names/b.z5 NUL", "", "Exception caught in main() :\nFailed to open file: NUL\n", 1},
#else
        // A read that fails, and output that cannot be written. Wine gives no counterparts:
        // it does not enforce locks on parts of files, and its NUL takes every byte.
        {"names/b.z5 /proc/self/mem", "",
         "Exception caught in main() :\nFailed to read file: /proc/self/mem\n", 1},
        {"names/a.z5 >/dev/full", "", "Failed to write output\n", 1},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ProcessResult r = run(inDir(c.args));
        EXPECT_EQ(r.out, asWritten(inDir(c.out)));
        EXPECT_EQ(r.err, asWritten(inDir(c.err)) + kElapsed);
        EXPECT_EQ(r.status, c.status);
    }
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
    EXPECT_NE(help.out.find("storycrc --check games.sfv"), std::string::npos);
    EXPECT_NE(help.out.find("storycrc --sfv -r games > games.sfv"), std::string::npos);

    // Options that do not go together, reported as the parser reports its own failures.
    for (const char* misuse :
         {"--check -s l.sfv", "--check -c 00000000 l.sfv", "--check -r l.sfv", "--sfv -s a",
          "--sfv -c 00000000 a", "--sfv --check a", "--quiet a"}) {
        SCOPED_TRACE(misuse);
        const ProcessResult r = run(misuse);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.starts_with("PARSE ERROR: Argument: --")) << r.err;
        EXPECT_EQ(r.err.find("Total seconds"), std::string::npos);
    }

    // A name that begins with a dash, as a shell pattern hands it over, is an option unless
    // "--" comes first, as the help says. (cmd.exe hands a pattern over as typed: storycrc
    // walks it.)
    EXPECT_NE(help.out.find(
                  asWritten("Put -- before names that may begin with '-':\n   storycrc -- *.z5")),
              std::string::npos);
#ifndef _WIN32
    writeFile(dir / "-s.z5", "123456789");
    writeFile(dir / "-x.z5", "");
    EXPECT_EQ(run("*.z5").status, 1); // "-s.z5" reads as -s followed by the unknown "-.z5"
    const ProcessResult dashed = run("-- *.z5");
    EXPECT_EQ(dashed.out, "CBF43926\t-s.z5\n00000000\t-x.z5\n");
    EXPECT_EQ(dashed.status, 0);
#endif
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
        expected += asWritten(crcText(crc) + "\t" + name + "\n");
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
    EXPECT_EQ(run("-s -r tree").out, asWritten(crcText(sum) + "\tTOTAL\n"));

    // A regular file met between the two folders that cannot be read: on Windows one that
    // another program keeps open without sharing it; on Linux one whose first read fails.
#ifdef _WIN32
    writeFile(dir / "tree/m", "");
    const int holder = _sopen((dir / "tree/m").c_str(), _O_RDONLY, _SH_DENYRW);
    ASSERT_GE(holder, 0);
#else
    ASSERT_EQ(symlink("/proc/self/mem", (dir / "tree/m").c_str()), 0);
#endif
    const ProcessResult failed = run("-r tree");
    EXPECT_EQ(failed.out, beforeSub);
    EXPECT_TRUE(failed.err.starts_with(kCaught + "Failed to ")) << failed.err;
    EXPECT_TRUE(failed.err.ends_with(asWritten(" tree/m\n") + kElapsed)) << failed.err;
    EXPECT_EQ(failed.status, 1);
#ifdef _WIN32
    _close(holder);
#endif
}

#ifndef _WIN32
// A folder that cannot be listed is reported, the walk goes on, and the run fails. (Windows
// keeps a folder's rights in its ACL, which wine does not: Linux only.)
TEST_F(StoryCrcProgram, AFolderThatCannotBeListedIsReportedAndTheRunFails)
{
    const auto nobody = testsupport::asNobody();
    if (!nobody) {
        GTEST_SKIP() << "running as root without setpriv: no unprivileged user to test with";
    }
    writeFile(dir / "tree/a.z5", "123456789");
    writeFile(dir / "tree/z/c.z5", bytesWithCrc(2));
    writeFile(dir / "tree/closed/b.z5", "");
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "tree/closed").c_str(), 0), 0);
    const std::pair<std::string, std::string> cases[] = {
        {"-r tree", "CBF43926\ttree/a.z5\n00000002\ttree/z/c.z5\n"},
        {"-s -r tree", "CBF43928\tTOTAL\n"},
        {"'tree/closed/*.z5'", ""},
    };
    for (const auto& [args, out] : cases) {
        SCOPED_TRACE(args);
        const ProcessResult r =
            testsupport::runCommand(*nobody + shellQuoted(STORYCRC_PATH) + " " + args, dir.path());
        EXPECT_EQ(r.out, out);
        const std::string shown = args.starts_with("'") ? dir.path() : "";
        EXPECT_EQ(r.err, "Failed to list folder: " + shown + "tree/closed/\n" + kElapsed);
        EXPECT_EQ(r.status, 1);
    }
    ASSERT_EQ(chmod((dir / "tree/closed").c_str(), 0755), 0); // for the clean-up
}
#endif

TEST_F(StoryCrcProgram, ChecksListsOfEitherForm)
{
    writeFile(dir / "ok.z5", "123456789"); // CRC CBF43926
    writeFile(dir / "Mixed.Z5", "123456789");
    writeFile(dir / "changed.z5", bytesWithCrc(0x1A2B3C4D));
    writeFile(dir / "a b.z5", "");
    writeFile(dir / "folder/inside.z5", "");
    // A byte order mark, Windows line ends, a comment, an empty line and a line longer than
    // the reader's chunks that does not parse.
    writeFile(dir / "list.sfv",
              "\xEF\xBB\xBF; made by hand\r\nok.z5 CBF43926\r\n\r\n"
              "changed.z5 00000000\r\nmixed.z5 cbf43926\r\na b.z5 00000000\r\n"
              "gone.z5 12345678\r\nfolder 00000000\r\n/proc/self/mem 00000000\r\n" +
                  std::string(10000, 'x') + "\r\n");
    writeFile(dir / "own.txt", "CBF43926\tok.z5\t**matched CRC**\n00000000\ta b.z5\n");
    writeFile(dir / "sums.txt", "00000003\tTOTAL\n");
    writeFile(dir / "empty.sfv", "; nothing\n");
    const testsupport::TimeLimit limit(60);

    const std::string failures = "changed.z5: FAILED (1A2B3C4D, expected 00000000)\n"
                                 "gone.z5: FAILED open or read\n"
                                 "folder: FAILED open or read\n"
                                 "/proc/self/mem: FAILED open or read\n";
    const std::string summary = "storycrc: list.sfv: 10: improperly formatted CRC line\n"
                                "storycrc: WARNING: 1 line is improperly formatted\n"
                                "storycrc: WARNING: 3 listed files could not be read\n"
                                "storycrc: WARNING: 1 computed CRC did NOT match\n";
    struct Case
    {
        std::string args;
        std::string out;
        std::string err; // before the elapsed time
        int status;
        std::string input = {};
    };
    const Case cases[] = {
        {"--check list.sfv",
         "ok.z5: OK\n" + failures.substr(0, failures.find('\n') + 1) +
             "mixed.z5: OK\na b.z5: OK\n" + failures.substr(failures.find('\n') + 1),
         summary, 1},
        {"--check --quiet list.sfv", failures, summary, 1},
        {"--check -", "ok.z5: OK\na b.z5: OK\n", "", 0, "own.txt"},
        {"--check empty.sfv", "", "storycrc: empty.sfv: no file listed\n", 0},
        {"--check own.txt sums.txt nosuch.sfv folder", "ok.z5: OK\na b.z5: OK\n",
         "storycrc: sums.txt: 1: a TOTAL line names no file\n"
         "storycrc: sums.txt: no file listed\n"
         "storycrc: nosuch.sfv: " +
             kNoSuchFile + "\nstorycrc: folder: " + kIsAFolder +
             "\nstorycrc: WARNING: 1 line is improperly formatted\n",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ProcessResult r = run(c.args, c.input);
        EXPECT_EQ(r.out, withLineEnds(c.out)); // the names as the lists give them
        EXPECT_EQ(r.err, withLineEnds(c.err) + kElapsed);
        EXPECT_EQ(r.status, c.status);
    }
}

TEST_F(StoryCrcProgram, WritesSfvLists)
{
    writeFile(dir / "names/a.z5", "123456789"); // CRC CBF43926
    writeFile(dir / "names/b.z5", bytesWithCrc(0xABCD));
    writeFile(dir / ";c", "");

    // Names in the same order as CRC lines; a relative pattern's files keep relative names,
    // and a name that would read as a comment gets "./" (on Windows too).
    ProcessResult r = run("--sfv names/b.z5 names/a.z5 'names/*.Z5' ';c'");
    EXPECT_EQ(r.out, withLineEnds("./;c 00000000\n") +
                         asWritten("names/a.z5 CBF43926\nnames/b.z5 0000ABCD\n"
                                   "names/a.z5 CBF43926\nnames/b.z5 0000ABCD\n"));
    EXPECT_EQ(r.err, kElapsed);
    EXPECT_EQ(r.status, 0);

#ifndef _WIN32 // no name on Windows holds a line end
    writeFile(dir / "nl/bad\nname.z5", "");
    writeFile(dir / "nl/good.z5", "");
    r = run("--sfv -r nl");
    EXPECT_EQ(r.out, "nl/good.z5 00000000\n");
    EXPECT_EQ(r.err, "Name with a line end left out of the list: "
                     "nl/bad\\nname.z5\n" +
                         std::string(kElapsed));
    EXPECT_EQ(r.status, 1);
#endif
}

TEST_F(StoryCrcProgram, SfvListsAreReadByRhashCksfvAndCheck)
{
    writeFile(dir / "tree/a b.z5", "123456789");
    writeFile(dir / "tree/sub/Story.DAT", bytesWithCrc(0xABCD));
    writeFile(dir / "tree/sub/empty.z5", "");
    const ProcessResult listed = run("--sfv -r tree");
    ASSERT_EQ(listed.status, 0);
    writeFile(dir / "tree.sfv", listed.out);
#ifdef _WIN32
    const std::vector<std::string> readers; // rhash and cksfv are the Linux ones
#else
    const std::vector<std::string> readers = {"rhash -c tree.sfv", "cksfv -f tree.sfv"};
#endif
    for (const std::string& reader : readers) {
        EXPECT_EQ(testsupport::runCommand(reader, dir.path()).status, 0) << reader;
    }
    const ProcessResult checked = run("--check tree.sfv");
    EXPECT_EQ(checked.out,
              asWritten("tree/a b.z5: OK\ntree/sub/Story.DAT: OK\ntree/sub/empty.z5: OK\n"));
    EXPECT_EQ(checked.status, 0);

    // They read the entries: a changed file fails each of them.
    writeFile(dir / "tree/sub/empty.z5", "x");
    for (const std::string& reader : readers) {
        EXPECT_EQ(testsupport::runCommand(reader, dir.path()).status, 1) << reader;
    }
    EXPECT_EQ(run("--check tree.sfv").status, 1);
}
