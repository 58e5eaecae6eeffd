#include "core/CGameCatalogue.h"

#include "core/CacheWriter.h"
#include "core/Fingerprint.h"
#include "core/FingerprintQueue.h"
#include "core/ReadAhead.h"
#include "core/StoryFiles.h"
#include "core/StoryHints.h"
#include "core/StorySerial.h"
#include "platform/Clock.h"
#include "scan/CFileEntry.h"
#include "scan/FileWalk.h"
#include "xml/XmlFile.h"

#include <tinyxml.h>

#include <memory>
#include <utility>
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

CGameCatalogue::CGameCatalogue()
    : m_cachePath(core::defaultCachePath()), m_clock(platform::tickCount)
{
}

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

void CGameCatalogue::setReportHandler(std::function<void(const std::string&)> handler)
{
    m_reportHandler = std::move(handler);
}

void CGameCatalogue::setCachePath(const std::string& path)
{
    m_cachePath = path;
}

void CGameCatalogue::setProgressHandler(ScanProgressHandler handler)
{
    m_progress = std::move(handler);
}

void CGameCatalogue::setProgressThrottle(core::ProgressThrottle throttle)
{
    m_throttle = std::move(throttle);
}

void CGameCatalogue::setClock(std::function<std::uint32_t()> clock)
{
    m_clock = std::move(clock);
}

std::size_t CGameCatalogue::scan(const std::string& folder, GameSet* set, bool createUnknown)
{
    if (folder.empty()) {
        return 0;
    }
    GameSet& target = set ? *set : games;
    reportProgress({ScanProgress::Phase::Listing, 0, 0});
    FileCache cache = core::readFileCache(m_cachePath);
    std::vector<CFileEntry> entries;
    std::vector<std::string> unlisted;
    findAllFiles(folder, entries, &unlisted);
    for (const std::string& path : unlisted) {
        report("Could not list folder: " + path);
    }
    if (!core::anyContent(entries)) {
        return 0;
    }
    const core::StoryFiles stories = core::findStoryFiles(entries, extensions);
    // Cache nodes stay put: the scan only adds or changes the entries of keys it reads.
    const std::vector<const CacheEntry*> served = core::servedEntries(cache, stories, entries);
    core::CacheWriter writer(m_cachePath, cache, m_clock);
    core::ReadAhead ahead(entries, [&](const CFileEntry& entry) {
        const auto i = static_cast<std::size_t>(&entry - entries.data());
        return !stories.keys[i].empty() && !served[i];
    });
    std::size_t done = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& key = stories.keys[i];
        if (key.empty()) {
            continue;
        }
        const CFileEntry& entry = entries[i];
        reportProgress({ScanProgress::Phase::Fingerprinting, done++, stories.count});
        if (served[i]) {
            count += matchFile(target, served[i]->fingerprint, entry.path, createUnknown,
                               *served[i]->facts);
            continue;
        }
        const core::FingerprintResult read = ahead.fingerprint(entry);
        std::string fingerprint;
        if (fingerprintFromDisk(read, fingerprint) &&
            matchFile(target, fingerprint, entry.path, createUnknown, read.facts.story,
                      &read.facts.serial)) {
            ++count;
            if (!stories.uncached[i]) {
                writer.set(key,
                           CacheEntry{fingerprint, static_cast<std::uint32_t>(read.facts.lastWrite),
                                      read.facts.story});
            }
        }
        writer.rewriteWhenDue();
    }
    core::giveHints(target);
    return count;
}

bool CGameCatalogue::addFile(const std::string& path, bool createUnknown, const std::string& name)
{
    core::FileFacts facts;
    const auto crc = computeFingerprint(path, nullptr, &facts);
    if (!crc) {
        report("Could not load file: " + path);
        return false;
    }
    auto& lookup = games.get<byFingerprintLookup>();
    const auto pos = lookup.find(crcText(*crc));
    if (pos != lookup.end()) {
        lookup.modify(pos, [&](const GamePtr& game) {
            game->fn = path;
            game->facts = facts.story;
            if (name != kUnknown) {
                game->FullName = name;
            }
        });
    } else if (createUnknown) {
        auto game = std::make_shared<CGame>(name, crcText(*crc), facts.serial);
        game->fn = path;
        game->unmatched = true;
        game->facts = std::move(facts.story);
        game->hint = core::hintFor(*game, games);
        games.insert(std::move(game));
    }
    return true;
}

void CGameCatalogue::report(const std::string& text)
{
    messages.str(text);
    messages.seekp(0, std::ios::end);
    if (m_reportHandler) {
        m_reportHandler(text);
    }
}

// Looks `fingerprint` up in `set`: a match gets found set, `path` as its path and `facts`
// (true); otherwise, with `createUnknown`, a new "unknown" record with that path, `facts` and
// `serial` (when not given, the file's) joins the set.
bool CGameCatalogue::matchFile(GameSet& set, const std::string& fingerprint,
                               const std::string& path, bool createUnknown,
                               const core::StoryFacts& facts, const std::string* serial)
{
    auto& lookup = set.get<byFingerprintLookup>();
    const auto pos = lookup.find(fingerprint);
    if (pos != lookup.end()) {
        (*pos)->found = true; // keys of no view
        (*pos)->facts = facts;
        // Re-placing a record checks its place in every view, which on a big set costs more
        // than the lookup: only done when its path changes.
        if ((*pos)->fn != path) {
            lookup.modify(pos, [&](const GamePtr& game) { game->fn = path; });
        }
        return true;
    }
    if (createUnknown) {
        auto game =
            std::make_shared<CGame>(kUnknown, fingerprint, serial ? *serial : readSerial(path));
        game->fn = path;
        game->unmatched = true;
        game->facts = facts;
        set.insert(std::move(game));
    }
    return false;
}

// A file that cannot be opened or read to its end is reported and gets no fingerprint.
bool CGameCatalogue::fingerprintFromDisk(const core::FingerprintResult& read,
                                         std::string& fingerprint)
{
    if (!read.crc) {
        report("Could not load file: " + read.path);
        return false;
    }
    fingerprint = crcText(*read.crc);
    return true;
}

void CGameCatalogue::reportProgress(const ScanProgress& progress)
{
    const bool newPhase = progress.phase != std::exchange(m_phase, progress.phase);
    if (m_progress && m_throttle.due(newPhase)) {
        m_progress(progress);
    }
}
