#include "settings/CSetting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using Orvane::CSetting;

TEST(CSetting, FileFormIsTheStreamDefaultAndQueryFormKeepsEveryDigit)
{
    // The file form, then the query form, which keeps more digits.
    const auto forms = [](const Orvane::CSettingBase& setting) {
        return setting.toText() + " | " + setting.queryText();
    };
    EXPECT_EQ(forms(CSetting<double>(1.0 / 3)), "0.333333 | 0.3333333333333333");
    EXPECT_EQ(forms(CSetting<double>(1234567.0)), "1.23457e+06 | 1234567");
    EXPECT_EQ(forms(CSetting<double>(100000.0)), "100000 | 100000");
    EXPECT_EQ(forms(CSetting<float>(1.0f / 3)), "0.333333 | 0.3333333");
    EXPECT_EQ(forms(CSetting<std::int32_t>(1000000)), "1000000 | 1000000");
    EXPECT_EQ(forms(CSetting<std::string>("  a  ")), "  a   |   a  ");
}
