#include "core/CGameCatalogue.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

using testsupport::readFile;
using testsupport::TempDir;

namespace {

const std::string kFixtures = CORE_FIXTURES;
const std::string kProblem = "Problem with XML format, check syntax of file: ";

struct Fields
{
    std::string fingerprint, FullName, sn, fn, warn;
    bool operator==(const Fields&) const = default;
};

GamePtr game(const Fields& f)
{
    auto g = std::make_shared<CGame>(f.FullName, f.fingerprint, f.sn);
    std::tie(g->fn, g->warn) = std::tie(f.fn, f.warn);
    return g;
}

std::vector<Fields> fieldsOf(const GameSet& set)
{
    std::vector<Fields> all;
    for (const GamePtr& g : set) {
        all.push_back({g->fingerprint, g->FullName, g->sn, g->fn, g->warn});
    }
    return all;
}

} // namespace

TEST(CatalogueFile, SavesTheExactLayoutAndLoadsBackEveryByte)
{
    const std::vector<Fields> golden{
        {"0A1B2C3D", "Zork & \"Co\" <I>", "880429", "/games/zork1.z3", ""},
        {"5E6F7A8B", "Caf\xE9  it's", "", "unknown", "line1\nline2\ttab"},
    };
    TempDir dir;
    CGameCatalogue catalogue;
    for (const Fields& f : golden) {
        catalogue.games.insert(game(f));
    }
    ASSERT_TRUE(catalogue.saveCatalogue(dir / "out.xml"));
    EXPECT_EQ(readFile(dir / "out.xml"), readFile(kFixtures + "catalogue_golden.xml"));
    EXPECT_FALSE(catalogue.saveCatalogue(dir / "missing/folder/out.xml"));
    CGameCatalogue loaded;
    ASSERT_TRUE(loaded.loadCatalogue(kFixtures + "catalogue_golden.xml"));
    EXPECT_EQ(fieldsOf(loaded.games), golden);
    ASSERT_TRUE(CGameCatalogue().saveCatalogue(dir / "out.xml"));
    EXPECT_EQ(readFile(dir / "out.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n<games />\n");

    // Every byte value, control bytes and bytes above 127 included, survives a round trip.
    std::string allBytes;
    for (int c = 1; c < 256; ++c) {
        allBytes += static_cast<char>(c);
    }
    CGameCatalogue original, reread;
    original.games.insert(game({"00000001", allBytes, " 88 04 ", "/x/\xC3\xA9t\xE9.z5", "  a  "}));
    ASSERT_TRUE(original.saveCatalogue(dir / "bytes.xml"));
    ASSERT_TRUE(reread.loadCatalogue(dir / "bytes.xml"));
    EXPECT_EQ(fieldsOf(reread.games), fieldsOf(original.games));
}

TEST(CatalogueFile, SavesInAscendingOrderOfTheChosenView)
{
    TempDir dir;
    CGameCatalogue catalogue;
    catalogue.games.insert(game({"00000003", "beta", "B", "/c", "x"}));
    catalogue.games.insert(game({"00000001", "Alpha", "C", "/b", "z"}));
    catalogue.games.insert(game({"00000002", "beta", "A", "/a", "y"}));
    const std::pair<CatalogueView, std::string> views[] = {
        {CatalogueView::Fingerprint, "123"},
        {CatalogueView::FullName, "132"}, // equal names keep insertion order
        {CatalogueView::Sn, "231"},
        {CatalogueView::Fn, "213"},
        {CatalogueView::Warn, "321"}};
    for (const auto& [view, expected] : views) {
        EXPECT_TRUE(catalogue.saveCatalogue(dir / "view.xml", view));
        const std::string text = readFile(dir / "view.xml");
        std::string digits; // the last digit of each fingerprint, in file order
        for (std::size_t pos = 0; (pos = text.find("fingerprint=\"", pos)) != std::string::npos;) {
            digits += text[pos += 20];
        }
        EXPECT_EQ(digits, expected);
    }
}

TEST(CatalogueFile, ReadsQuirkyEntriesWithoutStoppingAndReportsAFailureWithItsPlace)
{
    CGameCatalogue catalogue;
    catalogue.games.insert(game({"0000BEEF", "Held", "111111", "/held.z5", ""}));
    ASSERT_TRUE(catalogue.loadCatalogue(kFixtures + "catalogue_quirks.xml"));
    EXPECT_EQ(catalogue.messages.str(), "");
    const std::vector<Fields> loaded{
        {"0000ABCD", "First", "880429", "/a/first.z5", "old"}, // first entry wins
        {"0000BEEF", "Held", "111111", "/held.z5", ""},        // a held record stays
        {"0000CAFE", "", "", "unknown", ""},
        {"cbf43926", "Lower case", "", "", ""},
    };
    EXPECT_EQ(fieldsOf(catalogue.games), loaded);

    // No "games" element: false without a report; an empty one loads.
    EXPECT_FALSE(catalogue.loadCatalogue(kFixtures + "catalogue_capital_games.xml"));
    EXPECT_EQ(catalogue.messages.str(), "");
    TempDir dir;
    testsupport::writeFile(dir / "empty.xml", "<games/>");
    EXPECT_TRUE(catalogue.loadCatalogue(dir / "empty.xml"));

    // A folder is refused like a missing file; each report replaces the one before.
    for (const std::string& path : {dir / "Missing.xml", dir.path()}) {
        EXPECT_FALSE(catalogue.loadCatalogue(path));
        EXPECT_EQ(catalogue.messages.str(),
                  kProblem + path + "\nFailed to open file\nLine: 0 Col: 0\n");
    }
    const std::string broken = kFixtures + "catalogue_bad_end_tag.xml";
    EXPECT_FALSE(catalogue.loadCatalogue(broken));
    EXPECT_EQ(catalogue.messages.str(),
              kProblem + broken + "\nError reading end tag.\nLine: 4 Col: 1\n");
    EXPECT_EQ(fieldsOf(catalogue.games), loaded); // nothing of the broken file is added
}
