#include "ui/ResultCells.h"

#include "core/CGame.h"
#include "core/StorySerial.h"
#include "platform/AsciiCase.h"

#include <algorithm>

namespace ui {
namespace {

unsigned char foldedByte(char c)
{
    return static_cast<unsigned char>(platform::asciiLower(c));
}

const std::string& orUnknown(const std::string& text)
{
    static const std::string unknown = kUnknown;
    return text.empty() ? unknown : text;
}

} // namespace

CellRow cellsForGame(const CGame& game)
{
    const bool wellFormed = isSerialWellFormed(game.sn);
    const Rgb rowColour = wellFormed ? kWellFormedColour : kMalformedColour;
    const Rgb nameColour =
        (wellFormed && game.FullName == kUnknown) ? kUnknownNameColour : rowColour;
    return {Cell{CellKind::ReadOnly, game.fingerprint, rowColour},
            Cell{CellKind::ReadOnly, orUnknown(game.sn), rowColour},
            Cell{CellKind::ReadOnly, orUnknown(game.fn), rowColour},
            Cell{CellKind::Editable, game.warn, rowColour},
            Cell{CellKind::Editable, game.FullName, nameColour}};
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
