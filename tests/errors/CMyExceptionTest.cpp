#include "errors/CMyException.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

// The reports as the user would read them, kept in tests/golden/errors/.
TEST(CMyException, ReportIsTheFixedHeaderThenTheDetailsAndTheLocationWhenThereIsALine)
{
    std::string reports;
    for (const CMyException& error : {CMyException(0, "nothing to read.", "A::load", "x.cpp", 0),
                                      CMyException(-5, "bad", "A::b", "src/a.cpp", 12),
                                      CMyException(INT_MIN, "", "", nullptr, 1)}) {
        const std::string report = error.what();
        EXPECT_EQ(report.find("ERROR #: ") + 9, 294u); // the fixed header
        reports += report + "\n(end of report)\n";
    }
    testsupport::expectGolden("errors/report_layout.txt", reports);
}
