#pragma once

#include "core/GameSet.h"
#include "scan/CWorkerJob.h"
#include "settings/CSettingStore.h"
#include "ui/CResizeLayout.h"
#include "ui/GuiThread.h"
#include "ui/PlacementText.h"

#include <QDialog>

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
    // read at start and written by Quit.
    explicit CMainDlg(std::string settingsFile = Orvane::CSettingStore::settingsPath(),
                      QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Sets the title to "QueltImprort - " and the printf-style message (cut to 1023 bytes).
    // Any thread: from another thread the change runs on the dialog's thread, and the call
    // returns once it is done.
    void setStatus(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Writes "Narlo::" and the printf-style message to the debug-output channel.
    static void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // Runs the handler of command `id` (a button or a popup menu item); false when no
    // handler has that identifier.
    bool dispatchCommand(int id);

    // The control job of a scan: disables Scan, Load, Save and Clear, runs the scan job and
    // waits for it, then enables them again and stops the busy animation.
    void runScan();
    // The scan job: reads the catalogue last loaded, scans `scanFolder` against it and
    // shows every record found. Runs on its own thread; reaches the window only through
    // calls run on the dialog's thread.
    void doScan();
    // Fingerprints one story file and appends its row.
    void loadStoryFile(const std::string& path);
    // Reads a catalogue file and shows its records in place of the rows. A file that cannot
    // be loaded changes no row; the title and the trace say so, and the result is false.
    bool loadCatalogueFile(const std::string& path);

    std::string cataloguePath;                // catalogue of the next scan, set by Load and drop
    std::vector<std::int32_t> sortDirections; // +1 or -1 per column: how its next sort goes
    std::string scanFolder;                   // folder of the current or last scan
    std::int32_t lastSortColumn = 0;          // the column last sorted by

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
    // Matches the story files under `folder` against `games`; a seam for tests.
    virtual void runScanner(CGameCatalogue& scanner, const std::string& folder, GameSet& games);
    // Waits for a running scan (processing its window calls) at most the disposal bound, then
    // disposes of both jobs. A subclass that overrides runScanner calls it in its destructor.
    void disposeOfScanJobs();

    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createControls();
    QPushButton* addButton(int id, const char* caption, const QRect& rect, const char* name);
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

    CResizeLayout m_layout;
    CResultsList* m_list = nullptr;
    bool laidOut = false; // the columns exist: size changes may fit them
    Orvane::CSettingStore m_settings;
    std::string m_settingsFile;
    CBusyAnimation* busyAnimation = nullptr;
    bool m_quitting = false;
    std::shared_ptr<ui::GuiChannel> m_gui = std::make_shared<ui::GuiChannel>();
    std::unique_ptr<CWorkerJob> scanJob;    // runs doScan; touched by the control job's thread
    std::unique_ptr<CWorkerJob> controlJob; // runs runScan
};
