// Catalogue files that are huge or strange: each loads what it holds, byte for byte, within
// a few seconds. (Files that are no catalogue at all are the catalogue fuzz target's seeds.)

#include "core/CGameCatalogue.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

constexpr const char* kDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n";

std::string entry(const std::string& fingerprint, const std::string& fullName)
{
    return "    <supported_game fingerprint=\"" + fingerprint + "\" FullName=\"" + fullName +
           "\" sn=\"880429\" fn=\"unknown\" warn=\"\" />\n";
}

} // namespace

TEST(LargeCatalogue, HundredThousandEntriesAndATenMegabyteNameLoadAndSaveUnchanged)
{
    TempDir dir;
    const std::string huge(10 * 1024 * 1024, 'x');
    std::string text = std::string(kDeclaration) + "<games>\n";
    for (int i = 0; i < 100000; ++i) {
        char fingerprint[9];
        std::snprintf(fingerprint, sizeof fingerprint, "%08X", i);
        text += entry(fingerprint, i == 5 ? huge : "Story " + std::to_string(i));
    }
    writeFile(dir / "big.xml", text + "</games>\n");

    CGameCatalogue first;
    ASSERT_TRUE(first.loadCatalogue(dir / "big.xml"));
    ASSERT_EQ(first.games.size(), 100000u);
    EXPECT_EQ((*first.games.find("00000005"))->FullName, huge);
    ASSERT_TRUE(first.saveCatalogue(dir / "saved.xml"));
    EXPECT_EQ(readFile(dir / "saved.xml"), readFile(dir / "big.xml"));
}

TEST(StrangeCatalogue, ByteOrderMarkAndBadUtf8LoadTheirBytes)
{
    TempDir dir;
    writeFile(dir / "bom.xml", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<games>\n" +
                                   entry("0000ABCD", "Caf\xC3\xA9") + "</games>\n");
    CGameCatalogue bom;
    ASSERT_TRUE(bom.loadCatalogue(dir / "bom.xml"));
    ASSERT_EQ(bom.games.size(), 1u);
    EXPECT_EQ((*bom.games.begin())->FullName, "Caf\xC3\xA9");

    // Declared UTF-8, but holding single-byte text and cut-off sequences: the reader keeps
    // the bytes of every entry and never runs past an attribute's end.
    writeFile(dir / "latin1.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<games>\n" +
                                      entry("0000ABCD", "Caf\xE9") + entry("0000BEEF", "x\xF0") +
                                      entry("0000CAFE", "\xC3") + "</games>\n");
    CGameCatalogue latin1;
    ASSERT_TRUE(latin1.loadCatalogue(dir / "latin1.xml")) << latin1.messages.str();
    ASSERT_EQ(latin1.games.size(), 3u);
    EXPECT_EQ((*latin1.games.find("0000ABCD"))->FullName, "Caf\xE9");
    EXPECT_EQ((*latin1.games.find("0000CAFE"))->sn, "880429");
}
