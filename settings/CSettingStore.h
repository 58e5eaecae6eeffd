#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace Orvane {

class CSettingBase;
class VariantCastBase;

// The named, typed settings of the program and the XML file that keeps them between runs.
// While a store exists it is the process's current store (there is one at a time); the
// converters write into it. Used on one thread; failures of the file are silent.
class CSettingStore
{
public:
    // Registers the converters of the five setting types and becomes the current store.
    CSettingStore();
    // Afterwards the process has no current store.
    ~CSettingStore();
    CSettingStore(const CSettingStore&) = delete;
    CSettingStore& operator=(const CSettingStore&) = delete;

    // The current store; nullptr when none exists.
    static CSettingStore* current();

    // Each makes the value the setting `name`, replacing an earlier setting of any type.
    void writeTextSetting(const std::string& name, const std::string& text);
    void writeIntSetting(const std::string& name, std::int32_t value);
    void writeFloatSetting(const std::string& name, float value);
    void writeDoubleSetting(const std::string& name, double value);
    void writeULongSetting(const std::string& name, std::uint32_t value);

    // Converts `text` with the converter registered under `typeText` and stores the result
    // as the setting `name`; an unknown type text does nothing.
    void writeFromText(const std::string& name, const std::string& text,
                       const std::string& typeText);

    // The query form of the setting `name`, whatever its type, into `text`; false (and
    // `text` untouched) when there is no such setting.
    bool readTextSetting(const std::string& name, std::string& text) const;

    // Adds the items of the settings file at `path` (settingsPath() without one) to the
    // store; an item replaces a setting of the same name, a later item an earlier one. An
    // empty path, a missing or malformed file, or another root than "settings" changes
    // nothing. Items of unknown types are dropped. A file that was read but does not parse
    // is remembered, so that the first save over it keeps it.
    void load();
    void load(const std::string& path);

    // Writes every setting, in byte order of the names, to the settings file at `path`
    // (settingsPath() without one), replacing it atomically and creating its folder when
    // missing. Returns whether the file was written; an empty path writes nothing. Before
    // the first save over a file that load() could not parse, that file is copied to
    // `path` + ".bad" (replacing an older copy) and a trace line says so; when the copy
    // cannot be written the file is left alone and the result is false.
    void save() const;
    bool save(const std::string& path) const;

    // The settings file of the running program: beside it, or in the per-user data folder
    // when the program's folder is read-only. Empty when the program's path is unknown.
    static std::string settingsPath();

private:
    template <class T> void registerConverter();
    template <class T> void put(const std::string& name, T value);

    std::map<std::string, std::shared_ptr<const VariantCastBase>> m_converters;
    std::map<std::string, std::shared_ptr<const CSettingBase>> m_settings;
    // A file load() read but could not parse; cleared once a save has kept it aside.
    mutable std::string m_unparsedPath;
};

} // namespace Orvane
