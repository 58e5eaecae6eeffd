#include "platform/Program.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(Program, KnowsItsOwnPathAndFolder)
{
    const std::string path = platform::programPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "platform_tests");
    EXPECT_EQ(platform::programFolder(), path.substr(0, path.rfind('/') + 1));
    // The build folder is writable, so files stay beside the program.
    EXPECT_EQ(platform::besideProgramFolder(), platform::programFolder());
}

TEST(Program, UserDataFolderFollowsXdgDataHome)
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
