// The serial read from a file's bytes is checked against a model by the serial fuzz target;
// these are the cases its seeds do not reach.

#include "core/StorySerial.h"

#include <gtest/gtest.h>

TEST(StorySerial, AnUnreadableFileHasNoneAndOnlyUpperCaseLettersAndDigitsAreWellFormed)
{
    EXPECT_EQ(readSerial("/no/such/folder/story.z5"), "");
    EXPECT_TRUE(isSerialWellFormed("ABC1234"));
    EXPECT_FALSE(isSerialWellFormed("88o429"));
    EXPECT_FALSE(isSerialWellFormed("88:429"));
}
