// Black-box tests of QueltImport without a window: no display at all, exact output, exit
// status. (That its rows and files equal the window's is tried beside the window's scan.)

#include "core/Fingerprint.h"
#include "platform/AsciiCase.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>

using namespace testsupport;

namespace {

class BatchMode : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A copy, so that the cache file beside the program lands in the test's folder.
        std::filesystem::create_directory(dir / "bin");
        std::filesystem::copy_file(QUELTIMPORT_PATH, dir / "bin/QueltImport");
        writeFile(dir / "games/zork1.z3", std::string(18, '\x03') + "880429zork");
        writeFile(dir / "games/sub/STRAY.Z5", std::string(18, '\x05')); // too short for a serial
        writeFile(dir / "games/notes.txt", "no story");
        zork = crcText(*computeFingerprint(dir / "games/zork1.z3"));
        stray = crcText(*computeFingerprint(dir / "games/sub/STRAY.Z5"));
        writeFile(dir / "cat.xml", "<games><supported_game fingerprint=\"" + zork +
                                       "\" FullName=\"Zork I\" sn=\"880429\" warn=\"v3\"/>"
                                       "<supported_game fingerprint=\"0000ABCD\" "
                                       "FullName=\"Lost\" sn=\"\"/></games>");
    }

    // QueltImport with `args`, without a display, through `runner`.
    ProcessResult run(const std::string& args, const std::string& runner = "bin/QueltImport ")
    {
        return runCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 " +
                              runner + args,
                          dir.path());
    }

    TempDir dir;
    std::string zork;
    std::string stray;
};

} // namespace

TEST_F(BatchMode, PrintsTheRowsInFingerprintOrderThenTheCountOrHelpOrVersion)
{
    std::filesystem::create_directory(dir / "bin/empty");
    // Paths as the window shows them: absolute, spelled as found.
    const std::string games = dir / "games/";
    const std::string zorkRow = zork + "\t880429\t" + games + "zork1.z3\tv3\tZork I\n";
    const std::string strayRow = stray + "\tunknown\t" + games + "sub/STRAY.Z5\t\tunknown\n";
    const std::string lostRow = "0000ABCD\tunknown\tunknown\t\tLost\n";
    const std::vector<std::tuple<std::string, std::string>> cases{
        {"--scan games --catalogue cat.xml",
         lostRow + (zork < stray ? zorkRow + strayRow : strayRow + zorkRow) + "3: games found.\n"},
        {"--scan ./games/sub/ --quiet", strayRow + "1: games found.\n"},
        {"--scan bin/empty", "no games found.\n"},
        {"--version", "QueltImport " QUELT_VERSION "\n"},
    };
    for (const auto& [args, out] : cases) {
        const ProcessResult r = run(args);
        EXPECT_EQ(r.out, out) << args;
        EXPECT_EQ(r.err, "") << args; // no progress where standard error is no terminal
        EXPECT_EQ(r.status, 0) << args;
    }
    // The match went into the window's cache, beside the program, under its lower-cased key.
    const std::string cacheLine = platform::asciiLowered(games) + "zork1.z3|" + zork + "|";
    EXPECT_EQ(readFile(dir / "bin/filecache.txt").find(cacheLine), 0u);

    for (const char* args : {"--help", "-h", "--scan games --help"}) {
        const ProcessResult r = run(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_NE(r.out.find("  QueltImport --scan FOLDER [--catalogue FILE]"), std::string::npos)
            << args;
        EXPECT_EQ(r.err, "") << args;
    }
}

TEST_F(BatchMode, FailuresExitWith1AndBadCommandLinesWith2)
{
    writeFile(dir / "bad.xml", "<games><supported_game");
    const std::vector<std::tuple<std::string, int, std::string>> cases{
        {"--scan missing", 1, "QueltImport: cannot scan missing: No such file or directory\n"},
        {"--scan cat.xml", 1, "QueltImport: cannot scan cat.xml: not a folder\n"},
        {"--scan games --catalogue bad.xml", 1,
         "QueltImport: cannot load the catalogue bad.xml:\nProblem with XML format"},
        {"--scan games --catalogue games", 1, "QueltImport: cannot load the catalogue games:"},
        {"--scan games --save no/such/out.xml", 1, "QueltImport: cannot write no/such/out.xml\n"},
        {"--scan games --installer no/such/out.iss", 1,
         "QueltImport: cannot write no/such/out.iss: No such file or directory\n"},
        {"--scan games --save out.xml --gamelist --installer games", 1,
         "QueltImport: cannot write games: "},
        {"--frob", 2, "QueltImport: Couldn't find match for argument (--frob)\n"},
        {"-platform offscreen", 2, "QueltImport: Couldn't find match for argument"},
        {"--scan", 2, "QueltImport: Missing a value for this argument! (--scan)\n"},
        {"--scan games stray", 2, "QueltImport: Couldn't find match for argument (stray)\n"},
        {"--catalogue cat.xml", 2, "QueltImport: --scan FOLDER is missing\n"},
        {"--scan games --gamelist", 2, "QueltImport: --gamelist goes with --save\n"},
    };
    for (const auto& [args, status, err] : cases) {
        const ProcessResult r = run(args);
        EXPECT_EQ(r.status, status) << args;
        EXPECT_EQ(r.err.substr(0, err.size()), err) << args;
        if (status == 2) {
            EXPECT_EQ(r.out, "") << args;
            EXPECT_NE(r.err.find("Try 'QueltImport --help'"), std::string::npos) << args;
        }
    }
    // The files that could be written are; the results were printed before.
    EXPECT_NE(readFile(dir / "gamelist.txt"), "");
    EXPECT_NE(readFile(dir / "out.xml"), "");
}

TEST_F(BatchMode, RowsAreOneLineEachAndTheFolderIsTheOneTheSystemReaches)
{
    // Tabs, line ends and other control bytes in a name and in a serial (bytes 18 to 23).
    const std::string odd = "games/sub/a\tb\rc\\d\x7f.z5";
    writeFile(dir / odd, std::string(18, '\x05') + "8\n\x01\t9\x1b");
    std::map<std::string, std::string> rows{
        {crcText(*computeFingerprint(dir / odd)),
         "\t8\\n\\x01\\t9\\x1B\t" + dir / "games/sub/a\\tb\\rc\\\\d\\x7F.z5\t\tunknown\n"},
        {stray, "\tunknown\t" + dir / "games/sub/STRAY.Z5\t\tunknown\n"}};
    const auto printed = [&] {
        std::string text;
        for (const auto& [fingerprint, row] : rows) {
            text += fingerprint + row;
        }
        return text + std::to_string(rows.size()) + ": games found.\n";
    };
    // ".." leaves the folder a link leads to, as the system takes it: link/../sub is
    // games/sub/, not a folder sub beside the link, and link/.. is games/.
    std::filesystem::create_directory_symlink("games/sub", dir / "link");
    EXPECT_EQ(run("--scan link/../sub").out, printed());
    rows[zork] = "\t880429\t" + dir / "games/zork1.z3\t\tunknown\n";
    EXPECT_EQ(run("--scan link/..").out, printed());
    const ProcessResult r = run("--scan link/../games");
    EXPECT_EQ(r.err, "QueltImport: cannot scan link/../games: No such file or directory\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(BatchMode, APartialScanPrintsWhatItFoundReportsTheRestAndFails)
{
    const auto nobody = asNobody();
    if (!nobody) {
        GTEST_SKIP() << "running as root without setpriv: no unprivileged user to test with";
    }
    // A file nobody may read and a folder nobody may list.
    namespace fs = std::filesystem;
    writeFile(dir / "games/locked.z5", "secret");
    writeFile(dir / "games/closed/inside.z5", "secret");
    fs::permissions(dir.path(), fs::perms::all);
    for (const char* path : {"games/locked.z5", "games/closed"}) {
        fs::permissions(dir / path, fs::perms::none);
    }
    const ProcessResult r =
        run(*nobody + "env XDG_DATA_HOME=" + dir / "xdg bin/QueltImport --scan games", "");
    EXPECT_TRUE(r.out.ends_with("\n2: games found.\n")) << r.out;
    const std::string games = dir / "games/";
    EXPECT_EQ(r.err, "QueltImport: Could not list folder: " + games +
                         "closed/\nQueltImport: Could not load file: " + games + "locked.z5\n");
    EXPECT_EQ(r.status, 1);
    fs::permissions(dir / "games/closed", fs::perms::owner_all); // for the clean-up
}

// Every field of every record, as a real parser reads it back, in both formats: the file
// names are bytes, a comma or a quote among them; json keeps what is not UTF-8 as \xNN.
TEST_F(BatchMode, CsvAndJsonCarryEveryFieldAndMissingGamesLoadBackAsACatalogue)
{
    const std::string odd = "games/sub/odd \xE9,\"q\".dat";
    writeFile(dir / odd, std::string(100, 'x'));
    const std::string oddPrint = crcText(*computeFingerprint(dir / odd));
    writeFile(dir / "fields.py",
              "import csv, json, sys\n"
              "text = open(sys.argv[2], encoding='latin-1', newline='')\n"
              "rows = json.load(text) if sys.argv[1] == 'json' else list(csv.DictReader(text))\n"
              "sys.stdout.reconfigure(encoding='latin-1')\n"
              "for row in rows:\n"
              "    print('|'.join('' if v is None else str(v) for v in row.values()))\n"
              "print('|'.join(rows[0].keys()))\n");
    const std::string games = dir / "games/";
    const auto expected = [&](const std::string& oddName) {
        std::map<std::string, std::string> lines{
            {"0000ABCD", "missing|0000ABCD||||Lost|||||||"},
            {zork, "found|" + zork + "|880429|" + games + "zork1.z3|v3|Zork I|28||||not Z-code||"},
            {stray, "unknown|" + stray + "||" + games +
                        "sub/STRAY.Z5||unknown|18||||not Z-code||not Z-code"},
            {oddPrint, "unknown|" + oddPrint + "|xxxxxx|" + games + "sub/" + oddName +
                           "||unknown|100||||not Z-code||not Z-code"}};
        std::string text;
        for (const auto& [fingerprint, line] : lines) {
            text += line + "\n";
        }
        return text + "status|fingerprint|serial|filename|warnings|fullName|size|version|release|"
                      "declaredLength|check|ifid|hint\n";
    };
    for (const std::string format : {"csv", "json"}) {
        const ProcessResult r = run("--scan games --catalogue cat.xml --missing missing.xml "
                                    "--format " +
                                    format + " >records && python3 fields.py " + format +
                                    " records");
        EXPECT_EQ(r.out, expected(format == "csv" ? "odd \xE9,\"q\".dat" : "odd \\xE9,\"q\".dat"))
            << format;
        EXPECT_EQ(r.err, "") << format;
    }
    const ProcessResult again = run("--scan games --catalogue missing.xml --format csv");
    EXPECT_EQ(again.out.find("missing,"), again.out.find("missing,0000ABCD,,,,Lost,"));
    EXPECT_EQ(again.out.find("found,"), std::string::npos);
}

TEST_F(BatchMode, ProgressShowsOnATerminalUnlessQuiet)
{
    // script(1) gives the program a terminal for its standard output and error.
    const std::string shown = run("script -qec 'bin/QueltImport --scan games' /dev/null", "").out;
    EXPECT_NE(shown.find("Scanning: listing files\u2026"), std::string::npos) << shown;
    EXPECT_NE(shown.find("2: games found."), std::string::npos) << shown;
    EXPECT_EQ(run("script -qec 'bin/QueltImport --scan games --quiet' /dev/null", "")
                  .out.find("Scanning"),
              std::string::npos);
}
