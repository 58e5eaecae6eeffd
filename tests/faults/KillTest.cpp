// A process killed with SIGKILL while it writes the settings file, a catalogue or the
// fingerprint cache must leave the old file or the new one, complete and readable.

#include "core/FileCache.h"
#include "core/Fingerprint.h"
#include "tests/faults/DriverProcess.h"
#include "tests/faults/FaultData.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

using faulttest::DriverProcess;
using testsupport::TempDir;

namespace {

constexpr int kRounds = 12;

// Starts the driver, lets it finish one write, then kills it after a random delay of up to
// `maxDelayMs`, `kRounds` times; `check` looks at the result after every kill, given the
// round and the last "done" line the driver printed.
template <class Check>
void killRepeatedly(const std::vector<std::string>& argv, int maxDelayMs, Check check)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("random seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMs(0, maxDelayMs);
    for (int round = 0; round < kRounds; ++round) {
        DriverProcess driver(argv);
        std::string line;
        ASSERT_TRUE(driver.readLine(line)) << "the driver ended before its first write";
        ASSERT_EQ(line.rfind("done", 0), 0u) << line;
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        driver.kill();
        for (std::string later; driver.readLine(later);) {
            line = later;
        }
        check(round, line);
    }
}

std::string lowerCased(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// Temporary files that killed writers left beside `target`. Each writer removes those of
// writers that no longer run before it writes, so no more than the last one's may be there.
int leftoversBeside(const std::string& target)
{
    namespace fs = std::filesystem;
    const fs::path path(target);
    const auto entries = fs::directory_iterator(path.parent_path());
    const int leftovers = static_cast<int>(
        std::count_if(fs::begin(entries), fs::end(entries), [&](const fs::directory_entry& entry) {
            return entry.is_regular_file() && entry.path() != path;
        }));
    EXPECT_LE(leftovers, 1) << "temporaries of killed writers pile up beside " << target;
    return leftovers;
}

} // namespace

TEST(KilledWriter, SettingsFileIsOneCompleteGeneration)
{
    TempDir dir;
    const std::string path = dir / "QueltImport_settings.xml";
    int leftovers = 0;
    killRepeatedly({QUELT_FAULT_DRIVER, "save-settings", path}, 60, [&](int round, auto&) {
        EXPECT_GE(faultdata::settingsGeneration(path), 0)
            << "round " << round << ":\n"
            << testsupport::readFile(path).substr(0, 2000);
        leftovers += leftoversBeside(path);
    });
    RecordProperty("temporary files left by killed writers", leftovers);
}

TEST(KilledWriter, CatalogueIsOneCompleteGeneration)
{
    TempDir dir;
    const std::string path = dir / "games.xml";
    int leftovers = 0;
    killRepeatedly({QUELT_FAULT_DRIVER, "save-catalogue", path}, 150, [&](int round, auto&) {
        EXPECT_GE(faultdata::catalogueGeneration(path), 0) << "round " << round;
        leftovers += leftoversBeside(path);
    });
    RecordProperty("temporary files left by killed writers", leftovers);
}

// A scan rewrites the cache file when what it learned has waited a second and when it ends,
// so a kill at any moment leaves a whole file of true lines that holds, at the least,
// everything the last completed scan learned: every file, with that scan's last-write time
// or the next one's (each scan moves them a second on).
TEST(KilledWriter, CacheFileHoldsTheLastCompletedScanInCompleteTrueLines)
{
    TempDir dir;
    std::map<std::string, std::string> fingerprintOfKey; // keys are lower-cased paths
    for (int i = 0; i < 300; ++i) {
        const std::string path =
            dir / ("tree/d" + std::to_string(i % 7) + "/s" + std::to_string(i) + ".z5");
        testsupport::writeFile(path, std::string(4096, static_cast<char>(i)) + std::to_string(i));
        fingerprintOfKey[lowerCased(path)] = crcText(*computeFingerprint(path));
    }
    const std::string cache = dir / "filecache.txt";
    killRepeatedly(
        {QUELT_FAULT_DRIVER, "rescan", dir / "tree", cache}, 150,
        [&](int round, const std::string& lastDone) {
            const std::string text = testsupport::readFile(cache);
            ASSERT_TRUE(text.empty() || text.back() == '\n') << "round " << round << ": cut line";
            const FileCache entries = core::parseFileCache(text);
            EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
                      entries.size())
                << "round " << round << ": lines that do not read back";
            const auto stamp =
                static_cast<std::uint32_t>(std::stoul(lastDone.substr(lastDone.rfind(' ') + 1)));
            EXPECT_EQ(entries.size(), fingerprintOfKey.size()) << "round " << round;
            for (const auto& [key, entry] : entries) {
                EXPECT_EQ(fingerprintOfKey[key], entry.fingerprint)
                    << "round " << round << ": " << key;
                EXPECT_TRUE(entry.stampLo == stamp || entry.stampLo == stamp + 10000000u)
                    << "round " << round << ", " << lastDone << ": " << key << " has "
                    << entry.stampLo;
            }
            leftoversBeside(cache);
        });
}
