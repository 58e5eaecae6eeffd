#include "core/FileCache.h"

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "scan/FileFilters.h"

#include <boost/lexical_cast/try_lexical_convert.hpp>

#include <charconv>
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

// Written in pieces of about this many bytes: a cache of 100,000 entries is several MiB of
// text, which built whole cost more than writing it (every page of it newly touched).
constexpr std::size_t kPieceSize = 64 * 1024;

void appendLine(const std::string& key, const CacheEntry& entry, std::string& text)
{
    char stamp[10];
    text += key;
    text += '|';
    text += entry.fingerprint;
    text += '|';
    text.append(stamp, std::to_chars(stamp, stamp + sizeof stamp, entry.stampLo).ptr);
    text += '\n';
}

} // namespace

std::string defaultCachePath()
{
    return platform::besideProgramFolder() + "filecache.txt";
}

FileCache parseFileCache(std::string_view text)
{
    FileCache cache;
    std::string line;
    std::vector<std::string> fields;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        line.assign(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (splitTokens(line, "|", fields) != 3) {
            continue;
        }
        // A file this program wrote is in key order: each key goes in at the end.
        cache.insert_or_assign(cache.end(), std::move(fields[0]),
                               CacheEntry{std::move(fields[1]), parseStamp(fields[2])});
    }
    return cache;
}

FileCache readFileCache(const std::string& path)
{
    const std::optional<std::string> text = platform::readWholeFile(path);
    return text ? parseFileCache(*text) : FileCache{};
}

bool writeFileCache(const std::string& path, const FileCache& cache)
{
    const auto write = [&] {
        auto next = cache.begin();
        std::string piece;
        piece.reserve(kPieceSize);
        const auto nextPiece = [&] {
            piece.clear();
            for (; next != cache.end() && piece.size() < kPieceSize; ++next) {
                appendLine(next->first, next->second, piece);
            }
            return std::string_view(piece);
        };
        return platform::writeFileAtomically(path, nextPiece, platform::Durability::NoSync);
    };
    if (write()) {
        return true;
    }
    // The per-user folder is only created when first written to.
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0 || !platform::makeFolders(path.substr(0, slash))) {
        return false;
    }
    return write();
}

} // namespace core
