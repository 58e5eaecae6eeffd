#include "settings/CSetting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using Orvane::CSetting;

TEST(CSetting, TypeTextsAreTheFixedFileTexts)
{
    EXPECT_EQ(CSetting<std::int32_t>(1).typeText(), "int");
    EXPECT_EQ(CSetting<float>(1.0f).typeText(), "float");
    EXPECT_EQ(CSetting<double>(1.0).typeText(), "double");
    EXPECT_EQ(CSetting<std::uint32_t>(1).typeText(), "unsigned long");
    EXPECT_EQ(CSetting<std::string>("x").typeText(),
              "class std::basic_string<char,struct std::char_traits<char>,class "
              "std::allocator<char> >");
}

TEST(CSetting, FileFormIsTheStreamDefault)
{
    EXPECT_EQ(CSetting<double>(0.1).toText(), "0.1");
    EXPECT_EQ(CSetting<double>(1.0 / 3).toText(), "0.333333");
    EXPECT_EQ(CSetting<double>(2.0 / 3).toText(), "0.666667");
    EXPECT_EQ(CSetting<double>(3.14159265).toText(), "3.14159");
    EXPECT_EQ(CSetting<double>(1234567.0).toText(), "1.23457e+06");
    EXPECT_EQ(CSetting<double>(100000.0).toText(), "100000");
    EXPECT_EQ(CSetting<float>(2.5f).toText(), "2.5");
    EXPECT_EQ(CSetting<std::int32_t>(-5).toText(), "-5");
    EXPECT_EQ(CSetting<std::int32_t>(1000000).toText(), "1000000");
    EXPECT_EQ(CSetting<std::uint32_t>(4294967295u).toText(), "4294967295");
    EXPECT_EQ(CSetting<std::string>("  a  ").toText(), "  a  ");
}

TEST(CSetting, QueryFormKeepsMoreDigits)
{
    EXPECT_EQ(CSetting<float>(2.5f).queryText(), "2.5");
    EXPECT_EQ(CSetting<float>(0.1f).queryText(), "0.1");
    EXPECT_EQ(CSetting<float>(1.0f / 3).queryText(), "0.3333333");
    EXPECT_EQ(CSetting<double>(2.0 / 3).queryText(), "0.6666666666666666");
    EXPECT_EQ(CSetting<double>(3.14159265).queryText(), "3.14159265");
    EXPECT_EQ(CSetting<double>(1234567.0).queryText(), "1234567");
    EXPECT_EQ(CSetting<std::int32_t>(-2147483647 - 1).queryText(), "-2147483648");
    EXPECT_EQ(CSetting<std::uint32_t>(4294967295u).queryText(), "4294967295");
    EXPECT_EQ(CSetting<std::string>("  a  ").queryText(), "  a  ");
}
