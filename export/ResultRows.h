#pragma once

#include "core/GameSet.h"

#include <string>
#include <vector>

namespace exporter {

// The five texts of one results-list row, as the list shows, copies and saves them.
struct ResultRow
{
    std::string fingerprint;
    std::string serial;   // "unknown" when the record has no serial number
    std::string filename; // "unknown" when the record has no path
    std::string warnings;
    std::string fullName;
};

// "unknown" for a record made for a file that matched no record, "found" for a catalogue
// entry whose file a scan met, "missing" for one whose file it did not meet.
const char* recordStatus(const CGame& game);

// The row that shows `game`.
ResultRow resultRow(const CGame& game);

// One row per record of `games`, in fingerprint order: the rows a scan shows.
std::vector<ResultRow> resultRows(const GameSet& games);

// The text of "gamelist.txt": "<filename> <serial>\n" for every row, in the given order.
std::string gameListText(const std::vector<ResultRow>& rows);

// The records that Save writes for `rows`: the texts as they stand, placeholders included;
// a repeated fingerprint keeps its first row.
GameSet catalogueGames(const std::vector<ResultRow>& rows);

} // namespace exporter
