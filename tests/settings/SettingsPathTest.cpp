#include "settings/SettingsPath.h"

#include "settings/CSettingStore.h"

#include <gtest/gtest.h>

#include <filesystem>

using Orvane::settingsPathFor;

TEST(SettingsPath, DropsOnlyTheExtensionOfTheFileNameAndSitsBesideTheProgram)
{
    EXPECT_EQ(settingsPathFor("/opt/my.tools/QueltImport"),
              "/opt/my.tools/QueltImport_settings.xml");
    EXPECT_EQ(settingsPathFor("/a/prog.tar.gz"), "/a/prog.tar_settings.xml");
    EXPECT_EQ(settingsPathFor(""), "");
    // The test program's build folder is writable, so the file belongs beside it.
    const auto program = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(Orvane::CSettingStore::settingsPath(),
              (program.parent_path() / "settings_tests_settings.xml").string());
}
