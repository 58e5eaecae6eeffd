#include "ui/CMainDlg.h"

#include "platform/Trace.h"
#include "tests/support/TestSupport.h"
#include "ui/CBusyAnimation.h"
#include "ui/CResultsList.h"
#include "ui/PlacementText.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QSizeGrip>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::TempDir;

std::string storedPlacement(const std::string& settingsFile)
{
    Orvane::CSettingStore store;
    store.load(settingsFile);
    std::string text;
    return store.readTextSetting("Placement", text) ? text : std::string("(none)");
}

void storePlacement(const std::string& settingsFile, const std::string& text)
{
    Orvane::CSettingStore store;
    store.writeTextSetting("Placement", text);
    ASSERT_TRUE(store.save(settingsFile));
}

class CMainDlgTest : public ::testing::Test
{
protected:
    // A dialog with its settings file in the test's folder, shown off screen.
    std::unique_ptr<CMainDlg> openDialog()
    {
        auto dialog = std::make_unique<CMainDlg>(settingsFile);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }

    template <class T = QPushButton> static T* child(const CMainDlg& dialog, const char* name)
    {
        T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    TempDir dir;
    std::string settingsFile = dir / "QueltImport_settings.xml";
};

} // namespace

TEST_F(CMainDlgTest, ControlsHaveTheirCaptionsAndTabOrder)
{
    auto dialog = openDialog();
    EXPECT_EQ(dialog->windowTitle(), "QueltImport");
    EXPECT_TRUE(child(*dialog, "scanButton")->isDefault());
    EXPECT_EQ(child(*dialog, "aboutButton")->text(), "&About...");
    EXPECT_EQ(child(*dialog, "aboutButton")->toolTip(),
              "Display program information, version number and copyright\nAbout");
    EXPECT_FALSE(child(*dialog, "makeButton")->isVisible());
    EXPECT_EQ(child(*dialog, "makeButton")->text(), "Make");
    EXPECT_TRUE(child<CBusyAnimation>(*dialog, "busyAnimation")->frameCount() > 1);
    EXPECT_FALSE(child<CBusyAnimation>(*dialog, "busyAnimation")->isPlaying());
    EXPECT_EQ(dialog->sortDirections, (std::vector<std::int32_t>{1, 1, 1, 1, 1}));

    // The dialog's own controls in focus-chain order, from Scan round to Scan.
    std::vector<std::string> order;
    QWidget* scan = child<QWidget>(*dialog, "scanButton");
    QWidget* widget = scan;
    do {
        if (widget->parentWidget() == dialog.get() && !widget->objectName().isEmpty()) {
            order.push_back(widget->objectName().toStdString());
        }
        widget = widget->nextInFocusChain();
    } while (widget != scan && order.size() < 20);
    EXPECT_EQ(order, (std::vector<std::string>{"scanButton", "quitButton", "aboutButton",
                                               "resultsList", "saveButton", "loadButton",
                                               "clearButton", "busyAnimation", "makeButton"}));
    auto* header = child<CResultsList>(*dialog, "resultsList")->horizontalHeader();
    std::string captions;
    for (int c = 0; c < header->count(); ++c) {
        captions += header->model()->headerData(c, Qt::Horizontal).toString().toStdString() + "|";
    }
    EXPECT_EQ(captions, "FingerPrint|Serial #|Filename|Warnings|FullName|");
}

TEST_F(CMainDlgTest, ResizingStretchesTheListAndMovesTheButtons)
{
    auto dialog = openDialog();
    const QSize start = dialog->size();
    EXPECT_EQ(dialog->minimumSize(), start);
    auto* list = child<CResultsList>(*dialog, "resultsList");
    QPushButton* quit = child(*dialog, "quitButton");
    const QRect listBefore = list->geometry();
    const QRect quitBefore = quit->geometry();

    dialog->resize(start + QSize(100, 40));
    const int moved = quit->x() - quitBefore.x();
    EXPECT_GT(moved, 80);
    EXPECT_LT(moved, 100); // in proportion to its distance from the list's left edge
    EXPECT_EQ(quit->y(), quitBefore.y() + 40);
    EXPECT_EQ(quit->size(), quitBefore.size());
    EXPECT_EQ(list->x(), listBefore.x());
    EXPECT_EQ(list->y(), listBefore.y());
    EXPECT_GT(list->width(), listBefore.width() + 80);
    EXPECT_EQ(list->height(), listBefore.height() + 40);
    EXPECT_LT(list->geometry().right(), quit->x()); // the gap between them grew too

    const auto widths = CResultsList::proportionalWidths(list->viewport()->width());
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(list->columnWidth(c), widths[static_cast<std::size_t>(c)]) << c;
    }

    dialog->resize(start - QSize(50, 50));
    EXPECT_EQ(dialog->size(), start);
}

TEST_F(CMainDlgTest, TheSizeGripHidesWhileMaximised)
{
    auto dialog = openDialog();
    auto* grip = dialog->findChild<QSizeGrip*>();
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(grip->isVisible());
    dialog->setWindowState(Qt::WindowMaximized);
    EXPECT_FALSE(grip->isVisible());
    dialog->setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(grip->isVisible());
}

TEST_F(CMainDlgTest, HeaderClicksSortEachColumnInItsOwnDirection)
{
    auto dialog = openDialog();
    auto* list = child<CResultsList>(*dialog, "resultsList");
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
    EXPECT_EQ(dialog->lastSortColumn, 4);
    clickHeader(1);
    EXPECT_EQ(serials(), "111111222222333333");
    EXPECT_EQ(dialog->lastSortColumn, 1);
    EXPECT_EQ(dialog->sortDirections, (std::vector<std::int32_t>{1, 1, 1, 1, -1}));
}

TEST_F(CMainDlgTest, CommandsReachTheirHandlers)
{
    auto dialog = openDialog();
    auto* list = child<CResultsList>(*dialog, "resultsList");
    list->addGameRow(CGame("A", "AAAAAAAA", "880429"));
    list->addGameRow(CGame("B", "BBBBBBBB", "880429"));
    list->selectRow(0);

    EXPECT_TRUE(dialog->dispatchCommand(CResultsList::kDeleteCommand));
    EXPECT_EQ(list->rowCount(), 1);
    EXPECT_FALSE(dialog->dispatchCommand(42));
    QTest::mouseClick(child(*dialog, "clearButton"), Qt::LeftButton);
    EXPECT_EQ(list->rowCount(), 0);
    for (const int id :
         {CMainDlg::kIdScan, CMainDlg::kIdSave, CMainDlg::kIdLoad, CMainDlg::kIdMake}) {
        EXPECT_TRUE(dialog->dispatchCommand(id)) << id;
    }
    EXPECT_TRUE(dialog->isVisible());
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

TEST_F(CMainDlgTest, StatusLineTakesMessagesFromAnyThread)
{
    auto dialog = openDialog();
    dialog->setStatus("%d entries loaded from %s", 12, "/data/cat.xml");
    EXPECT_EQ(dialog->windowTitle(), "QueltImprort - 12 entries loaded from /data/cat.xml");

    std::atomic<bool> done{false};
    std::thread worker([&] {
        dialog->setStatus("%d: games found.", 7);
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
    worker.join();
    EXPECT_EQ(dialog->windowTitle(), "QueltImprort - 7: games found.");

    const std::string longText(3000, 'x');
    dialog->setStatus("%s", longText.c_str());
    EXPECT_EQ(dialog->windowTitle().size(), 15 + 1023);
}

TEST_F(CMainDlgTest, TraceLinesCarryThePrefix)
{
    std::vector<std::string> lines;
    const auto previous =
        platform::setTraceSink([&](std::string_view line) { lines.emplace_back(line); });
    {
        CMainDlg dialog(settingsFile);
    }
    CMainDlg::trace("Error: %s", "bad file");
    platform::setTraceSink(previous);
    EXPECT_EQ(lines, (std::vector<std::string>{"Narlo::SINGLE", "Narlo::Error: bad file"}));
}

TEST_F(CMainDlgTest, QuitStoresThePlacement)
{
    auto dialog = openDialog();
    dialog->move(dialog->pos() + QPoint(7, 9));
    const QRect normal = dialog->normalGeometry();
    dialog->OnQuit();
    EXPECT_FALSE(dialog->isVisible());

    const std::string text = storedPlacement(settingsFile);
    ASSERT_EQ(text.size(), 88u) << text;
    EXPECT_EQ(text.substr(0, 8), "MCAAAAAA");
    ui::WindowPlacement placement;
    ASSERT_TRUE(ui::decodePlacementText(text, placement));
    EXPECT_EQ(placement.showCmd, ui::WindowPlacement::kShowNormal);
    EXPECT_EQ(QRect(QPoint(placement.left, placement.top),
                    QPoint(placement.right - 1, placement.bottom - 1)),
              normal);
}

TEST_F(CMainDlgTest, EscapeOnAButtonAndClosingTheWindowQuit)
{
    {
        auto dialog = openDialog();
        QTest::keyClick(child<CResultsList>(*dialog, "resultsList"), Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible()); // the list keeps its keys
        QTest::keyClick(child(*dialog, "saveButton"), Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(storedPlacement(settingsFile).size(), 88u);
    }
    std::remove(settingsFile.c_str());
    {
        auto dialog = openDialog();
        dialog->close();
        EXPECT_EQ(storedPlacement(settingsFile).size(), 88u);
    }
}

TEST_F(CMainDlgTest, AMinimisedPlacementOpensAsANormalWindow)
{
    const QSize minimum = CMainDlg(dir / "other.xml").minimumSize();
    ui::WindowPlacement stored;
    stored.showCmd = ui::WindowPlacement::kMinimize;
    stored.left = 20;
    stored.top = 30;
    stored.right = 20 + minimum.width() + 40;
    stored.bottom = 30 + minimum.height() + 10;
    storePlacement(settingsFile, ui::placementText(stored));

    auto dialog = openDialog();
    EXPECT_FALSE(dialog->isMinimized());
    EXPECT_EQ(dialog->geometry(), QRect(20, 30, minimum.width() + 40, minimum.height() + 10));
}

TEST_F(CMainDlgTest, APlacementOffEveryScreenIsMovedOntoThePrimaryOne)
{
    ui::WindowPlacement stored;
    stored.left = 50000;
    stored.top = -60000;
    stored.right = 51000;
    stored.bottom = -59000;
    storePlacement(settingsFile, ui::placementText(stored));

    auto dialog = openDialog();
    EXPECT_TRUE(
        QGuiApplication::primaryScreen()->availableGeometry().intersects(dialog->geometry()));
}

TEST_F(CMainDlgTest, AnEmptyOrDamagedPlacementUsesTheWorkAreaLessAMargin)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const std::string& text : {std::string(), std::string("MCAAAAAA")}) {
        storePlacement(settingsFile, text);
        auto dialog = openDialog();
        EXPECT_EQ(dialog->geometry().topLeft(), area.topLeft() + QPoint(100, 100)) << text;
    }
}
