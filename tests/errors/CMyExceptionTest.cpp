#include "errors/CMyException.h"

#include <gtest/gtest.h>

#include <string>

TEST(CMyException, ReportGivesTheDetailsAndTheLocationWhenThereIsALine)
{
    const std::string slashes(80, '/');
    const std::string header = "****ERROR: An exception has been thrown!\n\n" + slashes + "\n//" +
                               std::string(35, ' ') + "DETAILS" + std::string(34, ' ') + "//\n" +
                               slashes + "\nERROR #: ";
    const struct
    {
        CMyException error;
        std::string report;
    } cases[] = {
        {{0, "nothing to read.", "CGameCatalogue::load", "x.cpp", 0},
         "0\nFunction: CGameCatalogue::load\nDescription: nothing to read.. "},
        {{7, "", "", "x.cpp", -1}, "7\nFunction: \nDescription: . "},
        {{-5, "bad", "A::b", "src/a.cpp", 12},
         "-5\nFunction: A::b\nDescription: bad. \nFile: src/a.cpp\nLine: 12"},
        {{0, "unknown exception", "CMainDlg::doScan", "ui/CMainDlg.cpp", 729},
         "0\nFunction: CMainDlg::doScan\nDescription: unknown exception. \n"
         "File: ui/CMainDlg.cpp\nLine: 729"},
        {{-2147483647 - 1, "d", "f", nullptr, 1},
         "-2147483648\nFunction: f\nDescription: d. \nFile: \nLine: 1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(c.error.what()), header + c.report);
    }
}
