#include "ui/ResultCells.h"

#include "core/CGame.h"
#include "core/ScanProgress.h"
#include "core/StorySerial.h"
#include "export/ResultRows.h"
#include "platform/AsciiCase.h"

#include <algorithm>

namespace ui {
namespace {

unsigned char foldedByte(char c)
{
    return static_cast<unsigned char>(platform::asciiLower(c));
}

// The serial number's bytes as they stand, but for control bytes, which would break the line
// or end the text: each becomes '?'.
std::string shownSerial(std::string serial)
{
    for (char& c : serial) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return serial;
}

std::string zcodeLines(const core::StoryFacts& facts)
{
    const std::string length = facts.declaredLength == 0
                                   ? "no length declared"
                                   : core::groupedThousands(facts.declaredLength) + " declared";
    return "Version " + std::to_string(facts.version) + ", release " +
           std::to_string(facts.release) + ", serial " + shownSerial(facts.serial) + "\nSize " +
           core::groupedThousands(facts.size) + " bytes, " + length + "\nIFID " + facts.ifid;
}

} // namespace

CellRow cellsForGame(const CGame& game)
{
    const bool wellFormed = isSerialWellFormed(game.sn);
    const Rgb rowColour = wellFormed ? kWellFormedColour : kMalformedColour;
    const Rgb nameColour =
        (wellFormed && game.FullName == kUnknown) ? kUnknownNameColour : rowColour;
    exporter::ResultRow row = exporter::resultRow(game);
    return {Cell{CellKind::ReadOnly, std::move(row.fingerprint), rowColour},
            Cell{CellKind::ReadOnly, std::move(row.serial), rowColour},
            Cell{CellKind::ReadOnly, std::move(row.filename), rowColour},
            Cell{CellKind::Editable, std::move(row.warnings), rowColour},
            Cell{CellKind::Editable, std::move(row.fullName), nameColour},
            Cell{CellKind::ReadOnly, game.facts ? core::checkWord(game.facts->check) : "",
                 rowColour, checkTip(game)}};
}

std::string checkTip(const CGame& game)
{
    if (!game.facts) {
        return {};
    }
    const core::StoryFacts& facts = *game.facts;
    std::string tip = facts.check == core::StoryCheck::NotZcode
                          ? std::string(core::checkWord(facts.check)) + ", " +
                                core::groupedThousands(facts.size) + " bytes"
                          : zcodeLines(facts);
    if (!game.hint.empty()) {
        tip += "\nHint: " + game.hint;
    }
    return tip;
}

std::string cutText(std::string_view text, int capacity)
{
    if (capacity <= 0) {
        return {};
    }
    return std::string(text.substr(0, static_cast<std::size_t>(capacity - 1)));
}

int compareFolded(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = foldedByte(a[i]);
        const unsigned char y = foldedByte(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

} // namespace ui
