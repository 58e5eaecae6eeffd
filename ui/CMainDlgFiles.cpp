// The file commands of the main dialog: Load, drop, Save and the installer-script export.

#include "core/CGameCatalogue.h"
#include "export/CFileChooser.h"
#include "export/InstallerScript.h"
#include "export/ResultRows.h"
#include "platform/AtomicFile.h"
#include "scan/FileFilters.h"
#include "ui/CMainDlg.h"
#include "ui/CResultsList.h"

#include <array>

namespace {

const char* const kCatalogueFilter = "Fingerprints (*.XML)|*.XML|All files (*.*)|*.*|";
const char* const kLoadFilter = "Fingerprints (*.XML)|*.XML|Z-code Files (.z?;.blb;.dat;.zip)|"
                                "*.z?;*.blb;*.dat;*.zip|All files (*.*)|*.*|";
const char* const kScriptFilter = "Inno Files (*.ISS)|*.ISS|All files (*.*)|*.*|";
const char* const kGameListFile = "gamelist.txt";
constexpr int kCellCapacity = 260;

enum Column
{
    kFingerprint,
    kSerial,
    kFilename,
    kWarnings,
    kFullName
};

// A story file by its name: the ending is compared byte for byte, so ".DAT" is no story.
bool isStoryFile(const std::string& path)
{
    return endsWithAny(kStoryExtensions, path);
}

CatalogueView viewOfColumn(int column)
{
    static constexpr std::array<CatalogueView, 5> kViews{
        CatalogueView::Fingerprint, CatalogueView::Sn, CatalogueView::Fn, CatalogueView::Warn,
        CatalogueView::FullName};
    return column >= 0 && column < static_cast<int>(kViews.size())
               ? kViews[static_cast<std::size_t>(column)]
               : CatalogueView::Fingerprint;
}

// The path the user picked, or nothing when the dialog was cancelled.
std::optional<std::string> chooseFile(CFileChooser::Kind kind, const char* filter,
                                      const char* title, QWidget* parent)
{
    CFileChooser chooser(kind, filter, title, parent);
    if (chooser.show() != CFileChooser::Result::Ok) {
        return std::nullopt;
    }
    return chooser.chosenFile();
}

} // namespace

void CMainDlg::OnLoad()
{
    if (const auto path = chooseFile(CFileChooser::Kind::Open, kLoadFilter, "Open", this)) {
        loadDroppedOrChosen(*path);
    }
}

void CMainDlg::OnDropFiles(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) {
        loadDroppedOrChosen(path);
    }
}

void CMainDlg::loadDroppedOrChosen(const std::string& path)
{
    if (isStoryFile(path)) {
        loadStoryFile(path);
        return;
    }
    loadCatalogueFile(path);
    cataloguePath = path; // also after a failed load: the next scan then runs without one
}

void CMainDlg::loadStoryFile(const std::string& path)
{
    CGameCatalogue catalogue;
    if (catalogue.addFile(path, true, kUnknown) && !catalogue.games.empty()) {
        m_list->addGameRow(**catalogue.games.begin());
    }
}

void CMainDlg::loadCatalogueFile(const std::string& path)
{
    CGameCatalogue catalogue;
    if (!catalogue.loadCatalogue(path)) {
        trace("Error: %s", catalogue.messages.str().c_str());
        return;
    }
    setStatus("%d entries loaded from %s", static_cast<int>(catalogue.games.size()), path.c_str());
    m_list->showGames(catalogue.games);
}

void CMainDlg::OnSave()
{
    const auto path = chooseFile(CFileChooser::Kind::Save, kCatalogueFilter, "Save As", this);
    if (!path) {
        return;
    }
    std::vector<exporter::ResultRow> rows;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const auto cell = [&](int column) { return m_list->cellText(row, column, kCellCapacity); };
        rows.push_back(
            {cell(kFingerprint), cell(kSerial), cell(kFilename), cell(kWarnings), cell(kFullName)});
    }
    platform::writeFileAtomically(kGameListFile, exporter::gameListText(rows)); // best effort
    CGameCatalogue catalogue;
    catalogue.games = exporter::catalogueGames(rows);
    if (!catalogue.saveCatalogue(*path, viewOfColumn(lastSortColumn))) {
        setStatus("Could not write %s", path->c_str());
    }
}

void CMainDlg::OnMake()
{
    const auto path = chooseFile(CFileChooser::Kind::Save, kScriptFilter, "Save As", this);
    if (!path) {
        return;
    }
    std::vector<exporter::ScriptRow> rows;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        rows.push_back({m_list->cellText(row, kFilename, kCellCapacity),
                        m_list->cellText(row, kFullName, kCellCapacity)});
    }
    if (!platform::writeFileAtomically(*path, exporter::installerScript(rows))) {
        setStatus("Could not write %s", path->c_str());
    }
}
