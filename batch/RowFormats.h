#pragma once

#include "core/GameSet.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace batch {

// How the scan without a window prints its records.
enum class Format
{
    Tsv,  // the window's five cells per row, then "N: games found."
    Csv,  // every field, RFC 4180, with a header line
    Json, // every field, one array of objects
};

// The format named "tsv", "csv" or "json"; nothing for any other name.
std::optional<Format> formatNamed(std::string_view name);

// Writes one record per game of `games`, in fingerprint order, to `out` in `format`. In tsv
// a tab, line end, backslash or other control byte of a field is written \t, \n, \r, \\ or
// \xNN, so that one game is one line. In json a text that is not UTF-8 keeps its bytes: a
// backslash is written \\ and each byte outside a valid UTF-8 sequence \xNN, every other
// character as it is.
void writeRecords(const GameSet& games, Format format, std::ostream& out);

// `text` with its control bytes and backslashes escaped, as tsv writes a field.
std::string tsvField(std::string_view text);

} // namespace batch
