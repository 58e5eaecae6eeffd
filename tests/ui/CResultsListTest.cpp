// The results list: what its cells show, editing in place, and the columns' widths.

#include "core/StoryFacts.h"
#include "tests/ui/DialogTest.h"

#include <QLineEdit>
#include <QScrollBar>

#include <functional>

namespace {

// The dialog's list with three rows.
class CResultsListTest : public DialogTest
{
protected:
    void SetUp() override
    {
        makeDialog(true);
        CGame zork("Zork", "0A1B2C3D", "880429");
        zork.fn = "/games/zork1.z3";
        list->addGameRow(zork);
        list->addGameRow(CGame("anchorhead", "11111111", ""));
        list->addGameRow(CGame("Curses", "22222222", "951024"));
    }
    void click(int row, int column) { clickCell(*list, row, column); }
    QLineEdit* editor() const // the open in-place editor, or none
    {
        for (QLineEdit* open : list->viewport()->findChildren<QLineEdit*>("cellEditor")) {
            if (!open->isHidden()) {
                return open;
            }
        }
        return nullptr;
    }
    QString editing() const { return editor() ? editor()->text() : QStringLiteral("(closed)"); }
};

} // namespace

TEST_F(CResultsListTest, RowsShowPlaceholdersColourBySerialNumberAndTheCheckWithItsFacts)
{
    using enum core::StoryCheck;
    // Size, check, version, release, serial, declared length, checksum, sum, IFID; hint.
    const std::pair<core::StoryFacts, const char*> checked[] = {
        {{262656, Intact, 5, 16, "951024", 261120, 0, 0, "ZCODE-16-951024-4A3F"}, "padded copy"},
        // Control bytes in the serial would end the text or break its line.
        {{1024, Unchecked, 1, 2, std::string("\0\n8\x7FZ\xE9", 6), 0, 0, 0, "ZCODE-2---8-Z-"},
         "unchecked"},
        {{11, NotZcode}, ""},
    };
    list->addGameRow(CGame("unknown", "33333333", "880429"));
    list->addGameRow(CGame("unknown", "44444444", "88042"));
    for (const auto& [storyFacts, hint] : checked) {
        CGame record("unknown", "99999999", "880429");
        std::tie(record.facts, record.hint) = std::tuple(storyFacts, hint);
        list->addGameRow(record);
    }
    // Each cell's text and colour, then the tooltips of the row.
    QString shown;
    for (int row = 0; row < list->rowCount(); ++row) {
        QString tips;
        for (int c = 0; c < ui::kColumnCount; ++c) {
            const QModelIndex cell = list->model()->index(row, c);
            shown += QString(c > 0 ? " | " : "") + cell.data().toString() + " " +
                     cell.data(Qt::ForegroundRole).value<QColor>().name();
            if (const QVariant tip = cell.data(Qt::ToolTipRole); tip.isValid()) {
                tips +=
                    QString("  tip of %1: %2\n").arg(c).arg(tip.toString().replace("\n", "\n    "));
            }
        }
        shown += "\n" + tips;
    }
    testsupport::expectGolden("ui/cells_with_colours_and_check_tips.txt", shown.toStdString());
}

TEST_F(CResultsListTest, ClicksAndKeysEditTheTextCellsOnlyAndReturnCommits)
{
    click(0, ui::kCheckColumn);
    click(0, ui::kCheckColumn);
    QTest::keyClick(list, Qt::Key_F2);
    EXPECT_EQ(editing(), "(closed)"); // read-only, as the first three columns are
    click(0, 4);
    EXPECT_EQ(editing(), "(closed)"); // the first click only makes it the current cell
    click(0, 4);
    ASSERT_EQ(editing(), "Zork");
    for (const Qt::Key key : {Qt::Key_F2, Qt::Key_Return, Qt::Key_Space}) {
        QTest::keyClick(editor(), Qt::Key_Escape); // cancels
        EXPECT_EQ(editing(), "(closed)");
        QTest::keyClick(list, key);
        ASSERT_EQ(editing(), "Zork") << key;
    }
    QTest::keyClick(editor(), Qt::Key_Escape);
    QTest::keyClick(list, Qt::Key_Q);
    ASSERT_EQ(editing(), "q"); // the typed character replaces the text
    QTest::keyClick(editor(), Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits once the key is handled
    EXPECT_EQ(editing() + QString::fromStdString(list->cellText(0, 4)), "(closed)q");

    QTest::keyClick(list, Qt::Key_Down); // another row keeps the column
    EXPECT_EQ(std::pair(list->selectedRow(), list->currentColumn()), std::pair(1, 4));
    clickCell(*list, 1, 0, Qt::LeftButton, Qt::ControlModifier); // does not toggle it off
    EXPECT_EQ(list->selectedRow(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, {10, list->viewport()->height() - 2});
    EXPECT_EQ(std::pair(list->selectedRow(), list->currentColumn()), std::pair(-1, -1));
}

TEST_F(CResultsListTest, LeavingAnEditorCommitsItAndADraggedColumnStaysWide)
{
    // \xE9 alone is no UTF-8: the editor shows a replacement character for it, and a text
    // left as it was keeps its bytes. A text longer than a line edit's default limit is not cut.
    const std::string name = "Caf\xE9" + std::string(40000, 'e');
    list->addGameRow(CGame(name, "33333333", "880429"));
    for (int i = 0; i < 60; ++i) { // enough rows for a vertical scrollbar
        list->addGameRow(CGame("Filler", std::to_string(10000000 + i), "880429"));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->verticalScrollBar()->isVisible(); }));
    click(3, 4);
    click(3, 4);
    ASSERT_NE(editor(), nullptr);
    click(0, 3); // leaves the editor, which commits
    EXPECT_EQ(list->cellText(3, 4), name);
    const std::pair<const char*, std::function<void()>> closers[] = {
        {"scrolled", [&] { list->verticalScrollBar()->setValue(5); }},
        {"resized", [&] { list->resize(650, 280); }}};
    for (const auto& [text, close] : closers) {
        list->scrollToTop();
        QTest::keyClick(list, Qt::Key_F2);
        ASSERT_NE(editor(), nullptr);
        editor()->setText(text);
        close();
        EXPECT_EQ(editing() + QString::fromStdString(list->cellText(0, 3)),
                  "(closed)" + QString(text));
    }

    // A divider dragged far right: the horizontal scrollbar comes, the viewport gets lower,
    // and the column stays as wide as it was dragged; moving right never scrolls sideways.
    const int dragged = 2 * list->viewport()->width();
    list->setColumnWidth(4, dragged);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->horizontalScrollBar()->isVisible(); }));
    QCoreApplication::processEvents(); // the viewport's resize, as the scrollbar came
    EXPECT_EQ(list->columnWidth(4), dragged);
    click(1, 3);
    for (const int column : {4, 5, 5}) { // Right stops at the last column, Check
        QTest::keyClick(list, Qt::Key_Right);
        EXPECT_EQ(list->currentColumn(), column);
    }
    EXPECT_EQ(list->horizontalScrollBar()->value(), 0);
}
