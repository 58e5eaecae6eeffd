#include "ui/PlacementText.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using ui::WindowPlacement;

namespace {

// A minimised window far off to the left, with the extreme coordinates a record can hold.
WindowPlacement sample()
{
    WindowPlacement p;
    std::tie(p.showCmd, p.minX, p.left) = std::tuple(WindowPlacement::kMinimize, -32000, -1920);
    std::tie(p.right, p.bottom) = std::pair(2147483647, -2147483647 - 1);
    return p;
}

} // namespace

TEST(PlacementTextTest, EncodesEveryByteAsTwoLettersLowNibbleFirstAndDecodesBack)
{
    WindowPlacement p;
    p.left = 0x1F; // low nibble F, high nibble 1
    p.bottom = -1; // four bytes of 0xFF
    const std::string text = ui::placementText(p);
    ASSERT_EQ(text.size(), 88u);
    EXPECT_EQ(text.substr(0, 8), "MCAAAAAA");  // the length 44
    EXPECT_EQ(text.substr(16, 8), "BAAAAAAA"); // show state 1
    EXPECT_EQ(text.substr(56, 8), "PBAAAAAA");
    EXPECT_EQ(text.substr(80, 8), "PPPPPPPP");

    WindowPlacement decoded;
    ASSERT_TRUE(ui::decodePlacementText(ui::placementText(sample()), decoded));
    EXPECT_EQ(decoded, sample());
}

TEST(PlacementTextTest, DamagedTextsLeaveTheRecordUntouched)
{
    const std::string good = ui::placementText(sample());
    std::string lowerCase = good;
    lowerCase[40] = 'c';
    std::string beyondP = good;
    beyondP[41] = 'Q';
    WindowPlacement wrongLength = sample();
    wrongLength.length = 40;

    for (const std::string& text : {std::string(), good.substr(0, 87), good + "A", lowerCase,
                                    beyondP, ui::placementText(wrongLength)}) {
        WindowPlacement kept;
        kept.left = 7;
        EXPECT_FALSE(ui::decodePlacementText(text, kept)) << text;
        EXPECT_EQ(kept.left, 7);
        EXPECT_EQ(kept.showCmd, WindowPlacement::kShowNormal);
    }
}
