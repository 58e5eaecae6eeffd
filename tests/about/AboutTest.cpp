// The About box: its credits, and how the box shows them and closes.

#include "tests/support/TestSupport.h"
#include "ui/about/CAboutBox.h"
#include "ui/about/CCreditsScroller.h"
#include "ui/about/CreditsText.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <string>

TEST(CreditsText, NameTheVersionAndBuildInLinesOfTheirStylesBrokenToFit)
{
    // Each line's style and text as a window 20 characters wide breaks it.
    const auto fits = [](std::string_view piece) { return piece.size() <= 20; };
    const char* const styles[] = {"link", "heading", "subheading", "body"};
    std::string shown;
    for (const std::string& line : about::creditsLines(about::creditsText(
             about::readVersionInfo(about::programVersionResource()), "http://h.example/"))) {
        const about::CreditsLine styled = about::classifyCreditsLine(line);
        for (const std::string& piece : about::breakCreditsLine(styled.text, fits)) {
            shown += styles[static_cast<int>(styled.style)] + (": [" + piece) + "]\n";
        }
    }
    testsupport::expectGolden("about/credits_lines.txt", shown);
}

TEST(CAboutBox, ShowsThePictureThenTheRisingCreditsAndOnlyAClickEnterOrEscapeClosesIt)
{
    const auto shown = [](QWidget* widget) {
        return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage picture =
        QImage(QStringLiteral(":/about/background.png")).convertToFormat(QImage::Format_RGB32);
    // -1: the keys and clicks that must leave the box open; then one closing way each.
    for (int way = -1; way < 5; ++way) {
        CAboutBox box;
        auto* scroller = box.findChild<CCreditsScroller*>();
        QSignalSpy finished(&box, &QDialog::finished);
        box.show();
        if (way < 0) {
            EXPECT_EQ(scroller->geometry(), QRect(0, 0, 428, 224)); // the picture is the box
            // The first frame is composed before the first paint: the picture, the credits
            // still below its window; then the timer brings them up.
            EXPECT_EQ(shown(scroller), picture);
            EXPECT_TRUE(QTest::qWaitFor([&] { return shown(scroller) != picture; }, 5000));
            QTest::mouseClick(scroller, Qt::RightButton, {}, QPoint(10, 10));
            QTest::keyClicks(&box, " a");
        } else if (way < 2) {
            QTest::mouseClick(way == 0 ? static_cast<QWidget*>(scroller) : &box, Qt::LeftButton);
        } else {
            QTest::keyClick(&box, std::array{Qt::Key_Return, Qt::Key_Enter,
                                             Qt::Key_Escape}[std::size_t(way - 2)]);
        }
        EXPECT_EQ(finished.count(), way < 0 ? 0 : 1) << way;
        EXPECT_EQ(box.isVisible(), way < 0) << way;
    }
}
