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
#include <random>
#include <thread>

TEST(TraceThreads, LinesFromManyThreadsArriveWholeAndOnceEach)
{
    std::vector<std::string> received; // guarded by the channel's one-call-at-a-time rule
    const platform::TraceSink previous =
        platform::setTraceSink([&received](std::string_view line) { received.emplace_back(line); });
    std::vector<std::jthread> threads;
    for (char t = '0'; t < '4'; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 2000; ++i) {
                platform::debugOutput(std::string(64, t));
            }
        });
    }
    threads.clear(); // joins them
    platform::setTraceSink(previous);
    for (char t = '0'; t < '4'; ++t) {
        EXPECT_EQ(std::count(received.begin(), received.end(), std::string(64, t)), 2000) << t;
    }
}

// The scan ends, matches only what it could read, reports unreadable files at most and caches
// true fingerprints: read, or served from a cache (times asked for by two threads).
TEST(VanishingFiles, ScanOfATreeBeingDeletedEndsWithTrueResults)
{
    for (const bool cached : {false, true}) {
        SCOPED_TRACE(cached ? "served from the cache" : "read");
        testsupport::TempDir dir;
        std::vector<std::string> paths;
        GameSet set;
        GameSet others; // for the scan that fills the cache: a copy of the set would share them
        for (std::uint32_t i = 0; i < 3000; ++i) {
            const std::string name = std::to_string(i) + ".z5"; // holds bytes of CRC-32 i
            paths.push_back(dir / ("tree/" + std::to_string(i % 10) + "/" + name));
            testsupport::writeFile(paths.back(), testsupport::bytesWithCrc(i));
            set.insert(std::make_shared<CGame>(name, crcText(i), ""));
            others.insert(std::make_shared<CGame>(name, crcText(i), ""));
        }
        std::shuffle(paths.begin(), paths.end(), std::mt19937(std::random_device{}()));
        CGameCatalogue catalogue;
        catalogue.setFilters(kStoryExtensions);
        catalogue.setCachePath(dir / "filecache.txt");
        if (cached) {
            catalogue.scan(dir / "tree", &others, false);
        }
        std::thread deleter([&paths] {
            for (const std::string& path : paths) {
                std::filesystem::remove(path);
            }
        });
        const std::size_t count = catalogue.scan(dir / "tree", &set, true);
        deleter.join();

        std::size_t found = 0;
        for (const GamePtr& game : set) {
            found += game->found;
            EXPECT_TRUE(!game->found || game->fn.ends_with("/" + game->FullName)) << game->fn;
        }
        EXPECT_EQ(found, count); // every file is unique, so no record is met twice
        EXPECT_EQ(set.size(), 3000u) << "a vanished file made a record";
        const std::string messages = catalogue.messages.str();
        EXPECT_TRUE(messages.empty() || messages.starts_with("Could not load file: ")) << messages;
        for (const auto& [key, entry] : core::readFileCache(dir / "filecache.txt")) {
            const auto i = static_cast<std::uint32_t>(std::stoul(key.substr(key.rfind('/') + 1)));
            EXPECT_EQ(entry.fingerprint, crcText(i)) << key;
        }
    }
}
