#include "settings/CSetting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using Orvane::CSetting;

namespace {

// The file form, then the query form, which keeps more digits.
std::string forms(const Orvane::CSettingBase& setting)
{
    return setting.toText() + " | " + setting.queryText();
}

} // namespace

TEST(CSetting, FileFormIsTheStreamDefaultAndQueryFormKeepsEveryDigit)
{
    EXPECT_EQ(forms(CSetting<double>(1.0 / 3)), "0.333333 | 0.3333333333333333");
    EXPECT_EQ(forms(CSetting<double>(1234567.0)), "1.23457e+06 | 1234567");
    EXPECT_EQ(forms(CSetting<double>(100000.0)), "100000 | 100000");
    EXPECT_EQ(forms(CSetting<float>(1.0f / 3)), "0.333333 | 0.3333333");
    EXPECT_EQ(forms(CSetting<std::int32_t>(1000000)), "1000000 | 1000000");
    EXPECT_EQ(forms(CSetting<std::string>("  a  ")), "  a   |   a  ");
}
