// A main dialog for a test, with the file dialog and the folder picker answered. The test's
// folder, a copy of the fixtures' working_folder, holds the settings file and is the working
// folder, where Save writes gamelist.txt.

#pragma once

#include "tests/support/TestSupport.h"
#include "ui/CMainDlg.h"
#include "ui/CResultsList.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class DialogTest : public ::testing::Test
{
protected:
    DialogTest()
    {
        std::filesystem::copy(UI_FIXTURES "working_folder", dir.path(),
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path(dir.path());
        services.fileDialog = [this](const CFileChooser&) { return chosen; };
        services.folderPicker = [this](QWidget*, const std::string& initial, const std::string&) {
            preselected.push_back(initial);
            return picked;
        };
    }
    ~DialogTest() override
    {
        dialog.reset();
        std::filesystem::current_path(m_previousDir);
    }
    void SetUp() override { makeDialog(); }

    // A fresh dialog with `services`, in place of the one before.
    void makeDialog(bool shown = false)
    {
        dialog.reset();
        dialog = std::make_unique<CMainDlg>(dir / "settings.xml", services);
        list = dialog->findChild<CResultsList*>(QStringLiteral("resultsList"));
        if (shown) {
            dialog->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        }
    }
    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(name); }
    std::string title() const { return dialog->windowTitle().toStdString(); }
    // Load, with the file dialog answering `path` or cancelled.
    void load(std::optional<std::string> path) { chosen = std::move(path), dialog->OnLoad(); }
    // The texts of a column, top down, each followed by '|'.
    std::string column(int c) const
    {
        std::string texts;
        for (int row = 0; row < list->rowCount(); ++row) {
            texts += list->cellText(row, c) + "|";
        }
        return texts;
    }

    testsupport::TempDir dir;
    ui::DialogServices services;
    std::optional<std::string> chosen;    // the file dialog's answer
    std::optional<std::string> picked;    // the folder picker's answer
    std::vector<std::string> preselected; // the folders the picker opened at
    std::unique_ptr<CMainDlg> dialog;
    CResultsList* list = nullptr;

private:
    std::filesystem::path m_previousDir = std::filesystem::current_path();
};

inline void clickCell(CResultsList& list, int row, int column,
                      Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
{
    const QPoint centre = list.visualRect(list.model()->index(row, column)).center();
    QTest::mouseClick(list.viewport(), button, keys, centre);
}
