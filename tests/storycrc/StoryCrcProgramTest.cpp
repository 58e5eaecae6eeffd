// Black-box tests of the built storycrc: exact standard output, error lines, exit status, most
// of them kept as transcripts in tests/golden/storycrc/. On Windows (under wine) the same cases
// run through cmd.exe; what they print is compared in Linux's form. What only POSIX has (FIFOs,
// symbolic links, /proc, /dev/full, the shell's expansion of patterns) is tried on Linux alone;
// what stands in for it on Windows is said where it is.

#include "core/Fingerprint.h"
#include "platform/FileSystem.h"
#include "tests/storycrc/Transcript.h"
#include "tests/support/TestSupport.h"

#include <boost/algorithm/string/replace.hpp>
#include <boost/crc.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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

using namespace testsupport;

namespace {

class StoryCrcProgram : public ::testing::Test
{
protected:
    // storycrc with `args` as sh takes them; for cmd.exe with the system's separators and '"'
    // for quotes. "<dir>/" stands for the test folder; " <file" makes `file` standard input.
    ProcessResult launch(std::string args, [[maybe_unused]] const std::string& asUser = "")
    {
        boost::algorithm::replace_all(args, "<dir>/", dir.path());
        std::replace(args.begin(), args.end(), '/', platform::kPathSeparator);
        std::string input;
        if (const std::size_t at = args.find(" <"); at != std::string::npos) {
            input = args.substr(at + 2);
            args.erase(at);
        }
#ifdef _WIN32
        std::replace(args.begin(), args.end(), '\'', '"');
        return runCommand(shellQuoted(STORYCRC_PATH) + " " + args, dir.path(), input);
#else
        // Through sh -c, so that `args` may redirect the output (wine's cmd.exe takes no
        // redirection after a quoted program).
        const std::string command = "exec " + shellQuoted(STORYCRC_PATH) + " " + args;
        return runCommand(asUser + "sh -c " + shellQuoted(command), dir.path(), input);
#endif
    }

    // What launch() gives, in Linux's form: the test folder written "<dir>/"; on Windows, where
    // each line must end in "\r\n", with '\n' and '/' and Linux's words for two failures.
    ProcessResult run(const std::string& args, const std::string& asUser = "")
    {
        ProcessResult r = launch(args, asUser);
        for (std::string* text : {&r.out, &r.err}) {
#ifdef _WIN32
            const std::size_t withCarriageReturns = text->size();
            boost::algorithm::replace_all(*text, "\r\n", "\n");
            EXPECT_EQ(withCarriageReturns - text->size(),
                      static_cast<std::size_t>(std::count(text->begin(), text->end(), '\n')))
                << *text;
            // ERROR_FILE_NOT_FOUND, and ERROR_ACCESS_DENIED for a folder
            boost::algorithm::replace_all(*text, std::system_category().message(2),
                                          "No such file or directory");
            boost::algorithm::replace_all(*text, std::system_category().message(5),
                                          "Is a directory");
#endif
            boost::algorithm::replace_all(*text, dir.path(), "<dir>/");
            std::replace(text->begin(), text->end(), platform::kPathSeparator, '/');
        }
        return r;
    }

    void expectTranscript(const std::string& name, const std::string& asUser = "")
    {
        transcript::expect("storycrc/" + name + ".txt", [&](const std::string& command) {
            return run(command.substr(std::string_view("storycrc ").size()), asUser);
        });
    }

    TempDir dir;
};

} // namespace

TEST_F(StoryCrcProgram, PrintsWhatItsTranscriptsShow)
{
    namespace fs = std::filesystem;
    // Into "<dir>/.": on Windows copy() puts nothing into a folder named with a trailing backslash.
    fs::copy(STORYCRC_FIXTURES, dir / ".", fs::copy_options::recursive);
    const std::pair<const char*, std::uint32_t> crcs[] = {
        {"names/b.z5", 0xABCD},  {"changed.z5", 0x1A2B3C4D}, {"sum/one", 1},
        {"sum/big", 0xFFFFFFFF}, {"sum/folder/two", 2},      {"sum/folder/sub/four", 4}};
    for (const auto& [name, crc] : crcs) {
        writeFile(dir / name, bytesWithCrc(crc));
    }
    writeFile(dir / "list.sfv", readFile(dir / "list.sfv") + std::string(10000, 'x'));
    std::vector<std::string> transcripts{
        "names_sorted_marked_and_summed", "response_files_folders_and_patterns",
        "failures_end_the_run", "check_list_of_either_form", "sfv_list_order_and_names"};
#ifdef _WIN32
    // Windows lists no FIFOs, and its links need rights a test does not have. A device, which
    // might never end, stands in as a response file: NUL, a name in every folder.
    transcripts.emplace_back("device_refused_windows");
#else
    // A FIFO, also behind a link, used to block the program for ever; like a folder, such
    // response files are missing ones, and a walk passes them by, as it does links to folders.
    ASSERT_EQ(mkfifo((dir / "resp/fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("fifo", (dir / "resp/link").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "games/pipe.z5").c_str(), 0600), 0);
    ASSERT_EQ(symlink("..", (dir / "games/S1/up").c_str()), 0);
    for (const char* name : {"nl/bad\nname.z5", "nl/good.z5", "DEADBEEF\tx", "tail "}) {
        writeFile(dir / name, ""); // no name on Windows holds these
    }
    // Wine gives no counterparts of these: it does not enforce locks on parts of files, its
    // NUL takes every byte, and cmd.exe hands a pattern over as typed (storycrc walks it).
    transcripts.insert(transcripts.end(), {"read_and_write_failures_posix",
                                           "names_beginning_with_a_dash_posix", "sfv_names_posix"});
#endif
    for (const std::string& name : transcripts) {
        const TimeLimit limit(60);
        expectTranscript(name);
    }
}

TEST_F(StoryCrcProgram, RefusesMisusedOptionsAndPrintsHelp)
{
    // Misuse is reported as the parser reports its own failures, before any work.
    std::vector<std::string> misuses{
        "a -c",       "--check -s l.sfv",    "--check -c 00000000 l.sfv", "--check -r l.sfv",
        "--sfv -s a", "--sfv -c 00000000 a", "--sfv --check a",           "--quiet a"};
#ifndef _WIN32
    // A shell pattern hands "-s.z5" over: -s and the unknown "-.z5", unless "--" comes first.
    writeFile(dir / "-s.z5", "");
    misuses.emplace_back("*.z5");
#endif
    for (const std::string& misuse : misuses) {
        const ProcessResult r = run(misuse);
        EXPECT_EQ(r.status, 1) << misuse;
        EXPECT_TRUE(r.err.starts_with("PARSE ERROR: Argument: -")) << r.err;
        EXPECT_EQ(r.err.find("Total seconds"), std::string::npos) << misuse;
    }
    const std::string help = run("--help").out;
    for (const char* text : {"Generate CRC for files.", "Recurse through file system..",
                             "storycrc --check games.sfv", "storycrc --sfv -r games > games.sfv",
                             "Put -- before names that may begin with '-':\n   storycrc -- *.z5"}) {
        EXPECT_NE(help.find(text), std::string::npos) << text;
    }
}

// Files are read ahead on two workers, yet the lines keep the walk's order, and the first
// file that cannot be read ends the output: the lines before it are printed, none after.
TEST_F(StoryCrcProgram, TreesAreReportedInWalkOrderUpToTheFirstUnreadableFile)
{
    std::string expected;
    std::uint32_t sum = 0;
    auto add = [&](const std::string& name, const std::string& bytes) {
        writeFile(dir / name, bytes);
        boost::crc_32_type crc; // the reference
        crc.process_bytes(bytes.data(), bytes.size());
        expected += crcText(crc.checksum()) + "\t" + name + "\n";
        sum += crc.checksum();
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
    EXPECT_TRUE(failed.err.starts_with("Exception caught in main() :\nFailed to ")) << failed.err;
    EXPECT_TRUE(failed.err.ends_with(" tree/m\n\n0 Total seconds.\n")) << failed.err;
    EXPECT_EQ(failed.status, 1);
#ifdef _WIN32
    _close(holder);
#endif
}

#ifndef _WIN32
// Windows keeps a folder's rights in its ACL, which wine does not: Linux only.
TEST_F(StoryCrcProgram, AFolderThatCannotBeListedIsReportedAndTheRunFails)
{
    const auto nobody = asNobody();
    if (!nobody) {
        GTEST_SKIP() << "running as root without setpriv: no unprivileged user to test with";
    }
    writeFile(dir / "tree/a.z5", "123456789");
    writeFile(dir / "tree/z/c.z5", bytesWithCrc(2));
    writeFile(dir / "tree/closed/b.z5", "");
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "tree/closed").c_str(), 0), 0);
    expectTranscript("folder_that_cannot_be_listed_posix", *nobody);
}
#endif

// What --sfv writes, --check, rhash -c and cksfv -f read: all pass, and all fail once a file
// changed.
TEST_F(StoryCrcProgram, SfvListsAreReadByRhashCksfvAndCheck)
{
    writeFile(dir / "tree/a b.z5", "123456789");
    writeFile(dir / "tree/sub/Story.DAT", bytesWithCrc(0xABCD));
    writeFile(dir / "tree/sub/empty.z5", "");
    writeFile(dir / "tree.sfv", launch("--sfv -r tree").out);
    std::vector<std::string> readers{shellQuoted(STORYCRC_PATH) + " --check tree.sfv"};
#ifndef _WIN32 // rhash and cksfv are the Linux ones
    readers.insert(readers.end(), {"rhash -c tree.sfv", "cksfv -f tree.sfv"});
#endif
    for (const int status : {0, 1}) {
        for (const std::string& reader : readers) {
            EXPECT_EQ(runCommand(reader, dir.path()).status, status) << reader;
        }
        writeFile(dir / "tree/sub/empty.z5", "x");
    }
}
