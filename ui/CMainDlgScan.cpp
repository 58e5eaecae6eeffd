// The Scan command of the main dialog and the two background jobs that carry a scan.

#include "core/CGameCatalogue.h"
#include "errors/CMyException.h"
#include "scan/FileFilters.h"
#include "ui/CBusyAnimation.h"
#include "ui/CMainDlg.h"
#include "ui/CResultsList.h"
#include "ui/FileDialogs.h"
#include "ui/Trace.h"

#include <QApplication>
#include <QCursor>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <system_error>

namespace {

const char* const kLastDirSetting = "lastDir";
const char* const kPickerTitle = "Browse for a Directory to scan";

} // namespace

namespace ui {

void scanForStories(CGameCatalogue& scanner, const std::string& folder, GameSet& games)
{
    scanner.scan(folder, &games, true);
}

} // namespace ui

void CMainDlg::OnScan()
{
    if (m_scanning) {
        return; // a second Scan that slipped in before the button was disabled
    }
    // Before anything else, so that no second Scan, Load, Save or Clear lands in between.
    m_scanning = true;
    setScanCommandsEnabled(false);
    std::string lastDir;
    if (m_settings.readTextSetting(kLastDirSetting, lastDir)) {
        m_scanFolder = lastDir; // honoured, never written by the program
    }
    std::string chosen;
    if (browseForFolder(m_services.folderPicker, this, m_scanFolder, kPickerTitle, chosen)) {
        m_scanFolder = chosen.back() == '/' ? chosen : chosen + '/';
    } else {
        m_scanFolder.clear();
    }
    if (m_scanFolder.empty()) {
        m_scanning = false;
        setScanCommandsEnabled(true);
        return;
    }
    busyAnimation->play();
    controlJob.reset(); // the previous scan has ended: Scan was disabled until then
    const ScanContext scan{this, m_gui, m_services.scanFiles};
    try {
        controlJob = std::make_unique<CWorkerJob>(
            [scan](void*) {
                runScan(scan);
                return 0;
            },
            nullptr);
    } catch (const std::system_error&) {
        scanCouldNotStart();
        return;
    }
    controlJob->trigger();
}

void CMainDlg::runScan(const ScanContext& scan)
{
    ui::runOnGuiThread(scan.gui, [&] { QApplication::setOverrideCursor(Qt::WaitCursor); });
    std::shared_ptr<CWorkerJob> job;
    try {
        job = std::make_shared<CWorkerJob>(
            [scan](void*) {
                doScan(scan);
                return 0;
            },
            nullptr);
    } catch (const std::system_error&) {
        ui::runOnGuiThread(scan.gui, [&] {
            scan.dialog->scanCouldNotStart();
            QApplication::restoreOverrideCursor();
        });
        return;
    }
    // The dialog keeps the job until the next scan (disposing of the previous one); this
    // thread waits on a handle of its own, which a disposal of the dialog cannot take away.
    ui::runOnGuiThread(scan.gui, [&] { scan.dialog->scanJob = job; });
    job->trigger();
    job->waitDone();
    ui::runOnGuiThread(scan.gui, [&] { scan.dialog->scanEnded(); });
}

void CMainDlg::doScan(const ScanContext& scan)
{
    // Everything the job needs of the dialog is copied on the dialog's thread at the start;
    // a drop during the scan changes the catalogue of the next scan, not of this one.
    std::string catalogue;
    std::string folder;
    ui::runOnGuiThread(scan.gui, [&] {
        catalogue = scan.dialog->m_cataloguePath;
        folder = scan.dialog->m_scanFolder;
    });

    GameSet games;
    CGameCatalogue scanner;
    if (!catalogue.empty()) {
        CGameCatalogue reader;
        if (reader.loadCatalogue(catalogue)) {
            const int loaded = static_cast<int>(reader.games.size());
            ui::runOnGuiThread(scan.gui, [&] {
                scan.dialog->setStatus("Loaded:%d %s", loaded, catalogue.c_str());
            });
            games = reader.games;
        }
    }
    if (folder.empty()) {
        return;
    }
    scanner.setFilters(kStoryExtensions);
    // The title shows the outcome only; what could not be read goes to the trace.
    scanner.setReportHandler([](const std::string& report) { ui::trace("%s", report.c_str()); });
    scanner.setProgressHandler([&](const ScanProgress& progress) {
        const std::string text = core::scanProgressText(progress);
        ui::runOnGuiThread(scan.gui, [&] { scan.dialog->setStatus("%s", text.c_str()); });
    });
    try {
        scan.scanFiles(scanner, folder, games);
    } catch (const CMyException&) {
        // dropped: the scan goes on with what the list holds
    } catch (...) {
        const CMyException report(0, "unknown exception", "CMainDlg::doScan", __FILE__, 729);
        static_cast<void>(report.what()); // composed, not shown
    }
    ui::runOnGuiThread(scan.gui, [&] {
        if (games.empty()) {
            scan.dialog->setStatus("no games found.");
            return;
        }
        scan.dialog->m_list->showGames(games);
        scan.dialog->setStatus("%d: games found.", static_cast<int>(games.size()));
    });
}

void CMainDlg::setScanCommandsEnabled(bool enabled)
{
    // While a scan runs the focus rests on the list: disabling the focused Scan would move it
    // on to Quit, where a stray Space quits. Afterwards it goes back to Scan, unless the user
    // has moved it meanwhile.
    if (!enabled) {
        m_list->setFocus();
    }
    for (QPushButton* button : scanCommands()) {
        button->setEnabled(enabled);
    }
    if (enabled && focusWidget() == m_list) {
        m_scanButton->setFocus();
    }
}

std::array<QPushButton*, 4> CMainDlg::scanCommands() const
{
    return {m_clearButton, m_loadButton, m_saveButton, m_scanButton};
}

void CMainDlg::scanCouldNotStart()
{
    busyAnimation->stop();
    m_scanning = false;
    setScanCommandsEnabled(true);
    setStatus("Could not start the scan.");
}

void CMainDlg::scanEnded()
{
    busyAnimation->stop();
    m_scanning = false;
    setScanCommandsEnabled(true);
    QApplication::restoreOverrideCursor();
}

void CMainDlg::disposeOfScanJobs()
{
    // Closing the channel releases a scan thread waiting for this thread, and nothing of the
    // scan reaches the dialog any more; what is left of the one bound goes to the jobs.
    m_gui->close();
    const auto deadline = std::chrono::steady_clock::now() + m_services.disposeTimeout;
    const auto left = [&] {
        return std::max(std::chrono::milliseconds(0),
                        std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now()));
    };
    if (scanJob) {
        scanJob->stop(left());
    }
    if (controlJob) {
        controlJob->stop(left());
    }
    scanJob.reset();
    controlJob.reset();
}
