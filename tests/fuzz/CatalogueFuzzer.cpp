// Arbitrary bytes as a catalogue file. A failed load adds nothing and reports at most one
// "Problem with XML format" text; a successful one must survive a save and a second load with
// every field of every record unchanged, in the same fingerprint order. Whatever the parser is
// given stays within the reader's nesting and attribute limits.

#include "core/CGameCatalogue.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/XmlShape.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::string> recordsOf(const GameSet& games)
{
    std::vector<std::string> records;
    for (const GamePtr& game : games) {
        records.push_back(game->fingerprint + '\x1F' + game->FullName + '\x1F' + game->sn + '\x1F' +
                          game->fn + '\x1F' + game->warn);
    }
    return records;
}

std::string joined(const std::vector<std::string>& records)
{
    std::string text;
    for (const std::string& record : records) {
        text += record + '\n';
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input = fuzz::writeScratch("input.xml", fuzz::bytes(data, size));
    const std::string saved = fuzz::scratchFolder() + "saved.xml";
    fuzz::checkXmlWithinLimits(input);

    CGameCatalogue first;
    if (!first.loadCatalogue(input)) {
        fuzz::check(first.games.size() == 0, "a failed load added records");
        const std::string report = first.messages.str();
        fuzz::check(report.empty() ||
                        report.starts_with("Problem with XML format, check syntax of file: "),
                    "unexpected failure report", report);
        return 0;
    }
    fuzz::check(first.saveCatalogue(saved), "the catalogue could not be saved");

    CGameCatalogue second;
    fuzz::check(second.loadCatalogue(saved), "a saved catalogue does not load",
                fuzz::readWhole(saved));
    const std::vector<std::string> before = recordsOf(first.games);
    const std::vector<std::string> after = recordsOf(second.games);
    fuzz::check(before == after, "records change through a save and a load",
                joined(before) + "----\n" + joined(after));
    return 0;
}
