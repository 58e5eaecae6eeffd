#include "core/FileCache.h"

#include "core/Fingerprint.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "scan/FileFilters.h"

#include <boost/lexical_cast/try_lexical_convert.hpp>

#include <algorithm>
#include <charconv>
#include <cstdio>
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

constexpr std::size_t kFactsFields = 13;

template <class T> bool readNumber(std::string_view text, T& value, int base = 10)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    return !text.empty() && error == std::errc() && stop == end;
}

// The '|'-separated fields of `line`, empty ones included.
std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(line.substr(start, bar - start));
        if (bar == std::string_view::npos) {
            return fields;
        }
        start = bar + 1;
    }
}

std::string hexBytes(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 0xF];
    }
    return hex;
}

std::optional<std::string> bytesOfHex(std::string_view hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        unsigned value = 0;
        if (!readNumber(hex.substr(i, 2), value, 16)) {
            return std::nullopt;
        }
        bytes += static_cast<char>(value);
    }
    return hex.size() % 2 == 0 ? std::optional(bytes) : std::nullopt;
}

bool isIfidText(std::string_view ifid)
{
    return std::all_of(ifid.begin(), ifid.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-';
    });
}

// The facts of one line of a facts file, fields 3 on; nothing when they do not read so.
std::optional<core::StoryFacts> factsOfFields(const std::vector<std::string_view>& f)
{
    core::StoryFacts facts;
    const auto check = core::checkFromWord(f[4]);
    const auto serial = bytesOfHex(f[7]);
    if (!check || !serial || !readNumber(f[3], facts.size) || !readNumber(f[5], facts.version) ||
        !readNumber(f[6], facts.release) || !readNumber(f[8], facts.declaredLength) ||
        !readNumber(f[9], facts.checksum, 16) || !readNumber(f[10], facts.sum, 16) ||
        !isIfidText(f[12])) {
        return std::nullopt;
    }
    if (!f[11].empty()) {
        std::uint32_t crc = 0;
        if (!readNumber(f[11], crc, 16)) {
            return std::nullopt;
        }
        facts.declaredCrc = crc;
    }
    facts.check = *check;
    facts.serial = *serial;
    facts.ifid = f[12];
    // A story has a version and its six-byte serial; anything else has neither.
    const bool story = facts.check != core::StoryCheck::NotZcode;
    if (story != (facts.version >= 1 && facts.version <= 8) ||
        facts.serial.size() != (story ? 6u : 0u)) {
        return std::nullopt;
    }
    return facts;
}

void appendFactsLine(const std::string& key, const CacheEntry& entry, std::string& text)
{
    const core::StoryFacts& facts = *entry.facts;
    char words[16];
    text += key + '|' + entry.fingerprint + '|' + std::to_string(entry.stampLo) + '|' +
            std::to_string(facts.size) + '|' + core::checkWord(facts.check) + '|' +
            std::to_string(facts.version) + '|' + std::to_string(facts.release) + '|' +
            hexBytes(facts.serial) + '|' + std::to_string(facts.declaredLength) + '|';
    std::snprintf(words, sizeof words, "%04X|%04X|", static_cast<unsigned>(facts.checksum),
                  static_cast<unsigned>(facts.sum));
    text += words;
    if (facts.declaredCrc) {
        text += crcText(*facts.declaredCrc);
    }
    text += '|' + facts.ifid + '\n';
}

using LineWriter = void (*)(const std::string&, const CacheEntry&, std::string&);

// Writes one line per entry of `cache` that `line` writes, in pieces of about kPieceSize.
bool writeLines(const std::string& path, const FileCache& cache, LineWriter line)
{
    auto next = cache.begin();
    std::string piece;
    piece.reserve(kPieceSize);
    const auto nextPiece = [&] {
        piece.clear();
        for (; next != cache.end() && piece.size() < kPieceSize; ++next) {
            line(next->first, next->second, piece);
        }
        return std::string_view(piece);
    };
    return platform::writeFileAtomically(path, nextPiece, platform::Durability::NoSync);
}

void appendFactsLineIfAny(const std::string& key, const CacheEntry& entry, std::string& text)
{
    if (entry.facts) {
        appendFactsLine(key, entry, text);
    }
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

void parseFactsCache(std::string_view text, FileCache& cache)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        const std::vector<std::string_view> fields = fieldsOf(line);
        if (fields.size() != kFactsFields) {
            continue;
        }
        const auto entry = cache.find(std::string(fields[0]));
        std::uint32_t stamp = 0;
        if (entry == cache.end() || entry->second.fingerprint != fields[1] ||
            !readNumber(fields[2], stamp) || stamp != entry->second.stampLo) {
            continue;
        }
        entry->second.facts = factsOfFields(fields);
    }
}

std::string factsPathOf(const std::string& cachePath)
{
    return cachePath.substr(0, cachePath.rfind('/') + 1) + "filefacts.txt";
}

FileCache readFileCache(const std::string& path)
{
    const std::optional<std::string> text = platform::readWholeFile(path);
    if (!text) {
        return {};
    }
    FileCache cache = parseFileCache(*text);
    if (const auto facts = platform::readWholeFile(factsPathOf(path))) {
        parseFactsCache(*facts, cache);
    }
    return cache;
}

bool writeFileCache(const std::string& path, const FileCache& cache)
{
    // The fingerprints first: facts that lag behind them only mean files read again.
    const auto write = [&] {
        return writeLines(path, cache, appendLine) &&
               writeLines(factsPathOf(path), cache, appendFactsLineIfAny);
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
