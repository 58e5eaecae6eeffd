// QueltImport: finds interactive-fiction story files under a folder and matches them
// against a catalogue of supported games.

#include "batch/BatchMode.h"
#include "ui/CMainDlg.h"

#include <QApplication>

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    try {
        // Decided before the application object exists: the scan from the command line, the
        // help and the version need no display.
        if (const std::optional<int> status = batch::runWithoutWindow(argc, argv)) {
            return *status;
        }
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("QueltImport"));
        CMainDlg dialog;
        dialog.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        std::cerr << "QueltImport: " << error.what() << '\n';
    } catch (...) {
        std::cerr << "QueltImport: unknown failure\n";
    }
    return 1;
}
