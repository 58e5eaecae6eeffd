// Load, drop, Save and Make, driven through the dialog with the file chooser answered.

#include "core/Fingerprint.h"
#include "export/CFileChooser.h"
#include "platform/Trace.h"
#include "tests/support/TestSupport.h"
#include "ui/CMainDlg.h"
#include "ui/CResultsList.h"

#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

// A story-shaped file whose serial number sits at offset 18.
std::string story(const std::string& serial, const std::string& body)
{
    return std::string(18, '\x05') + serial + body;
}

class FileCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previousDir = std::filesystem::current_path();
        std::filesystem::current_path(dir.path()); // "gamelist.txt" goes to the working folder
        ui::DialogServices services;
        services.fileDialog = [this](const CFileChooser&) { return answer; };
        dialog = std::make_unique<CMainDlg>(dir / "settings.xml", services);
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
        std::filesystem::current_path(previousDir);
    }

    void choose(std::optional<std::string> path) { answer = std::move(path); }
    void load(std::optional<std::string> path) { choose(std::move(path)), dialog->OnLoad(); }

    TempDir dir;
    std::filesystem::path previousDir;
    std::optional<std::string> answer;
    std::unique_ptr<CMainDlg> dialog;
    CResultsList* list = nullptr;
    std::string zorkPrint;
};

} // namespace

TEST_F(FileCommandsTest, StoryFilesAddRowsAndACatalogueReplacesThem)
{
    load(dir / "zork1.z3");
    load(dir / "zork1.z3");
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->rowLine(1), zorkPrint + ",880429," + (dir / "zork1.z3") + ",,unknown");
    EXPECT_TRUE(dialog->cataloguePath().empty());
    load(std::nullopt); // cancelled
    EXPECT_EQ(list->rowCount(), 2);

    load(dir / "cat.xml");
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->rowLine(0), "0000ABCD,unknown,unknown,needs v8,Anchorhead");
    EXPECT_EQ(dialog->windowTitle().toStdString(),
              "QueltImprort - 2 entries loaded from " + (dir / "cat.xml"));
    EXPECT_EQ(dialog->cataloguePath(), dir / "cat.xml");

    writeFile(dir / "GAME.DAT", story("880429", "not xml")); // a story in any case
    load(dir / "GAME.DAT");
    EXPECT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->cellText(2, 2), dir / "GAME.DAT");

    dialog->OnDropFiles({dir / "zork1.z3", dir / "curses.z5", dir / "cat.xml"}); // in this order
    EXPECT_EQ(list->rowCount(), 2);
    dialog->OnDropFiles({dir / "cat.xml", dir / "zork1.z3", dir / "curses.z5"});
    EXPECT_EQ(list->rowCount(), 4);
}

TEST_F(FileCommandsTest, ACatalogueThatFailsToLoadChangesNothingButTheTitle)
{
    std::vector<std::string> traced;
    const platform::TraceSink previous =
        platform::setTraceSink([&](std::string_view line) { traced.emplace_back(line); });
    load(dir / "cat.xml");
    writeFile(dir / "broken.xml", "<games><supported_game");
    writeFile(dir / "other.xml", "<other/>");
    for (const char* name : {"missing.xml", "broken.xml", "other.xml"}) {
        traced.clear();
        load(dir / name);
        EXPECT_EQ(list->rowCount(), 2) << name;
        EXPECT_EQ(dialog->cataloguePath(), dir / "cat.xml") << name;
        EXPECT_EQ(dialog->windowTitle().toStdString(),
                  "QueltImprort - Could not load " + (dir / name));
        ASSERT_EQ(traced.size(), 1u) << name;
        EXPECT_TRUE(traced[0].starts_with("Narlo::Error: ") &&
                    traced[0].find(dir / name) != std::string::npos)
            << traced[0];
    }
    platform::setTraceSink(previous);
}

TEST_F(FileCommandsTest, SaveWritesTheCatalogueInTheLastSortedViewAndTheGameList)
{
    load(dir / "cat.xml");
    load(dir / "zork1.z3");   // a second row with Zork's fingerprint
    dialog->OnColumnClick(4); // FullName, shown descending
    choose(dir / "saved");
    dialog->OnSave();
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

TEST_F(FileCommandsTest, MakeAndSaveWriteEveryCellWholeOrReportTheFailure)
{
    // Longer than the 259 bytes a cell once held.
    const std::string curses = dir / (std::string(200, 'a') + "/" + std::string(200, 'b') + ".z5");
    writeFile(curses, story("930427", "curses"));
    load(dir / "cat.xml");
    load(curses);
    choose(dir / "setup"); // no extension is added
    dialog->OnMake();
    EXPECT_EQ(readFile(dir / "setup"), "[FILES]\nSource: " + curses +
                                           "; DestDir: {app}\\games\\somedir\\unknown; "
                                           "Flags: ignoreversion;\n");
    choose(dir / "saved");
    dialog->OnSave();
    EXPECT_NE(readFile(dir / "saved").find(" fn=\"" + curses + "\""), std::string::npos);
    EXPECT_NE(readFile(dir / "gamelist.txt").find(curses + " 930427\n"), std::string::npos);

    // A file that cannot be written is reported.
    choose(dir / "no/such/folder/out.xml");
    dialog->OnSave();
    EXPECT_EQ(dialog->windowTitle().toStdString(), "QueltImprort - Could not write " + *answer);
    std::filesystem::create_directory(dir / "in-the-way");
    choose(dir / "in-the-way");
    dialog->OnMake();
    EXPECT_EQ(dialog->windowTitle().toStdString(), "QueltImprort - Could not write " + *answer);
}
