// The Scan command of the main dialog and the two background jobs that carry a scan.

#include "core/CGameCatalogue.h"
#include "errors/CMyException.h"
#include "scan/FileFilters.h"
#include "ui/CBusyAnimation.h"
#include "ui/CMainDlg.h"
#include "ui/CResultsList.h"
#include "ui/FileDialogs.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QPushButton>

#include <system_error>

namespace {

const char* const kLastDirSetting = "lastDir";
const char* const kPickerTitle = "Browse for a Directory to scan";

int runScanOf(void* dialog)
{
    if (dialog) {
        static_cast<CMainDlg*>(dialog)->runScan();
    }
    return 0;
}

int doScanOf(void* dialog)
{
    if (dialog) {
        static_cast<CMainDlg*>(dialog)->doScan();
    }
    return 0;
}

} // namespace

void CMainDlg::OnScan()
{
    std::string lastDir;
    if (m_settings.readTextSetting(kLastDirSetting, lastDir)) {
        scanFolder = lastDir; // honoured, never written by the program
    }
    std::string chosen;
    if (browseForFolder(this, scanFolder, kPickerTitle, chosen)) {
        scanFolder = chosen.back() == '/' ? chosen : chosen + '/';
    } else {
        scanFolder.clear();
    }
    if (scanFolder.empty()) {
        return;
    }
    busyAnimation->play();
    controlJob.reset(); // the previous scan has ended: Scan was disabled until then
    try {
        controlJob = std::make_unique<CWorkerJob>(runScanOf, this);
    } catch (const std::system_error&) {
        scanCouldNotStart();
        return;
    }
    controlJob->trigger();
}

void CMainDlg::runScan()
{
    const std::shared_ptr<ui::GuiChannel> gui = m_gui;
    ui::runOnGuiThread(gui, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        setScanCommandsEnabled(false);
    });
    scanJob.reset();
    try {
        scanJob = std::make_unique<CWorkerJob>(doScanOf, this);
    } catch (const std::system_error&) {
        ui::runOnGuiThread(gui, this, [this] {
            scanCouldNotStart();
            QApplication::restoreOverrideCursor();
        });
        return;
    }
    scanJob->trigger();
    scanJob->waitDone();
    ui::runOnGuiThread(gui, this, [this] {
        busyAnimation->stop();
        setScanCommandsEnabled(true);
        QApplication::restoreOverrideCursor();
    });
}

void CMainDlg::doScan()
{
    // Everything the job needs of the dialog is copied on the dialog's thread at the start;
    // a drop during the scan changes the catalogue of the next scan, not of this one.
    const std::shared_ptr<ui::GuiChannel> gui = m_gui;
    std::string catalogue;
    std::string folder;
    ui::runOnGuiThread(gui, this, [&] {
        catalogue = cataloguePath;
        folder = scanFolder;
    });

    GameSet games;
    CGameCatalogue scanner;
    if (!catalogue.empty()) {
        CGameCatalogue reader;
        if (reader.loadCatalogue(catalogue)) {
            const int loaded = static_cast<int>(reader.games.size());
            ui::runOnGuiThread(gui, this,
                               [&] { setStatus("Loaded:%d %s", loaded, catalogue.c_str()); });
            games = reader.games;
        }
    }
    if (folder.empty()) {
        return;
    }
    scanner.setFilters(kStoryExtensions);
    scanner.setProgressHandler([&](const ScanProgress& progress) {
        const std::string text = core::scanProgressText(progress);
        ui::runOnGuiThread(gui, this, [&] { setStatus("%s", text.c_str()); });
    });
    try {
        runScanner(scanner, folder, games);
    } catch (const CMyException&) {
        // dropped: the scan goes on with what the list holds
    } catch (...) {
        const CMyException report(0, "unknown exception", "CMainDlg::doScan", __FILE__, 729);
        static_cast<void>(report.what()); // composed, not shown
    }
    ui::runOnGuiThread(gui, this, [&] {
        if (games.empty()) {
            setStatus("no games found.");
            return;
        }
        m_list->showGames(games);
        setStatus("%d: games found.", static_cast<int>(games.size()));
    });
}

void CMainDlg::runScanner(CGameCatalogue& scanner, const std::string& folder, GameSet& games)
{
    scanner.scan(folder, &games, true);
}

void CMainDlg::setScanCommandsEnabled(bool enabled)
{
    for (const char* name : {"clearButton", "loadButton", "saveButton", "scanButton"}) {
        findChild<QPushButton*>(QString::fromLatin1(name))->setEnabled(enabled);
    }
}

void CMainDlg::scanCouldNotStart()
{
    busyAnimation->stop();
    setScanCommandsEnabled(true);
    setStatus("Could not start the scan.");
}

void CMainDlg::disposeOfScanJobs()
{
    // The scan threads may be waiting for this thread to run a window call, so events keep
    // being processed while they finish, within the disposal bound. From now on they send
    // nothing more to the dialog.
    m_gui->closing = true;
    QElapsedTimer waited;
    waited.start();
    while (controlJob && !controlJob->isDone() && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
    }
    scanJob.reset();
    controlJob.reset();
}
