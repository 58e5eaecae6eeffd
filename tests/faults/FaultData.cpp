#include "tests/faults/FaultData.h"

#include "core/CGameCatalogue.h"
#include "core/Fingerprint.h"
#include "platform/Trace.h"
#include "settings/CSettingStore.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

namespace faultdata {
namespace {

std::string itemName(unsigned index)
{
    char name[16];
    std::snprintf(name, sizeof name, "item%04u", index);
    return name;
}

// Long enough that a write takes a while, so that kills land in the middle of one.
std::string valueOf(unsigned generation, unsigned index)
{
    return "generation " + std::to_string(generation) + " item " + std::to_string(index) + " " +
           std::string(200, 'v');
}

std::string fullNameOf(unsigned generation, unsigned index)
{
    return "Story " + std::to_string(index) + " of generation " + std::to_string(generation) +
           std::string(100, 'n');
}

// The generation that all `count` texts name, each exactly as `expected` writes it for that
// generation and index; -1 when a text is missing or names another generation.
int commonGeneration(unsigned count, std::string (*expected)(unsigned generation, unsigned index),
                     const std::function<std::optional<std::string>(unsigned index)>& text)
{
    int generation = -1;
    for (unsigned i = 0; i < count; ++i) {
        const std::optional<std::string> found = text(i);
        const std::size_t at = found ? found->find("generation ") : std::string::npos;
        if (at == std::string::npos) {
            return -1;
        }
        const int named = std::atoi(found->c_str() + at + 11);
        if (named < 0 || (i > 0 && named != generation) ||
            *found != expected(static_cast<unsigned>(named), i)) {
            return -1;
        }
        generation = named;
    }
    return generation;
}

} // namespace

GenerationSettings::GenerationSettings(unsigned generation)
    : m_store(std::make_unique<Orvane::CSettingStore>())
{
    for (unsigned i = 0; i < kSettingsItems; ++i) {
        m_store->writeTextSetting(itemName(i), valueOf(generation, i));
    }
}

GenerationSettings::~GenerationSettings() = default;

bool GenerationSettings::save(const std::string& path) const
{
    return m_store->save(path);
}

GenerationSettings settingsOfGeneration(unsigned generation)
{
    return GenerationSettings(generation);
}

std::unique_ptr<CGameCatalogue> catalogueOfGeneration(unsigned generation)
{
    auto catalogue = std::make_unique<CGameCatalogue>();
    for (unsigned i = 0; i < kCatalogueEntries; ++i) {
        auto game = std::make_shared<CGame>(fullNameOf(generation, i), crcText(i), "880429");
        game->fn = "/stories/" + std::to_string(i) + ".z5";
        catalogue->games.insert(std::move(game));
    }
    return catalogue;
}

int settingsGeneration(const std::string& path)
{
    // Every conversion writes two debug lines; four hundred items would flood the test log.
    const platform::TraceSink previous = platform::setTraceSink([](std::string_view) {});
    Orvane::CSettingStore store;
    store.load(path);
    platform::setTraceSink(previous);
    return commonGeneration(kSettingsItems, valueOf, [&](unsigned i) -> std::optional<std::string> {
        std::string value;
        return store.readTextSetting(itemName(i), value) ? std::optional(value) : std::nullopt;
    });
}

int catalogueGeneration(const std::string& path)
{
    CGameCatalogue catalogue;
    if (!catalogue.loadCatalogue(path) || catalogue.games.size() != kCatalogueEntries) {
        return -1;
    }
    return commonGeneration(
        kCatalogueEntries, fullNameOf, [&](unsigned i) -> std::optional<std::string> {
            const auto game = catalogue.games.find(crcText(i));
            return game == catalogue.games.end() ? std::nullopt : std::optional((*game)->FullName);
        });
}

GameSet recordsForTree(const std::string& folder)
{
    GameSet set;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        if (const auto crc = computeFingerprint(entry.path().string())) {
            set.insert(
                std::make_shared<CGame>(entry.path().filename().string(), crcText(*crc), ""));
        }
    }
    return set;
}

ScanOutcome scanTree(const std::string& folder, const std::string& cachePath, GameSet set,
                     bool createUnknown)
{
    CGameCatalogue catalogue;
    catalogue.setFilters(kStoryExtensions);
    if (!cachePath.empty()) {
        catalogue.setCachePath(cachePath);
    }
    ScanOutcome outcome;
    outcome.count = catalogue.scan(folder, &set, createUnknown);
    outcome.set = std::move(set);
    outcome.messages = catalogue.messages.str();
    outcome.cachePath = catalogue.cachePath();
    return outcome;
}

} // namespace faultdata
