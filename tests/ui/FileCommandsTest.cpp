// Load, drop, Save and Make, driven through the dialog with the file chooser answered.

#include "core/Fingerprint.h"
#include "export/CFileChooser.h"
#include "platform/Trace.h"
#include "tests/support/TestSupport.h"
#include "ui/CMainDlg.h"
#include "ui/CResultsList.h"
#include "ui/FileDialogs.h"

#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

// A story-shaped file whose serial number sits at offset 18.
std::string story(const std::string& serial, const std::string& body)
{
    std::string bytes(18, '\x05');
    return bytes + serial + body;
}

class FileCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previousDir = std::filesystem::current_path();
        std::filesystem::current_path(dir.path()); // "gamelist.txt" goes to the working folder
        previousRunner = CFileChooser::setRunner([this](const CFileChooser& chooser) {
            asked.push_back(chooser.title());
            return answer;
        });
        dialog = std::make_unique<CMainDlg>(dir / "settings.xml");
        list = dialog->findChild<CResultsList*>(QStringLiteral("resultsList"));
        writeFile(dir / "zork1.z3", story("880429", "zork"));
        writeFile(dir / "curses.z5", story("930427", "curses"));
        zorkPrint = crcText(*computeFingerprint(dir / "zork1.z3"));
        writeFile(dir / "cat.xml",
                  "<games>\n<supported_game fingerprint=\"" + zorkPrint +
                      "\" FullName=\"Zork I\" sn=\"880429\" />\n"
                      "<supported_game fingerprint=\"0000ABCD\" FullName=\"Anchorhead\" "
                      "sn=\"\" warn=\"needs v8\" />\n</games>\n");
    }

    void TearDown() override
    {
        dialog.reset();
        CFileChooser::setRunner(previousRunner);
        std::filesystem::current_path(previousDir);
    }

    void choose(std::optional<std::string> path) { answer = std::move(path); }

    TempDir dir;
    std::filesystem::path previousDir;
    CFileChooser::Runner previousRunner;
    std::optional<std::string> answer;
    std::vector<std::string> asked;
    std::unique_ptr<CMainDlg> dialog;
    CResultsList* list = nullptr;
    std::string zorkPrint;
};

} // namespace

TEST_F(FileCommandsTest, LoadingACatalogueReplacesTheRowsAndBecomesTheScanCatalogue)
{
    choose(dir / "zork1.z3");
    dialog->OnLoad();
    choose(dir / "cat.xml");
    dialog->OnLoad();
    EXPECT_EQ(asked, (std::vector<std::string>{"Open", "Open"}));
    EXPECT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->cellText(0, 0, 256), "0000ABCD");
    EXPECT_EQ(list->cellText(0, 1, 256), "unknown");
    EXPECT_EQ(list->cellText(0, 3, 256), "needs v8");
    EXPECT_EQ(dialog->windowTitle().toStdString(),
              "QueltImprort - 2 entries loaded from " + (dir / "cat.xml"));
    EXPECT_EQ(dialog->cataloguePath, dir / "cat.xml");
}

TEST_F(FileCommandsTest, StoryFilesAddRowsBelowEvenWhenRepeated)
{
    choose(dir / "zork1.z3");
    dialog->OnLoad();
    dialog->OnLoad();
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->cellText(1, 0, 256), zorkPrint);
    EXPECT_EQ(list->cellText(1, 1, 256), "880429");
    EXPECT_EQ(list->cellText(1, 2, 256), dir / "zork1.z3");
    EXPECT_EQ(list->cellText(1, 4, 256), "unknown");
    EXPECT_TRUE(dialog->cataloguePath.empty());

    choose(std::nullopt);
    dialog->OnLoad(); // cancelled
    EXPECT_EQ(list->rowCount(), 2);
}

TEST_F(FileCommandsTest, AFailedCatalogueLoadIsTracedAndStillChosenForTheScan)
{
    std::vector<std::string> lines;
    const auto previous =
        platform::setTraceSink([&](std::string_view line) { lines.emplace_back(line); });
    writeFile(dir / "GAME.DAT", story("880429", "not xml")); // upper-case ending: a catalogue
    choose(dir / "GAME.DAT");
    dialog->OnLoad();
    platform::setTraceSink(previous);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("Narlo::Error: Problem with XML format, check syntax of file: " +
                                     (dir / "GAME.DAT"),
                                 0),
              0u);
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_EQ(dialog->windowTitle(), "QueltImport");
    EXPECT_EQ(dialog->cataloguePath, dir / "GAME.DAT");
}

TEST_F(FileCommandsTest, DropsLoadInTheOrderGiven)
{
    dialog->OnDropFiles({dir / "cat.xml", dir / "zork1.z3", dir / "curses.z5"});
    EXPECT_EQ(list->rowCount(), 4);
    dialog->OnDropFiles({dir / "zork1.z3", dir / "curses.z5", dir / "cat.xml"});
    EXPECT_EQ(list->rowCount(), 2); // the catalogue replaced every row
    EXPECT_EQ(dialog->cataloguePath, dir / "cat.xml");
}

TEST_F(FileCommandsTest, SaveWritesTheCatalogueInTheLastSortedViewAndTheGameList)
{
    choose(dir / "cat.xml");
    dialog->OnLoad();
    choose(dir / "zork1.z3");
    dialog->OnLoad();         // a second row with Zork's fingerprint
    dialog->OnColumnClick(4); // FullName, shown descending
    choose(dir / "saved");
    dialog->OnSave();
    EXPECT_EQ(asked.back(), "Save As");
    EXPECT_EQ(readFile(dir / "saved"),
              "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n"
              "<games>\n"
              "    <supported_game fingerprint=\"0000ABCD\" FullName=\"Anchorhead\" "
              "sn=\"unknown\" fn=\"unknown\" warn=\"needs v8\" />\n"
              "    <supported_game fingerprint=\"" +
                  zorkPrint +
                  "\" FullName=\"Zork I\" "
                  "sn=\"880429\" fn=\"unknown\" warn=\"\" />\n"
                  "</games>\n");
    // Every row in the list's order, the repeated fingerprint included.
    EXPECT_EQ(readFile(dir / "gamelist.txt"),
              "unknown 880429\n" + (dir / "zork1.z3") + " 880429\nunknown unknown\n");
}

TEST_F(FileCommandsTest, SavingAnEmptyListWritesAnEmptyCatalogue)
{
    choose(dir / "empty.xml");
    dialog->OnSave();
    EXPECT_EQ(readFile(dir / "empty.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n<games />\n");
    EXPECT_EQ(readFile(dir / "gamelist.txt"), "");
}

TEST_F(FileCommandsTest, MakeWritesTheScriptForRowsWithAKnownFile)
{
    choose(dir / "cat.xml");
    dialog->OnLoad();
    choose(dir / "curses.z5");
    dialog->OnLoad();
    choose(dir / "setup"); // no extension is added
    dialog->OnMake();
    EXPECT_EQ(readFile(dir / "setup"), "[FILES]\nSource: " + (dir / "curses.z5") +
                                           "; DestDir: {app}\\games\\somedir\\unknown; "
                                           "Flags: ignoreversion;\n");
    list->OnClear();
    dialog->OnMake();
    EXPECT_EQ(readFile(dir / "setup"), "[FILES]\n");
}

TEST_F(FileCommandsTest, AFileThatCannotBeWrittenIsReportedAndTheOldOneKept)
{
    writeFile(dir / "old.xml", "keep me");
    std::filesystem::create_directory(dir / "old.xml.d");
    choose(dir / "no/such/folder/out.xml");
    dialog->OnSave();
    EXPECT_EQ(dialog->windowTitle().toStdString(),
              "QueltImprort - Could not write " + (dir / "no/such/folder/out.xml"));
    choose(dir / "old.xml.d"); // a folder is in the way
    dialog->OnMake();
    EXPECT_EQ(dialog->windowTitle().toStdString(),
              "QueltImprort - Could not write " + (dir / "old.xml.d"));
    EXPECT_EQ(readFile(dir / "old.xml"), "keep me");
}

TEST(NameFilter, AddsThePatternsOnlyWhenTheDescriptionLacksThem)
{
    EXPECT_EQ(ui::nameFilter("Fingerprints (*.XML)", "*.XML"), "Fingerprints (*.XML)");
    EXPECT_EQ(ui::nameFilter("Z-code Files (.z?;.blb;.dat;.zip)", "*.z?;*.blb;*.dat;*.zip"),
              "Z-code Files (.z?;.blb;.dat;.zip) (*.z? *.blb *.dat *.zip)");
}
