#include "tools/storycrc/CrcList.h"

#include "core/Fingerprint.h"

#include <cassert>
#include <charconv>
#include <optional>

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kMatchMark = "\t**matched CRC**";
constexpr std::size_t kCrcDigits = 8;

// `text` as a CRC: exactly eight hexadecimal digits, in either case.
std::optional<std::uint32_t> crcFrom(std::string_view text)
{
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, 16);
    if (text.size() != kCrcDigits || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

CrcListLine entry(std::string_view name, std::uint32_t crc)
{
    if (name.empty()) {
        return {CrcListLine::Kind::Malformed, {}, 0};
    }
    return {CrcListLine::Kind::Entry, std::string(name), crc};
}

} // namespace

CrcListLine parseCrcListLine(std::string_view line)
{
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    if (line.starts_with(';') || line.find_first_not_of(kBlanks) == std::string_view::npos) {
        return {};
    }
    if (line.size() > kCrcDigits && line[kCrcDigits] == '\t') {
        if (const auto crc = crcFrom(line.substr(0, kCrcDigits))) {
            std::string_view name = line.substr(kCrcDigits + 1);
            if (name.ends_with(kMatchMark)) {
                name.remove_suffix(kMatchMark.size());
            }
            if (name == "TOTAL") {
                return {CrcListLine::Kind::Total, std::string(name), *crc};
            }
            return entry(name, *crc);
        }
    }
    line = line.substr(0, line.find_last_not_of(kBlanks) + 1);
    const std::size_t blank = line.find_last_of(kBlanks);
    const auto crc =
        blank == std::string_view::npos ? std::nullopt : crcFrom(line.substr(blank + 1));
    if (!crc) {
        return {CrcListLine::Kind::Malformed, {}, 0};
    }
    return entry(line.substr(0, blank), *crc);
}

bool listableName(std::string_view name)
{
    return name.find_first_of("\r\n") == std::string_view::npos;
}

std::string sfvLine(std::string_view name, std::uint32_t crc)
{
    assert(listableName(name));
    std::string line = std::string(name) + ' ' + crcText(crc);
    const CrcListLine readBack = parseCrcListLine(line);
    if (readBack.kind != CrcListLine::Kind::Entry || readBack.name != name) {
        line.insert(0, "./");
    }
    return line;
}
