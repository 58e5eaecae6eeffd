// The process the fault tests kill in the middle of its writes, or run as an unprivileged user.
//
//   fault_driver write <settings|catalogue> <path> [<ms>]
//       writes the file once and prints "saved" or "failed"; given <ms>, writes it again and
//       again, printing "done" after each write, and kills itself <ms> after the first
//   fault_driver check <settings|catalogue> <path>
//       prints "complete" when the file holds every item of one write, "cut" otherwise
//   fault_driver rescan <folder> <cache> <ms>
//       scans <folder> again and again, moving the last-write time of every file a second on
//       first, so that every file is read and the cache rewritten; prints "done <stampLo>"
//       after each scan and kills itself <ms> after the first
//   fault_driver scan <folder> <cache|-> [fingerprint...]
//       one scan against records with those fingerprints ("-": the cache beside the
//       program); prints count=, messages= and cache= lines

#include "core/CGameCatalogue.h"
#include "core/Fingerprint.h"
#include "scan/FileFilters.h"
#include "scan/FileWalk.h"
#include "settings/CSettingStore.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The texts of one write: item i of generation g is "g:i" and a padding long enough that a
// write takes a while, so that kills land in the middle of one.
std::vector<std::string> textsOf(unsigned generation, const std::string& kind)
{
    std::vector<std::string> texts;
    for (unsigned i = 0; i < (kind == "settings" ? 400u : 3000u); ++i) {
        texts.push_back(std::to_string(generation) + ":" + std::to_string(i) +
                        std::string(150, 'v'));
    }
    return texts;
}

bool write(const std::string& kind, const std::string& path, unsigned generation)
{
    const std::vector<std::string> texts = textsOf(generation, kind);
    Orvane::CSettingStore store;
    CGameCatalogue catalogue;
    for (unsigned i = 0; i < texts.size(); ++i) {
        store.writeTextSetting("item" + std::to_string(i), texts[i]);
        catalogue.games.insert(std::make_shared<CGame>(texts[i], crcText(i), "880429"));
    }
    return kind == "settings" ? store.save(path) : catalogue.saveCatalogue(path);
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
    } else {
        CGameCatalogue catalogue;
        catalogue.loadCatalogue(path);
        for (const GamePtr& game : catalogue.games) { // in fingerprint order, that is item order
            texts.push_back(game->FullName);
        }
    }
    return !texts.empty() &&
           texts == textsOf(static_cast<unsigned>(std::atoi(texts[0].c_str())), kind);
}

// Runs `step` for generation 0, 1, 2, ..., printing "done" and what it returns after each, and
// dies by SIGKILL `ms` after the first, wherever it then is.
[[noreturn]] void untilKilled(int ms, const std::function<std::string(unsigned)>& step)
{
    for (unsigned generation = 0;; ++generation) {
        const std::string detail = step(generation);
        std::printf("done%s\n", detail.c_str());
        std::fflush(stdout);
        if (generation == 0) {
            std::thread([ms] {
                std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                kill(getpid(), SIGKILL);
            }).detach();
        }
    }
}

std::size_t scan(const std::string& folder, const std::string& cache, GameSet& set,
                 CGameCatalogue& catalogue)
{
    catalogue.setFilters(kStoryExtensions);
    if (cache != "-") {
        catalogue.setCachePath(cache);
    }
    return catalogue.scan(folder, &set, false);
}

// Every file of the tree is one record of the set, so every file matches and is cached.
[[noreturn]] void rescan(const std::string& folder, const std::string& cache, int ms)
{
    GameSet all;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            const std::string path = entry.path().string();
            all.insert(std::make_shared<CGame>(path, crcText(*computeFingerprint(path)), ""));
        }
    }
    const auto start = fs::file_time_type::clock::now();
    untilKilled(ms, [&](unsigned generation) {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            fs::last_write_time(entry.path(), start + std::chrono::seconds(generation));
        }
        GameSet set = all;
        CGameCatalogue catalogue;
        scan(folder, cache, set, catalogue);
        std::vector<CFileEntry> files;
        findAllFiles(folder, files);
        return " " + std::to_string(files.at(0).stampLo);
    });
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
        untilKilled(std::stoi(args[3]), [&](unsigned g) {
            write(args[1], args[2], g);
            return std::string();
        });
    }
    if (command == "check" && args.size() == 3) {
        std::puts(complete(args[1], args[2]) ? "complete" : "cut");
        return 0;
    }
    if (command == "rescan" && args.size() == 4) {
        rescan(args[1], args[2], std::stoi(args[3]));
    }
    if (command == "scan" && args.size() >= 3) {
        GameSet set;
        for (auto fingerprint = args.begin() + 3; fingerprint != args.end(); ++fingerprint) {
            set.insert(std::make_shared<CGame>("game " + *fingerprint, *fingerprint, ""));
        }
        CGameCatalogue catalogue;
        const std::size_t count = scan(args[1], args[2], set, catalogue);
        std::printf("count=%zu\nmessages=%s\ncache=%s\n", count, catalogue.messages.str().c_str(),
                    catalogue.cachePath().c_str());
        return 0;
    }
    std::fprintf(stderr, "fault_driver: unknown command line (see FaultDriver.cpp)\n");
    return 2;
}
