#include "core/StoryHints.h"

#include "core/Fingerprint.h"

#include <vector>

namespace core {
namespace {

constexpr int kMostNames = 3;

// The catalogued record whose fingerprint is the CRC of `facts`' declared length, if any.
const CGame* paddedOriginal(const std::optional<StoryFacts>& facts, const GameSet& games)
{
    if (!facts || !facts->declaredCrc) {
        return nullptr;
    }
    const auto& lookup = games.get<byFingerprintLookup>();
    const auto pos = lookup.find(crcText(*facts->declaredCrc));
    return pos != lookup.end() && !(*pos)->unmatched ? pos->get() : nullptr;
}

// The names of the catalogued records not found that have the serial `sn`, but `except`.
std::string namesWithSerial(const std::string& sn, const GameSet& games, const CGame* except)
{
    std::string names;
    int count = 0;
    for (auto [it, end] = games.get<bySn>().equal_range(sn); it != end; ++it) {
        const CGame& other = **it;
        if (other.unmatched || other.found || &other == except) {
            continue;
        }
        if (count == kMostNames) {
            return names + ", \u2026";
        }
        names += (count++ > 0 ? ", " : "") + other.FullName;
    }
    return names;
}

} // namespace

std::string hintFor(const CGame& game, const GameSet& games)
{
    std::vector<std::string> parts;
    const CGame* original = paddedOriginal(game.facts, games);
    if (original) {
        parts.push_back("padded copy of " + original->FullName);
    }
    if (!game.sn.empty()) {
        if (std::string names = namesWithSerial(game.sn, games, original); !names.empty()) {
            parts.push_back("same serial as " + names);
        }
    }
    if (game.facts && game.facts->check != StoryCheck::Intact) {
        parts.emplace_back(checkWord(game.facts->check));
    }
    std::string hint;
    for (const std::string& part : parts) {
        hint += (hint.empty() ? "" : "; ") + part;
    }
    return hint;
}

void giveHints(GameSet& games)
{
    for (const GamePtr& game : games) {
        if (game->unmatched) {
            game->hint = hintFor(*game, games); // a key of no view
        }
    }
}

} // namespace core
