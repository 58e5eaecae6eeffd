#include "export/ResultRows.h"

#include <memory>

namespace exporter {
namespace {

std::string orUnknown(const std::string& text)
{
    return text.empty() ? kUnknown : text;
}

} // namespace

const char* recordStatus(const CGame& game)
{
    return game.unmatched ? "unknown" : game.found ? "found" : "missing";
}

ResultRow resultRow(const CGame& game)
{
    return {game.fingerprint, orUnknown(game.sn), orUnknown(game.fn), game.warn, game.FullName};
}

std::vector<ResultRow> resultRows(const GameSet& games)
{
    std::vector<ResultRow> rows;
    rows.reserve(games.size());
    for (const GamePtr& game : games.get<byFingerprint>()) {
        rows.push_back(resultRow(*game));
    }
    return rows;
}

std::string gameListText(const std::vector<ResultRow>& rows)
{
    std::string text;
    for (const ResultRow& row : rows) {
        text += row.filename + " " + row.serial + "\n";
    }
    return text;
}

GameSet catalogueGames(const std::vector<ResultRow>& rows)
{
    GameSet games;
    for (const ResultRow& row : rows) {
        auto game = std::make_shared<CGame>(row.fullName, row.fingerprint, row.serial);
        game->fn = row.filename;
        game->warn = row.warnings;
        games.insert(std::move(game));
    }
    return games;
}

} // namespace exporter
