#include "core/StoryFiles.h"

#include "platform/AsciiCase.h"
#include "platform/FileSystem.h"
#include "scan/CFileEntry.h"
#include "scan/FileFilters.h"

#include <algorithm>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>

namespace core {
namespace {

// Marks the candidates whose key another one has too. Equal keys are found next to each other
// by sorting the keys' hashes: a hash set's node per key cost more than the rest of the walk's
// bookkeeping.
void markSharedKeys(StoryFiles& stories)
{
    const std::vector<std::string>& keys = stories.keys;
    std::vector<std::pair<std::size_t, std::size_t>> byHash; // (hash of the key, entry)
    byHash.reserve(stories.count);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i].empty()) {
            byHash.emplace_back(std::hash<std::string>{}(keys[i]), i);
        }
    }
    std::sort(byHash.begin(), byHash.end(), [&](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : keys[a.second] < keys[b.second];
    });
    for (std::size_t j = 1; j < byHash.size(); ++j) {
        const auto [hash, entry] = byHash[j];
        const auto [previousHash, previous] = byHash[j - 1];
        if (hash == previousHash && keys[entry] == keys[previous]) {
            stories.uncached[entry] = stories.uncached[previous] = true;
        }
    }
}

// Runs work(begin, end) over [0, count) in two halves at once, the second on a helper thread;
// all on this thread when there is little to share or the system gives no thread. `work`
// must not throw.
void inTwoHalves(std::size_t count, const std::function<void(std::size_t, std::size_t)>& work)
{
    constexpr std::size_t kWorthSharing = 256;
    const std::size_t middle = count / 2;
    std::jthread helper;
    if (count >= kWorthSharing) {
        try {
            helper = std::jthread(work, middle, count);
        } catch (const std::system_error&) {
            // Alone, then.
        }
    }
    work(0, helper.joinable() ? middle : count);
}

} // namespace

StoryFiles findStoryFiles(const std::vector<CFileEntry>& entries, const std::string& extensions)
{
    const EndingList endings(extensions);
    StoryFiles stories;
    stories.keys.reserve(entries.size());
    stories.uncached.reserve(entries.size());
    for (const CFileEntry& entry : entries) {
        std::string& key = stories.keys.emplace_back(platform::asciiLowered(entry.path));
        if (endings.matches(key)) {
            ++stories.count;
        } else {
            key.clear();
        }
        // The cache file's separators: such a key cannot be written as one line of it.
        stories.uncached.push_back(key.find_first_of("\n\r|") != std::string::npos);
    }
    markSharedKeys(stories);
    return stories;
}

bool anyContent(const std::vector<CFileEntry>& entries)
{
    return std::any_of(entries.begin(), entries.end(), [](const CFileEntry& entry) {
        const auto status = platform::statPath(entry.path);
        return status && status->size > 0;
    });
}

// Two threads ask for the last-write times: a rescan of many small files spends most of its
// time on them.
std::vector<const CacheEntry*> servedEntries(const FileCache& cache, const StoryFiles& stories,
                                             const std::vector<CFileEntry>& entries)
{
    std::vector<std::pair<std::size_t, const CacheEntry*>> cached; // (entry, its cache entry)
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& key = stories.keys[i];
        const auto found = key.empty() ? cache.end() : cache.find(key);
        if (found != cache.end() && found->second.facts && !stories.uncached[i]) {
            cached.emplace_back(i, &found->second);
        }
    }
    std::vector<const CacheEntry*> served(entries.size(), nullptr);
    inTwoHalves(cached.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t k = begin; k < end; ++k) {
            const auto [i, entry] = cached[k];
            const auto status = platform::statPath(entries[i].path);
            if (status && static_cast<std::uint32_t>(status->lastWrite) == entry->stampLo) {
                served[i] = entry;
            }
        }
    });
    return served;
}

} // namespace core
