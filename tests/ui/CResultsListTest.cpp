#include "ui/CResultsList.h"

#include "platform/Trace.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

GamePtr game(const std::string& fingerprint, const std::string& sn, const std::string& fn,
             const std::string& warn, const std::string& name)
{
    auto record = std::make_shared<CGame>(name, fingerprint, sn);
    record->fn = fn;
    record->warn = warn;
    return record;
}

QColor colourOf(const CResultsList& list, int row, int column)
{
    return list.model()->index(row, column).data(Qt::ForegroundRole).value<QColor>();
}

// Collects the debug-output lines written while it exists.
class TraceCapture
{
public:
    TraceCapture()
    {
        m_previous =
            platform::setTraceSink([this](std::string_view line) { lines.emplace_back(line); });
    }
    ~TraceCapture() { platform::setTraceSink(m_previous); }
    std::vector<std::string> lines;

private:
    platform::TraceSink m_previous;
};

class CResultsListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        list.resize(700, 300);
        list.addGameRow(*game("0A1B2C3D", "880429", "/games/zork1.z3", "", "Zork"));
        list.addGameRow(*game("11111111", "", "", "", "anchorhead"));
        list.addGameRow(*game("22222222", "951024", "/games/curses.z5", "old", "Curses"));
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }

    QPoint centreOf(int row, int column)
    {
        return list.visualRect(list.model()->index(row, column)).center();
    }
    void click(int row, int column, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, centreOf(row, column));
    }
    QLineEdit* openEditor()
    {
        for (QLineEdit* editor : list.viewport()->findChildren<QLineEdit*>("cellEditor")) {
            if (!editor->isHidden()) {
                return editor;
            }
        }
        return nullptr;
    }
    std::string column(int c)
    {
        std::string texts;
        for (int row = 0; row < list.rowCount(); ++row) {
            texts += list.cellText(row, c, 256) + "|";
        }
        return texts;
    }

    CResultsList list;
};

} // namespace

TEST_F(CResultsListTest, RowsShowPlaceholdersAndColourBySerialNumber)
{
    const QColor blue(0, 0, 255), red(255, 0, 0), green(0, 128, 0);
    list.addGameRow(*game("33333333", "880429", "/x.z5", "", "unknown"));
    list.addGameRow(*game("44444444", "88042", "/y.z5", "", "unknown"));

    EXPECT_EQ(list.cellText(1, 1, 256), "unknown");
    EXPECT_EQ(list.cellText(1, 2, 256), "unknown");
    EXPECT_EQ(list.cellText(1, 3, 256), "");
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(colourOf(list, 0, c), blue) << c;
        EXPECT_EQ(colourOf(list, 1, c), red) << c;
        EXPECT_EQ(colourOf(list, 4, c), red) << c; // a short serial number is malformed
    }
    EXPECT_EQ(colourOf(list, 3, 3), blue);
    EXPECT_EQ(colourOf(list, 3, 4), green);
    EXPECT_FALSE(list.model()->index(0, 2).flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(list.model()->index(0, 3).flags() & Qt::ItemIsEditable);
}

TEST_F(CResultsListTest, CellTextIsCutToItsCapacity)
{
    list.addGameRow(*game("33333333", "880429", "/x", std::string(300, 'w'), "N"));
    EXPECT_EQ(list.cellText(3, 3, 256).size(), 255u);
    EXPECT_EQ(list.cellText(3, 3, 4), "www");
    EXPECT_EQ(list.cellText(3, 3, 1), "");
    EXPECT_EQ(list.cellText(3, 3, 0), "");
    EXPECT_EQ(list.cellText(9, 0, 256), "");
    EXPECT_EQ(list.cellText(0, 5, 256), "");
    EXPECT_EQ(list.rowLine(3), "33333333,880429,/x," + std::string(255, 'w') + ",N");
}

TEST_F(CResultsListTest, SortingFoldsAsciiCaseAndFollowsTheDirection)
{
    list.sortRows(4, +1);
    EXPECT_EQ(column(4), "Zork|Curses|anchorhead|");
    list.sortRows(4, -1);
    EXPECT_EQ(column(4), "anchorhead|Curses|Zork|");

    // Unsigned bytes: a byte above 127 sorts after every ASCII letter; a prefix comes first.
    list.addGameRow(*game("55555555", "880429", "/z", "", "\xE9tude"));
    list.addGameRow(*game("66666666", "880429", "/z", "", "Zork II"));
    list.sortRows(4, -1);
    EXPECT_EQ(column(4), "anchorhead|Curses|Zork|Zork II|\xE9tude|");
}

TEST_F(CResultsListTest, SortingKeepsTheSelectionOnItsRow)
{
    click(2, 0); // Curses
    list.sortRows(4, -1);
    EXPECT_EQ(list.selectedRow(), 1);
    EXPECT_EQ(list.cellText(list.selectedRow(), 4, 256), "Curses");
}

TEST_F(CResultsListTest, CopyJoinsTheCellsOfTheSelectedRow)
{
    QApplication::clipboard()->setText("before");
    list.OnCopy();
    EXPECT_EQ(QApplication::clipboard()->text(), "before"); // nothing selected

    click(0, 1);
    list.OnCopy();
    EXPECT_EQ(QApplication::clipboard()->text(), "0A1B2C3D,880429,/games/zork1.z3,,Zork");

    list.addGameRow(*game("77777777", "880429", "/a", "line\rbreak", "N"));
    click(3, 0);
    list.OnCopy();
    EXPECT_EQ(QApplication::clipboard()->text(), "77777777,880429,/a,line\r\nbreak,N");
}

TEST_F(CResultsListTest, DeleteRemovesOnlyTheSelectedRowAndClearRemovesAll)
{
    list.OnDelete();
    EXPECT_EQ(list.rowCount(), 3); // nothing selected

    click(1, 4);
    list.OnDelete();
    EXPECT_EQ(column(4), "Zork|Curses|");
    EXPECT_EQ(list.selectedRow(), -1);
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_EQ(list.currentColumn(), -1);

    list.OnClear();
    EXPECT_EQ(list.rowCount(), 0);
}

TEST_F(CResultsListTest, ShowGamesReplacesTheRowsInFingerprintOrder)
{
    GameSet games;
    games.insert(game("FFFFFFFF", "880429", "/f", "", "Last"));
    games.insert(game("00000000", "880429", "/0", "", "First"));
    list.showGames(games);
    EXPECT_EQ(column(0), "00000000|FFFFFFFF|");
}

TEST_F(CResultsListTest, SecondClickOnAnEditableCellEditsItsTextOnly)
{
    const GamePtr record = game("88888888", "880429", "/r", "", "Original");
    list.addGameRow(*record);

    click(3, 4);
    EXPECT_EQ(openEditor(), nullptr); // the first click only makes it the current cell
    EXPECT_EQ(list.currentRow(), 3);
    EXPECT_EQ(list.currentColumn(), 4);
    click(3, 4);
    QLineEdit* editor = openEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "Original");
    editor->setText("Edited");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits once the key is handled

    EXPECT_EQ(openEditor(), nullptr);
    EXPECT_EQ(list.cellText(3, 4, 256), "Edited");
    EXPECT_EQ(record->FullName, "Original");

    click(3, 0);
    click(3, 0);
    EXPECT_EQ(openEditor(), nullptr); // read-only
}

TEST_F(CResultsListTest, KeysMoveTheCurrentColumnAndOpenTheEditor)
{
    click(0, 0);
    QTest::keyClick(&list, Qt::Key_Left);
    EXPECT_EQ(list.currentColumn(), 0);
    QTest::keyClick(&list, Qt::Key_F2);
    EXPECT_EQ(openEditor(), nullptr);
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(&list, Qt::Key_Right);
    }
    EXPECT_EQ(list.currentColumn(), 4);
    EXPECT_EQ(list.selectedRow(), 0);

    for (const Qt::Key key : {Qt::Key_F2, Qt::Key_Return, Qt::Key_Space}) {
        QTest::keyClick(&list, key);
        QLineEdit* editor = openEditor();
        ASSERT_NE(editor, nullptr) << key;
        QTest::keyClick(editor, Qt::Key_Escape); // cancels
        EXPECT_EQ(openEditor(), nullptr);
    }
    EXPECT_EQ(list.cellText(0, 4, 256), "Zork");

    QTest::keyClick(&list, Qt::Key_Q);
    ASSERT_NE(openEditor(), nullptr);
    EXPECT_EQ(openEditor()->text(), "q"); // the typed character replaces the text
    QTest::keyClick(openEditor(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.cellText(0, 4, 256), "q");

    QTest::keyClick(&list, Qt::Key_Delete);
    ASSERT_NE(openEditor(), nullptr);
    EXPECT_EQ(openEditor()->text(), "");
}

TEST_F(CResultsListTest, SelectingAnotherRowKeepsTheCurrentColumn)
{
    click(0, 3);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.selectedRow(), 1);
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(list.currentColumn(), 3);

    const QPoint below(10, list.viewport()->height() - 2);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_EQ(list.currentColumn(), -1);
    EXPECT_EQ(list.selectedRow(), -1);
}

TEST_F(CResultsListTest, ScrollingAndResizingCommitAnOpenEditor)
{
    for (int i = 0; i < 60; ++i) {
        list.addGameRow(*game(std::to_string(10000000 + i), "880429", "/f", "", "Filler"));
    }
    click(0, 3);
    QTest::keyClick(&list, Qt::Key_F2);
    ASSERT_NE(openEditor(), nullptr);
    openEditor()->setText("scrolled");
    list.verticalScrollBar()->setValue(5);
    EXPECT_EQ(openEditor(), nullptr);
    EXPECT_EQ(list.cellText(0, 3, 256), "scrolled");

    list.scrollToTop();
    QTest::keyClick(&list, Qt::Key_F2);
    ASSERT_NE(openEditor(), nullptr);
    openEditor()->setText("resized");
    list.resize(650, 280);
    EXPECT_EQ(openEditor(), nullptr);
    EXPECT_EQ(list.cellText(0, 3, 256), "resized");
}

TEST_F(CResultsListTest, ShiftAndCtrlClicksAreTraced)
{
    TraceCapture trace;
    click(0, 0, Qt::ShiftModifier);
    EXPECT_EQ(list.selectedRow(), 0);
    click(2, 4, Qt::ControlModifier);
    EXPECT_EQ(list.selectedRow(), 2);
    click(2, 4, Qt::ControlModifier); // does not toggle the selection off
    EXPECT_EQ(list.selectedRow(), 2);
    EXPECT_EQ(trace.lines,
              (std::vector<std::string>{"Narlo::shift key", "Narlo::ctrl key", "Narlo::ctrl key"}));
}

TEST_F(CResultsListTest, RightClickOnARowShowsThePopupMenu)
{
    QSignalSpy chosen(&list, &CResultsList::commandChosen);
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, centreOf(1, 2));
    EXPECT_EQ(list.selectedRow(), 1); // also a row never clicked with the left button
    ASSERT_TRUE(list.popupMenu()->isVisible());
    EXPECT_EQ(list.popupMenu()->title(), "OUTPUT");
    list.popupMenu()->findChild<QAction*>("deleteAction")->trigger();
    list.popupMenu()->findChild<QAction*>("copyAction")->trigger();
    list.popupMenu()->hide();
    ASSERT_EQ(chosen.count(), 2);
    EXPECT_EQ(chosen.at(0).at(0).toInt(), CResultsList::kDeleteCommand);
    EXPECT_EQ(chosen.at(1).at(0).toInt(), CResultsList::kCopyCommand);

    const QPoint below(10, list.viewport()->height() - 2);
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, below);
    EXPECT_EQ(list.selectedRow(), -1);
    EXPECT_FALSE(list.popupMenu()->isVisible());
}

TEST(CResultsListWidths, ColumnsShareTheClientWidth)
{
    EXPECT_EQ(CResultsList::proportionalWidths(500), (std::array<int, 5>{50, 50, 133, 133, 133}));
    EXPECT_EQ(CResultsList::proportionalWidths(0), (std::array<int, 5>{0, 0, 0, 0, 0}));
}
