#include "ui/about/CAboutBox.h"

#include "ui/about/CCreditsScroller.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <array>

TEST(CAboutBox, ClickEnterAndEscapeEachCloseTheBoxButNoOtherInput)
{
    // -1: the keys and clicks that must leave the box open; then one closing way each.
    for (int way = -1; way < 5; ++way) {
        CAboutBox box;
        QSignalSpy finished(&box, &QDialog::finished);
        box.show();
        switch (way) {
        case -1:
            QTest::mouseClick(box.scroller(), Qt::RightButton, {}, QPoint(10, 10));
            QTest::keyClick(&box, Qt::Key_Space);
            QTest::keyClick(&box, Qt::Key_A);
            break;
        case 0:
            QTest::mouseClick(box.scroller(), Qt::LeftButton, {}, QPoint(300, 120));
            break;
        case 1:
            QTest::mouseClick(&box, Qt::LeftButton);
            break;
        default:
            QTest::keyClick(&box,
                            std::array{Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}[way - 2]);
        }
        EXPECT_EQ(finished.count(), way < 0 ? 0 : 1) << way;
        EXPECT_EQ(box.isVisible(), way < 0) << way;
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
    EXPECT_EQ(box.scroller()->geometry(), QRect(0, 0, 428, 224)); // the picture fills the box
    EXPECT_EQ(box.size(), QSize(428, 224));
    EXPECT_EQ(box.scroller()->creditsTop(), 224);
    // The timer drives the frames while the box is open.
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.scroller()->creditsTop() < 223; }, 5000));
    EXPECT_EQ(box.creditsText().rfind("\tQueltImport 1.0.0\n\r\rbuild: 1\n", 0), 0u);
}
