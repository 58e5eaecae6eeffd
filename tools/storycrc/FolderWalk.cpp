#include "tools/storycrc/FolderWalk.h"

#include "platform/FileSystem.h"
#include "platform/PatternMatch.h"
#include "tools/storycrc/FileException.h"
#include "tools/storycrc/StoryCrc.h"

#include <algorithm>

ResolvedPattern resolvePattern(const std::string& name)
{
    const auto separator = std::find_if(name.rbegin(), name.rend(), platform::isPathSeparator);
    const auto folderEnd = static_cast<std::size_t>(name.rend() - separator);
    const std::string folderPart = name.substr(0, folderEnd);
    std::string pattern = name.substr(folderEnd);
    std::string folder = folderPart;
    if (!platform::isAbsolutePath(name)) {
        folder = platform::withTrailingSeparator(platform::currentDirectory()) + folderPart;
    }
    std::string errorText;
    if (platform::statPath(folder, &errorText)) {
        return {folder, std::move(pattern), folder, folderPart};
    }
    const auto actual = platform::findPathIgnoringCase(folder);
    if (!actual) {
        throw FileException("[" + folder + "] " + errorText);
    }
    return {*actual, std::move(pattern), std::move(folder), folderPart};
}

void walkFolder(const std::string& folder, const std::string& shownFolder,
                const std::string& pattern, bool recurse, CrcReport& report)
{
    const auto shown = [&](const std::string& path) {
        return shownFolder + path.substr(folder.size());
    };
    platform::walkTree(
        folder,
        [&](const std::string& current, const platform::FolderEntry& entry) {
            if (!entry.isFolder && platform::matchesPattern(entry.name, pattern)) {
                report.add(current + entry.name, shown(current + entry.name));
            }
            return recurse;
        },
        [&](const std::string& unlisted) { report.unlistedFolder(shown(unlisted)); });
}
