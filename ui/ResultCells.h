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

// One cell of the results list. What the list draws, copies, sorts and saves is `text`;
// `tip`, when not empty, is shown as the cell's tooltip.
struct Cell
{
    CellKind kind = CellKind::ReadOnly;
    std::string text;
    Rgb colour;
    std::string tip = {};
};

enum Column : int
{
    kFingerPrintColumn,
    kSerialColumn,
    kFilenameColumn,
    kWarningsColumn,
    kFullNameColumn,
    kCheckColumn, // the story file's check word: shown and sorted, never copied or saved
    kColumnCount
};

// The columns that Copy and Save write, all those before Check; the catalogue, the clipboard
// line and gamelist.txt have no place for the check word.
inline constexpr int kSavedColumnCount = kCheckColumn;

inline constexpr std::array<const char*, kColumnCount> kColumnHeaders{
    "FingerPrint", "Serial #", "Filename", "Warnings", "FullName", "Check"};

using CellRow = std::array<Cell, kColumnCount>;

// The cells that show `game`: texts with "unknown" for an empty serial number or path,
// Warnings and FullName editable, coloured by whether the serial number is well formed. The
// Check cell holds the check word of the record's story facts, with checkTip() as its
// tooltip; both are empty for a record without facts.
CellRow cellsForGame(const CGame& game);

// The lines that tell what `game`'s file is: for a Z-code file its version, release and
// serial number, its declared length and size, and its IFID; for any other file its check
// word and size. Then "Hint: " and the hint, when there is one. Empty without facts.
std::string checkTip(const CGame& game);

// `text` cut to `capacity` - 1 bytes, as read into a buffer of that capacity.
std::string cutText(std::string_view text, int capacity);

// Orders two cell texts after folding ASCII capitals to lower case, as unsigned bytes;
// negative, zero or positive like strcmp.
int compareFolded(std::string_view a, std::string_view b);

} // namespace ui
