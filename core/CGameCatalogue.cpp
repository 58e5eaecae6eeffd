#include "core/CGameCatalogue.h"

#include "core/Fingerprint.h"
#include "core/StorySerial.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "scan/CFileEntry.h"
#include "scan/FileFilters.h"
#include "scan/FileWalk.h"

#include <tinyxml.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr const char* kGamesElement = "games";
constexpr const char* kGameElement = "supported_game";

// TinyXML's white-space condensing is one flag for the whole process. Switch it off once,
// before the first parse, however many threads load catalogues.
void keepXmlWhiteSpace()
{
    static const bool switchedOff = [] {
        TiXmlBase::SetCondenseWhiteSpace(false);
        return true;
    }();
    (void)switchedOff;
}

std::string attributeOr(const TiXmlElement& element, const char* name, const char* fallback)
{
    const char* value = element.Attribute(name);
    return value ? value : fallback;
}

std::string problemReport(const std::string& path, const TiXmlDocument& doc)
{
    // ErrorRow and ErrorCol give 0 where TinyXML knows no location.
    return "Problem with XML format, check syntax of file: " + path + "\n" + doc.ErrorDesc() +
           "\nLine: " + std::to_string(doc.ErrorRow()) + " Col: " + std::to_string(doc.ErrorCol()) +
           "\n";
}

// The whole file with "\r\n" and lone "\r" made "\n", as TinyXML's own file reader hands it
// to the parser, and without a UTF-8 byte-order mark; nothing when it cannot be read.
// Opened through the platform so that a folder is refused like a missing file.
std::optional<std::string> catalogueText(const std::string& path)
{
    const platform::FilePtr file = platform::openForReading(path);
    if (!file) {
        return std::nullopt;
    }
    std::string raw;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        raw.append(buffer, n);
    }
    if (std::ferror(file.get())) {
        return std::nullopt;
    }
    std::string text;
    text.reserve(raw.size());
    const std::size_t start = raw.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    for (std::size_t i = start; i < raw.size(); ++i) {
        if (raw[i] != '\r') {
            text += raw[i];
            continue;
        }
        text += '\n';
        if (i + 1 < raw.size() && raw[i + 1] == '\n') {
            ++i;
        }
    }
    return text;
}

bool loadDocument(const std::string& path, TiXmlDocument& doc)
{
    keepXmlWhiteSpace();
    const std::optional<std::string> text = catalogueText(path);
    if (!text) {
        doc.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return false;
    }
    // The bytes are taken as they stand, whatever encoding a declaration or a byte-order mark
    // names: in UTF-8 mode TinyXML steps over the bytes that a lead byte announces, so a
    // single-byte value ending in, say, 0xE9 swallowed its closing quote and the whole file
    // failed to load.
    doc.Parse(text->c_str(), nullptr, TIXML_ENCODING_LEGACY);
    return !doc.Error();
}

void addEntry(const TiXmlElement& element, GameSet& games)
{
    const char* fingerprint = element.Attribute("fingerprint");
    if (!fingerprint) {
        return; // could never match a file, and would claim the empty fingerprint
    }
    auto game = std::make_shared<CGame>(attributeOr(element, "FullName", ""), fingerprint,
                                        attributeOr(element, "sn", ""));
    game->fn = attributeOr(element, "fn", kUnknown);
    game->warn = attributeOr(element, "warn", "");
    games.insert(std::move(game));
}

template <class View> void appendEntries(const GameSet& games, TiXmlElement& root)
{
    for (const GamePtr& game : games.get<View>()) {
        auto element = std::make_unique<TiXmlElement>(kGameElement);
        element->SetAttribute("fingerprint", game->fingerprint);
        element->SetAttribute("FullName", game->FullName);
        element->SetAttribute("sn", game->sn);
        element->SetAttribute("fn", game->fn);
        element->SetAttribute("warn", game->warn);
        root.LinkEndChild(element.release());
    }
}

void appendEntries(const GameSet& games, CatalogueView view, TiXmlElement& root)
{
    switch (view) {
    case CatalogueView::Fingerprint:
        return appendEntries<byFingerprint>(games, root);
    case CatalogueView::FullName:
        return appendEntries<byFullName>(games, root);
    case CatalogueView::Fn:
        return appendEntries<byFn>(games, root);
    case CatalogueView::Sn:
        return appendEntries<bySn>(games, root);
    case CatalogueView::Warn:
        return appendEntries<byWarn>(games, root);
    }
}

std::string lowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

} // namespace

CGameCatalogue::CGameCatalogue() : m_cachePath(core::defaultCachePath()) {}

bool CGameCatalogue::loadCatalogue(const std::string& path)
{
    TiXmlDocument doc;
    if (!loadDocument(path, doc)) {
        report(problemReport(path, doc));
        return false;
    }
    const TiXmlElement* root = doc.FirstChildElement(kGamesElement);
    if (!root) {
        return false;
    }
    for (const TiXmlElement* element = root->FirstChildElement(kGameElement); element;
         element = element->NextSiblingElement(kGameElement)) {
        addEntry(*element, games);
    }
    return true;
}

bool CGameCatalogue::saveCatalogue(const std::string& path, CatalogueView view) const
{
    TiXmlDocument doc;
    doc.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-16", "no"));
    auto* root = new TiXmlElement(kGamesElement);
    doc.LinkEndChild(root);
    appendEntries(games, view, *root);

    TiXmlPrinter printer;
    printer.SetIndent("    ");
    printer.SetLineBreak("\n");
    doc.Accept(&printer);
    return platform::writeFileAtomically(path, printer.Str(), platform::Durability::Flush);
}

void CGameCatalogue::setFilters(const std::string& extensionList)
{
    extensions = extensionList;
}

void CGameCatalogue::setCachePath(const std::string& path)
{
    m_cachePath = path;
}

std::size_t CGameCatalogue::scan(const std::string& folder, GameSet* set, bool createUnknown)
{
    if (folder.empty()) {
        return 0;
    }
    GameSet& target = set ? *set : games;
    FileCache cache = core::readFileCache(m_cachePath);
    std::vector<CFileEntry> entries;
    if (findAllFiles(folder, entries) == 0) {
        return 0;
    }
    std::size_t count = 0;
    std::size_t unsaved = 0; // cache entries learned since the cache file was last written
    for (const CFileEntry& entry : entries) {
        const std::string key = lowerAscii(entry.path);
        if (!endsWithAny(extensions, key)) {
            continue;
        }
        const auto cached = cache.find(key);
        if (cached != cache.end() && cached->second.stampLo == entry.stampLo) {
            count += matchFile(target, cached->second.fingerprint, key, entry.path, createUnknown);
            continue;
        }
        std::string fingerprint;
        if (fingerprintFromDisk(entry, key, fingerprint) &&
            matchFile(target, fingerprint, key, entry.path, createUnknown)) {
            ++count;
            CacheEntry fresh{fingerprint, entry.stampLo};
            CacheEntry& slot = cache[key];
            if (slot != fresh) {
                ++unsaved;
            }
            slot = std::move(fresh);
        }
        // Rewritten during the scan, so that a scan cut short keeps what it learned, but
        // only once an eighth of the entries are new: rewriting the whole file after every
        // file read made the writing grow with the square of the files (a first scan of
        // 100,000 matched files wrote hundreds of gigabytes). An unchanged cache already
        // holds exactly these bytes.
        if (unsaved > 0 && unsaved * 8 >= cache.size()) {
            unsaved = core::writeFileCache(m_cachePath, cache) ? 0 : unsaved; // unwritable: go on
        }
    }
    if (unsaved > 0) {
        core::writeFileCache(m_cachePath, cache); // best effort, as above
    }
    return count;
}

bool CGameCatalogue::addFile(const std::string& path, bool createUnknown, const std::string& name)
{
    const auto crc = computeFingerprint(path);
    if (!crc) {
        report("Could not load file: " + path);
        return false;
    }
    const auto pos = games.find(crcText(*crc));
    if (pos != games.end()) {
        games.modify(pos, [&](const GamePtr& game) {
            game->fn = path;
            if (name != kUnknown) {
                game->FullName = name;
            }
        });
    } else if (createUnknown) {
        auto game = std::make_shared<CGame>(name, crcText(*crc), readSerial(path));
        game->fn = path;
        games.insert(std::move(game));
    }
    return true;
}

void CGameCatalogue::report(const std::string& text)
{
    messages.str(text);
    messages.seekp(0, std::ios::end);
}

// Looks `fingerprint` up in `set`: a match gets found set and `key` as its path (true);
// otherwise, with `createUnknown`, a new "unknown" record with that path joins the set.
bool CGameCatalogue::matchFile(GameSet& set, const std::string& fingerprint, const std::string& key,
                               const std::string& openPath, bool createUnknown)
{
    const auto pos = set.find(fingerprint);
    if (pos != set.end()) {
        set.modify(pos, [&](const GamePtr& game) {
            game->found = true;
            game->fn = key;
        });
        return true;
    }
    if (createUnknown) {
        auto game = std::make_shared<CGame>(kUnknown, fingerprint, readSerial(openPath));
        game->fn = key;
        set.insert(std::move(game));
    }
    return false;
}

// Reads the file by the path the walk reported: on a case-sensitive file system the
// lower-cased key may name another file or none.
bool CGameCatalogue::fingerprintFromDisk(const CFileEntry& entry, const std::string& key,
                                         std::string& fingerprint)
{
    const auto crc = computeFingerprint(entry.path);
    if (!crc) {
        report("Could not load file: " + key);
        return false;
    }
    fingerprint = crcText(*crc);
    return true;
}
