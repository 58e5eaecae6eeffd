#include "core/CGameCatalogue.h"
#include "core/Fingerprint.h"
#include "scan/FileFilters.h"
#include "scan/FileWalk.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// A story file body with the serial number `sn` in its header; `salt` makes it unique.
std::string story(const std::string& sn, const std::string& salt)
{
    std::string bytes(18, '\x05');
    return bytes + sn + std::string(8, '\0') + salt;
}

std::string fingerprintOf(const std::string& bytes)
{
    return crcText(crc32Update(0, bytes.data(), bytes.size()));
}

std::string lowered(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

void setModified(const std::string& path, long seconds)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::uint32_t stampOf(const std::string& path)
{
    std::vector<CFileEntry> entries;
    findFiles(path.substr(0, path.rfind('/')), path.substr(path.rfind('/') + 1), false, entries);
    return entries.at(0).stampLo;
}

// A scanner with the story extensions and its cache in a folder of the test's own.
struct ScanFixture : ::testing::Test
{
    struct Entry
    {
        std::string name, fingerprint, fn;
    };

    TempDir dir;
    std::string stories = dir / "Stories/";
    std::string cachePath = dir / "cache/filecache.txt";
    std::vector<Entry> entries{
        {"Known", fingerprintOf(story("880429", "known")), "zz/catalogue/path"},
        {"Other", fingerprintOf(story("990101", "other")), "unknown"},
    };

    void addGame(const std::string& name, const std::string& fingerprint, const std::string& fn)
    {
        entries.push_back({name, fingerprint, fn});
    }

    // Fresh records for every scan: copies of a set would share them.
    GameSet catalogue() const
    {
        GameSet set;
        for (const Entry& entry : entries) {
            auto game = std::make_shared<CGame>(entry.name, entry.fingerprint, "sn");
            game->fn = entry.fn;
            set.insert(game);
        }
        return set;
    }

    std::size_t scan(GameSet& set, bool createUnknown = true,
                     const char* filters = kStoryExtensions)
    {
        CGameCatalogue scanner;
        scanner.setFilters(filters);
        scanner.setCachePath(cachePath);
        return scanner.scan(stories, &set, createUnknown);
    }

    const CGame& record(const GameSet& set, const std::string& fingerprint)
    {
        const auto pos = set.find(fingerprint);
        if (pos == set.end()) {
            throw std::runtime_error("no record " + fingerprint);
        }
        return **pos;
    }
};

} // namespace

TEST_F(ScanFixture, MatchesRecordsCreatesUnknownsAndCachesOnlyMatches)
{
    writeFile(stories + "GAME.Z5", story("880429", "known"));
    writeFile(stories + "sub/stray.dat", story("770707", "stray"));
    writeFile(stories + "notes.txt", story("880429", "known"));
    setModified(stories + "GAME.Z5", 1000000000);

    GameSet set = catalogue();
    EXPECT_EQ(scan(set), 1u);
    ASSERT_EQ(set.size(), 3u);
    const CGame& known = record(set, fingerprintOf(story("880429", "known")));
    EXPECT_TRUE(known.found);
    EXPECT_EQ(known.FullName, "Known");
    EXPECT_EQ(known.fn, lowered(stories + "GAME.Z5"));
    const CGame& stray = record(set, fingerprintOf(story("770707", "stray")));
    EXPECT_EQ(stray.FullName, "unknown");
    EXPECT_EQ(stray.sn, "770707");
    EXPECT_EQ(stray.fn, lowered(stories + "sub/stray.dat"));
    EXPECT_FALSE(stray.found);
    const CGame& other = record(set, fingerprintOf(story("990101", "other")));
    EXPECT_FALSE(other.found);
    EXPECT_EQ(other.fn, "unknown");
    // The set's path view follows the new path (the catalogue's one sorted last).
    EXPECT_EQ((*set.get<byFn>().begin())->fn, lowered(stories + "GAME.Z5"));

    const auto stamp =
        static_cast<std::uint32_t>(1000000000ULL * 10000000ULL + 116444736000000000ULL);
    EXPECT_EQ(readFile(cachePath), lowered(stories + "GAME.Z5") + "|" +
                                       fingerprintOf(story("880429", "known")) + "|" +
                                       std::to_string(stamp) + "\n");
}

TEST_F(ScanFixture, ACacheHitIsNotReadAgainButAnUnmatchedFileIs)
{
    writeFile(stories + "game.z5", story("880429", "known"));
    writeFile(stories + "stray.z3", story("770707", "stray"));
    setModified(stories + "game.z5", 1500000000);
    GameSet first = catalogue();
    ASSERT_EQ(scan(first), 1u);

    // Other bytes under the same last-write time: the hit keeps the cached fingerprint.
    writeFile(stories + "game.z5", story("000000", "changed"));
    setModified(stories + "game.z5", 1500000000);
    writeFile(stories + "stray.z3", story("990101", "other"));
    GameSet second = catalogue();
    EXPECT_EQ(scan(second), 2u);
    EXPECT_EQ(second.size(), 2u);
    EXPECT_TRUE(record(second, fingerprintOf(story("880429", "known"))).found);
    EXPECT_EQ(record(second, fingerprintOf(story("990101", "other"))).fn,
              lowered(stories + "stray.z3"));

    // A new last-write time makes the file be read again, and its cache line follows.
    setModified(stories + "game.z5", 1600000000);
    addGame("Changed", fingerprintOf(story("000000", "changed")), "");
    GameSet third = catalogue();
    EXPECT_EQ(scan(third, false), 2u);
    EXPECT_FALSE(record(third, fingerprintOf(story("880429", "known"))).found);
    EXPECT_TRUE(record(third, fingerprintOf(story("000000", "changed"))).found);
    EXPECT_EQ(readFile(cachePath),
              lowered(stories + "game.z5") + "|" + fingerprintOf(story("000000", "changed")) + "|" +
                  std::to_string(stampOf(stories + "game.z5")) + "\n" +
                  lowered(stories + "stray.z3") + "|" + fingerprintOf(story("990101", "other")) +
                  "|" + std::to_string(stampOf(stories + "stray.z3")) + "\n");
}

TEST_F(ScanFixture, NothingNewLeavesTheCacheFileAlone)
{
    writeFile(stories + "game.z5", story("880429", "known"));
    writeFile(stories + "stray.z3", story("770707", "stray"));
    const std::string sentinel = "a malformed line\n" + lowered(stories + "game.z5") + "||" +
                                 fingerprintOf(story("880429", "known")) + "|" +
                                 std::to_string(stampOf(stories + "game.z5")) + "\n";
    writeFile(cachePath, sentinel);
    GameSet set = catalogue();
    EXPECT_EQ(scan(set), 1u); // the hit and a miss that matched nothing
    EXPECT_EQ(set.size(), 3u);
    EXPECT_EQ(readFile(cachePath), sentinel);

    GameSet unfiltered = catalogue();
    EXPECT_EQ(scan(unfiltered, true, ""), 0u); // no extensions: no candidates
    EXPECT_EQ(unfiltered.size(), 2u);
    EXPECT_EQ(readFile(cachePath), sentinel);
}

TEST_F(ScanFixture, CopiesOfOneFileMoveTheRecordToTheLastCopy)
{
    writeFile(stories + "a/known.z5", story("880429", "known"));
    writeFile(stories + "b/known.dat", story("880429", "known"));
    writeFile(stories + "a/stray.z5", story("770707", "stray"));
    writeFile(stories + "b/stray.z5", story("770707", "stray"));
    GameSet set = catalogue();
    // Walk order: b/ before a/ (the last listed subfolder first).
    EXPECT_EQ(scan(set), 3u);
    EXPECT_EQ(record(set, fingerprintOf(story("880429", "known"))).fn,
              lowered(stories + "a/known.z5"));
    const CGame& stray = record(set, fingerprintOf(story("770707", "stray")));
    EXPECT_EQ(stray.fn, lowered(stories + "a/stray.z5"));
    EXPECT_TRUE(stray.found); // the second copy matched the record the first one made
    EXPECT_EQ(set.size(), 3u);

    GameSet withoutUnknowns = catalogue();
    EXPECT_EQ(scan(withoutUnknowns, false), 2u);
    EXPECT_EQ(withoutUnknowns.size(), 2u);
}

TEST_F(ScanFixture, TreesWithoutContentChangeNothing)
{
    GameSet set = catalogue();
    EXPECT_EQ(scan(set), 0u); // the folder does not even exist
    std::filesystem::create_directories(stories + "sub");
    writeFile(stories + "empty.z5", "");
    writeFile(stories + "sub/empty.dat", "");
    EXPECT_EQ(scan(set), 0u);
    EXPECT_EQ(set.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(cachePath));

    // Content anywhere in the tree, even outside the candidates, makes the empty ones count.
    // The second empty file matches the record that the first one made.
    writeFile(stories + "notes.txt", "x");
    EXPECT_EQ(scan(set), 1u);
    ASSERT_EQ(set.size(), 3u);
    EXPECT_EQ(record(set, "00000000").fn, lowered(stories + "sub/empty.dat"));

    CGameCatalogue scanner;
    scanner.setFilters(kStoryExtensions);
    scanner.setCachePath(cachePath);
    EXPECT_EQ(scanner.scan("", nullptr, true), 0u);
    EXPECT_EQ(scanner.scan(stories, nullptr, true), 1u); // into its own set
    EXPECT_EQ(scanner.games.size(), 1u);
}

TEST_F(ScanFixture, SizesAddingUpToFourGibibytesStillScan)
{
    writeFile(stories + "empty.z5", "");
    writeFile(stories + "big.bin", "");
    std::filesystem::resize_file(stories + "big.bin", 1ULL << 32); // sparse; not a candidate
    GameSet set = catalogue();
    scan(set);
    EXPECT_EQ(set.size(), 3u);
}

TEST_F(ScanFixture, AnUnwritableCacheDoesNotStopTheScan)
{
    writeFile(dir / "cache", "a file where the cache folder should be");
    writeFile(stories + "game.z5", story("880429", "known"));
    GameSet set = catalogue();
    EXPECT_EQ(scan(set), 1u);
    EXPECT_EQ(scan(set), 1u);
}

TEST(AddFile, MatchesCreatesOrReportsAsAsked)
{
    TempDir dir;
    const std::string bytes = story("880429", "known");
    writeFile(dir / "Known.Z5", bytes);
    CGameCatalogue catalogue;
    auto held = std::make_shared<CGame>("Held name", fingerprintOf(bytes), "sn");
    catalogue.games.insert(held);

    EXPECT_TRUE(catalogue.addFile(dir / "Known.Z5", true, "unknown"));
    EXPECT_EQ(held->fn, dir / "Known.Z5"); // the path as given
    EXPECT_EQ(held->FullName, "Held name");
    EXPECT_FALSE(held->found);
    EXPECT_TRUE(catalogue.addFile(dir / "Known.Z5", true, "New name"));
    EXPECT_EQ(held->FullName, "New name");
    EXPECT_EQ(catalogue.games.size(), 1u);

    writeFile(dir / "fresh.dat", story("770707", "fresh"));
    EXPECT_TRUE(catalogue.addFile(dir / "fresh.dat", false, "unknown"));
    EXPECT_EQ(catalogue.games.size(), 1u);
    EXPECT_TRUE(catalogue.addFile(dir / "fresh.dat", true, "unknown"));
    const auto fresh = catalogue.games.find(fingerprintOf(story("770707", "fresh")));
    ASSERT_NE(fresh, catalogue.games.end());
    EXPECT_EQ((*fresh)->FullName, "unknown");
    EXPECT_EQ((*fresh)->sn, "770707");
    EXPECT_EQ((*fresh)->fn, dir / "fresh.dat");

    EXPECT_FALSE(catalogue.addFile(dir / "Missing.Z5", true, "unknown"));
    EXPECT_EQ(catalogue.messages.str(), "Could not load file: " + (dir / "Missing.Z5"));
    EXPECT_EQ(catalogue.games.size(), 2u);
}
