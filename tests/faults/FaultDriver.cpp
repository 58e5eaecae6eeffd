// The process the fault tests kill in the middle of a write, or run as an unprivileged user.
//
//   fault_driver save-settings <path>       saves generation 0, 1, 2, ... of a settings file
//   fault_driver save-catalogue <path>      the same for a catalogue
//   fault_driver rescan <folder> <cache>    scans <folder> again and again, moving the
//                                           last-write time of every file a second on first,
//                                           so that every file is read and the cache
//                                           rewritten; prints "done <generation> <stampLo>"
//   fault_driver try-save-settings <path>   one save; prints "saved" or "failed"
//   fault_driver try-save-catalogue <path>  the same for a catalogue
//   fault_driver try-scan <folder> <cache|-> [fingerprint...]
//                                           one scan against records with those fingerprints
//                                           ("-": the cache beside the program); prints
//                                           count=, messages= and cache= lines
//
// The save loops print "done <generation>" after each complete write.

#include "core/CGameCatalogue.h"
#include "scan/CFileEntry.h"
#include "scan/FileWalk.h"
#include "tests/faults/FaultData.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs `write` for generation 0, 1, 2, ... and announces each one done, followed by what
// `write` returns.
int forever(const std::function<std::string(unsigned generation)>& write)
{
    for (unsigned generation = 0;; ++generation) {
        const std::string detail = write(generation);
        std::printf("done %u%s\n", generation, detail.c_str());
        std::fflush(stdout);
    }
}

// Every file of the tree is one record of the set, so every file matches and is cached.
int rescanForever(const std::string& folder, const std::string& cache)
{
    const GameSet all = faultdata::recordsForTree(folder);
    const auto start = fs::file_time_type::clock::now();
    return forever([&](unsigned generation) {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                fs::last_write_time(entry.path(), start + std::chrono::seconds(generation));
            }
        }
        faultdata::scanTree(folder, cache, all, false);
        std::vector<CFileEntry> files;
        findAllFiles(folder, files);
        return " " + std::to_string(files.at(0).stampLo);
    });
}

int printSaved(bool saved)
{
    std::puts(saved ? "saved" : "failed");
    return 0;
}

int tryScan(const std::string& folder, const std::string& cache,
            const std::vector<std::string>& fingerprints)
{
    GameSet set;
    for (const std::string& fingerprint : fingerprints) {
        set.insert(std::make_shared<CGame>("game " + fingerprint, fingerprint, ""));
    }
    const faultdata::ScanOutcome scan =
        faultdata::scanTree(folder, cache == "-" ? "" : cache, std::move(set), false);
    std::printf("count=%zu\nmessages=%s\ncache=%s\n", scan.count, scan.messages.c_str(),
                scan.cachePath.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? std::string() : args[0];
    if (command == "save-settings" && args.size() == 2) {
        return forever([&](unsigned g) {
            faultdata::settingsOfGeneration(g).save(args[1]);
            return std::string();
        });
    }
    if (command == "save-catalogue" && args.size() == 2) {
        return forever([&](unsigned g) {
            faultdata::catalogueOfGeneration(g)->saveCatalogue(args[1]);
            return std::string();
        });
    }
    if (command == "rescan" && args.size() == 3) {
        return rescanForever(args[1], args[2]);
    }
    if (command == "try-save-settings" && args.size() == 2) {
        return printSaved(faultdata::settingsOfGeneration(1).save(args[1]));
    }
    if (command == "try-save-catalogue" && args.size() == 2) {
        return printSaved(faultdata::catalogueOfGeneration(1)->saveCatalogue(args[1]));
    }
    if (command == "try-scan" && args.size() >= 3) {
        return tryScan(args[1], args[2], {args.begin() + 3, args.end()});
    }
    std::fprintf(stderr, "fault_driver: unknown command line (see FaultDriver.cpp)\n");
    return 2;
}
