#include "ui/about/CAboutBox.h"

#include "ui/about/CCreditsScroller.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

TEST(CAboutBox, ClickEnterAndEscapeEachCloseTheBoxButNoOtherInput)
{
    {
        CAboutBox box;
        QSignalSpy finished(&box, &QDialog::finished);
        box.show();
        QTest::mouseClick(box.scroller(), Qt::RightButton, {}, QPoint(10, 10));
        QTest::keyClick(&box, Qt::Key_Space);
        QTest::keyClick(&box, Qt::Key_A);
        EXPECT_EQ(finished.count(), 0);
        EXPECT_TRUE(box.isVisible());
    }
    const std::pair<const char*, std::function<void(CAboutBox&)>> ways[] = {
        {"click on the picture",
         [](CAboutBox& box) {
             QTest::mouseClick(box.scroller(), Qt::LeftButton, {}, QPoint(300, 120));
         }},
        {"click on the dialog", [](CAboutBox& box) { QTest::mouseClick(&box, Qt::LeftButton); }},
        {"Return", [](CAboutBox& box) { QTest::keyClick(&box, Qt::Key_Return); }},
        {"Enter", [](CAboutBox& box) { QTest::keyClick(&box, Qt::Key_Enter); }},
        {"Escape", [](CAboutBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }},
    };
    for (const auto& [name, act] : ways) {
        CAboutBox box;
        QSignalSpy finished(&box, &QDialog::finished);
        box.show();
        act(box);
        EXPECT_EQ(finished.count(), 1) << name;
        EXPECT_FALSE(box.isVisible()) << name;
    }
}

TEST(CAboutBox, OpensCentredOverItsParentWithTheCreditsAtTheBottomEdge)
{
    QWidget parent;
    parent.setGeometry(60, 50, 900, 640);
    parent.show();
    CAboutBox box(&parent);
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    box.show();
    // The first frame is composed before the first paint: the picture, not an unfilled buffer.
    EXPECT_EQ(box.scroller()->grab().toImage().convertToFormat(QImage::Format_RGB32),
              box.scroller()->background());

    EXPECT_LE((box.frameGeometry().center() - parent.frameGeometry().center()).manhattanLength(),
              2);
    EXPECT_EQ(box.scroller()->geometry(), box.rect()) << "the control fills the dialog";
    EXPECT_EQ(box.scroller()->creditsTop(), box.scroller()->height());
    EXPECT_EQ(box.size(), QSize(428, 224)) << "the picture fills the box";

    // The timer drives the frames while the box is open.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return box.scroller()->creditsTop() < box.scroller()->height() - 1; }, 5000));
    EXPECT_EQ(box.creditsText().rfind("\tQueltImport 1.0.0\n\r\rbuild: 1\n", 0), 0u);
}

// Kept as a build artefact when QUELT_SCREENSHOT names a file (the test run on a virtual X
// display sets it); otherwise skipped.
TEST(AboutBoxScreenshot, SavesTheOpenBox)
{
    const QString path = qEnvironmentVariable("QUELT_SCREENSHOT");
    if (path.isEmpty()) {
        GTEST_SKIP() << "QUELT_SCREENSHOT not set";
    }
    CAboutBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    for (int frame = 0; frame < 200; ++frame) {
        box.scroller()->animateFrame();
    }
    box.scroller()->repaint();
    QCoreApplication::processEvents();
    const QPixmap shot = box.screen()->grabWindow(box.winId());
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), box.size() * box.devicePixelRatio());
    EXPECT_TRUE(shot.save(path));
}
