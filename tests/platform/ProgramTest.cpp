// The program's own path and folder are checked through the settings path (settings tests).

#include "platform/Program.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(Program, UserDataFolderFollowsXdgDataHomeWhenItIsAbsolute)
{
    // ctest runs each test in a process of its own: the variables need no restoring.
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(platform::userDataFolder(), "/data/home/QueltImport/");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(platform::userDataFolder(), "/home/someone/.local/share/QueltImport/");
}
