#include "xml/XmlLimits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string repeated(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

// "none", or the description and the place of the breach.
std::string breachOf(const std::string& text)
{
    const auto problem = xml::findLimitBreach(text);
    return problem ? problem->description + " at " + std::to_string(problem->row) + ":" +
                         std::to_string(problem->col)
                   : "none";
}

const std::string kTooDeep = "Elements nested deeper than 256 levels at 2:1";
const std::string kTooMany = "Element with more than 256 attributes";

} // namespace

TEST(XmlLimits, RealFilesAndFilesAtTheLimitsPass)
{
    // A text that ends inside a value or a declaration ends the pass (TinyXML stops there too).
    for (const char* cut : {"<e v=abc", "<?xml ", "<?xml foo"}) {
        EXPECT_EQ(breachOf(cut), "none") << cut;
    }
    const std::string declaration =
        "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n";
    EXPECT_EQ(breachOf(declaration + "<games>\n    <supported_game fingerprint=\"0A1B2C3D\" "
                                     "FullName=\"Zork &amp; Co\" sn=\"880429\" fn=\"/z.z3\" "
                                     "warn=\"&#x0A;\" />\n</games>\n"),
              "none");
    EXPECT_EQ(breachOf(repeated("<a>", 255) + "<b/>" + repeated("</a>", 255)), "none");
    std::string attributes = "<e";
    for (int i = 0; i < 256; ++i) {
        attributes += "\n a" + std::to_string(i) + "=''";
    }
    EXPECT_EQ(breachOf(attributes + "/>"), "none");
    // Attribute 257 on line 258, after one blank.
    EXPECT_EQ(breachOf(attributes + "\n a256=''/>"), kTooMany + " at 258:2");
    EXPECT_EQ(breachOf("<r>\t<e" + attributes.substr(2) + "\n\tb=''/></r>"),
              kTooMany + " at 258:5");
}

// Each text is followed by "\n<x/>": an element at depth 257, refused at 2:1, when TinyXML
// reads the text as leaving 256 elements open.
TEST(XmlLimits, CountsTheElementsTinyXmlSees)
{
    const std::string open255 = repeated("<a>", 255);
    const std::string open256 = repeated("<a>", 256);
    const std::string markup = repeated("<a>", 300);
    const std::vector<std::pair<std::string, std::string>> cases{
        {open256, kTooDeep},
        // Markup inside comments, CDATA, values and character references is not markup.
        {open255 + "<!--" + markup + "-->", "none"},
        {open255 + "<![CDATA[" + markup + "]]>", "none"},
        {open255 + "<e v=\"" + markup + "\" w='" + markup + "'/>", "none"},
        {open255 + "&#x" + markup + "x1;&#" + markup + "#2;", "none"},
        {"<?XML version='" + markup + "'?>\n" + open255, "none"},
        // Nor do end tags there close anything.
        {open255 + "<!--</a></a>--><![CDATA[</a>]]><e v='</a>'>", kTooDeep},
        {open256 + "&#x</a>x1;&#</a>#2;", kTooDeep},
        {open256 + "<?xml version='><!--'?>", kTooDeep},
        // A processing instruction or DOCTYPE ends at its first '>'.
        {"<!DOCTYPE games SYSTEM 'g.dtd'>" + open255 + "<?pi ><a>?>", kTooDeep},
        // Unquoted values end at a blank, '/' or '>'; a quote in one, a name without '=', a
        // character reference without its ';' or with a stray character end the parse.
        {open255 + "<e v=1>", kTooDeep},
        {open255 + "<e v=1/>", "none"},
        {open255 + "<e v/>", "none"},
        {open255 + "<e v=a\"b>", "none"},
        {open256 + "&#x12", "none"},
        {open256 + "&#1a;", "none"},
        // Unknown parts of a declaration run to a blank or '>'.
        {"<?xml version='1' foo>" + open256, kTooDeep},
        {"<?xml ", "none"},
        // What TinyXML never reaches: after a DOCTYPE's internal subset, text at the top,
        // a wrong end tag, a zero byte.
        {"<!DOCTYPE r [<!ENTITY e 'x'>]>" + markup, "none"},
        {"<r/>text" + markup, "none"},
        {"<r></s>" + markup, "none"},
        {"<r/>" + std::string(1, '\0') + markup, "none"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(breachOf(text + "\n<x/>"), expected)
            << text.substr(0, 60) << "..." << text.substr(text.size() > 60 ? text.size() - 60 : 0);
    }
}
