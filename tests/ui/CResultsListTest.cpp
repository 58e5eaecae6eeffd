// The results list: what its cells show, editing in place, and the columns' widths.

#include "core/StoryFacts.h"
#include "tests/ui/DialogTest.h"

#include <QLineEdit>
#include <QScrollBar>

#include <functional>
#include <tuple>

namespace {

class CResultsListTest : public DialogTest
{
protected:
    void SetUp() override { makeDialog(true); }
    // The in-place editor open on the current cell, or none.
    QWidget* editor() const { return list->indexWidget(list->currentIndex()); }
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
    load(UI_FIXTURES "catalogue_placeholders_and_colours.xml");
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

TEST_F(CResultsListTest, TextCellsEditInPlaceLeavingCommitsTheWholeTextAndADraggedColumnStays)
{
    // \xE9 alone is no UTF-8: the editor shows a replacement character for it, and a text
    // left as it was keeps its bytes. A text longer than a line edit's default limit is not cut.
    const std::string name = "Caf\xE9" + std::string(40000, 'e');
    list->addGameRow(CGame(name, "33333333", "880429"));
    for (int i = 0; i < 60; ++i) { // enough rows for a vertical scrollbar
        list->addGameRow(CGame("Filler", std::to_string(10000000 + i), "880429"));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->verticalScrollBar()->isVisible(); }));
    clickCell(*list, 0, ui::kCheckColumn);
    clickCell(*list, 0, ui::kCheckColumn);
    QTest::keyClick(list, Qt::Key_F2);
    EXPECT_EQ(editor(), nullptr); // read-only, as the first three columns are
    clickCell(*list, 0, 4);
    EXPECT_EQ(editor(), nullptr); // the first click only makes it the current cell
    clickCell(*list, 0, 4);
    ASSERT_NE(editor(), nullptr);
    // A Ctrl-click leaves the editor, which commits, and does not toggle the row off.
    clickCell(*list, 0, 0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(list->cellText(0, 4), name);
    EXPECT_EQ(list->selectedRow(), 0);

    // A key that opens an editor on the current cell, the text put in, how the editor is left,
    // and the cell's text then. A typed character replaces the text.
    const std::tuple<Qt::Key, QString, std::function<void()>, QString> edits[] = {
        {Qt::Key_Return, "scrolled", [&] { list->verticalScrollBar()->setValue(5); }, "scrolled"},
        {Qt::Key_Space, "resized", [&] { list->resize(650, 280); }, "resized"},
        {Qt::Key_F2, "cancelled", [&] { QTest::keyClick(editor(), Qt::Key_Escape); }, "resized"},
        {Qt::Key_Q, "", [&] { QTest::keyClick(editor(), Qt::Key_Return); }, "q"}};
    for (const auto& [key, text, leave, kept] : edits) {
        list->scrollToTop();
        QTest::keyClick(list, key);
        ASSERT_NE(editor(), nullptr) << key;
        if (!text.isEmpty()) {
            static_cast<QLineEdit*>(editor())->setText(text);
        }
        leave();
        QCoreApplication::processEvents(); // Return commits once the key is handled
        EXPECT_EQ(editor(), nullptr) << key;
        EXPECT_EQ(QString::fromStdString(list->cellText(0, 4)), kept);
    }

    // A divider dragged far right: the horizontal scrollbar comes, the viewport gets lower,
    // and the column stays as wide as it was dragged; moving right never scrolls sideways.
    const int dragged = 2 * list->viewport()->width();
    list->setColumnWidth(4, dragged);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->horizontalScrollBar()->isVisible(); }));
    QCoreApplication::processEvents(); // the viewport's resize, as the scrollbar came
    EXPECT_EQ(list->columnWidth(4), dragged);
    clickCell(*list, 2, 3);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(list, Qt::Key_Right);
    }
    EXPECT_EQ(list->currentColumn(), ui::kCheckColumn); // Right stops at the last column
    EXPECT_EQ(list->horizontalScrollBar()->value(), 0);
}
