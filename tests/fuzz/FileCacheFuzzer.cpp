// Arbitrary bytes as "filecache.txt". The reader is compared with an independent model of the
// format (lines of three '|'-separated fields, empty fields dropped, a stamp that is not a
// 32-bit decimal number reading as 0, later lines winning), and what the writer makes of the
// entries must read back as the same entries.

#include "core/FileCache.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> fieldsOf(std::string_view line)
{
    std::vector<std::string> fields;
    std::string field;
    for (const char c : line) {
        if (c != '|') {
            field += c;
        } else if (!field.empty()) {
            fields.push_back(std::move(field));
            field.clear();
        }
    }
    if (!field.empty()) {
        fields.push_back(std::move(field));
    }
    return fields;
}

std::uint32_t modelStamp(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return 0;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > UINT32_MAX) {
            return 0;
        }
    }
    return static_cast<std::uint32_t>(value);
}

FileCache modelCache(std::string_view text)
{
    FileCache cache;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::vector<std::string> fields = fieldsOf(line);
        if (fields.size() == 3) {
            cache[fields[0]] = CacheEntry{fields[1], modelStamp(fields[2])};
        }
    }
    return cache;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzz::bytes(data, size);
    const std::string path = fuzz::writeScratch("filecache.txt", text);

    const FileCache cache = core::readFileCache(path);
    fuzz::check(cache == modelCache(text), "cache entries differ from the model", text);

    fuzz::check(core::writeFileCache(path, cache), "the cache file could not be written");
    fuzz::check(core::readFileCache(path) == cache, "entries change through a write and a read",
                fuzz::readWhole(path));
    return 0;
}
