#include "ui/PlacementText.h"

#include <gtest/gtest.h>

#include <string>

using ui::WindowPlacement;

namespace {

WindowPlacement sample()
{
    WindowPlacement p;
    p.flags = 2;
    p.showCmd = WindowPlacement::kMinimize;
    p.minX = -32000;
    p.minY = -32000;
    p.maxX = -1;
    p.maxY = -1;
    p.left = -1920;
    p.top = 12;
    p.right = 2147483647;
    p.bottom = -2147483647 - 1;
    return p;
}

} // namespace

TEST(PlacementTextTest, EncodesEveryByteAsTwoLettersLowNibbleFirst)
{
    WindowPlacement p;
    p.showCmd = WindowPlacement::kShowNormal;
    p.left = 0x1F; // low nibble F, high nibble 1
    p.bottom = -1; // four bytes of 0xFF
    const std::string text = ui::placementText(p);

    ASSERT_EQ(text.size(), 88u);
    EXPECT_EQ(text.substr(0, 8), "MCAAAAAA");  // the length 44
    EXPECT_EQ(text.substr(16, 8), "BAAAAAAA"); // show state 1
    EXPECT_EQ(text.substr(56, 8), "PBAAAAAA"); // left edge 0x1F
    EXPECT_EQ(text.substr(80, 8), "PPPPPPPP");
    EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOP"), std::string::npos);
}

TEST(PlacementTextTest, DecodingGivesBackTheRecord)
{
    const WindowPlacement original = sample();
    WindowPlacement decoded;
    ASSERT_TRUE(ui::decodePlacementText(ui::placementText(original), decoded));
    EXPECT_EQ(decoded, original);
    EXPECT_EQ(ui::placementFromBytes(ui::placementBytes(original)), original);
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

    for (const std::string& text : {std::string(), good.substr(0, 87), good + "A", good + good,
                                    lowerCase, beyondP, ui::placementText(wrongLength)}) {
        WindowPlacement kept;
        kept.left = 7;
        EXPECT_FALSE(ui::decodePlacementText(text, kept)) << text;
        EXPECT_EQ(kept.left, 7);
        EXPECT_EQ(kept.showCmd, WindowPlacement::kShowNormal);
    }
}
