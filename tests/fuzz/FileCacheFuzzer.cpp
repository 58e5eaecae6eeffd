// Arbitrary bytes as "filecache.txt" and, after the first zero byte, as "filefacts.txt" beside
// it. The cache reader is compared with a model of its format (lines of three '|'-separated
// fields, empty fields dropped, a stamp that is not a 32-bit decimal number between blanks
// reading as 0, later lines winning), and what the writer makes of the entries, with the facts
// read for them, must read back as the same entries and facts.

#include "core/FileCache.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

namespace {

// Blanks round the number are allowed.
std::uint32_t modelStamp(std::string_view text)
{
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
    return fuzz::numberOrZero<std::uint32_t>(text.substr(0, text.find_last_not_of(" \t") + 1));
}

FileCache modelCache(std::string_view text)
{
    FileCache cache;
    for (const std::string& line : fuzz::lines(text)) {
        std::vector<std::string> fields = fuzz::split(line, '|');
        std::erase(fields, std::string());
        if (fields.size() == 3) {
            cache[fields[0]] = CacheEntry{fields[1], modelStamp(fields[2])};
        }
    }
    return cache;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = fuzz::bytes(data, size);
    const std::string_view text = input.substr(0, input.find('\0'));
    const std::string path = fuzz::writeScratch("filecache.txt", text);
    fuzz::writeScratch("filefacts.txt", input.substr(std::min(input.size(), text.size() + 1)));

    const FileCache cache = core::readFileCache(path);
    FileCache withoutFacts = cache;
    for (auto& [key, entry] : withoutFacts) {
        entry.facts.reset();
    }
    fuzz::check(withoutFacts == modelCache(text), "cache entries differ from the model", text);
    fuzz::check(core::writeFileCache(path, cache), "the cache file could not be written");
    fuzz::check(core::readFileCache(path) == cache, "entries change through a write and a read",
                fuzz::readWhole(path));
    return 0;
}
