// Arbitrary bytes as the settings file. The store must load anything without harm, and what
// it saves must be stable: loading its own file and saving again may normalise once (blanks at
// the start of a text are not kept), after which the file no longer changes. Whatever the
// parser is given stays within the reader's nesting and attribute limits.

#include "settings/CSettingStore.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/XmlShape.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::quietTrace();
    std::string path = fuzz::writeScratch("0_settings.xml", fuzz::bytes(data, size));
    fuzz::checkXmlWithinLimits(path);
    std::string saved[3]; // after one, two and three rounds of loading and saving
    for (int round = 1; round <= 3; ++round) {
        Orvane::CSettingStore store;
        store.load(path);
        path = fuzz::scratchFolder() + std::to_string(round) + "_settings.xml";
        fuzz::check(store.save(path), "the settings file could not be saved");
        saved[round - 1] = fuzz::readWhole(path);
    }
    fuzz::check(saved[1] == saved[2], "a saved settings file changes when loaded and saved again",
                saved[1] + "\n----\n" + saved[2]);
    return 0;
}
