// The process the fault tests kill in the middle of its writes, or run as an unprivileged user.
//
//   fault_driver write <settings|catalogue|cache> <path> [<ms>]
//       writes the file once and prints "saved" or "failed"; given <ms>, writes it again and
//       again, printing "done" after each write, and kills itself <ms> after the first
//   fault_driver check <settings|catalogue|cache> <path>
//       prints "complete" when the file holds every item of one write, "cut" otherwise
//   fault_driver scan <folder> <cache|-> [fingerprint...]
//       one scan against records with those fingerprints ("-": the cache beside the
//       program); prints count=, messages= and cache= lines

#include "core/CGameCatalogue.h"
#include "core/FileCache.h"
#include "core/Fingerprint.h"
#include "platform/FileSystem.h"
#include "scan/FileFilters.h"
#include "settings/CSettingStore.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The sorted texts of one write: item i of generation g is "g:i" and a padding long enough
// that a write takes a while, so that kills land in the middle of one.
std::vector<std::string> textsOf(unsigned generation, const std::string& kind)
{
    std::vector<std::string> texts;
    for (unsigned i = 0; i < (kind == "settings" ? 400u : 3000u); ++i) {
        texts.push_back(std::to_string(generation) + ":" + std::to_string(i) +
                        std::string(150, 'v'));
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

// Settings named "item<i>", catalogue records with fingerprint i or cache keys, holding the
// texts of `generation`.
bool write(const std::string& kind, const std::string& path, unsigned generation)
{
    const std::vector<std::string> texts = textsOf(generation, kind);
    if (kind == "settings") {
        Orvane::CSettingStore store;
        for (unsigned i = 0; i < texts.size(); ++i) {
            store.writeTextSetting("item" + std::to_string(i), texts[i]);
        }
        return store.save(path);
    }
    CGameCatalogue catalogue;
    FileCache cache;
    for (unsigned i = 0; i < texts.size(); ++i) {
        catalogue.games.insert(std::make_shared<CGame>(texts[i], crcText(i), "880429"));
        cache[texts[i]] = CacheEntry{crcText(i), generation};
    }
    return kind == "catalogue" ? catalogue.saveCatalogue(path) : core::writeFileCache(path, cache);
}

// Whether the file holds every text of one generation, and nothing else.
bool complete(const std::string& kind, const std::string& path)
{
    std::vector<std::string> texts;
    if (kind == "settings") {
        Orvane::CSettingStore store;
        store.load(path);
        for (std::string value;
             store.readTextSetting("item" + std::to_string(texts.size()), value);) {
            texts.push_back(value);
        }
    } else if (kind == "catalogue") {
        CGameCatalogue catalogue;
        catalogue.loadCatalogue(path);
        for (const GamePtr& game : catalogue.games) {
            texts.push_back(game->FullName);
        }
    } else if (const auto text = platform::readWholeFile(path); text && text->ends_with('\n')) {
        for (const auto& [key, entry] : core::parseFileCache(*text)) { // a cut line parses too
            texts.push_back(key);
        }
    }
    std::sort(texts.begin(), texts.end());
    return !texts.empty() &&
           texts == textsOf(static_cast<unsigned>(std::atoi(texts[0].c_str())), kind);
}

// Writes generation 0, 1, 2, ..., printing "done" after each, and dies by SIGKILL `ms` after
// the first, wherever it then is.
[[noreturn]] void writeUntilKilled(const std::string& kind, const std::string& path, int ms)
{
    for (unsigned generation = 0;; ++generation) {
        write(kind, path, generation);
        std::puts("done");
        std::fflush(stdout);
        if (generation == 0) {
            std::thread([ms] {
                std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                kill(getpid(), SIGKILL);
            }).detach();
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? std::string() : args[0];
    if (command == "write" && args.size() == 3) {
        std::puts(write(args[1], args[2], 1) ? "saved" : "failed");
        return 0;
    }
    if (command == "write" && args.size() == 4) {
        writeUntilKilled(args[1], args[2], std::stoi(args[3]));
    }
    if (command == "check" && args.size() == 3) {
        std::puts(complete(args[1], args[2]) ? "complete" : "cut");
        return 0;
    }
    if (command == "scan" && args.size() >= 3) {
        GameSet set;
        for (auto fingerprint = args.begin() + 3; fingerprint != args.end(); ++fingerprint) {
            set.insert(std::make_shared<CGame>("game " + *fingerprint, *fingerprint, ""));
        }
        CGameCatalogue catalogue;
        catalogue.setFilters(kStoryExtensions);
        const std::string cachePath = args[2] == "-" ? core::defaultCachePath() : args[2];
        catalogue.setCachePath(cachePath);
        const std::size_t count = catalogue.scan(args[1], &set, false);
        std::printf("count=%zu\nmessages=%s\ncache=%s\n", count, catalogue.messages.str().c_str(),
                    cachePath.c_str());
        return 0;
    }
    std::fprintf(stderr, "fault_driver: unknown command line (see FaultDriver.cpp)\n");
    return 2;
}
