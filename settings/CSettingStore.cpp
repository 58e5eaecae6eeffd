#include "settings/CSettingStore.h"

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "platform/Trace.h"
#include "settings/CSetting.h"
#include "settings/SettingsPath.h"
#include "settings/VariantCast.h"
#include "xml/XmlFile.h"

#include <tinyxml.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace Orvane {
namespace {

std::atomic<CSettingStore*> g_current{nullptr};

// The text of `parent`'s first child element named `tag`, when that element's first node is
// text; otherwise empty. With condensing off TinyXML keeps every blank of the text, leading
// ones included, and drops a text of blanks only.
std::string childText(const TiXmlElement& parent, const char* tag)
{
    const TiXmlElement* element = parent.FirstChildElement(tag);
    if (!element) {
        return {};
    }
    const TiXmlNode* first = element->FirstChild();
    return first && first->ToText() ? first->ValueStr() : std::string();
}

void addTextElement(TiXmlElement& parent, const char* tag, const std::string& text)
{
    TiXmlNode* element = parent.InsertEndChild(TiXmlElement(tag));
    element->InsertEndChild(TiXmlText(text));
}

// Copies the file at `path` to `path` + ".bad", so that a file edited by hand into a state
// that does not parse is not lost with the next save. False when it is still there but no
// copy could be made.
bool keepAside(const std::string& path)
{
    if (!platform::statPath(path)) {
        return true; // gone meanwhile: nothing left to lose
    }
    const std::string bad = path + ".bad";
    const std::optional<std::string> content = platform::readWholeFile(path);
    if (!content || !platform::writeFileAtomically(bad, *content)) {
        platform::debugOutput("Narlo::Settings file did not parse and could not be kept as " + bad +
                              "; not saved");
        return false;
    }
    platform::debugOutput("Narlo::Settings file did not parse; kept it as " + bad);
    return true;
}

} // namespace

CSettingStore::CSettingStore()
{
    registerConverter<std::int32_t>();
    registerConverter<float>();
    registerConverter<double>();
    registerConverter<std::string>();
    registerConverter<std::uint32_t>();
    g_current = this;
}

CSettingStore::~CSettingStore()
{
    CSettingStore* self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

CSettingStore* CSettingStore::current()
{
    return g_current;
}

template <class T> void CSettingStore::registerConverter()
{
    m_converters.emplace(std::string(SettingType<T>::typeText), std::make_shared<VariantCast<T>>());
}

template <class T> void CSettingStore::put(const std::string& name, T value)
{
    m_settings[name] = std::make_shared<const CSetting<T>>(std::move(value));
}

void CSettingStore::writeTextSetting(const std::string& name, const std::string& text)
{
    put(name, text);
}

void CSettingStore::writeIntSetting(const std::string& name, std::int32_t value)
{
    put(name, value);
}

void CSettingStore::writeFloatSetting(const std::string& name, float value)
{
    put(name, value);
}

void CSettingStore::writeDoubleSetting(const std::string& name, double value)
{
    put(name, value);
}

void CSettingStore::writeULongSetting(const std::string& name, std::uint32_t value)
{
    put(name, value);
}

void CSettingStore::writeFromText(const std::string& name, const std::string& text,
                                  const std::string& typeText)
{
    if (const auto it = m_converters.find(typeText); it != m_converters.end()) {
        it->second->fromText(name, text);
    }
}

bool CSettingStore::readTextSetting(const std::string& name, std::string& text) const
{
    const auto it = m_settings.find(name);
    if (it == m_settings.end()) {
        return false;
    }
    text = it->second->queryText();
    return true;
}

void CSettingStore::load()
{
    load(settingsPath());
}

void CSettingStore::load(const std::string& path)
{
    if (path.empty()) {
        return;
    }
    TiXmlDocument document;
    if (!xml::loadXmlFile(path, document)) {
        // A missing or unreadable file holds nothing a save could destroy.
        if (document.ErrorId() != TiXmlBase::TIXML_ERROR_OPENING_FILE) {
            m_unparsedPath = path;
        }
        return;
    }
    const TiXmlElement* root = document.FirstChildElement("settings");
    if (!root) {
        return;
    }
    for (const TiXmlElement* item = root->FirstChildElement("item"); item;
         item = item->NextSiblingElement("item")) {
        writeFromText(childText(*item, "name"), childText(*item, "value"),
                      childText(*item, "type"));
    }
}

void CSettingStore::save() const
{
    save(settingsPath()); // a failed save is silent: this run's settings are lost
}

bool CSettingStore::save(const std::string& path) const
{
    if (path.empty()) {
        return false;
    }
    TiXmlDocument document;
    document.InsertEndChild(TiXmlDeclaration("1.0", "UTF-16", "no"));
    TiXmlNode* root = document.InsertEndChild(TiXmlElement("settings"));
    for (const auto& [name, setting] : m_settings) {
        TiXmlElement item("item");
        addTextElement(item, "name", name);
        addTextElement(item, "type", setting->typeText());
        addTextElement(item, "value", setting->toText());
        root->InsertEndChild(item);
    }
    if (path == m_unparsedPath) {
        if (!keepAside(path)) {
            return false;
        }
        m_unparsedPath.clear();
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (!folder.empty()) {
        platform::makeFolders(folder); // the per-user folder may not exist yet; best effort
    }
    return xml::saveXmlFile(path, document);
}

std::string CSettingStore::settingsPath()
{
    const std::string besideProgram = settingsPathFor(platform::programPath());
    if (besideProgram.empty()) {
        return {};
    }
    return platform::besideProgramFolder() +
           std::filesystem::path(besideProgram).filename().string();
}

} // namespace Orvane
