#include "tools/storycrc/FolderWalk.h"

#include "platform/FileSystem.h"
#include "platform/PatternMatch.h"
#include "tools/storycrc/FileException.h"
#include "tools/storycrc/StoryCrc.h"

ResolvedPattern resolvePattern(const std::string& name)
{
    const std::size_t slash = name.rfind('/');
    std::string folderPart = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
    std::string pattern = slash == std::string::npos ? name : name.substr(slash + 1);
    std::string folder = folderPart;
    if (name.empty() || name.front() != '/') {
        std::string cwd = platform::currentDirectory();
        if (cwd.empty() || cwd.back() != '/') {
            cwd += '/';
        }
        folder = cwd + folderPart;
    }
    std::string errorText;
    if (platform::statPath(folder, &errorText)) {
        return {folder, std::move(pattern), folder};
    }
    const auto actual = platform::findPathIgnoringCase(folder);
    if (!actual) {
        throw FileException("[" + folder + "] " + errorText);
    }
    return {*actual, std::move(pattern), std::move(folder)};
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
