// The main dialog: layout, placement, the list's commands, and Load, drop, Save and Make.

#include "core/Fingerprint.h"
#include "platform/Trace.h"
#include "tests/ui/DialogTest.h"
#include "ui/PlacementText.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <tuple>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

class CMainDlgTest : public DialogTest
{
protected:
    void openDialog()
    {
        makeDialog();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void storePlacement(const std::string& text)
    {
        Orvane::CSettingStore store;
        store.writeTextSetting("Placement", text);
        ASSERT_TRUE(store.save(dir / "settings.xml"));
    }
};

// Two story files and a catalogue that knows the first.
class FileCommandsTest : public DialogTest
{
protected:
    void SetUp() override
    {
        makeDialog();
        writeFile(dir / "zork1.z3", story("880429", "zork"));
        writeFile(dir / "curses.z5", story("930427", "curses"));
        zorkPrint = crcText(*computeFingerprint(dir / "zork1.z3"));
        writeFile(dir / "cat.xml",
                  "<games>\n<supported_game fingerprint=\"" + zorkPrint +
                      "\" FullName=\"Zork I\" sn=\"880429\" />\n"
                      "<supported_game fingerprint=\"0000ABCD\" FullName=\"Anchorhead\" "
                      "sn=\"\" warn=\"needs v8\" />\n</games>\n");
    }
    void load(std::optional<std::string> path) { chosen = std::move(path), dialog->OnLoad(); }

    std::string zorkPrint;
};

} // namespace

TEST_F(CMainDlgTest, ResizingStretchesTheListAndMovesTheButtons)
{
    openDialog();
    const QSize start = dialog->size();
    QPushButton* quit = button("quitButton");
    const QRect listBefore = list->geometry();
    const QRect quitBefore = quit->geometry();
    dialog->resize(start + QSize(100, 40));
    const int moved = quit->x() - quitBefore.x();
    EXPECT_GT(moved, 80);
    EXPECT_LT(moved, 100); // in proportion to its distance from the list's left edge
    EXPECT_EQ(quit->geometry(), quitBefore.translated(moved, 40));
    EXPECT_EQ(list->geometry(), listBefore.adjusted(0, 0, list->width() - listBefore.width(), 40));
    EXPECT_GT(list->width(), listBefore.width() + 80);
    EXPECT_LT(list->geometry().right(), quit->x());
    dialog->resize(start - QSize(50, 50));
    EXPECT_EQ(dialog->size(), start); // the first size is the smallest
}

TEST_F(CMainDlgTest, HeaderMenuButtonsAndAboutReachTheirCommands)
{
    openDialog();
    QApplication::clipboard()->setText("before");
    for (const char* name : {"B", "A", "C"}) {
        CGame game(name, std::string(8, name[0]), std::string(6, name[0] - 'A' + '1'));
        game.warn = name[0] == 'C' ? "line\rbreak" : "";
        if (name[0] != 'A') {
            game.facts = core::StoryFacts{};
            game.facts->check =
                name[0] == 'B' ? core::StoryCheck::Intact : core::StoryCheck::Damaged;
        }
        list->addGameRow(game);
    }
    // Each column keeps its own direction, descending first.
    auto* header = list->horizontalHeader();
    const auto sortedBy = [&](int column) {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        return list->cellText(0, column) + list->cellText(1, column) + list->cellText(2, column);
    };
    EXPECT_EQ(sortedBy(1), "333333222222111111");
    EXPECT_EQ(sortedBy(ui::kCheckColumn), "intactdamaged");
    EXPECT_EQ(sortedBy(4), "CBA");
    EXPECT_EQ(sortedBy(1), "111111222222333333");
    EXPECT_EQ(sortedBy(ui::kCheckColumn), "damagedintact");
    EXPECT_EQ(sortedBy(4), "ABC");

    // Copy and Delete act on the selected row only; the popup menu needs one.
    auto* menu = list->findChild<QMenu*>(QStringLiteral("outputMenu"));
    const auto rightClick = [&](QPoint at) {
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
        return menu->isVisible();
    };
    EXPECT_TRUE(rightClick(list->visualRect(list->model()->index(1, 2)).center()));
    menu->hide();
    EXPECT_FALSE(rightClick(QPoint(10, list->viewport()->height() - 2)));
    EXPECT_EQ(list->selectedRow(), -1);
    EXPECT_TRUE(dialog->dispatchCommand(CResultsList::kCopyCommand));
    EXPECT_TRUE(dialog->dispatchCommand(CResultsList::kDeleteCommand));
    EXPECT_FALSE(dialog->dispatchCommand(0));
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_EQ(list->rowCount(), 3);
    EXPECT_TRUE(rightClick(list->visualRect(list->model()->index(2, 2)).center()));
    EXPECT_EQ(list->selectedRow(), 2); // a row never clicked with the left button
    menu->findChild<QAction*>("copyAction")->trigger();
    // Five fields: the check word is not copied.
    EXPECT_EQ(QApplication::clipboard()->text(), "CCCCCCCC,333333,unknown,line\r\nbreak,C");
    menu->findChild<QAction*>("deleteAction")->trigger();
    menu->hide();
    EXPECT_EQ(list->cellText(0, 4) + list->cellText(1, 4) + "|" + list->cellText(2, 4), "AB|");
    EXPECT_EQ(list->selectedRow(), -1);
    EXPECT_EQ(list->currentColumn(), -1);
    QTest::mouseClick(button("clearButton"), Qt::LeftButton);
    EXPECT_EQ(list->rowCount(), 0);

    QWidget* shownOver = nullptr;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            shownOver = box->parentWidget();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    QTest::mouseClick(button("aboutButton"), Qt::LeftButton); // returns once the box is closed
    EXPECT_EQ(shownOver, dialog.get());

    // The title is the prefix and the message cut to its buffer.
    dialog->setStatus("%d %s", 12, std::string(3000, 'x').c_str());
    EXPECT_EQ(dialog->windowTitle(), "QueltImprort - 12 " + QString(1020, 'x'));
}

TEST_F(CMainDlgTest, QuitEscapeAndClosingStoreThePlacement)
{
    for (int way = 0; way < 3; ++way) {
        std::filesystem::remove(dir / "settings.xml");
        openDialog();
        QTest::keyClick(list, Qt::Key_Escape);
        ASSERT_TRUE(dialog->isVisible()); // the list keeps its keys
        dialog->move(dialog->pos() + QPoint(7, 9));
        const QRect normal = dialog->normalGeometry();
        if (way == 0) {
            dialog->OnQuit();
        } else if (way == 1) {
            QTest::keyClick(button("saveButton"), Qt::Key_Escape);
        } else {
            dialog->close();
        }
        EXPECT_FALSE(dialog->isVisible());

        Orvane::CSettingStore store;
        std::string text;
        store.load(dir / "settings.xml");
        ui::WindowPlacement p;
        ASSERT_TRUE(store.readTextSetting("Placement", text) && ui::decodePlacementText(text, p));
        EXPECT_EQ(p.showCmd, ui::WindowPlacement::kShowNormal);
        EXPECT_EQ(QRect(QPoint(p.left, p.top), QPoint(p.right - 1, p.bottom - 1)), normal);
    }
}

TEST(PlacementText, EncodesEveryByteAsTwoLettersLowNibbleFirst)
{
    ui::WindowPlacement p;
    p.left = 0x1F; // low nibble F, high nibble 1
    p.bottom = -1; // four bytes of 0xFF
    const std::string text = ui::placementText(p);
    ASSERT_EQ(text.size(), 88u);
    EXPECT_EQ(text.substr(0, 8), "MCAAAAAA");  // the length 44
    EXPECT_EQ(text.substr(16, 8), "BAAAAAAA"); // show state 1
    EXPECT_EQ(text.substr(56, 8), "PBAAAAAA");
    EXPECT_EQ(text.substr(80, 8), "PPPPPPPP");
}

TEST_F(CMainDlgTest, AStoredPlacementOpensNormalAndOnScreenAndADamagedOneIsIgnored)
{
    makeDialog();
    const QSize size = dialog->minimumSize() + QSize(40, 10);
    const auto placed = [&](int left, int top, std::int32_t showCmd) {
        ui::WindowPlacement p;
        std::tie(p.showCmd, p.left, p.top) = std::tuple(showCmd, left, top);
        std::tie(p.right, p.bottom) = std::pair(left + size.width(), top + size.height());
        return p;
    };
    storePlacement(ui::placementText(placed(20, 30, ui::WindowPlacement::kMinimize)));
    openDialog();
    EXPECT_FALSE(dialog->isMinimized());
    EXPECT_EQ(dialog->geometry(), QRect(QPoint(20, 30), size));

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    storePlacement(ui::placementText(placed(50000, -60000, ui::WindowPlacement::kShowNormal)));
    openDialog();
    EXPECT_TRUE(area.intersects(dialog->geometry()));

    // Empty or damaged: the work area less a margin.
    const std::string good = ui::placementText(placed(20, 30, ui::WindowPlacement::kShowNormal));
    ui::WindowPlacement wrongLength = placed(20, 30, ui::WindowPlacement::kShowNormal);
    wrongLength.length = 40;
    for (const std::string& text :
         {std::string(), good.substr(0, 87), good + "A", good.substr(0, 40) + "c" + good.substr(41),
          good.substr(0, 41) + "Q" + good.substr(42), ui::placementText(wrongLength)}) {
        storePlacement(text);
        openDialog();
        EXPECT_EQ(dialog->geometry().topLeft(), area.topLeft() + QPoint(100, 100)) << text;
    }
}

TEST_F(FileCommandsTest, StoryFilesAddRowsAndACatalogueReplacesThem)
{
    load(dir / "zork1.z3");
    load(dir / "zork1.z3");
    ASSERT_EQ(list->rowCount(), 2);
    // The file's check word shows, but a row's line keeps its five fields.
    EXPECT_EQ(list->cellText(1, ui::kCheckColumn), "not Z-code");
    EXPECT_EQ(list->rowLine(1), zorkPrint + ",880429," + (dir / "zork1.z3") + ",,unknown");
    load(std::nullopt); // cancelled
    EXPECT_EQ(list->rowCount(), 2);

    load(dir / "cat.xml");
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->rowLine(0), "0000ABCD,unknown,unknown,needs v8,Anchorhead");
    EXPECT_EQ(list->cellText(0, ui::kCheckColumn), ""); // no file was met for it
    EXPECT_EQ(title(), "QueltImprort - 2 entries loaded from " + (dir / "cat.xml"));

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
        EXPECT_EQ(title(), "QueltImprort - Could not load " + (dir / name));
        ASSERT_EQ(traced.size(), 1u) << name;
        EXPECT_TRUE(traced[0].starts_with("Narlo::Error: ") &&
                    traced[0].find(dir / name) != std::string::npos)
            << traced[0];
    }
    platform::setTraceSink(previous);
}

TEST_F(FileCommandsTest, SaveAndMakeWriteTheRowsWholeInTheLastSortedViewOrReportTheFailure)
{
    load(dir / "cat.xml");
    load(dir / "zork1.z3");   // a second row with Zork's fingerprint
    dialog->OnColumnClick(4); // FullName, shown descending
    chosen = dir / "saved";
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

    // Longer than the 259 bytes a cell once held.
    const std::string curses = dir / (std::string(200, 'a') + "/" + std::string(200, 'b') + ".z5");
    writeFile(curses, story("930427", "curses"));
    load(curses);
    chosen = dir / "setup"; // no extension is added
    dialog->OnMake();
    EXPECT_NE(readFile(dir / "setup").find("\nSource: " + curses + "; "), std::string::npos);
    // Sorted by Check, descending: the rows of the two files first, the catalogue's after,
    // each kept in its order. The catalogue has no view of the check word: the entries go in
    // fingerprint order, Curses' (726139CD) before Zork's (C0FBF0B7), not by name.
    dialog->OnColumnClick(ui::kCheckColumn);
    chosen = dir / "saved";
    dialog->OnSave();
    const std::string saved = readFile(dir / "saved");
    EXPECT_LT(saved.find(" fn=\"" + curses + "\""), saved.find(zorkPrint));
    EXPECT_EQ(readFile(dir / "gamelist.txt"), (dir / "zork1.z3") + " 880429\n" + curses +
                                                  " 930427\nunknown 880429\nunknown unknown\n");

    // A file that cannot be written is reported.
    chosen = dir / "no/such/folder/out.xml";
    dialog->OnSave();
    EXPECT_EQ(title(), "QueltImprort - Could not write " + *chosen);
    std::filesystem::create_directory(dir / "in-the-way");
    chosen = dir / "in-the-way";
    dialog->OnMake();
    EXPECT_EQ(title(), "QueltImprort - Could not write " + *chosen);
}
