#include "ui/about/CCreditsScroller.h"

#include "ui/about/CreditsText.h"

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
    for (int step = 0; step < 150; ++step) {
        scroller.animateFrame();
    }
    EXPECT_EQ(scroller.creditsTop(), 224 - 150);
    const QImage& frame = scroller.backBuffer();
    const QImage& background = scroller.background();
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
    // At -332 the copy height is exactly 700 and the credits go on; at -333 it is 701.
    for (int step = 150; step < 224 + 333; ++step) {
        scroller.animateFrame();
    }
    EXPECT_EQ(scroller.creditsTop(), -333);
    scroller.animateFrame();
    EXPECT_EQ(scroller.creditsTop(), 224);
}
