#include "errors/CMyException.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

TEST(CMyException, ReportIsTheFixedHeaderThenTheDetailsAndTheLocationWhenThereIsALine)
{
    // As the user sees it: 294 characters before the error number.
    const std::string header =
        "****ERROR: An exception has been thrown!\n\n"
        "////////////////////////////////////////////////////////////////////////////////\n"
        "//                                   DETAILS                                  //\n"
        "////////////////////////////////////////////////////////////////////////////////\n"
        "ERROR #: ";
    ASSERT_EQ(header.size(), 294u);
    const std::pair<CMyException, std::string> cases[] = {
        {{0, "nothing to read.", "CGameCatalogue::load", "x.cpp", 0},
         "0\nFunction: CGameCatalogue::load\nDescription: nothing to read.. "},
        {{-5, "bad", "A::b", "src/a.cpp", 12},
         "-5\nFunction: A::b\nDescription: bad. \nFile: src/a.cpp\nLine: 12"},
        {{INT_MIN, "", "", nullptr, 1},
         "-2147483648\nFunction: \nDescription: . \nFile: \nLine: 1"},
    };
    for (const auto& [error, details] : cases) {
        EXPECT_EQ(error.what(), header + details);
    }
}
