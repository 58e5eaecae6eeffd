#include "export/InstallerScript.h"

#include <gtest/gtest.h>

using exporter::installerScript;

TEST(InstallerScript, ListsKnownFilesInRowOrderUnderTheirDestinationNames)
{
    EXPECT_EQ(installerScript({{"c:\\games\\saga2.dat", "Saga II: The Return"},
                               {"unknown", "Lost Game"},
                               {"/z/tj.z5", "Tom & Jerry (1.2), A/B\\C&&D"},
                               {"Unknown", "unknown"}}),
              "[FILES]\n"
              "Source: c:\\games\\saga2.dat; DestDir: {app}\\games\\somedir\\Saga II- The Return; "
              "Flags: ignoreversion;\n"
              "Source: /z/tj.z5; DestDir: {app}\\games\\somedir\\Tom  and  Jerry _1 2__ A_B_C and "
              " and D; Flags: ignoreversion;\n"
              "Source: Unknown; DestDir: {app}\\games\\somedir\\unknown; Flags: ignoreversion;\n");
    EXPECT_EQ(installerScript({}), "[FILES]\n");
}
