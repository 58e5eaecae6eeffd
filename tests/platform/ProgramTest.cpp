// The program's own path and folder are checked through the settings path (settings tests).

#include "platform/Program.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(Program, UserDataFolderFollowsXdgDataHomeWhenItIsAbsolute)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string restore = saved ? saved : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/root";
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(platform::userDataFolder(), "/data/home/QueltImport/");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(platform::userDataFolder(), "/home/someone/.local/share/QueltImport/");
    setenv("HOME", home.c_str(), 1);
    if (saved) {
        setenv("XDG_DATA_HOME", restore.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}
