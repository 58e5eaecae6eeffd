#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

// The window placement kept in the setting "Placement": the 44-byte record of eleven
// little-endian 32-bit fields, in this order. Coordinates are screen pixels; the normal
// rectangle's right and bottom edges lie just outside the window.
struct WindowPlacement
{
    static constexpr std::int32_t kRecordLength = 44;
    static constexpr std::int32_t kShowNormal = 1;
    static constexpr std::int32_t kShowMinimized = 2;
    static constexpr std::int32_t kShowMaximized = 3;
    static constexpr std::int32_t kMinimize = 6;

    std::int32_t length = kRecordLength;
    std::int32_t flags = 0;
    std::int32_t showCmd = kShowNormal;
    std::int32_t minX = 0;
    std::int32_t minY = 0;
    std::int32_t maxX = 0;
    std::int32_t maxY = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const WindowPlacement&) const = default;
};

using PlacementBytes = std::array<std::uint8_t, WindowPlacement::kRecordLength>;

PlacementBytes placementBytes(const WindowPlacement& placement);
WindowPlacement placementFromBytes(const PlacementBytes& bytes);

// The record as 88 capital letters A to P, two per byte: 'A' + low four bits, then
// 'A' + high four bits. The length 44 begins the text as "MCAAAAAA".
std::string placementText(const WindowPlacement& placement);

// Decodes `text` over `placement`. Only a text of exactly 88 letters A to P that encodes a
// record of length 44 is taken; anything else leaves `placement` as it was and returns false.
bool decodePlacementText(std::string_view text, WindowPlacement& placement);

} // namespace ui
