#pragma once

#include "core/GameSet.h"
#include "scan/CWorkerJob.h"
#include "settings/CSettingStore.h"
#include "ui/CResizeLayout.h"
#include "ui/DialogServices.h"
#include "ui/GuiThread.h"
#include "ui/PlacementText.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CBusyAnimation;
class CGameCatalogue;
class CResultsList;
class QPushButton;

// The main window of QueltImport: a modeless top-level dialog with the results list, a
// column of command buttons and the busy animation. Its controls carry object names for
// tests and later code: "scanButton", "quitButton", "aboutButton", "resultsList",
// "saveButton", "loadButton", "clearButton", "busyAnimation" and the hidden "makeButton".
class CMainDlg : public QDialog
{
    Q_OBJECT

public:
    // Control and command identifiers.
    enum : int
    {
        kIdScan = 1,
        kIdQuit = 2,
        kIdSave = 3,
        kIdLoad = 4,
        kIdClear = 5,
        kIdList = 1001,
        kIdAnimation = 1002,
        kIdMake = 1003,
        kIdAbout = 57664,
    };

    // Builds and initialises the dialog, hidden. `settingsFile` is where the settings are
    // read at start and written by Quit; `services` are the dialogs and the scan it uses.
    explicit CMainDlg(std::string settingsFile = Orvane::CSettingStore::settingsPath(),
                      ui::DialogServices services = {}, QWidget* parent = nullptr);
    // Waits for a running scan at most the disposal bound, then leaves it to end on its own.
    ~CMainDlg() override;

    // Sets the title to "QueltImprort - " and the printf-style message (cut to 1023 bytes).
    // On the dialog's thread; the scan threads call it through the GUI channel.
    void setStatus(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Runs the handler of command `id` (a button or a popup menu item); false when no
    // handler has that identifier.
    bool dispatchCommand(int id);

    // Fingerprints one story file and appends its row.
    void loadStoryFile(const std::string& path);
    // Reads a catalogue file and shows its records in place of the rows. A file that cannot
    // be loaded changes no row; the title and the trace say so, and the result is false.
    bool loadCatalogueFile(const std::string& path);

public slots:
    void OnScan();
    void OnSave();
    void OnLoad();
    void OnMake();
    void OnAppAbout();
    // Writes "Placement", saves the settings file and ends the program with exit status 0.
    void OnQuit();
    // Sorts by `column` in that column's own direction, then turns the direction round.
    void OnColumnClick(int column);
    // Files dropped on the window, with their full paths, in the order given.
    void OnDropFiles(const std::vector<std::string>& paths);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // What the two threads of a scan hold. They touch the dialog only in work run through
    // `gui`, so they may outlive it (a quit that stops waiting for a long scan).
    struct ScanContext
    {
        CMainDlg* dialog;
        std::shared_ptr<ui::GuiChannel> gui;
        ui::ScanFiles scanFiles;
    };
    // The control job: runs the scan job and waits for it, then ends the scan.
    static void runScan(const ScanContext& scan);
    // The scan job: reads the catalogue last loaded, scans `scanFolder` against it and shows
    // every record found.
    static void doScan(const ScanContext& scan);
    void disposeOfScanJobs();

    void createControls();
    QPushButton* addButton(int id, const char* caption, const QRect& rect, const char* name);
    // Clear, Load, Save and Scan: disabled while a scan starts or runs.
    std::array<QPushButton*, 4> scanCommands() const;
    void OnInitDialog();
    void OnSize();
    void centreOnScreen();
    void setUpResizeLayout();
    void setUpList();
    void setUpBusyAnimation();
    void restorePlacement();
    ui::WindowPlacement defaultPlacement() const;
    ui::WindowPlacement currentPlacement() const;
    void applyPlacement(const ui::WindowPlacement& placement);
    void setScanCommandsEnabled(bool enabled);
    void loadDroppedOrChosen(const std::string& path);
    void scanCouldNotStart();
    void scanEnded();

    CResizeLayout m_layout;
    QPushButton* m_scanButton = nullptr;
    QPushButton* m_quitButton = nullptr;
    QPushButton* m_aboutButton = nullptr;
    CResultsList* m_list = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_loadButton = nullptr;
    QPushButton* m_clearButton = nullptr;
    QPushButton* m_makeButton = nullptr;
    std::string m_cataloguePath; // the catalogue the next scan matches, set by Load and drop
    bool laidOut = false;        // the columns exist: size changes may fit them
    Orvane::CSettingStore m_settings;
    std::string m_settingsFile;
    std::vector<std::int32_t> m_sortDirections; // +1 or -1 per column: how its next sort goes
    std::string m_scanFolder;                   // folder of the current or last scan
    std::int32_t m_lastSortColumn = 0;          // the column whose order Save writes
    CBusyAnimation* busyAnimation = nullptr;
    ui::DialogServices m_services;
    bool m_quitting = false;
    bool m_scanning = false; // from Scan until the scan has ended or did not start
    std::shared_ptr<ui::GuiChannel> m_gui;
    std::shared_ptr<CWorkerJob> scanJob;    // runs doScan; set on this thread, held by runScan too
    std::unique_ptr<CWorkerJob> controlJob; // runs runScan
};
