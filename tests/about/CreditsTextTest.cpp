#include "ui/about/CreditsText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using about::LineStyle;

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
    about::VersionResource noFileVersion = about::programVersionResource();
    noFileVersion.strings.erase(key + "FileVersion");
    EXPECT_EQ(read(noFileVersion), "QueltImport [] []");
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
}

TEST(CreditsText, ATooLongLineBreaksAfterASlashOrAtASpaceAsLateAsItFits)
{
    const auto fits = [](std::string_view line) { return line.size() <= 10; };
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"exactly10!", {"exactly10!"}},
        {"For the TinyXML parser.", {"For the", "TinyXML", "parser."}},
        {"www.a.org/tinyxml/", {"www.a.org/", "tinyxml/"}},
        {"http://home.example/", {"http://", "home.examp", "le/"}},
        {"abcdefghijklmnopqrstuvw", {"abcdefghij", "klmnopqrst", "uvw"}},
        {"", {""}},
    };
    for (const auto& [line, lines] : cases) {
        EXPECT_EQ(about::breakCreditsLine(line, fits), lines) << line;
    }
}
