#include "ui/about/CreditsText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using about::LineStyle;

namespace {

const char* const kHome = "http://home.example/";

// Everything after the first two lines; it does not depend on the version.
const std::string kTail = "\tDeveloped By:\n"
                          "\rQueltImport developers,\n"
                          "Jul 12 2005 \n"
                          "http://home.example/\n \n"
                          "\tSpecial Thanks:\n \n"
                          "\tClasses/Libs/Code\n \n"
                          "\rThe Qt Project\n"
                          "For the Qt toolkit.\n"
                          "http://www.qt.io/\n \n"
                          "\rLee Thomason\n"
                          "For the TinyXML parser.\n"
                          "http://www.grinninglizard.com/tinyxml/\n \n"
                          "\rBoost\n"
                          "For the Boost Library\n"
                          "http://www.boost.org/\n \n";

about::VersionResource resourceWithFileVersion(const std::string& fileVersion)
{
    return {{0x040904b0},
            {{"\\StringFileInfo\\040904b0\\ProductName", "QueltImport"},
             {"\\StringFileInfo\\040904b0\\FileVersion", fileVersion}}};
}

} // namespace

TEST(CreditsText, ProgramVersionGivesTheExactCredits)
{
    const about::VersionInfo info = about::readVersionInfo(about::programVersionResource());
    EXPECT_EQ(info.productName, "QueltImport");
    EXPECT_EQ(info.version, "1.0.0");
    EXPECT_EQ(info.build, "1");
    EXPECT_EQ(about::creditsText(info, kHome), "\tQueltImport 1.0.0\n\r\rbuild: 1\n \n" + kTail);
}

TEST(CreditsText, FileVersionWithFewerThanFourPartsLeavesVersionAndBuildEmpty)
{
    const about::VersionInfo info = about::readVersionInfo(resourceWithFileVersion("1, 0, 0"));
    EXPECT_EQ(info.version, "");
    EXPECT_EQ(info.build, "");
    EXPECT_EQ(about::creditsText(info, kHome), "\tQueltImport \n\r\rbuild: \n \n" + kTail);
}

TEST(CreditsText, FileVersionSplitsAtCommasAndBlanks)
{
    const about::VersionInfo packed = about::readVersionInfo(resourceWithFileVersion("2,5,0,17"));
    EXPECT_EQ(packed.version, "2.5.0");
    EXPECT_EQ(packed.build, "17");

    const about::VersionInfo five =
        about::readVersionInfo(resourceWithFileVersion(" 3 ,, 1,  4, 1, 5"));
    EXPECT_EQ(five.version, "3.1.4");
    EXPECT_EQ(five.build, "1");
}

TEST(CreditsText, UnreadableValuesReadNone)
{
    const about::VersionInfo empty = about::readVersionInfo({});
    EXPECT_EQ(empty.productName, "none");
    EXPECT_EQ(empty.version, "");
    EXPECT_EQ(empty.build, "");

    // The first translation selects the string table; values kept under another are unread.
    about::VersionResource otherTable = about::programVersionResource();
    otherTable.translations.insert(otherTable.translations.begin(), 0x040704b0);
    const about::VersionInfo other = about::readVersionInfo(otherTable);
    EXPECT_EQ(other.productName, "none");
    EXPECT_EQ(other.version, "");

    about::VersionResource noFileVersion = about::programVersionResource();
    noFileVersion.strings.erase("\\StringFileInfo\\040904b0\\FileVersion");
    const about::VersionInfo partial = about::readVersionInfo(noFileVersion);
    EXPECT_EQ(partial.productName, "QueltImport");
    EXPECT_EQ(partial.build, "");
}

TEST(CreditsText, EveryLineOfTheCreditsGetsItsStyle)
{
    const std::vector<std::string> lines =
        about::creditsLines(about::creditsText(about::readVersionInfo({}), kHome));
    const LineStyle H = LineStyle::Heading, S = LineStyle::Subheading, B = LineStyle::Body,
                    L = LineStyle::Link;
    const std::vector<LineStyle> expected = {H, S, B, H, S, B, L, B, H, B, H, B,
                                             S, B, L, B, S, B, L, B, S, B, L, B};
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(about::classifyCreditsLine(lines[i]).style, expected[i]) << "line " << i + 1;
    }
}

TEST(CreditsText, MarkersAreStrippedAndTheLinkRuleComesFirst)
{
    const struct
    {
        std::string line;
        LineStyle style;
        std::string text;
    } cases[] = {
        {"\t\tTitle\t", LineStyle::Heading, "Title\t"},
        {"\r\rbuild: 1", LineStyle::Subheading, "build: 1"},
        {"\r", LineStyle::Subheading, ""},
        {"\thttp://x.example/", LineStyle::Link, "\thttp://x.example/"},
        {"see http://x.example/", LineStyle::Link, "see http://x.example/"},
        {"https://x.example/", LineStyle::Body, "https://x.example/"},
        {" \tnot a heading", LineStyle::Body, " \tnot a heading"},
        {"Fish & Chips", LineStyle::Body, "Fish & Chips"},
    };
    for (const auto& c : cases) {
        const about::CreditsLine got = about::classifyCreditsLine(c.line);
        EXPECT_EQ(got.style, c.style) << c.line;
        EXPECT_EQ(got.text, c.text) << c.line;
    }
}

TEST(CreditsText, EmptyPiecesAreDroppedSoABlankLineIsOneBlank)
{
    EXPECT_EQ(about::creditsLines("a\n\n\nb\n \n"), (std::vector<std::string>{"a", "b", " "}));
    EXPECT_TRUE(about::creditsLines("\n\n").empty());
}
