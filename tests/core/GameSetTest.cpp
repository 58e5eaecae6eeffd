#include "core/GameSet.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

GamePtr game(const std::string& name, const std::string& fingerprint, const std::string& sn = "")
{
    return std::make_shared<CGame>(name, fingerprint, sn);
}

template <class Tag> std::vector<std::string> namesIn(const GameSet& set)
{
    std::vector<std::string> names;
    for (const GamePtr& g : set.get<Tag>()) {
        names.push_back(g->FullName);
    }
    return names;
}

} // namespace

TEST(GameSet, FirstRecordOfAFingerprintWins)
{
    GameSet set;
    auto first = game("Zork I", "0A1B2C3D", "880429");
    first->fn = "/games/zork1.z3";
    EXPECT_TRUE(set.insert(first).second);
    const auto [pos, inserted] = set.insert(game("Other", "0A1B2C3D", "999999"));
    EXPECT_FALSE(inserted);
    EXPECT_EQ(*pos, first);
    EXPECT_EQ(set.size(), 1u);
    EXPECT_EQ((*set.find("0A1B2C3D"))->fn, "/games/zork1.z3");
}

TEST(GameSet, FingerprintLookupIsCaseSensitive)
{
    GameSet set;
    set.insert(game("Check", "CBF43926"));
    EXPECT_NE(set.find("CBF43926"), set.end());
    EXPECT_EQ(set.find("cbf43926"), set.end());
}

TEST(GameSet, ViewsSortByUnsignedBytesAndKeepInsertionOrderAmongEquals)
{
    GameSet set;
    set.insert(game("apple", "00000001"));
    set.insert(game("Zebra", "00000002"));
    set.insert(game("\xE9t\xE9", "00000003")); // a byte above 127 sorts after ASCII
    set.insert(game("Zebra", "00000000"));
    EXPECT_EQ(namesIn<byFullName>(set),
              (std::vector<std::string>{"Zebra", "Zebra", "apple", "\xE9t\xE9"}));
    // The two Zebras: the one inserted first (fingerprint 00000002) comes first.
    auto zebras = set.get<byFullName>().equal_range("Zebra");
    EXPECT_EQ((*zebras.first)->fingerprint, "00000002");
    EXPECT_EQ(namesIn<byFingerprint>(set),
              (std::vector<std::string>{"Zebra", "apple", "Zebra", "\xE9t\xE9"}));
}

TEST(GameSet, CopiesShareRecords)
{
    GameSet original;
    original.insert(game("Zork I", "0A1B2C3D"));
    GameSet copy = original;
    (*copy.find("0A1B2C3D"))->found = true;
    EXPECT_TRUE((*original.find("0A1B2C3D"))->found);
    copy.clear();
    EXPECT_EQ(original.size(), 1u);
}
