// Catalogue files that are huge or strange: each loads what it holds, byte for byte, within
// a few seconds. (Files that are no catalogue at all are the catalogue fuzz target's seeds.)

#include "core/CGameCatalogue.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

constexpr const char* kProblem = "Problem with XML format, check syntax of file: ";
constexpr const char* kDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n";

std::string repeated(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

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

TEST(HostileCatalogue, DeepNestingAndManyAttributesAreRefusedWithTheirPlace)
{
    // 40,000 levels overflowed the parser's stack; 200,000 attributes kept it busy for minutes.
    const testsupport::TimeLimit limit(30);
    const std::string deep = std::string(kDeclaration) + "<games>\n" + repeated("<x>", 40000) +
                             repeated("</x>", 40000) + "</games>\n";
    std::string wide = std::string(kDeclaration) + "<games>\n<supported_game";
    for (int i = 0; i < 200000; ++i) {
        wide += " a" + std::to_string(i) + "=\"\"";
    }
    wide += " />\n</games>\n";
    const std::size_t lineStart = wide.rfind('\n', wide.find(" a256=")) + 1;
    struct Case
    {
        std::string text, why;
        std::size_t col;
    };
    TempDir dir;
    for (const auto& [text, why, col] :
         {Case{deep, "Elements nested deeper than 256 levels", 255 * 3 + 1},
          Case{wide, "Element with more than 256 attributes",
               wide.find(" a256=") - lineStart + 2}}) {
        writeFile(dir / "hostile.xml", text);
        CGameCatalogue catalogue;
        EXPECT_FALSE(catalogue.loadCatalogue(dir / "hostile.xml"));
        EXPECT_EQ(catalogue.messages.str(), std::string(kProblem) + dir / "hostile.xml\n" + why +
                                                "\nLine: 3 Col: " + std::to_string(col) + "\n");
        EXPECT_EQ(catalogue.games.size(), 0u);
    }
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
