#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Checks the files that each of `lists` names (as parseCrcListLine reads its lines) against the
// CRCs it gives; "-" stands for `in`. Lists are read in the order given; names are taken from
// the current folder and, when not found as written, looked up without regard to case.
// For each entry, in list order, `out` gets "name: OK" (not with `quiet`), "name: FAILED
// (<CRC read>, expected <CRC>)" or "name: FAILED open or read". `err` gets a report, with list
// and line number, for each line that is neither an entry nor blank or a comment, for a list
// that cannot be read or names no file, and at the end the counts of what failed.
// Returns 0 when every entry is OK, else 1 (also for a list that cannot be read or a line that
// does not parse).
int checkLists(const std::vector<std::string>& lists, bool quiet, std::istream& in,
               std::ostream& out, std::ostream& err);
