#include "settings/SettingsPath.h"

#include "platform/Program.h"
#include "settings/CSettingStore.h"

#include <gtest/gtest.h>

using Orvane::settingsPathFor;

TEST(SettingsPath, DropsOnlyTheExtensionOfTheFileName)
{
    EXPECT_EQ(settingsPathFor("/opt/my.tools/QueltImport"),
              "/opt/my.tools/QueltImport_settings.xml");
    EXPECT_EQ(settingsPathFor("/opt/tools/QueltImport.bin"), "/opt/tools/QueltImport_settings.xml");
    EXPECT_EQ(settingsPathFor("/home/u/.local/bin/QueltImport"),
              "/home/u/.local/bin/QueltImport_settings.xml");
    EXPECT_EQ(settingsPathFor("/a/prog.tar.gz"), "/a/prog.tar_settings.xml");
    EXPECT_EQ(settingsPathFor("/QueltImport"), "/QueltImport_settings.xml");
    EXPECT_EQ(settingsPathFor(""), "");
}

TEST(SettingsPath, RunningProgramKeepsItsSettingsInItsWritableFolder)
{
    // The test program's build folder is writable, so the file belongs beside it.
    EXPECT_EQ(Orvane::CSettingStore::settingsPath(),
              platform::programFolder() + "settings_tests_settings.xml");
}
