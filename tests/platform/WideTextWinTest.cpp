// The names of Windows in UTF-8. (Valid names of every plane pass through storycrc's comparison
// with the Linux build; wine cannot make a file with an unpaired surrogate in its name.)

#include "platform/WideTextWin.h"

#include <gtest/gtest.h>

// An unpaired surrogate becomes bytes that no UTF-8 text holds: such a name is shown, and can
// be taken for no other file's name, since it converts back to none.
TEST(WideText, GivesUnpairedSurrogatesBytesThatNameNoFile)
{
    EXPECT_EQ(platform::utf8FromWide(L"\xD835\xDD38\x00E9/"), "\xF0\x9D\x94\xB8\xC3\xA9/");
    const std::string lone = platform::utf8FromWide(L"a\xD800.z5");
    EXPECT_EQ(lone, "a\xED\xA0\x80.z5");
    EXPECT_FALSE(platform::wideFromUtf8(lone));
    EXPECT_EQ(platform::utf8FromWide(L"\xDC00\xD800"), "\xED\xB0\x80\xED\xA0\x80");
    EXPECT_EQ(platform::wideFromUtf8("\xF0\x9D\x94\xB8\xC3\xA9/"), L"\xD835\xDD38\x00E9/");
}
