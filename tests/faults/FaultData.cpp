#include "tests/faults/FaultData.h"

#include "core/CGameCatalogue.h"
#include "core/Fingerprint.h"
#include "platform/Trace.h"
#include "settings/CSettingStore.h"

#include <cstdio>
#include <filesystem>
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

// The generation a text of `valueOf` or `fullNameOf` names, if any.
std::optional<int> generationIn(const std::string& text)
{
    const std::size_t at = text.find("generation ");
    if (at == std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(text.substr(at + 11));
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
    std::optional<int> generation;
    for (unsigned i = 0; i < kSettingsItems; ++i) {
        std::string value;
        if (!store.readTextSetting(itemName(i), value)) {
            return -1;
        }
        const std::optional<int> found = generationIn(value);
        if (!found || (generation && *found != *generation) ||
            value != valueOf(static_cast<unsigned>(*found), i)) {
            return -1;
        }
        generation = found;
    }
    return generation.value_or(-1);
}

int catalogueGeneration(const std::string& path)
{
    CGameCatalogue catalogue;
    if (!catalogue.loadCatalogue(path) || catalogue.games.size() != kCatalogueEntries) {
        return -1;
    }
    std::optional<int> generation;
    for (unsigned i = 0; i < kCatalogueEntries; ++i) {
        const auto game = catalogue.games.find(crcText(i));
        if (game == catalogue.games.end()) {
            return -1;
        }
        const std::optional<int> found = generationIn((*game)->FullName);
        if (!found || (generation && *found != *generation) ||
            (*game)->FullName != fullNameOf(static_cast<unsigned>(*found), i)) {
            return -1;
        }
        generation = found;
    }
    return generation.value_or(-1);
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

} // namespace faultdata
