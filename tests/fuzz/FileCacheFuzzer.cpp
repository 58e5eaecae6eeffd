// Arbitrary bytes as "filecache.txt" and, after a zero byte, "filefacts.txt". The reader equals a
// model (three '|'-separated fields a line, empty ones dropped, a stamp not a 32-bit decimal
// number between blanks read as 0, later lines winning); what is written, facts too, reads back.

#include "core/FileCache.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

static std::uint32_t modelStamp(std::string_view text)
{
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
    return fuzz::numberOrZero<std::uint32_t>(text.substr(0, text.find_last_not_of(" \t") + 1));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = fuzz::bytes(data, size);
    const std::string_view text = input.substr(0, input.find('\0'));
    fuzz::writeScratch("filefacts.txt", input.substr(std::min(input.size(), text.size() + 1)));
    const FileCache cache = core::readFileCache(fuzz::writeScratch("filecache.txt", text));
    FileCache model;
    for (const std::string& line : fuzz::lines(text)) {
        std::vector<std::string> fields = fuzz::split(line, '|');
        std::erase(fields, std::string());
        if (fields.size() == 3) {
            const auto read = cache.find(fields[0]); // the facts are not modelled
            model[fields[0]] = {fields[1], modelStamp(fields[2]),
                                read == cache.end() ? std::nullopt : read->second.facts};
        }
    }
    fuzz::check(cache == model, "cache entries differ from the model");
    fuzz::check(core::writeFileCache("filecache.txt", cache) &&
                    core::readFileCache("filecache.txt") == cache,
                "entries change through a write and a read");
    return 0;
}
