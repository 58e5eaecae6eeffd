#include "ui/about/CreditsText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using about::LineStyle;

namespace {

const char* const kHome = "http://home.example/";

// Everything after the first two lines; it does not depend on the version.
const std::string kTail = "\tDeveloped By:\n\rQueltImport developers,\nJul 12 2005 \n"
                          "http://home.example/\n \n\tSpecial Thanks:\n \n\tClasses/Libs/Code\n \n"
                          "\rThe Qt Project\nFor the Qt toolkit.\nhttp://www.qt.io/\n \n"
                          "\rLee Thomason\nFor the TinyXML parser.\n"
                          "http://www.grinninglizard.com/tinyxml/\n \n"
                          "\rBoost\nFor the Boost Library\nhttp://www.boost.org/\n \n";

about::VersionInfo withFileVersion(const std::string& fileVersion)
{
    return about::readVersionInfo({{0x040904b0},
                                   {{"\\StringFileInfo\\040904b0\\ProductName", "QueltImport"},
                                    {"\\StringFileInfo\\040904b0\\FileVersion", fileVersion}}});
}

std::string versionAndBuild(const about::VersionInfo& info)
{
    return info.productName + " [" + info.version + "] [" + info.build + "]";
}

} // namespace

TEST(CreditsText, KnownAndThreePartVersionsGiveTheExactCredits)
{
    const about::VersionInfo info = about::readVersionInfo(about::programVersionResource());
    EXPECT_EQ(versionAndBuild(info), "QueltImport [1.0.0] [1]");
    EXPECT_EQ(about::creditsText(info, kHome), "\tQueltImport 1.0.0\n\r\rbuild: 1\n \n" + kTail);

    // Fewer than four parts leave version and build empty.
    const about::VersionInfo threeParts = withFileVersion("1, 0, 0");
    EXPECT_EQ(versionAndBuild(threeParts), "QueltImport [] []");
    EXPECT_EQ(about::creditsText(threeParts, kHome), "\tQueltImport \n\r\rbuild: \n \n" + kTail);
}

TEST(CreditsText, FileVersionSplitsAtCommasAndBlanks)
{
    EXPECT_EQ(versionAndBuild(withFileVersion("2,5,0,17")), "QueltImport [2.5.0] [17]");
    EXPECT_EQ(versionAndBuild(withFileVersion(" 3 ,, 1,  4, 1, 5")), "QueltImport [3.1.4] [1]");
}

TEST(CreditsText, UnreadableValuesReadNone)
{
    EXPECT_EQ(versionAndBuild(about::readVersionInfo({})), "none [] []");

    // The first translation selects the string table; values kept under another are unread.
    about::VersionResource otherTable = about::programVersionResource();
    otherTable.translations.insert(otherTable.translations.begin(), 0x040704b0);
    EXPECT_EQ(versionAndBuild(about::readVersionInfo(otherTable)), "none [] []");

    about::VersionResource noFileVersion = about::programVersionResource();
    noFileVersion.strings.erase("\\StringFileInfo\\040904b0\\FileVersion");
    EXPECT_EQ(versionAndBuild(about::readVersionInfo(noFileVersion)), "QueltImport [] []");
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
    };
    for (const auto& c : cases) {
        const about::CreditsLine got = about::classifyCreditsLine(c.line);
        EXPECT_EQ(got.style, c.style) << c.line;
        EXPECT_EQ(got.text, c.text) << c.line;
    }
    // Empty pieces are dropped, so a blank line is one blank.
    EXPECT_EQ(about::creditsLines("a\n\n\nb\n \n"), (std::vector<std::string>{"a", "b", " "}));
    EXPECT_TRUE(about::creditsLines("\n\n").empty());
}

TEST(CreditsText, ATooLongLineBreaksAfterASlashOrAtASpaceAsLateAsItFits)
{
    const auto fits = [](std::string_view line) { return line.size() <= 10; };
    const struct
    {
        std::string line;
        std::vector<std::string> lines;
    } cases[] = {
        {"exactly10!", {"exactly10!"}},
        {"For the TinyXML parser.", {"For the", "TinyXML", "parser."}},
        {"www.a.org/tinyxml/", {"www.a.org/", "tinyxml/"}},
        {"http://home.example/", {"http://", "home.examp", "le/"}},
        {"abcdefghijklmnopqrstuvw", {"abcdefghij", "klmnopqrst", "uvw"}},
        {"", {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(about::breakCreditsLine(c.line, fits), c.lines) << c.line;
    }
}
