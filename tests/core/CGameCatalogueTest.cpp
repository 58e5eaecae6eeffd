// The catalogue object: the order of its saved views, the scan against the fingerprint cache,
// and the single-file add. (What a catalogue file holds as loaded and saved, and its failure
// reports, are the batch mode's transcripts.)

#include "core/CGameCatalogue.h"

#include "core/Fingerprint.h"
#include "core/StorySerial.h"
#include "platform/AsciiCase.h"
#include "platform/FileSystem.h"
#include "scan/FileFilters.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

struct Fields
{
    std::string fingerprint, FullName, sn, fn, warn;
    bool operator==(const Fields&) const = default;
};

GamePtr game(const Fields& f)
{
    auto g = std::make_shared<CGame>(f.FullName, f.fingerprint, f.sn);
    std::tie(g->fn, g->warn) = std::tie(f.fn, f.warn);
    return g;
}

// A story file body with the serial number `sn` in its header; `salt` makes it unique.
std::string story(const std::string& sn, const std::string& salt)
{
    return std::string(18, '\x05') + sn + std::string(8, '\0') + salt;
}

const std::string kKnown = story("880429", "known");
const std::string kOther = story("990101", "other");
const std::string kStray = story("770707", "stray");

std::string fingerprintOf(const std::string& bytes)
{
    return crcText(crc32Update(0, bytes.data(), bytes.size()));
}

void setModified(const std::string& path, long seconds)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::uint32_t stampOf(const std::string& path)
{
    return static_cast<std::uint32_t>(platform::statPath(path)->lastWrite);
}

// The cache line of the file at `path` holding `bytes`: only the key is lower-cased.
std::string cacheLine(const std::string& path, const std::string& bytes)
{
    return platform::asciiLowered(path) + "|" + fingerprintOf(bytes) + "|" +
           std::to_string(stampOf(path)) + "\n";
}

// A scanner with the story extensions and its cache in a folder of the test's own.
struct ScanFixture : ::testing::Test
{
    ScanFixture()
    {
        scanner.setFilters(kStoryExtensions);
        scanner.setCachePath(cachePath);
    }

    TempDir dir;
    std::string stories = dir / "Stories/";
    std::string cachePath = dir / "cache/filecache.txt";
    std::vector<Fields> entries{
        {fingerprintOf(kKnown), "Known", "sn", "ZZ/Catalogue/Path", ""},
        {fingerprintOf(kOther), "Other", "sn", "unknown", ""},
    };
    CGameCatalogue scanner;

    // Fresh records for every scan: copies of a set would share them.
    GameSet catalogue() const
    {
        GameSet set;
        for (const Fields& f : entries) {
            set.insert(game(f));
        }
        return set;
    }

    std::size_t scan(GameSet& set, bool createUnknown = true)
    {
        return scanner.scan(stories, &set, createUnknown);
    }
};

// Name, serial number, path and whether a scan found it, of the record of the file holding
// `bytes`.
std::string record(const GameSet& set, const std::string& bytes)
{
    const auto pos = set.find(fingerprintOf(bytes));
    if (pos == set.end()) {
        return "(none)";
    }
    const CGame& g = **pos;
    return g.FullName + "|" + g.sn + "|" + g.fn + (g.found ? "|found" : "");
}

} // namespace

TEST(CatalogueFile, SavesInAscendingOrderOfTheChosenView)
{
    TempDir dir;
    CGameCatalogue catalogue;
    catalogue.games.insert(game({"00000003", "beta", "B", "/c", "x"}));
    catalogue.games.insert(game({"00000001", "Alpha", "C", "/b", "z"}));
    catalogue.games.insert(game({"00000002", "beta", "A", "/a", "y"}));
    const std::pair<CatalogueView, std::string> views[] = {
        {CatalogueView::Fingerprint, "123"},
        {CatalogueView::FullName, "132"}, // equal names keep insertion order
        {CatalogueView::Sn, "231"},
        {CatalogueView::Fn, "213"},
        {CatalogueView::Warn, "321"}};
    for (const auto& [view, expected] : views) {
        EXPECT_TRUE(catalogue.saveCatalogue(dir / "view.xml", view));
        const std::string text = readFile(dir / "view.xml");
        std::string digits; // the last digit of each fingerprint, in file order
        for (std::size_t pos = 0; (pos = text.find("fingerprint=\"", pos)) != std::string::npos;) {
            digits += text[pos += 20];
        }
        EXPECT_EQ(digits, expected);
    }
}

TEST_F(ScanFixture, MatchesRecordsCreatesUnknownsReportsProgressAndCachesOnlyMatches)
{
    writeFile(stories + "GAME.Z5", kKnown);
    writeFile(stories + "sub/copy.z5", kKnown); // subfolders come after the folder's files
    writeFile(stories + "sub/stray.dat", kStray);
    writeFile(stories + "notes.txt", kKnown);
    // A regular file whose first read fails (EIO).
    ASSERT_EQ(symlink("/proc/self/mem", (stories + "Mem.z5").c_str()), 0);
    std::vector<ScanProgress> reports;
    scanner.setProgressHandler([&](const ScanProgress& progress) { reports.push_back(progress); });
    // A clock that moves 150 ms per look: every other report is due.
    scanner.setProgressThrottle(core::ProgressThrottle(
        std::chrono::milliseconds(200), [now = std::chrono::steady_clock::time_point()]() mutable {
            return now += std::chrono::milliseconds(150);
        }));

    GameSet set = catalogue();
    EXPECT_EQ(scan(set), 2u);
    EXPECT_EQ(set.size(), 3u);
    // A record matched by several copies keeps the path of the last one.
    EXPECT_EQ(record(set, kKnown), "Known|sn|" + stories + "sub/copy.z5|found");
    EXPECT_EQ(record(set, kStray), "unknown|770707|" + stories + "sub/stray.dat");
    EXPECT_EQ(record(set, kOther), "Other|sn|unknown");
    // The set's path view follows the new path (the catalogue's one sorted after the stray's).
    EXPECT_EQ((*set.get<byFn>().begin())->fn, stories + "sub/copy.z5");
    EXPECT_EQ(scanner.messages.str(), "Could not load file: " + stories + "Mem.z5");
    using enum ScanProgress::Phase;
    // A new phase is always reported, and the interval starts again from it.
    EXPECT_EQ(reports, (std::vector<ScanProgress>{
                           {Listing, 0, 0}, {Fingerprinting, 0, 4}, {Fingerprinting, 2, 4}}));
    // The window pins the texts; this is the second group of digits its counts never reach.
    EXPECT_EQ(core::scanProgressText({Fingerprinting, 123456, 1234567}),
              "Scanning: 123,456 of 1,234,567 files");
    EXPECT_EQ(readFile(cachePath),
              cacheLine(stories + "GAME.Z5", kKnown) + cacheLine(stories + "sub/copy.z5", kKnown));
}

TEST_F(ScanFixture, ACacheHitIsNotReadAgainButAnUnmatchedFileIs)
{
    writeFile(stories + "game.z5", kKnown);
    writeFile(stories + "stray.z3", kStray);
    setModified(stories + "game.z5", 1500000000);
    GameSet first = catalogue();
    ASSERT_EQ(scan(first), 1u);

    // Other bytes under the same last-write time: the hit keeps the cached fingerprint.
    const std::string changed = story("000000", "changed");
    writeFile(stories + "game.z5", changed);
    setModified(stories + "game.z5", 1500000000);
    writeFile(stories + "stray.z3", kOther);
    GameSet second = catalogue();
    EXPECT_EQ(scan(second), 2u);
    EXPECT_EQ(second.size(), 2u);
    EXPECT_EQ(record(second, kKnown), "Known|sn|" + stories + "game.z5|found");
    EXPECT_EQ(record(second, kOther), "Other|sn|" + stories + "stray.z3|found");

    // A new last-write time makes the file be read again, and its cache line follows.
    setModified(stories + "game.z5", 1600000000);
    entries.push_back({fingerprintOf(changed), "Changed", "sn", "", ""});
    GameSet third = catalogue();
    EXPECT_EQ(scan(third, false), 2u);
    EXPECT_EQ(record(third, kKnown), "Known|sn|ZZ/Catalogue/Path");
    EXPECT_EQ(record(third, changed), "Changed|sn|" + stories + "game.z5|found");
    EXPECT_EQ(readFile(cachePath),
              cacheLine(stories + "game.z5", changed) + cacheLine(stories + "stray.z3", kOther));
}

// Keys the cache cannot hold are read by every scan and never stored: one that two files share
// (Game.z5 and game.z5: one folder, one time, one key), and one that would split into lines of
// the cache file, serving a chosen fingerprint for victim.z5.
TEST_F(ScanFixture, KeysTheCacheCannotHoldAreReadEveryTimeAndNeverCached)
{
    writeFile(stories + "Game.z5", kKnown);
    writeFile(stories + "game.z5", kOther);
    writeFile(stories + "victim.z5", kStray);
    for (const char* name : {"Game.z5", "game.z5", "victim.z5"}) {
        setModified(stories + name, 1500000000);
    }
    writeFile(stories + "p\n" + stories + "victim.z5|12345678|" +
                  std::to_string(stampOf(stories + "victim.z5")) + "\nx.z5",
              kKnown);
    std::string cacheText; // no cache file at first
    for (int round = 0; round < 2; ++round) {
        GameSet set = catalogue();
        EXPECT_EQ(scan(set), 3u) << round;
        EXPECT_EQ(record(set, kOther), "Other|sn|" + stories + "game.z5|found") << round;
        EXPECT_EQ(record(set, kStray), "unknown|770707|" + stories + "victim.z5") << round;
        EXPECT_EQ(set.count("12345678"), 0u) << round;
        EXPECT_EQ(readFile(cachePath), cacheText) << round;
        // A line stored by an earlier scan, when only one of them existed, is not served;
        // with nothing new the file is not rewritten, which would drop the malformed line.
        cacheText = "a malformed line\n" + cacheLine(stories + "game.z5", kKnown);
        writeFile(cachePath, cacheText);
    }
}

TEST_F(ScanFixture, TreesWithoutContentChangeNothing)
{
    GameSet set = catalogue();
    EXPECT_EQ(scan(set), 0u); // the folder does not even exist
    writeFile(stories + "empty.z5", "");
    writeFile(stories + "sub/empty.dat", "");
    EXPECT_EQ(scan(set), 0u);
    EXPECT_EQ(set.size(), 2u);

    // Content anywhere in the tree, even outside the candidates, makes the empty ones count.
    // The second empty file matches the record that the first one made.
    writeFile(stories + "notes.txt", "x");
    EXPECT_EQ(scan(set), 1u);
    EXPECT_EQ(set.size(), 3u);
    EXPECT_EQ(record(set, ""), "unknown||" + stories + "sub/empty.dat|found");

    EXPECT_EQ(scanner.scan("", nullptr, true), 0u);
    EXPECT_EQ(scanner.scan(stories, nullptr, true), 1u); // into its own set
    EXPECT_EQ(scanner.games.size(), 1u);
}

TEST(AddFile, MatchesCreatesOrReportsAsAsked)
{
    TempDir dir;
    writeFile(dir / "Known.Z5", kKnown);
    writeFile(dir / "fresh.dat", kStray);
    CGameCatalogue catalogue;
    catalogue.games.insert(std::make_shared<CGame>("Held name", fingerprintOf(kKnown), "sn"));

    // The path as given; the name only when it is not "unknown"; "found" is for scans.
    EXPECT_TRUE(catalogue.addFile(dir / "Known.Z5", true, "unknown"));
    EXPECT_EQ(record(catalogue.games, kKnown), "Held name|sn|" + dir / "Known.Z5");
    EXPECT_TRUE(catalogue.addFile(dir / "Known.Z5", true, "New name"));
    EXPECT_EQ(record(catalogue.games, kKnown), "New name|sn|" + dir / "Known.Z5");

    EXPECT_TRUE(catalogue.addFile(dir / "fresh.dat", false, "unknown"));
    EXPECT_EQ(catalogue.games.size(), 1u);
    EXPECT_TRUE(catalogue.addFile(dir / "fresh.dat", true, "unknown"));
    EXPECT_EQ(record(catalogue.games, kStray), "unknown|770707|" + dir / "fresh.dat");

    for (const std::string& path : {dir / "Missing.Z5", std::string("/proc/self/mem")}) {
        EXPECT_FALSE(catalogue.addFile(path, true, "unknown"));
        EXPECT_EQ(catalogue.messages.str(), "Could not load file: " + path);
        EXPECT_EQ(catalogue.games.size(), 2u);
        EXPECT_EQ(readSerial(path), "");
    }
}

// The cache file is rewritten when a new entry waits and a second has passed since the last
// rewrite, and when the scan ends, also by an exception. The injected clock steps 600 ms at
// each reading and notes how many lines the file held then; a start just below the clock's
// wrap must change nothing.
TEST_F(ScanFixture, CacheIsRewrittenOnceASecondAndWhenTheScanEnds)
{
    entries.clear();
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        const std::string bytes = story("880429", name);
        writeFile(stories + name + ".z5", bytes);
        entries.push_back({fingerprintOf(bytes), name, "sn", "", ""});
    }
    auto lines = [this] {
        const std::string text = readFile(cachePath);
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    };
    for (const std::uint32_t start : {0u, 0xFFFFFFFFu - 700}) {
        for (const int throwAt : {0, 4}) {
            std::filesystem::remove(cachePath);
            std::vector<int> seen; // lines in the file at each reading of the clock
            scanner.setClock([&] {
                seen.push_back(lines());
                if (static_cast<int>(seen.size()) == throwAt) {
                    throw std::runtime_error("the scan ends early");
                }
                return start + 600 * static_cast<std::uint32_t>(seen.size() - 1);
            });
            GameSet set = catalogue();
            if (throwAt) {
                // Read at 0 (the start), 600, 1200 (a and b written) and 1800 (thrown): c waits.
                EXPECT_THROW(scan(set, false), std::runtime_error);
                EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 2}));
                EXPECT_EQ(lines(), 3);
            } else {
                EXPECT_EQ(scan(set, false), 5u);
                EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 2, 2, 4})) << "start " << start;
                EXPECT_EQ(lines(), 5);
            }
        }
    }
}
