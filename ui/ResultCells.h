#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct CGame;

namespace ui {

enum class CellKind
{
    ReadOnly,
    Editable
};

struct Rgb
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kWellFormedColour{0, 0, 255}; // a proper serial number
inline constexpr Rgb kMalformedColour{255, 0, 0};  // a missing or malformed serial number
inline constexpr Rgb kUnknownNameColour{0, 128, 0};

// One cell of the results list. What the list draws, copies, sorts and saves is `text`.
struct Cell
{
    CellKind kind = CellKind::ReadOnly;
    std::string text;
    Rgb colour;
};

enum Column : int
{
    kFingerPrintColumn,
    kSerialColumn,
    kFilenameColumn,
    kWarningsColumn,
    kFullNameColumn,
    kColumnCount
};

inline constexpr std::array<const char*, kColumnCount> kColumnHeaders{
    "FingerPrint", "Serial #", "Filename", "Warnings", "FullName"};

using CellRow = std::array<Cell, kColumnCount>;

// The cells that show `game`: texts with "unknown" for an empty serial number or path,
// Warnings and FullName editable, coloured by whether the serial number is well formed.
CellRow cellsForGame(const CGame& game);

// `text` cut to `capacity` - 1 bytes, as read into a buffer of that capacity.
std::string cutText(std::string_view text, int capacity);

// Orders two cell texts after folding ASCII capitals to lower case, as unsigned bytes;
// negative, zero or positive like strcmp.
int compareFolded(std::string_view a, std::string_view b);

} // namespace ui
