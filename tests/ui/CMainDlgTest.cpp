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

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::TempDir;

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
    static QPushButton* button(const CMainDlg& dialog, const char* name)
    {
        return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    std::string storedPlacement()
    {
        Orvane::CSettingStore store;
        store.load(settingsFile);
        std::string text;
        return store.readTextSetting("Placement", text) ? text : std::string("(none)");
    }
    void storePlacement(const std::string& text)
    {
        Orvane::CSettingStore store;
        store.writeTextSetting("Placement", text);
        ASSERT_TRUE(store.save(settingsFile));
    }

    TempDir dir;
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
    EXPECT_EQ(quit->y(), quitBefore.y() + 40);
    EXPECT_EQ(quit->size(), quitBefore.size());
    EXPECT_EQ(list->pos(), listBefore.topLeft());
    EXPECT_GT(list->width(), listBefore.width() + 80);
    EXPECT_EQ(list->height(), listBefore.height() + 40);
    EXPECT_LT(list->geometry().right(), quit->x());

    EXPECT_EQ(CResultsList::proportionalWidths(500), (std::array<int, 5>{50, 50, 133, 133, 133}));
    const auto widths = CResultsList::proportionalWidths(list->viewport()->width());
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(list->columnWidth(c), widths[static_cast<std::size_t>(c)]) << c;
    }

    dialog->resize(start - QSize(50, 50));
    EXPECT_EQ(dialog->size(), start); // the first size is the smallest
}

TEST_F(CMainDlgTest, HeaderClicksSortEachColumnInItsOwnDirection)
{
    auto dialog = openDialog();
    for (const char* sn : {"222222", "111111", "333333"}) {
        list->addGameRow(CGame("N", std::string(sn) + "00", sn));
    }
    const auto serials = [&] {
        return list->cellText(0, 1, 256) + list->cellText(1, 1, 256) + list->cellText(2, 1, 256);
    };
    auto* header = list->horizontalHeader();
    const auto clickHeader = [&](int column) {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };

    clickHeader(1);
    EXPECT_EQ(serials(), "333333222222111111");
    clickHeader(4);
    clickHeader(1);
    EXPECT_EQ(serials(), "111111222222333333");
    EXPECT_EQ(dialog->lastSortColumn(), 1);
    EXPECT_EQ(dialog->sortDirections(), (std::vector<std::int32_t>{1, 1, 1, 1, -1}));
}

TEST_F(CMainDlgTest, ThePopupMenuAndTheClearButtonReachTheirCommands)
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
}

TEST_F(CMainDlgTest, AboutShowsTheModalBoxOverTheDialog)
{
    auto dialog = openDialog();
    QWidget* shownOver = nullptr;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            shownOver = box->parentWidget();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    EXPECT_TRUE(dialog->dispatchCommand(CMainDlg::kIdAbout)); // returns once the box is closed
    EXPECT_EQ(shownOver, dialog.get());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(CMainDlgTest, StatusLineIsThePrefixAndTheMessageCutToItsBuffer)
{
    auto dialog = openDialog();
    const std::string longText(3000, 'x');
    dialog->setStatus("%d %s", 12, longText.c_str());
    EXPECT_EQ(dialog->windowTitle(), "QueltImprort - 12 " + QString(1020, 'x'));
}

TEST_F(CMainDlgTest, QuitEscapeAndClosingStoreThePlacement)
{
    const std::vector<std::function<void(CMainDlg&)>> ways = {
        [](CMainDlg& dialog) { dialog.OnQuit(); },
        [](CMainDlg& dialog) { QTest::keyClick(button(dialog, "saveButton"), Qt::Key_Escape); },
        [](CMainDlg& dialog) { dialog.close(); }};
    for (const auto& quit : ways) {
        std::remove(settingsFile.c_str());
        auto dialog = openDialog();
        QTest::keyClick(list, Qt::Key_Escape);
        ASSERT_TRUE(dialog->isVisible()); // the list keeps its keys
        dialog->move(dialog->pos() + QPoint(7, 9));
        const QRect normal = dialog->normalGeometry();
        quit(*dialog);
        EXPECT_FALSE(dialog->isVisible());

        const std::string text = storedPlacement();
        EXPECT_EQ(text.substr(0, 8), "MCAAAAAA");
        ui::WindowPlacement placement;
        ASSERT_TRUE(ui::decodePlacementText(text, placement)) << text;
        EXPECT_EQ(placement.showCmd, ui::WindowPlacement::kShowNormal);
        EXPECT_EQ(QRect(QPoint(placement.left, placement.top),
                        QPoint(placement.right - 1, placement.bottom - 1)),
                  normal);
    }
}

TEST_F(CMainDlgTest, AStoredPlacementOpensNormalAndOnScreen)
{
    const QSize size = CMainDlg(dir / "other.xml").minimumSize() + QSize(40, 10);
    const auto placed = [](int left, int top, QSize extent, std::int32_t showCmd) {
        ui::WindowPlacement p;
        p.showCmd = showCmd;
        p.left = left;
        p.top = top;
        p.right = left + extent.width();
        p.bottom = top + extent.height();
        return ui::placementText(p);
    };
    storePlacement(placed(20, 30, size, ui::WindowPlacement::kMinimize));
    auto dialog = openDialog();
    EXPECT_FALSE(dialog->isMinimized());
    EXPECT_EQ(dialog->geometry(), QRect(QPoint(20, 30), size));

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    storePlacement(placed(50000, -60000, size, ui::WindowPlacement::kShowNormal));
    EXPECT_TRUE(area.intersects(openDialog()->geometry()));

    for (const std::string& text : {std::string(), std::string("MCAAAAAA")}) {
        storePlacement(text); // empty or damaged: the work area less a margin
        EXPECT_EQ(openDialog()->geometry().topLeft(), area.topLeft() + QPoint(100, 100)) << text;
    }
}
