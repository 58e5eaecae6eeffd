#include "xml/XmlLimits.h"

#include "tests/storycrc/Transcript.h"

#include <boost/algorithm/string/replace.hpp>
#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// The text a case of the transcript stands for, as its head describes.
std::string expanded(std::string text)
{
    std::string open;
    std::string attributes;
    for (int i = 0; i < 300; ++i) {
        open += "<a>";
        attributes += i < 256 ? "\n a" + std::to_string(i) + "=''" : "";
    }
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"{open255}", open.substr(0, 255 * 3)},
          {"{markup}", open},
          {"{attributes}", attributes},
          {"\\n", "\n"},
          {"\\t", "\t"},
          {"\\0", std::string(1, '\0')}}) {
        boost::algorithm::replace_all(text, from, to);
    }
    return text;
}

} // namespace

TEST(XmlLimits, CountsTheElementsAndAttributesTinyXmlSees)
{
    transcript::expect("xml/limits_as_tinyxml_reads.txt", [](const std::string& text) {
        testsupport::ProcessResult result{"none\n", "", 0};
        if (const auto problem = xml::findLimitBreach(expanded(text))) {
            result.out = problem->description + " at " + std::to_string(problem->row) + ":" +
                         std::to_string(problem->col) + "\n";
        }
        return result;
    });
}
