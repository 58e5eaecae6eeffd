#include "ui/PlacementText.h"

#include <cstddef>

namespace ui {
namespace {

constexpr std::size_t kTextLength = 2 * WindowPlacement::kRecordLength;

// The fields in record order, so that reading and writing cannot disagree.
template <class Placement> auto fields(Placement& p)
{
    return std::array{&p.length, &p.flags, &p.showCmd, &p.minX,  &p.minY,  &p.maxX,
                      &p.maxY,   &p.left,  &p.top,     &p.right, &p.bottom};
}

bool isPlacementLetter(char c)
{
    return c >= 'A' && c <= 'P';
}

} // namespace

PlacementBytes placementBytes(const WindowPlacement& placement)
{
    PlacementBytes bytes{};
    std::size_t at = 0;
    for (const std::int32_t* field : fields(placement)) {
        const auto value = static_cast<std::uint32_t>(*field);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes[at++] = static_cast<std::uint8_t>(value >> shift);
        }
    }
    return bytes;
}

WindowPlacement placementFromBytes(const PlacementBytes& bytes)
{
    WindowPlacement placement;
    std::size_t at = 0;
    for (std::int32_t* field : fields(placement)) {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= std::uint32_t{bytes[at++]} << shift;
        }
        *field = static_cast<std::int32_t>(value);
    }
    return placement;
}

std::string placementText(const WindowPlacement& placement)
{
    std::string text;
    text.reserve(kTextLength);
    for (const std::uint8_t byte : placementBytes(placement)) {
        text += static_cast<char>('A' + (byte & 0x0F));
        text += static_cast<char>('A' + (byte >> 4));
    }
    return text;
}

bool decodePlacementText(std::string_view text, WindowPlacement& placement)
{
    if (text.size() != kTextLength) {
        return false;
    }
    PlacementBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char low = text[2 * i];
        const char high = text[2 * i + 1];
        if (!isPlacementLetter(low) || !isPlacementLetter(high)) {
            return false;
        }
        bytes[i] = static_cast<std::uint8_t>((low - 'A') + 16 * (high - 'A'));
    }
    const WindowPlacement decoded = placementFromBytes(bytes);
    if (decoded.length != WindowPlacement::kRecordLength) {
        return false;
    }
    placement = decoded;
    return true;
}

} // namespace ui
