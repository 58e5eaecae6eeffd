// The file commands of the main dialog: Load, drop, Save and the installer-script export.

#include "core/CGameCatalogue.h"
#include "export/CFileChooser.h"
#include "export/InstallerScript.h"
#include "export/ResultRows.h"
#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "scan/FileFilters.h"
#include "ui/CMainDlg.h"
#include "ui/CResultsList.h"
#include "ui/Trace.h"

#include <array>

namespace {

const char* const kCatalogueFilter = "Fingerprints (*.XML)|*.XML|All files (*.*)|*.*|";
const char* const kLoadFilter = "Fingerprints (*.XML)|*.XML|Z-code Files (.z?;.blb;.dat;.zip)|"
                                "*.z?;*.blb;*.dat;*.zip|All files (*.*)|*.*|";
const char* const kScriptFilter = "Inno Files (*.ISS)|*.ISS|All files (*.*)|*.*|";
const char* const kGameListFile = "gamelist.txt";

// A story file by its name, its ending in any case, as the scan takes it.
bool isStoryFile(const std::string& path)
{
    return endsWithAny(kStoryExtensions, platform::asciiLowered(path));
}

// The catalogue's view of the field a column shows; the check word is no field of the
// catalogue, so after a sort by Check the fingerprint's view.
CatalogueView viewOfColumn(int column)
{
    static constexpr std::array<CatalogueView, ui::kSavedColumnCount> kViews{
        CatalogueView::Fingerprint, CatalogueView::Sn, CatalogueView::Fn, CatalogueView::Warn,
        CatalogueView::FullName};
    return column >= 0 && column < static_cast<int>(kViews.size())
               ? kViews[static_cast<std::size_t>(column)]
               : CatalogueView::Fingerprint;
}

// The path the user picked, or nothing when the dialog was cancelled.
std::optional<std::string> chooseFile(const CFileChooser::Runner& dialog, CFileChooser::Kind kind,
                                      const char* filter, const char* title, QWidget* parent)
{
    CFileChooser chooser(kind, filter, title, parent, dialog);
    if (chooser.show() != CFileChooser::Result::Ok) {
        return std::nullopt;
    }
    return chooser.chosenFile();
}

} // namespace

void CMainDlg::OnLoad()
{
    if (const auto path = chooseFile(m_services.fileDialog, CFileChooser::Kind::Open, kLoadFilter,
                                     "Open", this)) {
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
    if (loadCatalogueFile(path)) {
        m_cataloguePath = path;
    }
}

void CMainDlg::loadStoryFile(const std::string& path)
{
    CGameCatalogue catalogue;
    if (catalogue.addFile(path, true, kUnknown) && !catalogue.games.empty()) {
        m_list->addGameRow(**catalogue.games.begin());
    }
}

bool CMainDlg::loadCatalogueFile(const std::string& path)
{
    CGameCatalogue catalogue;
    if (!catalogue.loadCatalogue(path)) {
        std::string report = catalogue.messages.str();
        if (report.empty()) {
            report = "Could not load " + path; // it parsed but has no games element
        }
        ui::trace("Error: %s", report.c_str());
        setStatus("Could not load %s", path.c_str());
        return false;
    }
    setStatus("%d entries loaded from %s", static_cast<int>(catalogue.games.size()), path.c_str());
    m_list->showGames(catalogue.games);
    return true;
}

void CMainDlg::OnSave()
{
    const auto path = chooseFile(m_services.fileDialog, CFileChooser::Kind::Save, kCatalogueFilter,
                                 "Save As", this);
    if (!path) {
        return;
    }
    std::vector<exporter::ResultRow> rows;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const auto cell = [&](int column) { return m_list->cellText(row, column); };
        rows.push_back({cell(ui::kFingerPrintColumn), cell(ui::kSerialColumn),
                        cell(ui::kFilenameColumn), cell(ui::kWarningsColumn),
                        cell(ui::kFullNameColumn)});
    }
    platform::writeFileAtomically(kGameListFile, exporter::gameListText(rows)); // best effort
    CGameCatalogue catalogue;
    catalogue.games = exporter::catalogueGames(rows);
    if (!catalogue.saveCatalogue(*path, viewOfColumn(m_lastSortColumn))) {
        setStatus("Could not write %s", path->c_str());
    }
}

void CMainDlg::OnMake()
{
    const auto path =
        chooseFile(m_services.fileDialog, CFileChooser::Kind::Save, kScriptFilter, "Save As", this);
    if (!path) {
        return;
    }
    std::vector<exporter::ScriptRow> rows;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        rows.push_back({m_list->cellText(row, ui::kFilenameColumn),
                        m_list->cellText(row, ui::kFullNameColumn)});
    }
    if (!platform::writeFileAtomically(*path, exporter::installerScript(rows))) {
        setStatus("Could not write %s", path->c_str());
    }
}
