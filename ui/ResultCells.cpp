#include "ui/ResultCells.h"

#include "core/CGame.h"
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
            Cell{CellKind::Editable, std::move(row.fullName), nameColour}};
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
