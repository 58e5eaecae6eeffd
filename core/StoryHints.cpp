#include "core/StoryHints.h"

#include "core/Fingerprint.h"

#include <unordered_map>
#include <vector>

namespace core {
namespace {

constexpr std::size_t kMostNames = 3;

// The catalogued records not found, by serial number, in the set's order of serials: as many
// of each as a hint can name, and one more to tell that there are more, and one more again
// for the record a hint already names as the original of a padded copy.
class MissingBySerial
{
public:
    explicit MissingBySerial(const GameSet& games)
    {
        for (const GamePtr& game : games.get<bySn>()) {
            if (!game->unmatched && !game->found && !game->sn.empty()) {
                std::vector<const CGame*>& records = m_records[game->sn];
                if (records.size() < kMostNames + 2) {
                    records.push_back(game.get());
                }
            }
        }
    }

    // "A, B, C" or "A, B, C, …": the names of those with serial `sn`, but `except`.
    std::string names(const std::string& sn, const CGame* except) const
    {
        const auto found = m_records.find(sn);
        std::string names;
        std::size_t count = 0;
        for (const CGame* record : found == m_records.end() ? kNone : found->second) {
            if (record == except) {
                continue;
            }
            if (count == kMostNames) {
                return names + ", \u2026";
            }
            names += (count++ > 0 ? ", " : "") + record->FullName;
        }
        return names;
    }

private:
    static inline const std::vector<const CGame*> kNone;
    std::unordered_map<std::string, std::vector<const CGame*>> m_records;
};

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

std::string hintWith(const CGame& game, const GameSet& games, const MissingBySerial& missing)
{
    std::vector<std::string> parts;
    const CGame* original = paddedOriginal(game.facts, games);
    if (original) {
        parts.push_back("padded copy of " + original->FullName);
    }
    if (std::string names = missing.names(game.sn, original); !names.empty()) {
        parts.push_back("same serial as " + names);
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

} // namespace

std::string hintFor(const CGame& game, const GameSet& games)
{
    return hintWith(game, games, MissingBySerial(games));
}

void giveHints(GameSet& games)
{
    // Gathered once: asking the set for each unmatched record's serial would cost the square
    // of the records when thousands share one serial.
    const MissingBySerial missing(games);
    for (const GamePtr& game : games) {
        if (game->unmatched) {
            game->hint = hintWith(*game, games, missing); // a key of no view
        }
    }
}

} // namespace core
