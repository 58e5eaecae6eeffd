#include "core/FileCache.h"

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "scan/FileFilters.h"

#include <boost/lexical_cast/try_lexical_convert.hpp>

#include <optional>
#include <vector>

namespace core {
namespace {

std::uint32_t parseStamp(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return 0;
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    // lexical_cast alone would take a sign and wrap "-1" round to 4294967295.
    if (text.find_first_not_of("0123456789") != std::string_view::npos) {
        return 0;
    }
    std::uint32_t stamp = 0;
    if (!boost::conversion::try_lexical_convert(text.data(), text.size(), stamp)) {
        return 0; // too large for 32 bits
    }
    return stamp;
}

} // namespace

std::string defaultCachePath()
{
    return platform::besideProgramFolder() + "filecache.txt";
}

FileCache parseFileCache(std::string_view text)
{
    FileCache cache;
    std::vector<std::string> fields;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (splitTokens(line, "|", fields) != 3) {
            continue;
        }
        cache[fields[0]] = CacheEntry{fields[1], parseStamp(fields[2])};
    }
    return cache;
}

FileCache readFileCache(const std::string& path)
{
    const std::optional<std::string> text = platform::readWholeFile(path);
    return text ? parseFileCache(*text) : FileCache{};
}

std::string fileCacheText(const FileCache& cache)
{
    std::string text;
    for (const auto& [key, entry] : cache) {
        text += key;
        text += '|';
        text += entry.fingerprint;
        text += '|';
        text += std::to_string(entry.stampLo);
        text += '\n';
    }
    return text;
}

bool writeFileCache(const std::string& path, const FileCache& cache)
{
    const std::string text = fileCacheText(cache);
    if (platform::writeFileAtomically(path, text, platform::Durability::NoSync)) {
        return true;
    }
    // The per-user folder is only created when first written to.
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0 || !platform::makeFolders(path.substr(0, slash))) {
        return false;
    }
    return platform::writeFileAtomically(path, text, platform::Durability::NoSync);
}

} // namespace core
