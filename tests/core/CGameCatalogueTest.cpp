#include "core/CGameCatalogue.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

const std::string kFixtures = CORE_FIXTURES;

GamePtr game(const std::string& name, const std::string& fingerprint, const std::string& sn,
             const std::string& fn, const std::string& warn)
{
    auto g = std::make_shared<CGame>(name, fingerprint, sn);
    g->fn = fn;
    g->warn = warn;
    return g;
}

struct Fields
{
    std::string fingerprint, FullName, sn, fn, warn;
    bool operator==(const Fields&) const = default;
};

std::vector<Fields> fieldsOf(const GameSet& set)
{
    std::vector<Fields> all;
    for (const GamePtr& g : set) {
        all.push_back({g->fingerprint, g->FullName, g->sn, g->fn, g->warn});
    }
    return all;
}

const std::vector<Fields> kGolden{
    {"0A1B2C3D", "Zork & \"Co\" <I>", "880429", "/games/zork1.z3", ""},
    {"5E6F7A8B", "Caf\xE9  it's", "", "unknown", "line1\nline2\ttab"},
};

} // namespace

TEST(CatalogueFile, SavesTheExactLayoutAndEscaping)
{
    TempDir dir;
    CGameCatalogue catalogue;
    for (const Fields& f : kGolden) {
        catalogue.games.insert(game(f.FullName, f.fingerprint, f.sn, f.fn, f.warn));
    }
    ASSERT_TRUE(catalogue.saveCatalogue(dir / "out.xml"));
    EXPECT_EQ(readFile(dir / "out.xml"), readFile(kFixtures + "catalogue_golden.xml"));

    CGameCatalogue empty;
    ASSERT_TRUE(empty.saveCatalogue(dir / "empty.xml"));
    EXPECT_EQ(readFile(dir / "empty.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n<games />\n");
}

TEST(CatalogueFile, LoadsBackEveryByteThatWasSaved)
{
    TempDir dir;
    CGameCatalogue loaded;
    ASSERT_TRUE(loaded.loadCatalogue(kFixtures + "catalogue_golden.xml"));
    EXPECT_EQ(fieldsOf(loaded.games), kGolden);

    // Every byte value, control bytes and bytes above 127 included, survives a round trip.
    std::string allBytes;
    for (int c = 1; c < 256; ++c) {
        allBytes += static_cast<char>(c);
    }
    CGameCatalogue original;
    original.games.insert(game(allBytes, "00000001", " 88 04 ", "/x/\xC3\xA9t\xE9.z5", "  a  "));
    ASSERT_TRUE(original.saveCatalogue(dir / "bytes.xml"));
    CGameCatalogue reread;
    ASSERT_TRUE(reread.loadCatalogue(dir / "bytes.xml"));
    EXPECT_EQ(fieldsOf(reread.games), fieldsOf(original.games));
}

TEST(CatalogueFile, SavesInAscendingOrderOfTheChosenView)
{
    TempDir dir;
    CGameCatalogue catalogue;
    catalogue.games.insert(game("beta", "00000003", "B", "/c", "x"));
    catalogue.games.insert(game("Alpha", "00000001", "C", "/b", "z"));
    catalogue.games.insert(game("beta", "00000002", "A", "/a", "y"));
    auto order = [&](CatalogueView view) {
        EXPECT_TRUE(catalogue.saveCatalogue(dir / "view.xml", view));
        // The last digit of each fingerprint, in file order.
        const std::string text = readFile(dir / "view.xml");
        std::string fingerprints;
        for (std::size_t pos = 0; (pos = text.find("fingerprint=\"", pos)) != std::string::npos;) {
            pos += 13;
            fingerprints += text.substr(pos + 7, 1);
        }
        return fingerprints;
    };
    EXPECT_EQ(order(CatalogueView::Fingerprint), "123");
    EXPECT_EQ(order(CatalogueView::FullName), "132"); // equal names keep insertion order
    EXPECT_EQ(order(CatalogueView::Sn), "231");
    EXPECT_EQ(order(CatalogueView::Fn), "213");
    EXPECT_EQ(order(CatalogueView::Warn), "321");
}

TEST(CatalogueFile, ReadsQuirkyEntriesWithoutStopping)
{
    CGameCatalogue catalogue;
    catalogue.games.insert(game("Held", "0000BEEF", "111111", "/held.z5", ""));
    ASSERT_TRUE(catalogue.loadCatalogue(kFixtures + "catalogue_quirks.xml"));
    EXPECT_EQ(catalogue.messages.str(), "");
    EXPECT_EQ(fieldsOf(catalogue.games),
              (std::vector<Fields>{
                  {"0000ABCD", "First", "880429", "/a/first.z5", "old"}, // first entry wins
                  {"0000BEEF", "Held", "111111", "/held.z5", ""},        // a held record stays
                  {"0000CAFE", "", "", "unknown", ""},
                  {"cbf43926", "Lower case", "", "", ""},
              }));
}

TEST(CatalogueFile, NoGamesElementMeansFalseWithoutReport)
{
    CGameCatalogue catalogue;
    EXPECT_FALSE(catalogue.loadCatalogue(kFixtures + "catalogue_capital_games.xml"));
    EXPECT_EQ(catalogue.messages.str(), "");
    EXPECT_EQ(catalogue.games.size(), 0u);

    TempDir dir;
    writeFile(dir / "empty.xml", "<games/>");
    EXPECT_TRUE(catalogue.loadCatalogue(dir / "empty.xml"));
    EXPECT_EQ(catalogue.games.size(), 0u);
}

TEST(CatalogueFile, FailureReportNamesThePathTheErrorAndItsPlace)
{
    TempDir dir;
    CGameCatalogue catalogue;
    catalogue.games.insert(game("Held", "0000BEEF", "", "", ""));
    const std::string missing = dir / "Missing.xml";
    EXPECT_FALSE(catalogue.loadCatalogue(missing));
    EXPECT_EQ(catalogue.messages.str(), "Problem with XML format, check syntax of file: " +
                                            missing + "\nFailed to open file\nLine: 0 Col: 0\n");

    // A folder is refused like a missing file.
    EXPECT_FALSE(catalogue.loadCatalogue(dir.path()));
    EXPECT_EQ(catalogue.messages.str(), "Problem with XML format, check syntax of file: " +
                                            dir.path() + "\nFailed to open file\nLine: 0 Col: 0\n");

    // The second report replaces the first, and nothing of the broken file is added.
    const std::string broken = kFixtures + "catalogue_bad_end_tag.xml";
    EXPECT_FALSE(catalogue.loadCatalogue(broken));
    EXPECT_EQ(catalogue.messages.str(), "Problem with XML format, check syntax of file: " + broken +
                                            "\nError reading end tag.\nLine: 4 Col: 1\n");
    EXPECT_EQ(catalogue.games.size(), 1u);
}

TEST(CatalogueFile, TakesTheBytesWhateverEncodingIsDeclared)
{
    // Single-byte text in a file declared UTF-8, or carrying a UTF-8 byte-order mark, used to
    // fail to load as soon as a value ended in a byte above 127.
    TempDir dir;
    const std::string entries =
        "<games>\r\n"
        "<supported_game fingerprint=\"0000ABCD\" FullName=\"Caf\xE9\" sn=\"\xF0\" />\r\n"
        "<supported_game fingerprint=\"0000BEEF\" FullName=\"\xC3\xA9t\xC3\xA9\" sn=\"1\" />\r\n"
        "</games>\r\n";
    for (const std::string& lead : {std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"),
                                    std::string("\xEF\xBB\xBF")}) {
        writeFile(dir / "utf8.xml", lead + entries);
        CGameCatalogue catalogue;
        ASSERT_TRUE(catalogue.loadCatalogue(dir / "utf8.xml")) << catalogue.messages.str();
        EXPECT_EQ(fieldsOf(catalogue.games),
                  (std::vector<Fields>{{"0000ABCD", "Caf\xE9", "\xF0", "unknown", ""},
                                       {"0000BEEF", "\xC3\xA9t\xC3\xA9", "1", "unknown", ""}}));
    }
}

TEST(CatalogueFile, AFailedSaveReturnsFalseAndLeavesTheOldFile)
{
    TempDir dir;
    CGameCatalogue catalogue;
    EXPECT_FALSE(catalogue.saveCatalogue(dir / "missing/folder/out.xml"));
    writeFile(dir / "keep.xml", "old");
    ASSERT_TRUE(catalogue.saveCatalogue(dir / "keep.xml"));
    EXPECT_NE(readFile(dir / "keep.xml"), "old");
}
