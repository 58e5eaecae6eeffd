#include "ui/CMainDlg.h"

#include "tests/support/TestSupport.h"
#include "ui/CResultsList.h"
#include "ui/PlacementText.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

class CMainDlgTest : public ::testing::Test
{
protected:
    // A dialog with its settings file in the test's folder, shown off screen.
    std::unique_ptr<CMainDlg> openDialog()
    {
        auto dialog = std::make_unique<CMainDlg>(settingsFile);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        list = dialog->findChild<CResultsList*>(QStringLiteral("resultsList"));
        return dialog;
    }
    static QPushButton* button(const CMainDlg& d, const char* name)
    {
        return d.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void storePlacement(const std::string& text)
    {
        Orvane::CSettingStore store;
        store.writeTextSetting("Placement", text);
        ASSERT_TRUE(store.save(settingsFile));
    }

    testsupport::TempDir dir;
    std::string settingsFile = dir / "QueltImport_settings.xml";
    CResultsList* list = nullptr;
};

} // namespace

TEST_F(CMainDlgTest, ResizingStretchesTheListAndMovesTheButtons)
{
    auto dialog = openDialog();
    const QSize start = dialog->size();
    QPushButton* quit = button(*dialog, "quitButton");
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

TEST_F(CMainDlgTest, HeaderClicksSortEachColumnInItsOwnDirection)
{
    auto dialog = openDialog();
    for (const char* sn : {"222222", "111111", "333333"}) {
        list->addGameRow(CGame("N", std::string(sn) + "00", sn));
    }
    auto* header = list->horizontalHeader();
    const auto sortedBy = [&](int column) {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        return list->cellText(0, 1, 256) + list->cellText(1, 1, 256) + list->cellText(2, 1, 256);
    };
    EXPECT_EQ(sortedBy(1), "333333222222111111");
    sortedBy(4);
    EXPECT_EQ(sortedBy(1), "111111222222333333");
    EXPECT_EQ(dialog->lastSortColumn(), 1);
    EXPECT_EQ(dialog->sortDirections(), (std::vector<std::int32_t>{1, 1, 1, 1, -1}));
}

TEST_F(CMainDlgTest, PopupMenuClearButtonAboutAndTheStatusLineReachTheirCommands)
{
    auto dialog = openDialog();
    list->addGameRow(CGame("A", "AAAAAAAA", "880429"));
    list->addGameRow(CGame("B", "BBBBBBBB", "880429"));
    const auto rightClick = [&](QPoint at) {
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
        return list->popupMenu()->isVisible();
    };
    EXPECT_TRUE(rightClick(list->visualRect(list->model()->index(1, 2)).center()));
    EXPECT_EQ(list->selectedRow(), 1); // a row never clicked with the left button
    list->popupMenu()->findChild<QAction*>("copyAction")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "BBBBBBBB,880429,unknown,,B");
    list->popupMenu()->findChild<QAction*>("deleteAction")->trigger();
    list->popupMenu()->hide();
    EXPECT_EQ(list->rowCount(), 1);

    EXPECT_FALSE(rightClick(QPoint(10, list->viewport()->height() - 2)));
    EXPECT_EQ(list->selectedRow(), -1);
    QTest::mouseClick(button(*dialog, "clearButton"), Qt::LeftButton);
    EXPECT_EQ(list->rowCount(), 0);

    QWidget* shownOver = nullptr;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            shownOver = box->parentWidget();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    EXPECT_TRUE(dialog->dispatchCommand(CMainDlg::kIdAbout)); // returns once the box is closed
    EXPECT_EQ(shownOver, dialog.get());

    // The title is the prefix and the message cut to its buffer.
    dialog->setStatus("%d %s", 12, std::string(3000, 'x').c_str());
    EXPECT_EQ(dialog->windowTitle(), "QueltImprort - 12 " + QString(1020, 'x'));
}

TEST_F(CMainDlgTest, QuitEscapeAndClosingStoreThePlacement)
{
    for (int way = 0; way < 3; ++way) {
        std::remove(settingsFile.c_str());
        auto dialog = openDialog();
        QTest::keyClick(list, Qt::Key_Escape);
        ASSERT_TRUE(dialog->isVisible()); // the list keeps its keys
        dialog->move(dialog->pos() + QPoint(7, 9));
        const QRect normal = dialog->normalGeometry();
        if (way == 0) {
            dialog->OnQuit();
        } else if (way == 1) {
            QTest::keyClick(button(*dialog, "saveButton"), Qt::Key_Escape);
        } else {
            dialog->close();
        }
        EXPECT_FALSE(dialog->isVisible());

        Orvane::CSettingStore store;
        std::string text;
        store.load(settingsFile);
        ui::WindowPlacement p;
        ASSERT_TRUE(store.readTextSetting("Placement", text) && ui::decodePlacementText(text, p));
        EXPECT_EQ(p.showCmd, ui::WindowPlacement::kShowNormal);
        EXPECT_EQ(QRect(QPoint(p.left, p.top), QPoint(p.right - 1, p.bottom - 1)), normal);
    }
}

TEST_F(CMainDlgTest, AStoredPlacementOpensNormalAndOnScreen)
{
    const QSize size = CMainDlg(dir / "other.xml").minimumSize() + QSize(40, 10);
    const auto placed = [&](int left, int top, std::int32_t showCmd) {
        ui::WindowPlacement p;
        std::tie(p.showCmd, p.left, p.top) = std::tuple(showCmd, left, top);
        std::tie(p.right, p.bottom) = std::pair(left + size.width(), top + size.height());
        return ui::placementText(p);
    };
    storePlacement(placed(20, 30, ui::WindowPlacement::kMinimize));
    auto dialog = openDialog();
    EXPECT_FALSE(dialog->isMinimized());
    EXPECT_EQ(dialog->geometry(), QRect(QPoint(20, 30), size));

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    storePlacement(placed(50000, -60000, ui::WindowPlacement::kShowNormal));
    EXPECT_TRUE(area.intersects(openDialog()->geometry()));
    for (const std::string& text : {std::string(), std::string("MCAAAAAA")}) {
        storePlacement(text); // empty or damaged: the work area less a margin
        EXPECT_EQ(openDialog()->geometry().topLeft(), area.topLeft() + QPoint(100, 100)) << text;
    }
}
