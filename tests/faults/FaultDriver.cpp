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
// The looping commands print "done <generation>" after each complete write.

#include "core/CGameCatalogue.h"
#include "scan/CFileEntry.h"
#include "scan/FileWalk.h"
#include "settings/CSettingStore.h"
#include "tests/faults/FaultData.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void announce(unsigned generation, const std::string& detail = "")
{
    std::printf("done %u%s\n", generation, detail.c_str());
    std::fflush(stdout);
}

int saveSettingsForever(const std::string& path)
{
    for (unsigned generation = 0;; ++generation) {
        faultdata::settingsOfGeneration(generation).save(path);
        announce(generation);
    }
}

int saveCatalogueForever(const std::string& path)
{
    for (unsigned generation = 0;; ++generation) {
        faultdata::catalogueOfGeneration(generation)->saveCatalogue(path);
        announce(generation);
    }
}

// Every file of the tree is one record of the set, so every file matches and is cached.
int rescanForever(const std::string& folder, const std::string& cache)
{
    const GameSet all = faultdata::recordsForTree(folder);
    const auto start = fs::file_time_type::clock::now();
    for (unsigned generation = 0;; ++generation) {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                fs::last_write_time(entry.path(), start + std::chrono::seconds(generation));
            }
        }
        CGameCatalogue catalogue;
        catalogue.setFilters(faultdata::kStoryExtensions);
        catalogue.setCachePath(cache);
        GameSet set = all;
        catalogue.scan(folder, &set, false);
        std::vector<CFileEntry> files;
        findAllFiles(folder, files);
        announce(generation, " " + std::to_string(files.at(0).stampLo));
    }
}

int trySaveSettings(const std::string& path)
{
    std::puts(faultdata::settingsOfGeneration(1).save(path) ? "saved" : "failed");
    return 0;
}

int trySaveCatalogue(const std::string& path)
{
    std::puts(faultdata::catalogueOfGeneration(1)->saveCatalogue(path) ? "saved" : "failed");
    return 0;
}

int tryScan(const std::string& folder, const std::string& cache,
            const std::vector<std::string>& fingerprints)
{
    CGameCatalogue catalogue;
    catalogue.setFilters(faultdata::kStoryExtensions);
    if (cache != "-") {
        catalogue.setCachePath(cache);
    }
    GameSet set;
    for (const std::string& fingerprint : fingerprints) {
        set.insert(std::make_shared<CGame>("game " + fingerprint, fingerprint, ""));
    }
    const std::size_t count = catalogue.scan(folder, &set, false);
    std::printf("count=%zu\nmessages=%s\ncache=%s\n", count, catalogue.messages.str().c_str(),
                catalogue.cachePath().c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? std::string() : args[0];
    if (command == "save-settings" && args.size() == 2) {
        return saveSettingsForever(args[1]);
    }
    if (command == "save-catalogue" && args.size() == 2) {
        return saveCatalogueForever(args[1]);
    }
    if (command == "rescan" && args.size() == 3) {
        return rescanForever(args[1], args[2]);
    }
    if (command == "try-save-settings" && args.size() == 2) {
        return trySaveSettings(args[1]);
    }
    if (command == "try-save-catalogue" && args.size() == 2) {
        return trySaveCatalogue(args[1]);
    }
    if (command == "try-scan" && args.size() >= 3) {
        return tryScan(args[1], args[2], {args.begin() + 3, args.end()});
    }
    std::fprintf(stderr, "fault_driver: unknown command line (see FaultDriver.cpp)\n");
    return 2;
}
