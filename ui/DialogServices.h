#pragma once

#include "core/GameSet.h"
#include "export/CFileChooser.h"
#include "scan/CWorkerJob.h"
#include "ui/FileDialogs.h"

#include <chrono>
#include <functional>
#include <string>

class CGameCatalogue;

namespace ui {

// Matches the story files under `folder` against `games`, adding a record for every file that
// matches none. Runs on the scan thread.
using ScanFiles =
    std::function<void(CGameCatalogue& scanner, const std::string& folder, GameSet& games)>;

// The scan of the program: CGameCatalogue::scan with unknown records.
void scanForStories(CGameCatalogue& scanner, const std::string& folder, GameSet& games);

// What the main dialog takes from outside itself. The program runs with the defaults; a test
// hands in its own when it creates the dialog. This is the one way a collaborator of the
// dialog is replaced: there are no process-wide hooks and no overridable methods for it.
struct DialogServices
{
    // The open and save dialog of Load, Save and Make.
    CFileChooser::Runner fileDialog = runFileDialog;
    // The folder picker of Scan.
    FolderPicker folderPicker = runFolderDialog;
    ScanFiles scanFiles = scanForStories;
    // How long quitting waits for a running scan before leaving it to end on its own.
    std::chrono::milliseconds disposeTimeout = CWorkerJob::kDisposeTimeout;
};

} // namespace ui
