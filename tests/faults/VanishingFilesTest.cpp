// Files deleted while a scan runs, some of them between the walk and the read: the scan must
// end, match only what it could read, report an unreadable file at most, and cache only true
// fingerprints. Runs a second thread, so it is also run under ThreadSanitizer.

#include "core/FileCache.h"
#include "core/Fingerprint.h"
#include "tests/faults/FaultData.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

namespace fs = std::filesystem;

TEST(VanishingFiles, ScanOfATreeBeingDeletedEndsWithTrueResults)
{
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

    std::thread deleter([&paths] {
        for (const std::string& path : paths) {
            fs::remove(path);
        }
    });
    const auto scan = faultdata::scanTree(dir / "tree", dir / "filecache.txt", set);
    deleter.join();

    std::size_t found = 0;
    for (const GamePtr& game : scan.set) {
        if (game->found) {
            ++found;
            EXPECT_TRUE(game->fn.ends_with("/" + game->FullName)) << game->fn;
        }
    }
    EXPECT_EQ(found, scan.count); // every file is unique, so no record is met twice
    EXPECT_EQ(scan.set.size(), static_cast<std::size_t>(kFiles)) << "a vanished file made a record";
    EXPECT_TRUE(scan.messages.empty() || scan.messages.starts_with("Could not load file: "))
        << scan.messages;
    for (const auto& [key, entry] : core::readFileCache(dir / "filecache.txt")) {
        EXPECT_EQ(entry.fingerprint, fingerprintOfName[fs::path(key).filename().string()]) << key;
    }
}
