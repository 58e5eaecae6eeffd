#include "ui/CResultsList.h"

#include "core/StoryFacts.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

namespace {

CGame game(const std::string& fingerprint, const std::string& sn, const std::string& fn,
           const std::string& warn, const std::string& name)
{
    CGame record(name, fingerprint, sn);
    std::tie(record.fn, record.warn) = std::tie(fn, warn);
    return record;
}

class CResultsListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        list.resize(700, 300);
        list.addGameRow(game("0A1B2C3D", "880429", "/games/zork1.z3", "", "Zork"));
        list.addGameRow(game("11111111", "", "", "", "anchorhead"));
        list.addGameRow(game("22222222", "951024", "/games/curses.z5", "old", "Curses"));
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }

    void click(int row, int column, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = {})
    {
        const QPoint centre = list.visualRect(list.model()->index(row, column)).center();
        QTest::mouseClick(list.viewport(), button, modifiers, centre);
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
    QColor colour(int row, int c)
    {
        return list.model()->index(row, c).data(Qt::ForegroundRole).value<QColor>();
    }
    void addFillers(int count)
    {
        for (int i = 0; i < count; ++i) {
            list.addGameRow(game(std::to_string(10000000 + i), "880429", "/f", "", "Filler"));
        }
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

TEST_F(CResultsListTest, RowsShowPlaceholdersColourBySerialNumberAndSortFoldingAsciiCase)
{
    const QColor blue(0, 0, 255), red(255, 0, 0), green(0, 128, 0);
    list.addGameRow(game("33333333", "880429", "/x.z5", "", "unknown"));
    list.addGameRow(game("44444444", "88042", "/y.z5", "", "unknown"));

    EXPECT_EQ(list.cellText(1, 1, 256), "unknown");
    EXPECT_EQ(list.cellText(1, 2, 256), "unknown");
    for (int c = 0; c < ui::kColumnCount; ++c) {
        EXPECT_EQ(colour(0, c), blue) << c;
        EXPECT_EQ(colour(1, c), red) << c;
        EXPECT_EQ(colour(4, c), red) << c; // a short serial number is malformed
    }
    EXPECT_EQ(colour(3, 3), blue);
    EXPECT_EQ(colour(3, 4), green); // a known file whose name is still unknown

    // Sorting folds ASCII case, follows the direction and keeps the selection.
    click(2, 0); // Curses
    list.sortRows(4, +1);
    EXPECT_EQ(column(4), "Zork|unknown|unknown|Curses|anchorhead|");
    list.sortRows(4, -1);
    EXPECT_EQ(column(4), "anchorhead|Curses|unknown|unknown|Zork|");
    EXPECT_EQ(list.cellText(list.selectedRow(), 4, 256), "Curses");

    // Unsigned bytes: a byte above 127 sorts after every ASCII letter; a prefix comes first.
    list.addGameRow(game("55555555", "880429", "/z", "", "\xE9tude"));
    list.addGameRow(game("66666666", "880429", "/z", "", "Zork II"));
    list.sortRows(4, -1);
    EXPECT_EQ(column(4), "anchorhead|Curses|unknown|unknown|Zork|Zork II|\xE9tude|");
}

TEST_F(CResultsListTest, TheCheckCellShowsTheWordWithTheStoryFactsAsItsTooltipAndSorts)
{
    const auto facts = [](std::uint64_t size, core::StoryCheck check, int version,
                          std::uint16_t release, std::string serial, std::uint32_t length,
                          std::string ifid) {
        core::StoryFacts f;
        std::tie(f.size, f.check, f.version, f.release, f.serial, f.declaredLength, f.ifid) =
            std::tie(size, check, version, release, serial, length, ifid);
        return f;
    };
    using enum core::StoryCheck;
    const struct
    {
        core::StoryFacts facts;
        const char* hint;
        const char* tip;
    } cases[] = {
        {facts(92160, Intact, 3, 88, "840726", 92160, "ZCODE-88-840726"), "",
         "Version 3, release 88, serial 840726\nSize 92,160 bytes, 92,160 declared\n"
         "IFID ZCODE-88-840726"},
        {facts(262656, Intact, 5, 16, "951024", 261120, "ZCODE-16-951024-4A3F"),
         "padded copy of Curses",
         "Version 5, release 16, serial 951024\nSize 262,656 bytes, 261,120 declared\n"
         "IFID ZCODE-16-951024-4A3F\nHint: padded copy of Curses"},
        // Control bytes in the serial would end the text or break its line.
        {facts(1024, Unchecked, 1, 2, std::string("\0\n8\x7FZ\xE9", 6), 0, "ZCODE-2---8-Z-"),
         "unchecked",
         "Version 1, release 2, serial ??8?Z\xE9\nSize 1,024 bytes, no length declared\n"
         "IFID ZCODE-2---8-Z-\nHint: unchecked"},
        {facts(11, NotZcode, 0, 0, "", 0, ""), "not Z-code",
         "not Z-code, 11 bytes\nHint: not Z-code"},
    };
    for (const auto& c : cases) {
        CGame record("unknown", "9999999" + std::to_string(list.rowCount()), "");
        std::tie(record.facts, record.hint) = std::tuple(c.facts, c.hint);
        list.addGameRow(record);
        const QModelIndex cell = list.model()->index(list.rowCount() - 1, ui::kCheckColumn);
        EXPECT_EQ(cell.data().toString(), core::checkWord(c.facts.check));
        EXPECT_EQ(cell.data(Qt::ToolTipRole).toString(), QString::fromLocal8Bit(c.tip));
        EXPECT_FALSE(cell.siblingAtColumn(ui::kFullNameColumn).data(Qt::ToolTipRole).isValid());
    }
    // A catalogue entry no file was met for shows nothing.
    EXPECT_EQ(list.cellText(0, ui::kCheckColumn), "");
    EXPECT_FALSE(list.model()->index(0, ui::kCheckColumn).data(Qt::ToolTipRole).isValid());

    list.sortRows(ui::kCheckColumn, -1);
    EXPECT_EQ(column(ui::kCheckColumn), "|||intact|intact|not Z-code|unchecked|");
    EXPECT_EQ(column(ui::kFullNameColumn),
              "Zork|anchorhead|Curses|unknown|unknown|unknown|unknown|");
    list.sortRows(ui::kCheckColumn, +1);
    EXPECT_EQ(column(ui::kCheckColumn), "unchecked|not Z-code|intact|intact||||");
}

TEST_F(CResultsListTest, ClicksAndKeysEditTheTextCellsOnlyAndReturnCommits)
{
    for (const int readOnly : {0, int{ui::kCheckColumn}}) {
        click(0, readOnly);
        click(0, readOnly);
        QTest::keyClick(&list, Qt::Key_F2);
        EXPECT_EQ(openEditor(), nullptr) << readOnly;
    }
    click(0, 4);
    EXPECT_EQ(openEditor(), nullptr); // the first click only makes it the current cell
    click(0, 4);
    ASSERT_NE(openEditor(), nullptr);
    EXPECT_EQ(openEditor()->text(), "Zork");
    for (const Qt::Key key : {Qt::Key_F2, Qt::Key_Return, Qt::Key_Space}) {
        QTest::keyClick(openEditor(), Qt::Key_Escape); // cancels
        EXPECT_EQ(openEditor(), nullptr);
        QTest::keyClick(&list, key);
        ASSERT_NE(openEditor(), nullptr) << key;
    }
    QTest::keyClick(openEditor(), Qt::Key_Escape);
    EXPECT_EQ(list.cellText(0, 4, 256), "Zork");
    QTest::keyClick(&list, Qt::Key_Q);
    ASSERT_NE(openEditor(), nullptr);
    EXPECT_EQ(openEditor()->text(), "q"); // the typed character replaces the text
    QTest::keyClick(openEditor(), Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits once the key is handled
    EXPECT_EQ(openEditor(), nullptr);
    EXPECT_EQ(list.cellText(0, 4, 256), "q");

    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.currentColumn(), 4); // another row keeps the column
    EXPECT_EQ(list.selectedRow(), 1);
    click(1, 0, Qt::LeftButton, Qt::ControlModifier); // does not toggle the selection off
    EXPECT_EQ(list.selectedRow(), 1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      QPoint(10, list.viewport()->height() - 2));
    EXPECT_EQ(list.selectedRow(), -1);
    EXPECT_EQ(list.currentColumn(), -1);
}

TEST_F(CResultsListTest, ColumnsSpanTheVisibleWidthAndClicksNeverScrollSideways)
{
    EXPECT_EQ(CResultsList::proportionalWidths(500),
              (std::array<int, 6>{45, 45, 121, 121, 121, 45}));
    list.fitColumns();
    addFillers(60); // enough rows for a vertical scrollbar
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.verticalScrollBar()->isVisible(); }));
    for (const QSize size : {QSize(700, 300), QSize(523, 280)}) {
        list.resize(size);
        QCoreApplication::processEvents();
        int total = 0;
        for (int c = 0; c < ui::kColumnCount; ++c) {
            EXPECT_GT(list.columnWidth(c), 40) << c;
            total += list.columnWidth(c);
        }
        EXPECT_LE(total, list.viewport()->width()); // less what the shares round off
        EXPECT_GT(total, list.viewport()->width() - 8);
        EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
    }
    // A divider dragged far right: the horizontal scrollbar comes, the viewport gets lower,
    // and the column stays as wide as it was dragged.
    const int dragged = 2 * list.viewport()->width();
    list.setColumnWidth(4, dragged);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.horizontalScrollBar()->isVisible(); }));
    EXPECT_EQ(list.columnWidth(4), dragged);
    click(1, 3);
    for (const int column : {4, 5, 5}) { // Right stops at the last column, Check
        QTest::keyClick(&list, Qt::Key_Right);
        EXPECT_EQ(list.currentColumn(), column);
    }
    EXPECT_EQ(list.horizontalScrollBar()->value(), 0);
}

TEST_F(CResultsListTest, LeavingScrollingAndResizingCommitAnOpenEditorKeepingUnchangedBytes)
{
    // \xE9 alone is no UTF-8: the editor shows a replacement character for it. A text longer
    // than a line edit's default limit is not cut.
    const std::string name = "Caf\xE9" + std::string(40000, 'e');
    list.addGameRow(game("33333333", "880429", "/c.z5", "", name));
    addFillers(60);
    click(3, 4);
    click(3, 4);
    ASSERT_NE(openEditor(), nullptr);
    click(0, 3); // leaves the editor, which commits
    EXPECT_EQ(list.cellText(3, 4), name);
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
