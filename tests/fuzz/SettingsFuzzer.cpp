// Arbitrary bytes as the settings file. The store must load anything without harm, and what
// it saves must be stable: loading its own file and saving again may normalise once (blanks at
// the start of a text are not kept), after which the file no longer changes. Whatever the
// parser is given stays within the reader's nesting and attribute limits.

#include "settings/CSettingStore.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/XmlShape.h"

#include <cstdint>
#include <string>

namespace {

// Loads `from` into a fresh store and returns what that store saves.
std::string resaved(const std::string& from, const std::string& to)
{
    Orvane::CSettingStore store;
    store.load(from);
    fuzz::check(store.save(to), "the settings file could not be saved");
    return fuzz::readWhole(to);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::quietTrace();
    const std::string input = fuzz::writeScratch("input_settings.xml", fuzz::bytes(data, size));
    const std::string& folder = fuzz::scratchFolder();
    fuzz::checkXmlWithinLimits(input);

    const std::string once = resaved(input, folder + "once_settings.xml");
    const std::string twice = resaved(folder + "once_settings.xml", folder + "twice_settings.xml");
    const std::string thrice =
        resaved(folder + "twice_settings.xml", folder + "thrice_settings.xml");
    fuzz::check(twice == thrice, "a saved settings file changes when loaded and saved again",
                twice + "\n----\n" + thrice);
    return 0;
}
