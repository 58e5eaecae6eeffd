#include "errors/CMyException.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string header()
{
    const std::string slashes(80, '/');
    return "****ERROR: An exception has been thrown!\n\n" + slashes + "\n//" +
           std::string(35, ' ') + "DETAILS" + std::string(34, ' ') + "//\n" + slashes +
           "\nERROR #: ";
}

} // namespace

TEST(CMyException, HeaderIsFiveFixedLinesThenTheNumber)
{
    const std::string report = CMyException(1, "d", "f", "file", 0).what();
    EXPECT_EQ(report.find("ERROR #: 1\n"), 285u); // 294 characters before the number
    std::vector<std::string> lines;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "****ERROR: An exception has been thrown!");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], std::string(80, '/'));
    EXPECT_EQ(lines[3].size(), 80u);
    EXPECT_EQ(lines[3].find("DETAILS"), 37u);
    EXPECT_EQ(lines[3], "//" + std::string(35, ' ') + "DETAILS" + std::string(34, ' ') + "//");
    EXPECT_EQ(lines[4], std::string(80, '/'));
    EXPECT_EQ(lines[5], "ERROR #: 1");
}

TEST(CMyException, ReportWithoutLocation)
{
    const CMyException e(0, "nothing to read.", "CGameCatalogue::load", "x.cpp", 0);
    EXPECT_EQ(std::string(e.what()),
              header() + "0\nFunction: CGameCatalogue::load\nDescription: nothing to read.. ");
    const CMyException negativeLine(7, "", "", "x.cpp", -1);
    EXPECT_EQ(std::string(negativeLine.what()), header() + "7\nFunction: \nDescription: . ");
}

TEST(CMyException, ReportWithLocation)
{
    const CMyException e(-5, "bad", "A::b", "src/a.cpp", 12);
    EXPECT_EQ(std::string(e.what()),
              header() + "-5\nFunction: A::b\nDescription: bad. \nFile: src/a.cpp\nLine: 12");
    const CMyException scan(0, "unknown exception", "CMainDlg::doScan", "ui/CMainDlg.cpp", 729);
    EXPECT_EQ(std::string(scan.what()), header() + "0\nFunction: CMainDlg::doScan\n"
                                                   "Description: unknown exception. \n"
                                                   "File: ui/CMainDlg.cpp\nLine: 729");
    const CMyException noFile(-2147483647 - 1, "d", "f", nullptr, 1);
    EXPECT_EQ(std::string(noFile.what()),
              header() + "-2147483648\nFunction: f\nDescription: d. \nFile: \nLine: 1");
}
