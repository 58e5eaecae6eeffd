// Times the scan and the catalogue file on a generated corpus (bench/make-corpus.py):
//   (a) cold scan without a catalogue, every candidate becoming "unknown"
//   (b) cold scan with a catalogue that names every candidate
//   (c) the rescan of (b), every candidate a cache hit
//   (d) saving and loading a catalogue of many entries (none with --entries 0)
//   (e) scans (a) and (c) with and without a progress handler, interleaved
//   (f) reading every candidate with and without its story facts, interleaved
// plus the bytes a cold scan writes to its cache file when 1,000, 10,000 and 100,000 of its
// files match (as many as the tree has), and a comparison with `storycrc -r`.
// "Cold" means without a cache file; the story files themselves stay in the page cache.
// Usage: scan_bench <tree> [--storycrc <path>] [--runs N] [--entries N] [--progress-only]
//                   [--scans-only]   (only (a), (b), (c) and storycrc)

#include "core/CGameCatalogue.h"
#include "core/FileCache.h"
#include "core/Fingerprint.h"
#include "core/ScanProgress.h"
#include "scan/FileFilters.h"
#include "scan/FileWalk.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Options
{
    std::string tree;
    std::string storycrc;
    int runs = 5;
    std::size_t entries = 100000;
    bool progressOnly = false;
    bool scansOnly = false;
};

struct Entry
{
    std::string fingerprint;
    std::string sn;
};

double secondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

GameSet catalogueOf(const std::vector<Entry>& entries)
{
    GameSet set;
    std::size_t n = 0;
    for (const Entry& entry : entries) {
        set.insert(
            std::make_shared<CGame>("Game " + std::to_string(++n), entry.fingerprint, entry.sn));
    }
    return set;
}

// With `reports`, the scan gets a progress handler that builds the status text, as the
// window's does before it hands the text to the dialog's thread; it counts the reports.
std::size_t scanOnce(const std::string& tree, const std::string& cachePath, GameSet& set,
                     std::size_t* reports = nullptr)
{
    CGameCatalogue scanner;
    scanner.setFilters(kStoryExtensions);
    scanner.setCachePath(cachePath);
    if (reports) {
        scanner.setProgressHandler([reports](const ScanProgress& progress) {
            static_cast<void>(core::scanProgressText(progress).size());
            ++*reports;
        });
    }
    return scanner.scan(tree, &set, true);
}

void printLine(const char* label, const std::vector<double>& runs)
{
    std::printf("%-44s median %8.3f s  (min %.3f, max %.3f, %zu runs)\n", label, median(runs),
                *std::min_element(runs.begin(), runs.end()),
                *std::max_element(runs.begin(), runs.end()), runs.size());
}

// Processor seconds `work` takes (user and system, all threads): unlike the elapsed time,
// hardly moved by other programs on a shared machine.
// With `children`, the seconds of the child processes waited for instead.
double cpuSecondsOf(const std::function<void()>& work, bool children = false)
{
    const auto cpu = [children] {
        rusage usage{};
        getrusage(children ? RUSAGE_CHILDREN : RUSAGE_SELF, &usage);
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    const double start = cpu();
    work();
    return cpu() - start;
}

// The scans (a), (b) and (c); returns their medians in that order, then the median processor
// time of (b), and in `found` the records of every distinct candidate.
std::vector<double> benchScans(const Options& options, const fs::path& work,
                               std::vector<Entry>& found)
{
    const std::string cachePath = (work / "filecache.txt").string();
    std::vector<double> a, b, bCpu, c;
    for (int run = 0; run < options.runs; ++run) {
        fs::remove(cachePath);
        GameSet unknowns;
        a.push_back(secondsOf([&] { scanOnce(options.tree, cachePath, unknowns); }));
        found.clear();
        for (const GamePtr& game : unknowns) {
            found.push_back({game->fingerprint, game->sn});
        }
    }
    std::printf("corpus %s: %zu distinct candidates\n", options.tree.c_str(), found.size());
    for (int run = 0; run < options.runs; ++run) {
        fs::remove(cachePath);
        GameSet cold = catalogueOf(found);
        std::size_t matched = 0;
        b.push_back(secondsOf([&] {
            bCpu.push_back(
                cpuSecondsOf([&] { matched = scanOnce(options.tree, cachePath, cold); }));
        }));
        GameSet warm = catalogueOf(found);
        c.push_back(secondsOf([&] { scanOnce(options.tree, cachePath, warm); }));
        if (matched != found.size()) {
            std::printf("warning: (b) matched %zu of %zu\n", matched, found.size());
        }
    }
    printLine("(a) cold scan, no catalogue", a);
    printLine("(b) cold scan, catalogue names every file", b);
    printLine("      processor time", bCpu);
    printLine("(c) rescan of (b), all cache hits", c);
    std::printf("    (b)/(c) = %.1fx\n", median(b) / median(c));
    std::printf("    peak memory after the scans: %.1f MiB\n", peakMiB());
    return {median(a), median(b), median(c), median(bCpu)};
}

// Bytes this process has written so far, to any file (the kernel's count).
std::uint64_t bytesWritten()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "wchar:") {
            return value;
        }
    }
    return 0;
}

// What a cold scan whose catalogue names `matches` of the files writes: its cache file.
void benchBytesWritten(const Options& options, const fs::path& work,
                       const std::vector<Entry>& found, std::size_t matches)
{
    if (matches > found.size()) {
        std::printf("cache writes of a cold scan with %6zu matches: (the tree has %zu files)\n",
                    matches, found.size());
        return;
    }
    const std::string cachePath = (work / "filecache.txt").string();
    fs::remove(cachePath);
    GameSet set = catalogueOf({found.begin(), found.begin() + static_cast<long>(matches)});
    const std::uint64_t before = bytesWritten();
    std::size_t matched = 0;
    const double seconds = secondsOf([&] { matched = scanOnce(options.tree, cachePath, set); });
    const std::uint64_t written = bytesWritten() - before;
    std::printf("cache writes of a cold scan with %6zu matches: %10.1f MiB in %7.3f s, "
                "%.1f times the cache file\n",
                matched, static_cast<double>(written) / (1 << 20), seconds,
                static_cast<double>(written) / static_cast<double>(fs::file_size(cachePath)));
}

void benchCatalogue(const Options& options, const fs::path& work)
{
    CGameCatalogue big;
    for (std::size_t i = 0; i < options.entries; ++i) {
        char fingerprint[9];
        std::snprintf(fingerprint, sizeof fingerprint, "%08zX", i * 2654435761u % 0xFFFFFFFFu);
        auto game = std::make_shared<CGame>("Game " + std::to_string(i) + " & \"Friends\"",
                                            fingerprint, std::to_string(800000 + i % 199999));
        game->fn = "/home/player/stories/folder" + std::to_string(i % 100) + "/story" +
                   std::to_string(i) + ".z5";
        game->warn = i % 10 ? "" : "needs a newer interpreter";
        big.games.insert(game);
    }
    const std::string path = (work / "big-catalogue.xml").string();
    std::vector<double> save, load;
    for (int run = 0; run < options.runs; ++run) {
        save.push_back(secondsOf([&] { big.saveCatalogue(path); }));
        CGameCatalogue loaded;
        load.push_back(secondsOf([&] { loaded.loadCatalogue(path); }));
        if (loaded.games.size() != big.games.size()) {
            std::printf("warning: loaded %zu of %zu\n", loaded.games.size(), big.games.size());
        }
    }
    std::printf("catalogue of %zu entries, %.1f MiB:\n", big.games.size(),
                static_cast<double>(fs::file_size(path)) / (1 << 20));
    printLine("(d) save", save);
    printLine("(d) load", load);
    std::printf("    peak memory after the catalogue: %.1f MiB\n", peakMiB());
}

// What the progress handler costs: each scan kind run without and with it, alternately and
// in turn first, so that a change in the machine's load or caches falls on both alike.
void benchProgress(const Options& options, const fs::path& work)
{
    const std::string noCache = (work / "progress-none.txt").string(); // nothing ever matches
    const std::string fullCache = (work / "progress-full.txt").string();
    GameSet unknowns;
    scanOnce(options.tree, noCache, unknowns);
    std::vector<Entry> found;
    for (const GamePtr& game : unknowns) {
        found.push_back({game->fingerprint, game->sn});
    }
    GameSet filling = catalogueOf(found);
    scanOnce(options.tree, fullCache, filling);

    // [cold or all hits][without or with progress][elapsed or processor time]
    std::vector<double> times[2][2][2];
    std::size_t reports = 0;
    for (int run = 0; run < options.runs; ++run) {
        for (const bool second : {false, true}) {
            const bool progress = second != (run % 2 == 1);
            for (const bool hits : {false, true}) {
                GameSet set = hits ? catalogueOf(found) : GameSet();
                double cpu = 0;
                const double wall = secondsOf([&] {
                    cpu = cpuSecondsOf([&] {
                        scanOnce(options.tree, hits ? fullCache : noCache, set,
                                 progress ? &reports : nullptr);
                    });
                });
                times[hits][progress][0].push_back(wall);
                times[hits][progress][1].push_back(cpu);
            }
        }
    }
    for (const bool hits : {false, true}) {
        for (const bool progress : {false, true}) {
            const std::string kind = hits ? "all-hits scan as (c)" : "cold scan as (a)";
            printLine(("(e) " + kind + (progress ? ", progress" : ", no progress")).c_str(),
                      times[hits][progress][0]);
            printLine("      processor time", times[hits][progress][1]);
        }
        const auto cost = [&](int clock) {
            return 100.0 * (median(times[hits][1][clock]) / median(times[hits][0][clock]) - 1);
        };
        std::printf("    progress costs %+.2f%% of the elapsed, %+.2f%% of the processor time\n",
                    cost(0), cost(1));
    }
    std::printf("    %.1f reports per scan\n", static_cast<double>(reports) / (2.0 * options.runs));
}

// What the story facts cost: every candidate read on this thread, without and with its facts,
// alternately and in turn first. The story files of the corpus have headers, so that the sum
// and the search for an embedded IFID run over every byte, as for real stories.
void benchFacts(const Options& options)
{
    std::vector<CFileEntry> entries;
    findAllFiles(options.tree, entries);
    std::vector<double> times[2];
    std::map<std::string, std::size_t> checks;
    for (int run = 0; run < options.runs; ++run) {
        for (const bool second : {false, true}) {
            const bool withFacts = second != (run % 2 == 1);
            times[withFacts].push_back(cpuSecondsOf([&] {
                for (const CFileEntry& entry : entries) {
                    core::FileFacts facts;
                    computeFingerprint(entry.path, nullptr, withFacts ? &facts : nullptr);
                    if (withFacts && run == 0) {
                        ++checks[core::checkWord(facts.story.check)];
                    }
                }
            }));
        }
    }
    printLine("(f) every file read on one thread, alone", times[0]);
    printLine("(f) the same, with its story facts", times[1]);
    const double cost = median(times[1]) - median(times[0]);
    std::printf("    the facts cost %.2f us a file, %+.1f%% of the read (processor time)\n",
                1e6 * cost / static_cast<double>(entries.size()), 100.0 * cost / median(times[0]));
    for (const auto& [word, count] : checks) {
        std::printf("    %zu files %s\n", count, word.c_str());
    }
}

void compareWithStorycrc(const Options& options, const std::vector<double>& scans)
{
    if (options.storycrc.empty()) {
        return;
    }
    const std::string command =
        "'" + options.storycrc + "' -r '" + options.tree + "' >/dev/null 2>&1";
    std::vector<double> runs, cpu;
    for (int run = 0; run < options.runs; ++run) {
        runs.push_back(secondsOf([&] {
            cpu.push_back(cpuSecondsOf(
                [&] {
                    if (std::system(command.c_str()) != 0) {
                        std::printf("warning: storycrc failed\n");
                    }
                },
                true));
        }));
    }
    printLine("storycrc -r over the same tree", runs);
    printLine("      processor time", cpu);
    std::printf("    (a)/storycrc = %.2fx, (b)/storycrc = %.2fx (goal: (b) within 1.3x); "
                "processor time (b)/storycrc = %.2fx\n",
                scans[0] / median(runs), scans[1] / median(runs), scans[3] / median(cpu));
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--storycrc" && i + 1 < argc) {
            options.storycrc = argv[++i];
        } else if (arg == "--runs" && i + 1 < argc) {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--progress-only") {
            options.progressOnly = true;
        } else if (arg == "--scans-only") {
            options.scansOnly = true;
        } else if (arg == "--entries" && i + 1 < argc) {
            options.entries = static_cast<std::size_t>(std::atol(argv[++i]));
        } else if (options.tree.empty() && !arg.starts_with("--")) {
            options.tree = arg;
        } else {
            return false;
        }
    }
    return !options.tree.empty();
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: scan_bench <tree> [--storycrc <path>] [--runs N] [--entries N] "
                     "[--progress-only] [--scans-only]\n");
        return 1;
    }
    std::string pattern = (fs::temp_directory_path() / "scan-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path work = pattern;
    if (!options.progressOnly) {
        std::vector<Entry> found;
        const std::vector<double> scans = benchScans(options, work, found);
        compareWithStorycrc(options, scans);
        benchFacts(options);
        if (options.scansOnly) {
            fs::remove_all(work);
            return 0;
        }
        for (const std::size_t matches :
             {std::size_t{1000}, std::size_t{10000}, std::size_t{100000}}) {
            benchBytesWritten(options, work, found, matches);
        }
        if (options.entries > 0) {
            benchCatalogue(options, work);
        }
    }
    benchProgress(options, work);
    fs::remove_all(work);
    return 0;
}
