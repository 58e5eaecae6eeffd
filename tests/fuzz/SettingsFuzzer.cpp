// Arbitrary bytes as the settings file. The store loads anything, and what it saves is stable:
// loading its own file and saving again may normalise once (blanks at the start of a text are
// not kept), after which the file no longer changes. (Limits: the catalogue target's, one loader.)

#include "platform/FileSystem.h"
#include "platform/Trace.h"
#include "settings/CSettingStore.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::setTraceSink([](std::string_view) {}); // the store traces every read
    std::string path = fuzz::writeScratch("0_settings.xml", fuzz::bytes(data, size));
    std::string saved[3]; // after one, two and three rounds of loading and saving
    for (int round = 1; round <= 3; ++round) {
        Orvane::CSettingStore store;
        store.load(path);
        path = std::to_string(round) + "_settings.xml";
        fuzz::check(store.save(path), "the settings file could not be saved");
        saved[round - 1] = platform::readWholeFile(path).value_or("");
    }
    fuzz::check(saved[1] == saved[2], "a saved settings file changes when loaded and saved again");
    return 0;
}
