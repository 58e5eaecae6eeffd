#include "settings/CSettingStore.h"

#include "platform/Trace.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using Orvane::CSettingStore;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

const std::string kTextType =
    "class std::basic_string<char,struct std::char_traits<char>,class std::allocator<char> >";
// The same as it appears in the file.
const std::string kTextTypeXml =
    "class std::basic_string&lt;char,struct "
    "std::char_traits&lt;char&gt;,class std::allocator&lt;char&gt; &gt;";
const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n";
const std::string kTail = "</settings>\n";

// One item as the store writes it.
std::string item(const std::string& name, const std::string& type, const std::string& value)
{
    return "    <item>\n        <name>" + name + "</name>\n        <type>" + type +
           "</type>\n        <value>" + value + "</value>\n    </item>\n";
}

std::string textItem(const std::string& name, const std::string& value)
{
    return item(name, kTextTypeXml, value);
}

std::string settingsFile(const std::string& items)
{
    return kDeclaration + "<settings>\n" + items + kTail;
}

// One item on one line, as a person might write it.
std::string handItem(const std::string& name, const std::string& type, const std::string& value)
{
    return "  <item><name>" + name + "</name><type>" + type + "</type><value>" + value +
           "</value></item>\r\n";
}

// Each test gets a fresh store and folder; conversions' debug output is kept off stderr.
class SettingStore : public ::testing::Test
{
protected:
    SettingStore() : m_previousSink(platform::setTraceSink([](std::string_view) {})) {}
    ~SettingStore() override { platform::setTraceSink(m_previousSink); }

    // The setting's query form, or "(none)" when it does not exist.
    std::string read(const std::string& name)
    {
        std::string text = "(none)";
        store().readTextSetting(name, text);
        return text;
    }

    // What the store writes now.
    std::string saved()
    {
        EXPECT_TRUE(store().save(dir / "saved.xml"));
        return readFile(dir / "saved.xml");
    }

    CSettingStore& store() { return *m_store; }
    // Replaces the store by a fresh, empty one (there is one store at a time).
    void reopen()
    {
        m_store.reset();
        m_store.emplace();
    }

    TempDir dir;
    std::optional<CSettingStore> m_store{std::in_place};

private:
    platform::TraceSink m_previousSink;
};

} // namespace

TEST_F(SettingStore, IsTheCurrentStoreForItsLifetime)
{
    EXPECT_EQ(CSettingStore::current(), &store());
    m_store.reset();
    EXPECT_EQ(CSettingStore::current(), nullptr);
}

TEST_F(SettingStore, WritesReplaceByNameAndUnknownTypesAreIgnored)
{
    store().writeIntSetting("a", 42);
    EXPECT_EQ(read("a"), "42");
    store().writeTextSetting("a", "  x  ");
    EXPECT_EQ(read("a"), "  x  ");
    store().writeFromText("a", "7", "unsigned long");
    store().writeFromText("m", " 12", "int");
    store().writeFromText("t", " x ", kTextType);
    store().writeFromText("b", "true", "bool");
    store().writeFromText("s", "x", "std::string");
    EXPECT_EQ(read("b") + read("s"), "(none)(none)");
    EXPECT_EQ(saved(), settingsFile(item("a", "unsigned long", "7") + item("m", "int", "0") +
                                    item("t", kTextTypeXml, " x ")));
}

TEST_F(SettingStore, SavesInByteOrderOfNamesWithEscapesAndLoadsBackEveryByte)
{
    EXPECT_EQ(saved(), kDeclaration + "<settings />\n");
    store().writeTextSetting("b", "second");
    store().writeTextSetting("B", "upper case first");
    store().writeTextSetting("\xE9t\xE9", "bytes above 127 last");
    store().writeTextSetting("a", "<&>\"'");
    store().writeIntSetting("", -3);
    store().writeDoubleSetting("d", 3.14159265);
    EXPECT_EQ(saved(), settingsFile(item("", "int", "-3") + textItem("B", "upper case first") +
                                    textItem("a", "&lt;&amp;&gt;&quot;&apos;") +
                                    textItem("b", "second") + item("d", "double", "3.14159") +
                                    textItem("\xE9t\xE9", "bytes above 127 last")));

    const std::vector<std::pair<std::string, std::string>> texts{
        {"lastDir", "  /home/me/my  games/  "},
        {"markup", "a<b & c>d \"q\" 'a' ]]>"},
        {"bytes", "caf\xE9 \x01\t\n"},
        {"empty", ""},
    };
    for (const auto& [name, text] : texts) {
        store().writeTextSetting(name, text);
    }
    store().writeIntSetting("int", -2147483647 - 1);
    store().writeULongSetting("ulong", 4294967295u);
    store().writeFloatSetting("float", 2.5f);
    store().writeDoubleSetting("double", 0.125);
    const std::string first = saved();

    reopen();
    store().load(dir / "saved.xml");
    for (const auto& [name, text] : texts) {
        EXPECT_EQ(read(name), text) << name;
    }
    EXPECT_EQ(read("int") + " " + read("ulong") + " " + read("float") + " " + read("double") + " " +
                  read("d"),
              "-2147483648 4294967295 2.5 0.125 3.14159");
    EXPECT_EQ(saved(), first);
}

TEST_F(SettingStore, LoadFollowsTheFileRules)
{
    store().writeTextSetting("kept", "not in the file");
    store().writeTextSetting("lastDir", "replaced");
    // Single-byte text in a file declared UTF-8 and starting with a byte-order mark used to
    // make the whole file unreadable as soon as a value ended in a byte above 127.
    writeFile(dir / "hand.xml",
              "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<!-- by hand -->\r\n"
              "<settings>\r\n" +
                  handItem("lastDir", kTextTypeXml, "/first") +
                  handItem("lastDir", kTextTypeXml, "/Ren\xE9") +
                  handItem("utf8", kTextTypeXml, "\xC3\xA9t\xC3\xA9") +
                  "  <other><name>skipped</name><type>int</type><value>1</value></other>\r\n" +
                  handItem("flag", "bool", "true") +
                  "  <item><type>int</type><value>12 </value></item>\r\n" +
                  handItem("bad", "int", " 12") + handItem("pi", "double", "3.14159265") +
                  handItem("  lead", kTextTypeXml, "   a  b  ") +
                  handItem("blank", kTextTypeXml, "   ") +
                  handItem("nested", kTextTypeXml, "<b>x</b>y") +
                  handItem("ml", kTextTypeXml, "one\r\ntwo") +
                  "  <item><name>second</name><name>ignored</name><type>unsigned long</type>"
                  "<value>5</value><value>6</value></item>\r\n</settings>\r\n");
    store().load(dir / "hand.xml");
    EXPECT_EQ(read("pi"), "3.14159265");
    EXPECT_EQ(saved(),
              settingsFile(item("", "int", "12") + textItem("  lead", "   a  b  ") +
                           item("bad", "int", "0") + textItem("blank", "") +
                           textItem("kept", "not in the file") + textItem("lastDir", "/Ren\xE9") +
                           textItem("ml", "one&#x0A;two") + textItem("nested", "") +
                           item("pi", "double", "3.14159") + item("second", "unsigned long", "5") +
                           textItem("utf8", "\xC3\xA9t\xC3\xA9")));
}

TEST_F(SettingStore, LoadChangesNothingWithoutAUsableFile)
{
    store().writeTextSetting("kept", "v");
    const std::string expected = saved();
    const std::string good = item("x", "int", "1");
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
    writeFile(dir / "deep.xml", kDeclaration + "<settings>\n" + good + open + close + kTail);
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
    std::vector<std::string> traced;
    platform::setTraceSink([&](std::string_view line) { traced.emplace_back(line); });
    const std::string path = dir / "s.xml";
    const std::string broken = settingsFile(textItem("lastDir", "/a<b")); // a stray '<'
    writeFile(path, broken);
    writeFile(path + ".bad", "an older copy");
    store().load(path);
    store().writeTextSetting("Placement", "p");
    EXPECT_TRUE(store().save(path));
    EXPECT_EQ(readFile(path + ".bad"), broken);
    EXPECT_EQ(traced, std::vector<std::string>{"Narlo::Settings file did not parse; kept it as " +
                                               path + ".bad"});
    EXPECT_EQ(readFile(path), settingsFile(textItem("Placement", "p")));
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

TEST_F(SettingStore, SaveReplacesTheFileWholeAndCreatesItsFolder)
{
    store().writeTextSetting("Placement", "short");
    const std::string path = dir / "new/sub/QueltImport_settings.xml";
    writeFile(path, std::string(10000, 'x'));
    EXPECT_TRUE(store().save(path));
    EXPECT_EQ(readFile(path), settingsFile(textItem("Placement", "short")));
    EXPECT_TRUE(store().save(dir / "fresh/a/b/s.xml"));
    EXPECT_EQ(readFile(dir / "fresh/a/b/s.xml"), readFile(path));

    writeFile(dir / "plain", "a file, not a folder");
    EXPECT_FALSE(store().save(dir / "plain/s.xml"));
    EXPECT_FALSE(store().save(""));
    EXPECT_EQ(readFile(dir / "plain"), "a file, not a folder");
}
