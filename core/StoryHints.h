#pragma once

#include "core/GameSet.h"

#include <string>

namespace core {

// Why the unmatched record `game` may have matched nothing, judged by the other records of
// `games`, as parts joined by "; ": "padded copy of <FullName>" when the CRC of its declared
// length is the fingerprint of a catalogued record; "same serial as <FullName>, ..." (three
// names at most, then "…") when catalogued records not found have its serial number; and its
// check word when that is not "intact". Empty when there is nothing to say. A hint never
// marks a record as found.
std::string hintFor(const CGame& game, const GameSet& games);

// Gives every unmatched record of `games` its hint.
void giveHints(GameSet& games);

} // namespace core
