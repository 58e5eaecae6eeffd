// Threads meeting in the program: debug output written from several threads at once, and
// files deleted while a scan reads them. Also run under ThreadSanitizer.

#include "core/CGameCatalogue.h"
#include "core/FileCache.h"
#include "core/Fingerprint.h"
#include "platform/Trace.h"
#include "scan/FileFilters.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

namespace fs = std::filesystem;

TEST(TraceThreads, LinesFromManyThreadsArriveWholeAndOnceEach)
{
    std::vector<std::string> received; // guarded by the channel's one-call-at-a-time rule
    const platform::TraceSink previous =
        platform::setTraceSink([&received](std::string_view line) { received.emplace_back(line); });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            const std::string line = "Narlo::thread " + std::to_string(t) + std::string(64, 'x');
            for (int i = 0; i < 2000; ++i) {
                platform::debugOutput(line);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    platform::setTraceSink(previous);

    std::vector<int> perThread(4, 0);
    for (const std::string& line : received) {
        ASSERT_EQ(line.size(), 79u) << line; // "Narlo::thread N" and 64 x
        ++perThread.at(static_cast<std::size_t>(line[14] - '0'));
    }
    EXPECT_EQ(perThread, std::vector<int>(4, 2000));
}

// The scan must end, match only what it could read, report an unreadable file at most, and
// cache only true fingerprints: reading every file, and serving them from a cache filled by
// an earlier scan (their last-write times asked for by two threads).
TEST(VanishingFiles, ScanOfATreeBeingDeletedEndsWithTrueResults)
{
    for (const bool cached : {false, true}) {
        SCOPED_TRACE(cached ? "served from the cache" : "read");
        testsupport::TempDir dir;
        constexpr int kFiles = 3000;
        std::vector<std::string> paths;
        std::map<std::string, std::string> fingerprintOfName;
        GameSet set;
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "s" + std::to_string(i) + ".z5";
            paths.push_back(dir / ("tree/" + std::to_string(i % 10) + "/" + name));
            testsupport::writeFile(paths.back(), "story " + std::to_string(i));
            fingerprintOfName[name] = crcText(*computeFingerprint(paths.back()));
            set.insert(std::make_shared<CGame>(name, fingerprintOfName[name], ""));
        }
        std::shuffle(paths.begin(), paths.end(), std::mt19937(std::random_device{}()));
        CGameCatalogue catalogue;
        catalogue.setFilters(kStoryExtensions);
        catalogue.setCachePath(dir / "filecache.txt");
        if (cached) {
            GameSet others; // records of its own: a copy of the set would share them
            for (const GamePtr& game : set) {
                others.insert(std::make_shared<CGame>(*game));
            }
            catalogue.scan(dir / "tree", &others, false);
        }

        std::thread deleter([&paths] {
            for (const std::string& path : paths) {
                fs::remove(path);
            }
        });
        const std::size_t count = catalogue.scan(dir / "tree", &set, true);
        deleter.join();

        std::size_t found = 0;
        for (const GamePtr& game : set) {
            if (game->found) {
                ++found;
                EXPECT_TRUE(game->fn.ends_with("/" + game->FullName)) << game->fn;
            }
        }
        EXPECT_EQ(found, count); // every file is unique, so no record is met twice
        EXPECT_EQ(set.size(), static_cast<std::size_t>(kFiles)) << "a vanished file made a record";
        const std::string messages = catalogue.messages.str();
        EXPECT_TRUE(messages.empty() || messages.starts_with("Could not load file: ")) << messages;
        for (const auto& [key, entry] : core::readFileCache(dir / "filecache.txt")) {
            EXPECT_EQ(entry.fingerprint, fingerprintOfName[fs::path(key).filename().string()])
                << key;
        }
    }
}
