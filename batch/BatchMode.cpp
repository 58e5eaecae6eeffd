#include "batch/BatchMode.h"

#include "batch/RowFormats.h"
#include "core/CGameCatalogue.h"
#include "export/InstallerScript.h"
#include "export/ResultRows.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Terminal.h"
#include "scan/FileFilters.h"

#include <filesystem>
#include <iostream>
#include <string_view>
#include <utility>
#include <vector>

namespace batch {
namespace {

const char* const kPrefix = "QueltImport: ";
const char* const kGameListFile = "gamelist.txt";

// The folder the system reaches by `folder`, as the window's folder picker gives it: absolute
// and ending in '/' (the cache file, shared with the window, is keyed by full paths). A ".."
// steps out of the folder reached so far, after the links that led there, as opening the
// path would; a plain lexical ".." could name another folder or none. Nothing, with the
// reason on `err`, when that is not a folder.
std::optional<std::string> scanFolderOf(const std::string& folder, std::ostream& err)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path reached;
    for (const fs::path& part : fs::absolute(folder, error)) {
        if (part == "..") {
            reached = fs::canonical(reached, error).parent_path();
        } else if (part != "." && !part.empty()) {
            reached /= part;
        }
        if (error) {
            break;
        }
    }
    std::string reason = error.message();
    std::string path = reached.string();
    if (!error) {
        const auto status = platform::statPath(path, &reason);
        if (status && status->isFolder) {
            return path.back() == '/' ? path : path + '/';
        }
        reason = status ? "not a folder" : reason;
    }
    err << kPrefix << "cannot scan " << folder << ": " << reason << '\n';
    return std::nullopt;
}

// The games of the catalogue at `path` (none without one); nothing, with the reason on
// `err`, when it cannot be loaded.
std::optional<GameSet> loadGames(const std::optional<std::string>& path, std::ostream& err)
{
    if (!path) {
        return GameSet{};
    }
    CGameCatalogue reader;
    if (reader.loadCatalogue(*path)) {
        return reader.games;
    }
    std::string report = reader.messages.str();
    if (report.empty()) {
        report = "it has no games element";
    }
    err << kPrefix << "cannot load the catalogue " << *path << ":\n" << report;
    if (report.back() != '\n') {
        err << '\n';
    }
    return std::nullopt;
}

// One line of a terminal, rewritten in place for each report and cleared at the end.
class ProgressLine
{
public:
    explicit ProgressLine(std::ostream& err) : m_err(err) {}
    ~ProgressLine()
    {
        clear();
        m_err << std::flush;
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const ScanProgress& progress)
    {
        m_err << '\r' << core::scanProgressText(progress) << "\x1b[K" << std::flush;
        m_shown = true;
    }

    // Clears the line, if shown, for a line of another kind; the next report shows it again.
    void clear()
    {
        if (std::exchange(m_shown, false)) {
            m_err << "\r\x1b[K";
        }
    }

private:
    std::ostream& m_err;
    bool m_shown = false;
};

// Scans `folder` into `games`; each of the scan's failure reports goes to `err` as it is
// made. True when there was none: every file was read and every folder listed.
bool scanInto(GameSet& games, const std::string& folder, std::ostream& err, bool showProgress)
{
    CGameCatalogue scanner;
    scanner.setFilters(kStoryExtensions);
    ProgressLine line(err);
    if (showProgress) {
        scanner.setProgressHandler([&](const ScanProgress& progress) { line.show(progress); });
    }
    bool complete = true;
    scanner.setReportHandler([&](const std::string& report) {
        line.clear();
        err << kPrefix << report << '\n';
        complete = false;
    });
    scanner.scan(folder, &games, true);
    return complete;
}

// The catalogue's games whose files the scan did not find.
GameSet missingGames(const GameSet& games)
{
    GameSet missing;
    for (const GamePtr& game : games) {
        if (exporter::recordStatus(*game) == std::string_view("missing")) {
            missing.insert(game);
        }
    }
    return missing;
}

// Writes the files `options` ask for, as Save and Make write them; false, with a line on
// `err` for each, when any could not be written.
bool writeFiles(const Options& options, const GameSet& games, std::ostream& err)
{
    const std::vector<exporter::ResultRow> rows = exporter::resultRows(games);
    bool written = true;
    const auto saveAs = [&](const std::string& path, GameSet catalogueGames) {
        CGameCatalogue catalogue;
        catalogue.games = std::move(catalogueGames);
        if (!catalogue.saveCatalogue(path)) {
            err << kPrefix << "cannot write " << path << '\n';
            written = false;
        }
    };
    const auto write = [&](const std::string& path, const std::string& content) {
        std::string reason;
        if (!platform::writeFileAtomically(path, content, platform::Durability::Flush, &reason)) {
            err << kPrefix << "cannot write " << path << ": " << reason << '\n';
            written = false;
        }
    };
    if (options.save) {
        if (options.gameList) {
            const std::filesystem::path folder = std::filesystem::path(*options.save).parent_path();
            write((folder / kGameListFile).string(), exporter::gameListText(rows));
        }
        saveAs(*options.save, exporter::catalogueGames(rows));
    }
    if (options.missing) {
        saveAs(*options.missing, missingGames(games));
    }
    if (options.installer) {
        std::vector<exporter::ScriptRow> scriptRows;
        for (const exporter::ResultRow& row : rows) {
            scriptRows.push_back({row.filename, row.fullName});
        }
        write(*options.installer, exporter::installerScript(scriptRows));
    }
    return written;
}

} // namespace

int runScan(const Options& options, std::ostream& out, std::ostream& err, bool showProgress)
{
    const std::optional<std::string> folder = scanFolderOf(options.folder, err);
    if (!folder) {
        return kExitFailure;
    }
    std::optional<GameSet> games = loadGames(options.catalogue, err);
    if (!games) {
        return kExitFailure;
    }
    const bool complete = scanInto(*games, *folder, err, showProgress);
    writeRecords(*games, options.format, out);
    if (!out.flush()) {
        err << kPrefix << "cannot write the results to standard output\n";
        return kExitFailure;
    }
    // A partial scan still writes what it found, but is no success.
    const bool written = writeFiles(options, *games, err);
    return written && complete ? kExitSuccess : kExitFailure;
}

std::optional<int> runWithoutWindow(int argc, const char* const* argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const Invocation invocation = parseCommandLine(args, std::cout, std::cerr);
    switch (invocation.kind) {
    case Invocation::Kind::Window:
        return std::nullopt;
    case Invocation::Kind::Exit:
        return invocation.status;
    case Invocation::Kind::Scan:
        break;
    }
    const bool showProgress = !invocation.options.quiet && platform::standardErrorIsTerminal();
    return runScan(invocation.options, std::cout, std::cerr, showProgress);
}

} // namespace batch
