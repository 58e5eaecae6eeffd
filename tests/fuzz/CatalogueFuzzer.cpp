// Arbitrary bytes as a catalogue file. A failed load adds nothing and reports at most one
// "Problem with XML format" text; what loads survives a save and a second load with every field
// of every record unchanged. The parser is given nothing past the reader's limits: a reader
// that lets more through shows here long before the parser's stack gives out.

#include "core/CGameCatalogue.h"
#include "tests/fuzz/FuzzSupport.h"
#include "xml/XmlFile.h"

#include <tinyxml.h>

namespace {

// Whether the elements under `node`, at `depth`, keep within the limits (walked no further).
bool withinLimits(const TiXmlNode* node, int depth = 0)
{
    int attributes = 0;
    const TiXmlElement* element = node->ToElement();
    for (auto a = element ? element->FirstAttribute() : nullptr; a; a = a->Next()) {
        ++attributes;
    }
    bool within = !element || (depth <= xml::kMaxNestingDepth && attributes <= xml::kMaxAttributes);
    for (auto child = node->FirstChild(); within && child; child = child->NextSibling()) {
        within = withinLimits(child, depth + 1);
    }
    return within;
}

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
    TiXmlDocument doc;
    xml::loadXmlFile(input, doc);
    fuzz::check(withinLimits(&doc), "the parser was given a document past the reader's limits");

    CGameCatalogue first;
    CGameCatalogue second;
    if (!first.loadCatalogue(input)) {
        const std::string report = first.messages.str();
        fuzz::check(first.games.size() == 0 &&
                        (report.empty() ||
                         report.starts_with("Problem with XML format, check syntax of file: ")),
                    "a failed load added records or reported otherwise");
    } else {
        fuzz::check(first.saveCatalogue("saved.xml") && second.loadCatalogue("saved.xml") &&
                        fieldsOf(first.games) == fieldsOf(second.games),
                    "records change through a save and a load");
    }
    return 0;
}
