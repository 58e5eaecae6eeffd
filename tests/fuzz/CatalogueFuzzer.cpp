// Arbitrary bytes as a catalogue file. A failed load adds nothing and reports at most one
// "Problem with XML format" text; a successful one must survive a save and a second load with
// every field of every record unchanged, in the same fingerprint order. Whatever the parser is
// given stays within the reader's nesting and attribute limits.

#include "core/CGameCatalogue.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/XmlShape.h"

namespace {

// Every field of every record, in order.
std::vector<std::string> fieldsOf(const GameSet& games)
{
    std::vector<std::string> fields;
    for (const GamePtr& game : games) {
        fields.insert(fields.end(),
                      {game->fingerprint, game->FullName, game->sn, game->fn, game->warn});
    }
    return fields;
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
    fuzz::check(fieldsOf(first.games) == fieldsOf(second.games),
                "records change through a save and a load", fuzz::readWhole(saved));
    return 0;
}
