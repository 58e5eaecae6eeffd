// The About box: its credits text, how the scroller lays the lines out and moves them, and the
// box that shows it.

#include "ui/about/CAboutBox.h"
#include "ui/about/CCreditsScroller.h"
#include "ui/about/CreditsText.h"

#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using about::LineStyle;

namespace {

int fontHeight(int pixels, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return QFontMetrics(font).height();
}

bool rowsHoldInk(const QImage& image, int top, int bottom, int left = 0)
{
    for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y) {
        for (int x = left; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                return true;
            }
        }
    }
    return false;
}

// What the control shows on the screen.
QImage shown(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage backgroundPicture()
{
    return QImage(QStringLiteral(":/about/background.png")).convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(CreditsText, TheVersionComesFromTheFirstTranslationsFileVersionAndMakesTheExactCredits)
{
    const std::string tail = "\tDeveloped By:\n\rQueltImport developers,\nJul 12 2005 \n"
                             "http://h.example/\n \n\tSpecial Thanks:\n \n\tClasses/Libs/Code\n \n"
                             "\rThe Qt Project\nFor the Qt toolkit.\nhttp://www.qt.io/\n \n"
                             "\rLee Thomason\nFor the TinyXML parser.\n"
                             "http://www.grinninglizard.com/tinyxml/\n \n"
                             "\rBoost\nFor the Boost Library\nhttp://www.boost.org/\n \n";
    const about::VersionInfo info = about::readVersionInfo(about::programVersionResource());
    EXPECT_EQ(about::creditsText(info, "http://h.example/"),
              "\tQueltImport 1.0.0\n\r\rbuild: 1\n \n" + tail);
    const auto read = [](const about::VersionResource& resource) {
        const about::VersionInfo i = about::readVersionInfo(resource);
        return i.productName + " [" + i.version + "] [" + i.build + "]";
    };
    const std::string key = "\\StringFileInfo\\040904b0\\";
    for (const auto& [fileVersion, expected] : std::vector<std::pair<std::string, std::string>>{
             {"2,5,0,17", "QueltImport [2.5.0] [17]"},
             {" 3 ,, 1,  4, 1, 5", "QueltImport [3.1.4] [1]"},
             {"1, 0, 0", "QueltImport [] []"}}) { // fewer than four parts
        EXPECT_EQ(
            read({{0x040904b0},
                  {{key + "ProductName", "QueltImport"}, {key + "FileVersion", fileVersion}}}),
            expected);
    }
    EXPECT_EQ(read({}), "none [] []");
    about::VersionResource otherTable = about::programVersionResource();
    otherTable.translations.insert(otherTable.translations.begin(), 0x040704b0);
    EXPECT_EQ(read(otherTable), "none [] []"); // values under another table are unread
}

TEST(CreditsText, MarkersAreStrippedTheLinkRuleComesFirstAndLongLinesBreakAsLateAsTheyFit)
{
    const struct
    {
        std::string line;
        LineStyle style;
        std::string text;
    } lines[] = {
        {"\t\tTitle\t", LineStyle::Heading, "Title\t"},
        {"\r\rbuild: 1", LineStyle::Subheading, "build: 1"},
        {"\r", LineStyle::Subheading, ""},
        {"\thttp://x.example/", LineStyle::Link, "\thttp://x.example/"},
        {"see http://x.example/", LineStyle::Link, "see http://x.example/"},
        {"https://x.example/", LineStyle::Body, "https://x.example/"},
        {" \tnot a heading", LineStyle::Body, " \tnot a heading"},
    };
    for (const auto& c : lines) {
        const about::CreditsLine got = about::classifyCreditsLine(c.line);
        EXPECT_EQ(got.style, c.style) << c.line;
        EXPECT_EQ(got.text, c.text) << c.line;
    }
    // Empty pieces are dropped, so a blank line is one blank.
    EXPECT_EQ(about::creditsLines("a\n\n\nb\n \n"), (std::vector<std::string>{"a", "b", " "}));

    // After a slash or at a space; with neither, after as many characters as fit.
    const auto fits = [](std::string_view line) { return line.size() <= 10; };
    const std::pair<std::string, std::vector<std::string>> breaks[] = {
        {"exactly10!", {"exactly10!"}},
        {"For the TinyXML parser.", {"For the", "TinyXML", "parser."}},
        {"www.a.org/tinyxml/", {"www.a.org/", "tinyxml/"}},
        {"http://home.example/", {"http://", "home.examp", "le/"}},
        {"abcdefghijklmnopqrstuvw", {"abcdefghij", "klmnopqrst", "uvw"}},
        {"", {""}},
    };
    for (const auto& [line, pieces] : breaks) {
        EXPECT_EQ(about::breakCreditsLine(line, fits), pieces) << line;
    }
}

TEST(CCreditsScroller, EachLineAdvancesByItsFontHeightAndLongLinesAreBrokenToFit)
{
    CCreditsScroller scroller;
    scroller.setCreditsText("\tHeading\n \nbody\n\rsub\nhttp://x.example/\n\n\nend\n");
    std::vector<int> tops = scroller.renderCredits();
    const int body = fontHeight(14, false);
    // Heading, blank, body, subheading and link advance; the empty lines are dropped.
    std::vector<int> expected{0};
    for (const int advance : {fontHeight(20, true), body, body, fontHeight(14, true), body}) {
        expected.push_back(expected.back() + advance);
    }
    EXPECT_EQ(tops, expected);
    EXPECT_EQ(scroller.credits().size(), QSize(220, 468));
    EXPECT_TRUE(rowsHoldInk(scroller.credits(), tops[0], tops[1]));
    EXPECT_FALSE(rowsHoldInk(scroller.credits(), tops[1], tops[2])) << "a blank draws nothing";
    EXPECT_FALSE(rowsHoldInk(scroller.credits(), tops[5] + body, 468));

    const std::string text = about::creditsText(
        about::readVersionInfo(about::programVersionResource()), about::programHomepage());
    scroller.setCreditsText(text);
    tops = scroller.renderCredits();
    EXPECT_GT(tops.size(), about::creditsLines(text).size()) << "the long addresses are broken";
    EXPECT_LE(tops.back() + body, 468);
    EXPECT_FALSE(rowsHoldInk(scroller.credits(), 0, 468, 187)); // the window shows 187 columns
}

TEST(CCreditsScroller, CreditsRiseInsideTheMaskWindowAndRestartAfterPassingSevenHundred)
{
    std::string text; // heavy lines on both sides of the window's right edge
    for (int i = 0; i < 30; ++i) {
        text += "\tWWWWWWWWWWWWWWWWWWWW\n";
    }
    CCreditsScroller scroller;
    scroller.setFixedSize(428, 224);
    scroller.setCreditsText(text);
    scroller.start();
    int frames = 0;
    const auto frameAfter = [&](int count) {
        for (; frames < count; ++frames) {
            scroller.animateFrame();
        }
        return shown(&scroller);
    };
    // Frame 150 shows the credits' top at row 75.
    const QImage frame = frameAfter(150);
    const QImage background = backgroundPicture();
    ASSERT_EQ(frame.size(), background.size());
    const QRect window(137, 49, 219, 152); // the mask's black rectangle
    int changedInside = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const bool changed = frame.pixel(x, y) != background.pixel(x, y);
            ASSERT_TRUE(!changed || window.contains(x, y)) << x << "," << y;
            ASSERT_LE(qRed(frame.pixel(x, y)), qRed(background.pixel(x, y))); // AND darkens
            changedInside += changed ? 1 : 0;
        }
    }
    EXPECT_GT(changedInside, 1000);
    // The top goes from 224 to -333, where the copy height is 701, over 558 frames; the
    // frame with the top at 76 (copy height 700 at -332 still goes on) differs.
    EXPECT_NE(frameAfter(150 + 557), frame);
    EXPECT_EQ(frameAfter(150 + 558), frame);
}

TEST(CAboutBox, OpensCentredOverItsParentAndOnlyAClickEnterOrEscapeClosesIt)
{
    QWidget parent;
    parent.setGeometry(60, 50, 900, 640);
    parent.show();
    // -1: the box over the parent, and the keys and clicks that must leave it open; then one
    // closing way each.
    for (int way = -1; way < 5; ++way) {
        CAboutBox box(way < 0 ? &parent : nullptr);
        auto* scroller = box.findChild<CCreditsScroller*>();
        QSignalSpy finished(&box, &QDialog::finished);
        box.show();
        switch (way) {
        case -1:
            EXPECT_LE(
                (box.frameGeometry().center() - parent.frameGeometry().center()).manhattanLength(),
                2);
            EXPECT_EQ(scroller->geometry(), QRect(0, 0, 428, 224)); // the picture fills the box
            EXPECT_EQ(box.size(), QSize(428, 224));
            // The first frame is composed before the first paint: the picture, the credits
            // still below its window; then the timer brings them up.
            EXPECT_EQ(shown(scroller), backgroundPicture());
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return shown(scroller) != backgroundPicture(); }, 5000));
            QTest::mouseClick(scroller, Qt::RightButton, {}, QPoint(10, 10));
            QTest::keyClick(&box, Qt::Key_Space);
            QTest::keyClick(&box, Qt::Key_A);
            break;
        case 0:
            QTest::mouseClick(scroller, Qt::LeftButton, {}, QPoint(300, 120));
            break;
        case 1:
            QTest::mouseClick(&box, Qt::LeftButton);
            break;
        default:
            QTest::keyClick(&box, std::array{Qt::Key_Return, Qt::Key_Enter,
                                             Qt::Key_Escape}[static_cast<std::size_t>(way - 2)]);
        }
        EXPECT_EQ(finished.count(), way < 0 ? 0 : 1) << way;
        EXPECT_EQ(box.isVisible(), way < 0) << way;
    }
}
