#include "settings/CSettingStore.h"

#include "platform/Trace.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

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
const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n"
                          "<settings>\n";
const std::string kTail = "</settings>\n";

// One item as the store writes it.
std::string item(const std::string& name, const std::string& type, const std::string& value)
{
    return "    <item>\n        <name>" + name + "</name>\n        <type>" + type +
           "</type>\n        <value>" + value + "</value>\n    </item>\n";
}

std::string settingsFile(const std::string& items)
{
    return kHead + items + kTail;
}

// Each test gets a fresh store and folder; conversions' debug output is kept off stderr.
class SettingStore : public ::testing::Test
{
protected:
    SettingStore() : m_previousSink(platform::setTraceSink([](std::string_view) {})) {}
    ~SettingStore() override { platform::setTraceSink(m_previousSink); }

    // The setting's query form, or "(none)" when it does not exist.
    std::string read(const std::string& name) const
    {
        std::string text = "(none)";
        store().readTextSetting(name, text);
        return text;
    }

    // What the store writes now.
    std::string saved()
    {
        const std::string path = dir / "saved.xml";
        EXPECT_TRUE(store().save(path));
        return readFile(path);
    }

    CSettingStore& store() { return *m_store; }
    const CSettingStore& store() const { return *m_store; }
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
    reopen();
    EXPECT_EQ(CSettingStore::current(), &store());
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
    EXPECT_EQ(read("t"), " x ");
    EXPECT_EQ(read("b"), "(none)");
    EXPECT_EQ(read("s"), "(none)");
    EXPECT_EQ(saved(), settingsFile(item("a", "unsigned long", "7") + item("m", "int", "0") +
                                    item("t", kTextTypeXml, " x ")));
}

TEST_F(SettingStore, SavesItemsInByteOrderOfNamesWithEscapes)
{
    store().writeTextSetting("b", "second");
    store().writeTextSetting("B", "upper case first");
    store().writeTextSetting("\xE9t\xE9", "bytes above 127 last");
    store().writeTextSetting("ab", "after its prefix");
    store().writeTextSetting("a", "<&>\"'");
    store().writeIntSetting("", -3);
    store().writeDoubleSetting("d", 3.14159265);
    EXPECT_EQ(saved(),
              settingsFile(item("", "int", "-3") + item("B", kTextTypeXml, "upper case first") +
                           item("a", kTextTypeXml, "&lt;&amp;&gt;&quot;&apos;") +
                           item("ab", kTextTypeXml, "after its prefix") +
                           item("b", kTextTypeXml, "second") + item("d", "double", "3.14159") +
                           item("\xE9t\xE9", kTextTypeXml, "bytes above 127 last")));
}

TEST_F(SettingStore, RoundTripKeepsNamesTypesAndText)
{
    store().writeTextSetting("lastDir", "  /home/me/my  games/  ");
    store().writeTextSetting("markup", "a<b & c>d \"q\" 'a' ]]>");
    store().writeTextSetting("bytes", "caf\xE9 \x01\t\n");
    store().writeTextSetting("empty", "");
    store().writeIntSetting("int", -2147483647 - 1);
    store().writeULongSetting("ulong", 4294967295u);
    store().writeFloatSetting("float", 2.5f);
    store().writeDoubleSetting("double", 0.125);
    const std::string first = saved();

    reopen();
    store().load(dir / "saved.xml");
    EXPECT_EQ(read("lastDir"), "  /home/me/my  games/  ");
    EXPECT_EQ(read("markup"), "a<b & c>d \"q\" 'a' ]]>");
    EXPECT_EQ(read("bytes"), "caf\xE9 \x01\t\n");
    EXPECT_EQ(read("empty"), "");
    EXPECT_EQ(read("int"), "-2147483648");
    EXPECT_EQ(read("ulong"), "4294967295");
    EXPECT_EQ(read("float"), "2.5");
    EXPECT_EQ(read("double"), "0.125");
    EXPECT_EQ(saved(), first);
}

TEST_F(SettingStore, LoadFollowsTheFileRules)
{
    store().writeTextSetting("kept", "not in the file");
    store().writeTextSetting("lastDir", "replaced");
    const std::string path = dir / "hand.xml";
    writeFile(path, "<?xml version=\"1.0\" ?>\r\n"
                    "<!-- written by hand -->\r\n"
                    "<settings>\r\n"
                    "  <item><name>lastDir</name><type>" +
                        kTextTypeXml +
                        "</type><value>/first</value></item>\r\n"
                        "  <item><name>lastDir</name><type>" +
                        kTextTypeXml +
                        "</type><value>/second</value></item>\r\n"
                        "  <other><name>skipped</name><type>int</type><value>1</value></other>\r\n"
                        "  <item><name>flag</name><type>bool</type><value>true</value></item>\r\n"
                        "  <item><type>int</type><value>12 </value></item>\r\n"
                        "  <item><name>bad</name><type>int</type><value> 12</value></item>\r\n"
                        "  <item><name>pi</name><type>double</type><value>3.14159265</value>"
                        "</item>\r\n"
                        "  <item><name>  lead</name><type>" +
                        kTextTypeXml +
                        "</type><value>   a  b  </value></item>\r\n"
                        "  <item><name>blank</name><type>" +
                        kTextTypeXml +
                        "</type><value>   </value></item>\r\n"
                        "  <item><name>nested</name><type>" +
                        kTextTypeXml +
                        "</type><value><b>x</b>y</value></item>\r\n"
                        "  <item><name>ml</name><type>" +
                        kTextTypeXml +
                        "</type><value>one\r\ntwo</value></item>\r\n"
                        "  <item><name>second</name><name>ignored</name><type>unsigned long</type>"
                        "<value>5</value><value>6</value></item>\r\n"
                        "</settings>\r\n");
    store().load(path);
    EXPECT_EQ(read("pi"), "3.14159265");
    EXPECT_EQ(saved(),
              settingsFile(item("", "int", "12") + item("  lead", kTextTypeXml, "   a  b  ") +
                           item("bad", "int", "0") + item("blank", kTextTypeXml, "") +
                           item("kept", kTextTypeXml, "not in the file") +
                           item("lastDir", kTextTypeXml, "/second") +
                           item("ml", kTextTypeXml, "one&#x0A;two") +
                           item("nested", kTextTypeXml, "") + item("pi", "double", "3.14159") +
                           item("second", "unsigned long", "5")));
}

TEST_F(SettingStore, LoadChangesNothingWithoutAUsableFile)
{
    store().writeTextSetting("kept", "v");
    const std::string expected = saved();
    const std::string good = item("x", "int", "1");
    writeFile(dir / "root.xml", "<config>" + good + "</config>");
    writeFile(dir / "broken.xml", kHead + good); // no closing tag
    writeFile(dir / "empty.xml", "");
    writeFile(dir / "garbage.xml", "\x01\x02 not xml");

    store().load("");
    store().load(dir / "missing.xml");
    store().load(dir.path()); // a folder
    store().load(dir / "root.xml");
    store().load(dir / "broken.xml");
    store().load(dir / "empty.xml");
    store().load(dir / "garbage.xml");
    EXPECT_EQ(saved(), expected);
}

TEST_F(SettingStore, LoadTakesTheBytesWhateverEncodingIsDeclared)
{
    // Single-byte text in a file declared UTF-8, or starting with a byte-order mark, used to
    // make the whole file unreadable as soon as a value ended in a byte above 127.
    const std::string items = item("lastDir", kTextTypeXml, "/home/Ren\xE9") +
                              item("other", kTextTypeXml, "\xC3\xA9t\xC3\xA9");
    writeFile(dir / "declared.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<settings>\n" + items + kTail);
    writeFile(dir / "bom.xml", "\xEF\xBB\xBF<settings>\n" + items + kTail);
    for (const char* file : {"declared.xml", "bom.xml"}) {
        reopen();
        store().load(dir / file);
        EXPECT_EQ(read("lastDir"), "/home/Ren\xE9") << file;
        EXPECT_EQ(read("other"), "\xC3\xA9t\xC3\xA9") << file;
    }
}

TEST_F(SettingStore, SaveReplacesTheFileWholeAndCreatesItsFolder)
{
    store().writeTextSetting("Placement", "short");
    const std::string path = dir / "new/sub/QueltImport_settings.xml";
    writeFile(dir / "new/sub/QueltImport_settings.xml", std::string(10000, 'x'));
    EXPECT_TRUE(store().save(path));
    EXPECT_EQ(readFile(path), settingsFile(item("Placement", kTextTypeXml, "short")));

    const std::string deeper = dir / "fresh/a/b/s.xml";
    EXPECT_TRUE(store().save(deeper));
    EXPECT_EQ(readFile(deeper), readFile(path));

    writeFile(dir / "plain", "a file, not a folder");
    EXPECT_FALSE(store().save(dir / "plain/s.xml"));
    EXPECT_FALSE(store().save(""));
    EXPECT_EQ(readFile(dir / "plain"), "a file, not a folder");
}

TEST_F(SettingStore, EmptyStoreSavesAnEmptyRoot)
{
    EXPECT_EQ(saved(), kHead.substr(0, kHead.find('\n') + 1) + "<settings />\n");
}
