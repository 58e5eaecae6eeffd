#include "batch/BatchMode.h"

#include "core/CGameCatalogue.h"
#include "export/InstallerScript.h"
#include "export/ResultRows.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Terminal.h"
#include "scan/FileFilters.h"

#include <filesystem>
#include <iostream>
#include <vector>

namespace batch {
namespace {

const char* const kPrefix = "QueltImport: ";
const char* const kGameListFile = "gamelist.txt";

bool isFolder(const std::string& folder, std::ostream& err)
{
    std::string reason;
    const auto status = platform::statPath(folder, &reason);
    if (status && status->isFolder) {
        return true;
    }
    err << kPrefix << "cannot scan " << folder << ": " << (status ? "not a folder" : reason)
        << '\n';
    return false;
}

// The folder as the window's folder picker gives it: absolute and ending in '/'. The cache
// file, shared with the window, is keyed by full paths.
std::string scanFolderOf(const std::string& folder)
{
    std::string path = std::filesystem::absolute(folder).lexically_normal().string();
    if (path.back() != '/') {
        path += '/';
    }
    return path;
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
        if (m_shown) {
            m_err << "\r\x1b[K" << std::flush;
        }
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const ScanProgress& progress)
    {
        m_err << '\r' << core::scanProgressText(progress) << "\x1b[K" << std::flush;
        m_shown = true;
    }

private:
    std::ostream& m_err;
    bool m_shown = false;
};

void scanInto(GameSet& games, const std::string& folder, std::ostream& err, bool showProgress)
{
    CGameCatalogue scanner;
    scanner.setFilters(kStoryExtensions);
    ProgressLine line(err);
    if (showProgress) {
        scanner.setProgressHandler([&](const ScanProgress& progress) { line.show(progress); });
    }
    scanner.scan(folder, &games, true);
}

void printRows(const std::vector<exporter::ResultRow>& rows, std::ostream& out)
{
    for (const exporter::ResultRow& row : rows) {
        out << row.fingerprint << '\t' << row.serial << '\t' << row.filename << '\t' << row.warnings
            << '\t' << row.fullName << '\n';
    }
    if (rows.empty()) {
        out << "no games found.\n";
    } else {
        out << rows.size() << ": games found.\n";
    }
}

// Writes the files `options` ask for, as Save and Make write them; false, with a line on
// `err` for each, when any could not be written.
bool writeFiles(const Options& options, const std::vector<exporter::ResultRow>& rows,
                std::ostream& err)
{
    bool written = true;
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
        CGameCatalogue catalogue;
        catalogue.games = exporter::catalogueGames(rows);
        if (!catalogue.saveCatalogue(*options.save)) {
            err << kPrefix << "cannot write " << *options.save << '\n';
            written = false;
        }
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
    if (!isFolder(options.folder, err)) {
        return kExitFailure;
    }
    std::optional<GameSet> games = loadGames(options.catalogue, err);
    if (!games) {
        return kExitFailure;
    }
    scanInto(*games, scanFolderOf(options.folder), err, showProgress);
    const std::vector<exporter::ResultRow> rows = exporter::resultRows(*games);
    printRows(rows, out);
    if (!out.flush()) {
        err << kPrefix << "cannot write the results to standard output\n";
        return kExitFailure;
    }
    return writeFiles(options, rows, err) ? kExitSuccess : kExitFailure;
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
