#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One line of a CRC list. Two forms are read: SFV, "name CRC", and storycrc's own output,
// "CRC<TAB>name", with or without "<TAB>**matched CRC**".
struct CrcListLine
{
    enum class Kind
    {
        Nothing,   // an empty or blank line, or a comment (';' first)
        Entry,     // `name` should have the CRC-32 `crc`
        Total,     // storycrc's "CRC<TAB>TOTAL" of -s: a sum, which names no file
        Malformed, // any other line
    };
    Kind kind = Kind::Nothing;
    std::string name;
    std::uint32_t crc = 0;
};

// Reads one line of a list, given without its line feed; a carriage return at its end is
// dropped. A line that begins with eight hexadecimal digits and a tab is storycrc's form: the
// name is all that follows the tab, blanks included. Any other line is SFV: the CRC is the
// eight hexadecimal digits after the line's last blank (space or tab), blanks after them
// ignored, and the name all before that blank, its own blanks included. CRCs are read in
// either case.
CrcListLine parseCrcListLine(std::string_view line);

// Whether a list can hold `name`: it holds no line feed and no carriage return.
bool listableName(std::string_view name);

// The SFV line, without line end, for the listable `name` and its `crc`. A name the line would
// not give back as it stands (one beginning with ';', which reads as a comment, or with a CRC
// and a tab) is written with "./" before it, which names the same file.
std::string sfvLine(std::string_view name, std::uint32_t crc);
