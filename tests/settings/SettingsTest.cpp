// The settings file as the store writes and reads it, the conversions of its values and where
// the file lives.

#include "platform/Trace.h"
#include "settings/CSettingStore.h"
#include "settings/SettingsPath.h"
#include "settings/VariantCast.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
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

const std::string kTextType =
    "class std::basic_string<char,struct std::char_traits<char>,class std::allocator<char> >";
const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n";

// A file of one text setting, as the store writes it.
std::string oneTextSetting(const std::string& name, const std::string& value)
{
    return kDeclaration + "<settings>\n    <item>\n        <name>" + name +
           "</name>\n        <type>class std::basic_string&lt;char,struct "
           "std::char_traits&lt;char&gt;,class std::allocator&lt;char&gt; &gt;</type>\n"
           "        <value>" +
           value + "</value>\n    </item>\n</settings>\n";
}

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
        m_store->readTextSetting(name, text);
        return text;
    }
    // What the store writes now.
    std::string saved()
    {
        EXPECT_TRUE(m_store->save(dir / "saved.xml"));
        return readFile(dir / "saved.xml");
    }
    CSettingStore& store() { return *m_store; }

    TraceCapture trace;
    testsupport::TempDir dir;
    std::optional<CSettingStore> m_store{std::in_place};
};

} // namespace

TEST_F(SettingStore, SavesSortedEscapedInEachTypesFileFormAndLoadsBackEveryByte)
{
    EXPECT_EQ(saved(), kDeclaration + "<settings />\n");
    store().writeIntSetting("b", 42);
    store().writeTextSetting("b", "second"); // replaces, whatever the type
    store().writeTextSetting("B", "upper case first");
    store().writeTextSetting("\xE9t\xE9", "bytes above 127 last");
    store().writeTextSetting("a", "<&>\"'");
    store().writeIntSetting("", -3);
    store().writeDoubleSetting("d", 1.0 / 3);
    store().writeDoubleSetting("e", 1234567.0);
    store().writeFloatSetting("f", 1.0f / 3);
    // As a load converts: only the five type texts are known.
    store().writeFromText("u", "7", "unsigned long");
    store().writeFromText("m", " 12", "int");
    store().writeFromText("t", " x ", kTextType);
    store().writeFromText("x", "true", "bool");
    store().writeFromText("x", "x", "std::string");
    testsupport::expectGolden("settings/every_type_sorted_and_escaped.xml", saved());
    // Readers see more digits than the file keeps.
    EXPECT_EQ(read("d") + " " + read("f") + " " + read("e") + " " + read("x"),
              "0.3333333333333333 0.3333333 1234567 (none)");

    // Every byte survives a load: saved again, the file is the same.
    store().writeTextSetting("lastDir", "  /home/me/my  games/  ");
    store().writeTextSetting("markup", "a<b & c>d \"q\" 'a' ]]>");
    store().writeTextSetting("bytes", "caf\xE9 \x01\t\n");
    store().writeTextSetting("empty", "");
    store().writeIntSetting("int", -2147483647 - 1);
    store().writeULongSetting("ulong", 4294967295u);
    store().writeFloatSetting("float", 2.5f);
    const std::string first = saved();
    m_store.reset();
    m_store.emplace();
    store().load(dir / "saved.xml");
    EXPECT_EQ(read("lastDir") + "|" + read("int") + " " + read("ulong") + " " + read("d"),
              "  /home/me/my  games/  |-2147483648 4294967295 0.333333");
    EXPECT_EQ(saved(), first);
}

// A file written by hand: a byte-order mark before single-byte text declared UTF-8 (which used
// to make the whole file unreadable as soon as a value ended in a byte above 127), Windows line
// ends, a comment, repeated and missing names, odd types, blanks, markup in a value.
TEST_F(SettingStore, LoadFollowsTheFileRules)
{
    store().writeTextSetting("kept", "not in the file");
    store().writeTextSetting("lastDir", "replaced");
    store().load(std::string(SETTINGS_FIXTURES) + "hand_written_utf8_bom.xml");
    EXPECT_EQ(read("pi"), "3.14159265");
    testsupport::expectGolden("settings/hand_written_as_saved.xml", saved());
}

TEST_F(SettingStore, LoadChangesNothingWithoutAUsableFile)
{
    store().writeTextSetting("kept", "v");
    const std::string expected = saved();
    const std::string good = "<item><name>x</name><type>int</type><value>1</value></item>";
    writeFile(dir / "root.xml", "<config>" + good + "</config>");
    writeFile(dir / "broken.xml", kDeclaration + "<settings>\n" + good); // no closing tag
    writeFile(dir / "empty.xml", "");
    writeFile(dir / "garbage.xml", "\x01\x02 not xml");
    // A settings file read at every start used to overflow the parser's stack at each one.
    std::string open, close;
    for (int i = 0; i < 40000; ++i) {
        open += "<x>";
        close += "</x>";
    }
    writeFile(dir / "deep.xml", kDeclaration + "<settings>" + good + open + close + "</settings>");
    const testsupport::TimeLimit limit(30);
    for (const std::string& path :
         {std::string(), dir / "missing.xml", dir.path(), dir / "root.xml", dir / "broken.xml",
          dir / "empty.xml", dir / "garbage.xml", dir / "deep.xml"}) {
        store().load(path);
        EXPECT_EQ(saved(), expected) << path;
    }
}

TEST_F(SettingStore, TheFirstSaveOverAFileThatDidNotParseKeepsItAsBad)
{
    const std::string path = dir / "s.xml";
    const std::string broken = oneTextSetting("lastDir", "/a<b"); // a stray '<'
    writeFile(path, broken);
    writeFile(path + ".bad", "an older copy");
    store().load(path);
    store().writeTextSetting("Placement", "p");
    trace.lines.clear();
    EXPECT_TRUE(store().save(path));
    EXPECT_EQ(readFile(path + ".bad"), broken);
    EXPECT_EQ(trace.lines, std::vector<std::string>{
                               "Narlo::Settings file did not parse; kept it as " + path + ".bad"});
    EXPECT_EQ(readFile(path), oneTextSetting("Placement", "p"));
    EXPECT_TRUE(store().save(path)); // the file parses now: the copy stays as it is
    EXPECT_EQ(readFile(path + ".bad"), broken);

    // No copy, no save; and a missing file has nothing to keep.
    writeFile(dir / "t.xml", broken);
    std::filesystem::create_directory(dir / "t.xml.bad");
    store().load(dir / "t.xml");
    EXPECT_FALSE(store().save(dir / "t.xml"));
    EXPECT_EQ(readFile(dir / "t.xml"), broken);
    store().load(dir / "missing.xml");
    EXPECT_TRUE(store().save(dir / "missing.xml"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.xml.bad"));
}

TEST_F(SettingStore, SaveReplacesTheFileWholeAndCreatesItsFolders)
{
    store().writeTextSetting("Placement", "short");
    const std::string path = dir / "new/sub/QueltImport_settings.xml";
    writeFile(path, std::string(10000, 'x'));
    EXPECT_TRUE(store().save(path));
    EXPECT_EQ(readFile(path), oneTextSetting("Placement", "short"));
    EXPECT_TRUE(store().save(dir / "fresh/a/b/s.xml"));
    writeFile(dir / "plain", "a file, not a folder");
    EXPECT_FALSE(store().save(dir / "plain/s.xml"));
    EXPECT_FALSE(store().save(""));
    EXPECT_EQ(readFile(dir / "plain"), "a file, not a folder");
}

TEST(SettingsPath, DropsOnlyTheExtensionOfTheFileNameAndSitsBesideTheProgram)
{
    EXPECT_EQ(Orvane::settingsPathFor("/opt/my.tools/QueltImport"),
              "/opt/my.tools/QueltImport_settings.xml");
    EXPECT_EQ(Orvane::settingsPathFor("/a/prog.tar.gz"), "/a/prog.tar_settings.xml");
    EXPECT_EQ(Orvane::settingsPathFor(""), "");
    // The test program's build folder is writable, so the file belongs beside it.
    const auto program = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(CSettingStore::settingsPath(),
              (program.parent_path() / "settings_tests_settings.xml").string());
}

// The integer rules are checked against a model by the variantcast fuzz target; these cases
// pin the floating types, which the model only checks for being finite.
TEST(VariantCast, TakesOnlyAWholeNumberInRangeWhateverTheGlobalLocaleAndTracesEachInput)
{
    TraceCapture trace;
    const auto expectAll = [](auto expected, const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            EXPECT_EQ(VariantCast<decltype(expected)>::convert(text), expected)
                << "[" << text << "]";
        }
    };
    // A program may change the global locale; the settings file's numbers must not follow it.
    struct CommaDecimal : std::numpunct<char>
    {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    for (const auto& [value, text] : {std::pair(1500.0, "1.5e3"), std::pair(0.0015, "1.5E-3"),
                                      std::pair(0.5, ".5"), std::pair(2.5, "2.5  ")}) {
        expectAll(value, {text});
    }
    expectAll(1234570.0, {"1.23457e+006", "1.23457e+06"});
    expectAll(0.0, {" 2.5", "1,5", "1e", "0x1p3", "inf", "nan", "1e400"});
    expectAll(3e38f, {"3e38"});
    expectAll(0.0f, {"1e39"});
    expectAll(std::int32_t{0}, {"1.234", "1,234"});
    // A stream on its own would wrap negative numbers into the range ("-1" to 4294967295).
    expectAll(std::uint32_t{0}, {"-1", "4294967296"});
    std::locale::global(previous);

    // The debug output names the type and the text before every conversion.
    trace.lines.clear();
    VariantCast<std::int32_t>::convert(" 7");
    VariantCast<std::uint32_t>::convert("");
    EXPECT_EQ(trace.lines, (std::vector<std::string>{"int", " 7", "unsigned long", ""}));
}
