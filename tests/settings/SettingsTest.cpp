// The settings file as the store writes and reads it. The settings fuzz target holds that any
// file loads and saves to a fixed point, the variantcast target the integer conversions.

#include "platform/Trace.h"
#include "settings/CSettingStore.h"
#include "settings/SettingsPath.h"
#include "settings/VariantCast.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <locale>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using Orvane::CSettingStore;
using Orvane::VariantCast;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

const std::string kFixtures = SETTINGS_FIXTURES;

// Collects the debug output (the conversions write to it) for the life of the object.
struct TraceCapture
{
    std::vector<std::string> lines;
    platform::TraceSink previous =
        platform::setTraceSink([this](std::string_view line) { lines.emplace_back(line); });
    ~TraceCapture() { platform::setTraceSink(previous); }
};

class SettingStore : public ::testing::Test
{
protected:
    // The setting's query form, or "(none)" when it does not exist.
    std::string read(const std::string& name)
    {
        std::string text = "(none)";
        store->readTextSetting(name, text);
        return text;
    }
    // What the store writes now.
    std::string saved()
    {
        EXPECT_TRUE(store->save(dir / "saved.xml"));
        return readFile(dir / "saved.xml");
    }

    TraceCapture trace;
    testsupport::TempDir dir;
    std::optional<CSettingStore> store{std::in_place};
};

} // namespace

// How a load converts each type's text: the hand-written file's test.
TEST_F(SettingStore, SavesSortedEscapedInEachTypesFileFormAndLoadsBackEveryByte)
{
    store->writeIntSetting("b", 42);
    store->writeTextSetting("b", "second"); // replaces, whatever the type
    store->writeTextSetting("B", "upper case first");
    store->writeTextSetting("\xE9t\xE9", "bytes above 127 last");
    store->writeTextSetting("a", "<&>\"' ]]> caf\xE9 \x01\t\n");
    store->writeTextSetting("lastDir", "  /home/me/my  games/  ");
    store->writeTextSetting("empty", "");
    store->writeIntSetting("", -2147483647 - 1);
    store->writeULongSetting("ulong", 4294967295u);
    store->writeDoubleSetting("d", 1.0 / 3);
    store->writeDoubleSetting("e", 1234567.0);
    store->writeFloatSetting("f", 1.0f / 3);
    const std::string first = saved();
    testsupport::expectGolden("settings/every_type_sorted_and_escaped.xml", first);
    // Readers see more digits than the file keeps.
    EXPECT_EQ(read("d") + " " + read("f") + " " + read("e") + " " + read("x"),
              "0.3333333333333333 0.3333333 1234567 (none)");

    // Every byte survives a load: saved again, the file is the same.
    store.reset();
    store.emplace();
    store->load(dir / "saved.xml");
    EXPECT_EQ(read("lastDir") + "|" + read("") + " " + read("ulong") + " " + read("d"),
              "  /home/me/my  games/  |-2147483648 4294967295 0.333333");
    EXPECT_EQ(saved(), first);
}

// A file written by hand: a byte-order mark before single-byte text declared UTF-8 (which used
// to make the whole file unreadable as soon as a value ended in a byte above 127), Windows line
// ends, a comment, repeated and missing names, odd types, blanks, markup in a value.
TEST_F(SettingStore, LoadFollowsTheFileRules)
{
    store->writeTextSetting("kept", "not in the file");
    store->writeTextSetting("lastDir", "replaced");
    store->load(kFixtures + "hand_written_utf8_bom.xml");
    EXPECT_EQ(read("pi"), "3.14159265");
    testsupport::expectGolden("settings/hand_written_as_saved.xml", saved());
}

TEST_F(SettingStore, LoadChangesNothingWithoutAUsableFile)
{
    store->writeTextSetting("kept", "v");
    const std::string expected = saved();
    // A settings file read at every start used to overflow the parser's stack at each one.
    std::string deep = "<settings><item><name>x</name><type>int</type><value>1</value></item>";
    for (int i = 0; i < 80000; ++i) {
        deep += i < 40000 ? "<x>" : "</x>";
    }
    writeFile(dir / "deep.xml", deep + "</settings>");
    const testsupport::TimeLimit limit(30);
    for (const std::string& path :
         {std::string(), dir / "missing.xml", dir.path(), dir / "deep.xml",
          kFixtures + "wrong_root.xml", kFixtures + "no_closing_tag.xml", kFixtures + "empty.xml",
          kFixtures + "not_xml.txt"}) {
        store->load(path);
        EXPECT_EQ(saved(), expected) << path;
    }
}

TEST_F(SettingStore, TheFirstSaveOverAFileThatDidNotParseKeepsItAsBad)
{
    const std::string path = dir / "s.xml";
    const std::string broken = readFile(kFixtures + "stray_angle_bracket.xml");
    writeFile(path, broken);
    writeFile(path + ".bad", "an older copy");
    store->load(path);
    store->writeTextSetting("Placement", "p");
    trace.lines.clear();
    EXPECT_TRUE(store->save(path));
    EXPECT_EQ(readFile(path + ".bad"), broken);
    EXPECT_EQ(trace.lines, std::vector<std::string>{
                               "Narlo::Settings file did not parse; kept it as " + path + ".bad"});
    EXPECT_EQ(readFile(path), saved()); // whole, though shorter than the broken file
    EXPECT_TRUE(store->save(path));     // the file parses now: the copy stays as it is
    EXPECT_EQ(readFile(path + ".bad"), broken);

    // No copy, no save.
    writeFile(dir / "t.xml", broken);
    std::filesystem::create_directory(dir / "t.xml.bad");
    store->load(dir / "t.xml");
    EXPECT_FALSE(store->save(dir / "t.xml"));
    EXPECT_EQ(readFile(dir / "t.xml"), broken);
}

TEST_F(SettingStore, SaveCreatesTheFoldersOfItsFileOrFails)
{
    EXPECT_TRUE(store->save(dir / "fresh/a/b/s.xml"));
    writeFile(dir / "plain", "a file, not a folder");
    EXPECT_FALSE(store->save(dir / "plain/s.xml"));
    EXPECT_FALSE(store->save(""));
}

TEST(SettingsPath, DropsOnlyTheExtensionOfTheFileNameAndSitsBesideTheProgram)
{
    EXPECT_EQ(Orvane::settingsPathFor("/opt/my.tools/QueltImport"),
              "/opt/my.tools/QueltImport_settings.xml");
    EXPECT_EQ(Orvane::settingsPathFor("/a/prog.tar.gz"), "/a/prog.tar_settings.xml");
    EXPECT_EQ(Orvane::settingsPathFor(""), "");
    // The test program's build folder is writable, so the file belongs beside it.
    EXPECT_EQ(CSettingStore::settingsPath(),
              std::filesystem::read_symlink("/proc/self/exe").string() + "_settings.xml");
}

// The floating types, which the variantcast fuzz target only checks for being finite, and the
// locale, which it leaves as it is.
TEST(VariantCast, ReadsNumbersInTheClassicLocaleWhateverTheGlobalOneAndTracesEachInput)
{
    // A program may change the global locale; the settings file's numbers must not follow it.
    struct CommaDecimal : std::numpunct<char>
    {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    for (const auto& [text, value] : {std::pair{"1.5e3", 1500.0},
                                      {"1.5E-3", 0.0015},
                                      {".5", 0.5},
                                      {"2.5  ", 2.5},
                                      {"1.23457e+006", 1234570.0},
                                      {"1.23457e+06", 1234570.0}}) {
        EXPECT_EQ(VariantCast<double>::convert(text), value) << text;
    }
    for (const char* text : {" 2.5", "1,5", "1e", "0x1p3", "inf", "nan", "1e400"}) {
        EXPECT_EQ(VariantCast<double>::convert(text), 0.0) << text;
    }
    EXPECT_EQ(VariantCast<float>::convert("3e38"), 3e38f);
    EXPECT_EQ(VariantCast<float>::convert("1e39"), 0.0f);
    std::locale::global(previous);

    // The debug output names the type and the text before every conversion.
    TraceCapture trace;
    VariantCast<std::uint32_t>::convert(" 7");
    EXPECT_EQ(trace.lines, (std::vector<std::string>{"unsigned long", " 7"}));
}
