#include "ui/about/CCreditsScroller.h"

#include "ui/about/CreditsText.h"

#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

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

} // namespace

TEST(CCreditsScroller, EachLineAdvancesByItsFontHeightWhateverItsLength)
{
    CCreditsScroller scroller;
    scroller.setCreditsText("\tHeading\n \nbody\n\rsub\nhttp://x.example/\n\n\nend\n");
    const std::vector<int> tops = scroller.renderCredits();

    const int body = fontHeight(14, false);
    // Heading, blank, body, subheading and link advance; the empty lines are dropped.
    std::vector<int> expected{0};
    for (const int advance : {fontHeight(20, true), body, body, fontHeight(14, true), body}) {
        expected.push_back(expected.back() + advance);
    }
    EXPECT_EQ(tops, expected);

    const QImage& credits = scroller.credits();
    EXPECT_EQ(credits.size(), QSize(220, 468));
    EXPECT_TRUE(rowsHoldInk(credits, tops[0], tops[1]));
    EXPECT_FALSE(rowsHoldInk(credits, tops[1], tops[2])) << "a blank line draws nothing";
    EXPECT_TRUE(rowsHoldInk(credits, tops[5], tops[5] + body));
    EXPECT_FALSE(rowsHoldInk(credits, tops[5] + body, credits.height()));
}

TEST(CCreditsScroller, TheProgramsCreditsAreBrokenToFitTheMasksWindow)
{
    const std::string text = about::creditsText(
        about::readVersionInfo(about::programVersionResource()), about::programHomepage());
    CCreditsScroller scroller;
    scroller.setCreditsText(text);
    const std::vector<int> tops = scroller.renderCredits();
    EXPECT_GT(tops.size(), about::creditsLines(text).size()) << "the long addresses are broken";
    EXPECT_LE(tops.back() + fontHeight(14, false), 468) << "and all of it fits the surface";
    // The window shows 187 columns of the credits.
    EXPECT_FALSE(rowsHoldInk(scroller.credits(), 0, 468, 187));
}

TEST(CCreditsScroller, CreditsRiseInsideTheMaskWindowAndRestartAfterPassingSevenHundred)
{
    // Long lines of heavy text, so credits fall on both sides of the window's right edge.
    std::string text;
    for (int i = 0; i < 30; ++i) {
        text += "\tWWWWWWWWWWWWWWWWWWWW\n";
    }
    CCreditsScroller scroller;
    scroller.setFixedSize(428, 224);
    scroller.setCreditsText(text);
    scroller.start();
    const int height = scroller.height();
    for (int step = 0; step < 150; ++step) {
        scroller.animateFrame();
    }
    EXPECT_EQ(scroller.creditsTop(), height - 150);

    const QImage& frame = scroller.backBuffer();
    const QImage& background = scroller.background();
    ASSERT_EQ(frame.size(), QSize(428, 224));
    ASSERT_EQ(background.size(), frame.size());
    const QRect window(137, 49, 219, 152); // the mask's black rectangle, both ends included
    int changedInside = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (window.contains(x, y)) {
                changedInside += frame.pixel(x, y) != background.pixel(x, y) ? 1 : 0;
                // AND can only darken the background.
                ASSERT_LE(qRed(frame.pixel(x, y)), qRed(background.pixel(x, y)));
            } else {
                ASSERT_EQ(frame.pixel(x, y), background.pixel(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(changedInside, 1000);

    // The frame drawn at -332 uses a height of exactly 700 and does not restart; the one
    // drawn at -333 uses 701 and sends the credits back to the bottom edge.
    for (int step = 150; step < height + 333; ++step) {
        scroller.animateFrame();
    }
    EXPECT_EQ(scroller.creditsTop(), -333);
    scroller.animateFrame();
    EXPECT_EQ(scroller.creditsTop(), height);
}
