#include "batch/RowFormats.h"

#include "export/ResultRows.h"

#include <array>
#include <nlohmann/json.hpp>
#include <ostream>

namespace batch {
namespace {

// The fields of the csv and json records, in their order.
constexpr std::array<const char*, 13> kFields{
    "status",  "fingerprint", "serial",         "filename", "warnings", "fullName", "size",
    "version", "release",     "declaredLength", "check",    "ifid",     "hint"};

void appendEscape(std::string& out, unsigned char byte)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    switch (byte) {
    case '\t':
        out += "\\t";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\r':
        out += "\\r";
        break;
    case '\\':
        out += "\\\\";
        break;
    default:
        out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
}

// How many bytes the valid UTF-8 sequence at `at` takes; 0 when none begins there (a stray
// continuation byte, an overlong form, a surrogate, a code point past U+10FFFF, a cut one).
std::size_t utf8Length(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u;
    };
    const auto follows = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
        return byte(i) >= low && byte(i) <= high;
    };
    const unsigned lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return follows(1) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        const bool second = lead == 0xE0   ? follows(1, 0xA0)
                            : lead == 0xED ? follows(1, 0x80, 0x9F)
                                           : follows(1);
        return second && follows(2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const bool second = lead == 0xF0   ? follows(1, 0x90)
                            : lead == 0xF4 ? follows(1, 0x80, 0x8F)
                                           : follows(1);
        return second && follows(2) && follows(3) ? 4 : 0;
    }
    return 0;
}

// `text` as a json string can hold it: valid UTF-8 as it is, but backslashes and the bytes
// of no valid sequence escaped.
std::string jsonText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8Length(text, at);
        if (length == 0 || text[at] == '\\') {
            appendEscape(out, static_cast<unsigned char>(text[at]));
            ++at;
        } else {
            out.append(text.substr(at, length));
            at += length;
        }
    }
    return out;
}

// One field of a record: a text, a number, or nothing.
struct Field
{
    enum class Kind
    {
        None,
        Text,
        Number
    } kind = Kind::None;
    std::string text;
    std::uint64_t number = 0;
};

Field text(std::string value)
{
    return {Field::Kind::Text, std::move(value), 0};
}

Field number(std::uint64_t value)
{
    return {Field::Kind::Number, {}, value};
}

// The fields of `game`, in the order of kFields. A catalogue entry without a path or a
// serial, and a file that is not Z-code, lack those fields.
std::array<Field, kFields.size()> fieldsOf(const CGame& game)
{
    const auto optionalText = [](const std::string& value, bool has) {
        return has ? text(value) : Field{};
    };
    const std::optional<core::StoryFacts>& facts = game.facts;
    const bool story = facts && facts->check != core::StoryCheck::NotZcode;
    return {text(exporter::recordStatus(game)),
            text(game.fingerprint),
            optionalText(game.sn, !game.sn.empty()),
            optionalText(game.fn, !game.fn.empty() && game.fn != kUnknown),
            text(game.warn),
            text(game.FullName),
            facts ? number(facts->size) : Field{},
            story ? number(static_cast<std::uint64_t>(facts->version)) : Field{},
            story ? number(facts->release) : Field{},
            story && facts->declaredLength > 0 ? number(facts->declaredLength) : Field{},
            facts ? text(core::checkWord(facts->check)) : Field{},
            story ? text(facts->ifid) : Field{},
            optionalText(game.hint, game.unmatched)};
}

std::string csvField(const Field& field)
{
    if (field.kind == Field::Kind::Number) {
        return std::to_string(field.number);
    }
    if (field.text.find_first_of(",\"\r\n") == std::string::npos) {
        return field.text;
    }
    std::string quoted = "\"";
    for (const char c : field.text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

void writeCsv(const GameSet& games, std::ostream& out)
{
    const auto line = [&](const auto& cells, const auto& cellText) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out << (i > 0 ? "," : "") << cellText(cells[i]);
        }
        out << "\r\n"; // RFC 4180
    };
    line(kFields, [](const char* name) { return name; });
    for (const GamePtr& game : games.get<byFingerprint>()) {
        line(fieldsOf(*game), csvField);
    }
}

void writeJson(const GameSet& games, std::ostream& out)
{
    // Object by object, so that a scan of many files needs no document of them all.
    out << '[';
    const char* separator = "\n";
    for (const GamePtr& game : games.get<byFingerprint>()) {
        const auto fields = fieldsOf(*game);
        nlohmann::ordered_json record = nlohmann::ordered_json::object();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const Field& field = fields[i];
            record[kFields[i]] =
                field.kind == Field::Kind::Text     ? nlohmann::ordered_json(jsonText(field.text))
                : field.kind == Field::Kind::Number ? nlohmann::ordered_json(field.number)
                                                    : nlohmann::ordered_json(nullptr);
        }
        out << separator << record.dump();
        separator = ",\n";
    }
    out << "\n]\n";
}

void writeTsv(const GameSet& games, std::ostream& out)
{
    const std::vector<exporter::ResultRow> rows = exporter::resultRows(games);
    for (const exporter::ResultRow& row : rows) {
        out << tsvField(row.fingerprint) << '\t' << tsvField(row.serial) << '\t'
            << tsvField(row.filename) << '\t' << tsvField(row.warnings) << '\t'
            << tsvField(row.fullName) << '\n';
    }
    if (rows.empty()) {
        out << "no games found.\n";
    } else {
        out << rows.size() << ": games found.\n";
    }
}

} // namespace

std::optional<Format> formatNamed(std::string_view name)
{
    if (name == "tsv") {
        return Format::Tsv;
    }
    if (name == "csv") {
        return Format::Csv;
    }
    if (name == "json") {
        return Format::Json;
    }
    return std::nullopt;
}

std::string tsvField(std::string_view text)
{
    std::string field;
    field.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') {
            appendEscape(field, byte);
        } else {
            field += c;
        }
    }
    return field;
}

void writeRecords(const GameSet& games, Format format, std::ostream& out)
{
    switch (format) {
    case Format::Tsv:
        return writeTsv(games, out);
    case Format::Csv:
        return writeCsv(games, out);
    case Format::Json:
        return writeJson(games, out);
    }
}

} // namespace batch
