// Black-box tests of QueltImport without a window: no display at all, exact output, exit
// status, kept as transcripts in tests/golden/batch/.

#include "platform/AsciiCase.h"
#include "tests/storycrc/Transcript.h"
#include "tests/support/TestSupport.h"

#include <boost/algorithm/string/replace.hpp>
#include <gtest/gtest.h>

#include <filesystem>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

class BatchMode : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::copy(BATCH_FIXTURES, dir.path(), fs::copy_options::recursive);
        // A copy, so that the cache file beside the program lands in the test's folder.
        fs::create_directory(dir / "bin");
        fs::copy_file(QUELTIMPORT_PATH, dir / "bin/QueltImport");
        writeFile(dir / "games/Zork1.z3", std::string(18, '\x03') + "880429zork"); // serial 880429
        writeFile(dir / "games/sub/STRAY.Z5", std::string(18, '\x05')); // too short for a serial
    }

    // `command` run by sh without a display, QueltImport being the copy in bin/, behind
    // `asUser`; the test folder written "<dir>/".
    ProcessResult run(const std::string& command, const std::string& asUser = "")
    {
        ProcessResult r = runCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                                     "PATH=\"$PWD/bin:$PATH\" timeout 60 " +
                                         asUser + "sh -c " + shellQuoted(command),
                                     dir.path());
        for (std::string* text : {&r.out, &r.err}) {
            boost::algorithm::replace_all(*text, dir.path(), "<dir>/");
            boost::algorithm::replace_all(*text, platform::asciiLowered(dir.path()), "<dir>/");
        }
        return r;
    }

    void expectTranscript(const std::string& name, const std::string& asUser = "")
    {
        transcript::expect("batch/" + name + ".txt",
                           [&](const std::string& command) { return run(command, asUser); });
    }

    TempDir dir;
};

} // namespace

TEST_F(BatchMode, PrintsWhatItsTranscriptsShow)
{
    writeFile(dir / "odd/a\tb\rc\\d\x7f.z5", std::string(18, '\x05') + "8\n\x01\t9\x1b");
    fs::create_directory_symlink("games/sub", dir / "link");
    writeFile(dir / "fields/zork1.z3", readFile(dir / "games/Zork1.z3"));
    writeFile(dir / "fields/odd \xE9,\"q\"\\.dat", std::string(100, 'x'));
    // UTF-8 of 2, 3 and 4 bytes, U+0800, U+10FFFF; an overlong '/', a surrogate, a cut one.
    writeFile(dir / "fields/\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xE0\xA0\x80\xF4\x8F\xBF\xBF "
                    "\xC0\xAF\xED\xA0\x80\xF0\x9F.dat",
              "u");
    fs::copy_file(BATCH_FIELDS_SCRIPT, dir / "fields.py");
    for (const char* name :
         {"rows_in_fingerprint_order", "help_from_any_command_line",
          "failures_exit_1_and_bad_command_lines_2", "escapes_and_the_folder_reached",
          "csv_and_json_fields_and_missing_games", "installer_script",
          "catalogue_entries_as_loaded_and_saved"}) {
        expectTranscript(name);
    }
}

// Story files made by Inform 6 while the test runs, and copies of them: every field, hints
// included, and a rescan served from the cache.
TEST_F(BatchMode, SaysWhyEachStoryFileMatchedNothing)
{
    expectTranscript("why_story_files_matched_nothing");
}

TEST_F(BatchMode, APartialScanPrintsWhatItFoundReportsTheRestAndFails)
{
    const auto nobody = asNobody();
    if (!nobody) {
        GTEST_SKIP() << "running as root without setpriv: no unprivileged user to test with";
    }
    // A file nobody may read and a folder nobody may list.
    writeFile(dir / "games/locked.z5", "secret");
    writeFile(dir / "games/closed/inside.z5", "secret");
    fs::permissions(dir.path(), fs::perms::all);
    for (const char* path : {"games/locked.z5", "games/closed"}) {
        fs::permissions(dir / path, fs::perms::none);
    }
    expectTranscript("partial_scan_as_nobody", *nobody + "env XDG_DATA_HOME=" + dir / "xdg ");
}

TEST_F(BatchMode, ProgressShowsOnATerminalUnlessQuiet)
{
    // script(1) gives the program a terminal for its standard output and error.
    const std::string shown = run("script -qec 'QueltImport --scan games' /dev/null").out;
    EXPECT_NE(shown.find("Scanning: listing files\u2026"), std::string::npos) << shown;
    EXPECT_NE(shown.find("2: games found."), std::string::npos) << shown;
    EXPECT_EQ(run("script -qec 'QueltImport --scan games --quiet' /dev/null").out.find("Scanning"),
              std::string::npos);
}
