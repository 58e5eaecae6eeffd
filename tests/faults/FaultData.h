#pragma once

#include "core/GameSet.h"

#include <memory>
#include <string>

class CGameCatalogue;
namespace Orvane {
class CSettingStore;
}

// The files the fault tests and their driver write, built so that a reader can tell one
// generation from another and a complete file from a cut one.
namespace faultdata {

inline constexpr const char* kStoryExtensions = ".dat,.zip,.z1,.z2,.z3,.z4,.z5,.z6,.z7,.z8";
inline constexpr unsigned kSettingsItems = 400;
inline constexpr unsigned kCatalogueEntries = 3000;

// A settings store of kSettingsItems text settings "item0000"...; each value names the
// generation. The store is the process's current one while it lives.
class GenerationSettings
{
public:
    explicit GenerationSettings(unsigned generation);
    ~GenerationSettings();
    bool save(const std::string& path) const;

private:
    std::unique_ptr<Orvane::CSettingStore> m_store;
};
GenerationSettings settingsOfGeneration(unsigned generation);

// A catalogue of kCatalogueEntries records whose full names name the generation.
std::unique_ptr<CGameCatalogue> catalogueOfGeneration(unsigned generation);

// Which generation the settings file at `path` holds: -1 unless it loads completely, with
// every item present and all of one generation.
int settingsGeneration(const std::string& path);

// The same for a catalogue file.
int catalogueGeneration(const std::string& path);

// One record per regular file under `folder`, named after the file, with its fingerprint.
GameSet recordsForTree(const std::string& folder);

// What one scan did: the files that matched, the records afterwards, the report and the
// cache file used.
struct ScanOutcome
{
    std::size_t count = 0;
    GameSet set;
    std::string messages;
    std::string cachePath;
};

// Scans `folder` for the story extensions against `set`, as the Scan button does, with the
// cache file at `cachePath` (empty: the one beside the program).
ScanOutcome scanTree(const std::string& folder, const std::string& cachePath, GameSet set = {},
                     bool createUnknown = true);

} // namespace faultdata
