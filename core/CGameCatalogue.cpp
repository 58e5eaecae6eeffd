#include "core/CGameCatalogue.h"

#include "core/Fingerprint.h"
#include "core/StorySerial.h"
#include "platform/AsciiCase.h"
#include "scan/CFileEntry.h"
#include "scan/FileFilters.h"
#include "scan/FileWalk.h"
#include "xml/XmlFile.h"

#include <tinyxml.h>

#include <memory>
#include <vector>

namespace {

constexpr const char* kGamesElement = "games";
constexpr const char* kGameElement = "supported_game";

std::string attributeOr(const TiXmlElement& element, const char* name, const char* fallback)
{
    const char* value = element.Attribute(name);
    return value ? value : fallback;
}

std::string problemReport(const std::string& path, const xml::XmlProblem& problem)
{
    return "Problem with XML format, check syntax of file: " + path + "\n" + problem.description +
           "\nLine: " + std::to_string(problem.row) + " Col: " + std::to_string(problem.col) + "\n";
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

} // namespace

CGameCatalogue::CGameCatalogue() : m_cachePath(core::defaultCachePath()) {}

bool CGameCatalogue::loadCatalogue(const std::string& path)
{
    TiXmlDocument doc;
    xml::XmlProblem problem;
    if (!xml::loadXmlFile(path, doc, &problem)) {
        report(problemReport(path, problem));
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

    return xml::saveXmlFile(path, doc);
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
    bool cacheChanged = false;
    for (const CFileEntry& entry : entries) {
        const std::string key = platform::asciiLowered(entry.path);
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
            cacheChanged = cacheChanged || slot != fresh;
            slot = std::move(fresh);
        }
        // Rewritten after every file read from disk, so a scan cut short keeps what it
        // learned; an unchanged cache already holds exactly these bytes.
        if (cacheChanged) {
            cacheChanged = !core::writeFileCache(m_cachePath, cache); // unwritable: go on
        }
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
