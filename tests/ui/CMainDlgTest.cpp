// The main dialog: placement, the list's commands, and Load, drop, Save and Make.

#include "tests/ui/DialogTest.h"
#include "ui/PlacementText.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QScreen>
#include <QTimer>

using testsupport::readFile;

// In the working folder: zork1.z3 (fingerprint C0FBF0B7), curses.z5 (726139CD), GAME.DAT, and
// cat.xml, a catalogue that knows Zork.
using CMainDlgTest = DialogTest;

TEST_F(CMainDlgTest, HeadersSortEachInItsOwnDirectionAndTheMenuActsOnTheRowClicked)
{
    makeDialog(true);
    load(UI_FIXTURES "catalogue_names_to_sort.xml");
    load("zork1.z3"); // the one row with a check word
    auto* header = list->horizontalHeader();
    const auto sortBy = [&](int c) {
        const int x = header->sectionViewportPosition(c) + header->sectionSize(c) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        return column(c);
    };
    clickCell(*list, 2, 0); // Curses, which stays selected
    // Descending first, then each column the other way round; ASCII case folded, other bytes
    // unsigned, a prefix first.
    EXPECT_EQ(sortBy(ui::kFullNameColumn), "\xE9tude|Zork II|Zork|unknown|Curses|anchorhead|");
    EXPECT_EQ(sortBy(ui::kSerialColumn), "880429|555555|444444|333333|222222|111111|");
    EXPECT_EQ(sortBy(ui::kFullNameColumn), "anchorhead|Curses|unknown|Zork|Zork II|\xE9tude|");
    EXPECT_EQ(sortBy(ui::kCheckColumn), "not Z-code||||||");
    EXPECT_EQ(sortBy(ui::kCheckColumn), "|||||not Z-code|");
    EXPECT_EQ(list->cellText(list->selectedRow(), ui::kFullNameColumn), "Curses");

    // Below the rows a right click clears the selection and shows no menu; then Copy and
    // Delete do nothing.
    auto* menu = list->findChild<QMenu*>(QStringLiteral("outputMenu"));
    QApplication::clipboard()->setText("before");
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, {10, list->viewport()->height() - 2});
    EXPECT_FALSE(menu->isVisible());
    dialog->dispatchCommand(CResultsList::kCopyCommand);
    dialog->dispatchCommand(CResultsList::kDeleteCommand);
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    // A row never clicked with the left button: Zork. Copy leaves out the check word.
    clickCell(*list, 2, ui::kFilenameColumn, Qt::RightButton);
    EXPECT_TRUE(menu->isVisible());
    menu->findChild<QAction*>("copyAction")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "11111111,111111,unknown,line\r\nbreak,Zork");
    menu->findChild<QAction*>("deleteAction")->trigger();
    menu->hide();
    EXPECT_EQ(column(ui::kFullNameColumn), "anchorhead|Curses|Zork II|\xE9tude|unknown|");
    EXPECT_EQ(std::pair(list->selectedRow(), list->currentColumn()), std::pair(-1, -1));
    QTest::mouseClick(button("clearButton"), Qt::LeftButton);
    EXPECT_EQ(list->rowCount(), 0);

    // About shows its box centred over the dialog; the click returns once the box is closed.
    QPoint offset(99, 99);
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        offset = box->frameGeometry().center() - box->parentWidget()->frameGeometry().center();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QTest::mouseClick(button("aboutButton"), Qt::LeftButton);
    EXPECT_LE(offset.manhattanLength(), 2);
}

TEST_F(CMainDlgTest, ClosingStoresThePlacementAndAStoredOneOpensNormalOnScreenOrIsIgnored)
{
    makeDialog(true);
    dialog->move(dialog->pos() + QPoint(7, 9));
    const QRect normal = dialog->normalGeometry();
    dialog->close(); // the window's close command is Quit
    Orvane::CSettingStore store;
    std::string text;
    ui::WindowPlacement p;
    store.load(dir / "settings.xml");
    ASSERT_TRUE(store.readTextSetting("Placement", text) && ui::decodePlacementText(text, p));
    EXPECT_EQ(QRect(QPoint(p.left, p.top), QPoint(p.right - 1, p.bottom - 1)), normal);
    const auto storePlacement = [&](const std::string& stored) {
        store.writeTextSetting("Placement", stored);
        ASSERT_TRUE(store.save(dir / "settings.xml"));
    };

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    storePlacement(
        ui::placementText({.left = 50000, .top = -60000, .right = 51000, .bottom = -59500}));
    makeDialog(true);
    EXPECT_TRUE(area.intersects(dialog->geometry()));

    // Left 20, top 30, right 1020, bottom 530, minimised; each byte as 'A' + its low nibble,
    // then 'A' + its high nibble. Empty or damaged (the decoder's rules are the fuzz target's):
    // the work area less a margin.
    const std::string stored =
        "MCAAAAAAAAAAAAAAGAAAAAAA" + std::string(32, 'A') + "EBAAAAAAOBAAAAAAMPDAAAAACBCAAAAA";
    const QPoint margin = area.topLeft() + QPoint(100, 100);
    for (const auto& [saved, topLeft] :
         {std::pair(std::string(), margin), std::pair(stored.substr(1), margin),
          std::pair(stored, QPoint(20, 30))}) {
        storePlacement(saved);
        makeDialog(true);
        EXPECT_EQ(dialog->geometry().topLeft(), topLeft) << saved;
    }
    EXPECT_EQ(dialog->size(), QSize(1000, 500)); // the last, opened normal
    EXPECT_FALSE(dialog->isMinimized());
}

TEST_F(CMainDlgTest, StoryFilesAddRowsACatalogueReplacesThemAndOneThatFailsChangesNoRow)
{
    load("zork1.z3");
    load("zork1.z3");
    load(std::nullopt); // cancelled
    ASSERT_EQ(list->rowCount(), 2);
    // The file's check word shows, but a row's line keeps its five fields.
    EXPECT_EQ(list->cellText(1, ui::kCheckColumn), "not Z-code");
    EXPECT_EQ(list->rowLine(1), "C0FBF0B7,880429,zork1.z3,,unknown");

    load("cat.xml");
    EXPECT_EQ(column(ui::kFingerPrintColumn) + column(ui::kCheckColumn), "0000ABCD|C0FBF0B7|||");
    EXPECT_EQ(list->rowLine(0), "0000ABCD,unknown,unknown,needs v8,Anchorhead");
    EXPECT_EQ(title(), "QueltImprort - 2 entries loaded from cat.xml");
    for (const std::string path : {"missing.xml", UI_FIXTURES "catalogue_broken.xml",
                                   UI_FIXTURES "catalogue_without_games.xml"}) {
        load(path);
        EXPECT_EQ(list->rowCount(), 2) << path;
        EXPECT_EQ(title(), "QueltImprort - Could not load " + path);
    }

    // Dropped files load in their order; a story file's ending counts in any case.
    dialog->OnDropFiles({"zork1.z3", "cat.xml", "GAME.DAT", "curses.z5"});
    EXPECT_EQ(column(ui::kFilenameColumn), "unknown|unknown|GAME.DAT|curses.z5|");
}

TEST_F(CMainDlgTest, SaveAndMakeWriteTheRowsWholeInTheLastSortedViewOrReportTheFailure)
{
    load("cat.xml");
    load("zork1.z3"); // a second row with Zork's fingerprint
    load("curses.z5");
    dialog->OnColumnClick(ui::kFullNameColumn); // shown descending, saved ascending
    chosen = "saved.xml";
    dialog->OnSave();
    testsupport::expectGolden("ui/save_after_sort_by_fullname.xml", readFile(dir / "saved.xml"));
    // Every row in the list's order, the repeated fingerprint included.
    EXPECT_EQ(readFile(dir / "gamelist.txt"),
              "unknown 880429\nzork1.z3 880429\ncurses.z5 930427\nunknown unknown\n");
    // Sorted by Check, the files' rows come first, so Zork's entry is the file's. The
    // catalogue has no view of the check word: the entries go in fingerprint order.
    dialog->OnColumnClick(ui::kCheckColumn);
    dialog->OnSave();
    testsupport::expectGolden("ui/save_after_sort_by_check.xml", readFile(dir / "saved.xml"));

    // Make writes the rows whole: longer than the 259 bytes a cell once held.
    const std::string curses = std::string(200, 'a') + "/" + std::string(200, 'b') + ".z5";
    testsupport::writeFile(dir / curses, readFile(dir / "curses.z5"));
    load(curses);
    chosen = "setup";
    dialog->OnMake();
    EXPECT_NE(readFile(dir / "setup").find("\nSource: " + curses + "; "), std::string::npos);
    for (const auto& [command, path] : {std::pair(&CMainDlg::OnSave, "no/such/folder/out.xml"),
                                        std::pair(&CMainDlg::OnMake, "games")}) { // a folder
        chosen = path;
        (dialog.get()->*command)();
        EXPECT_EQ(title(), "QueltImprort - Could not write " + *chosen);
    }
}
