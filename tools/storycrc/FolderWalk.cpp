#include "tools/storycrc/FolderWalk.h"

#include "platform/FileSystem.h"
#include "platform/PatternMatch.h"
#include "tools/storycrc/FileException.h"
#include "tools/storycrc/StoryCrc.h"

#include <vector>

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
    if (!platform::statPath(folder, &errorText)) {
        throw FileException("[" + folder + "] " + errorText);
    }
    return {std::move(folder), std::move(pattern)};
}

std::uint32_t walkFolder(const std::string& folder, const std::string& pattern, bool recurse,
                         const CrcReport& report)
{
    std::uint32_t total = 0;
    std::vector<std::string> stack{folder};
    while (!stack.empty()) {
        std::string current = std::move(stack.back());
        stack.pop_back();
        if (current.empty() || current.back() != '/') {
            current += '/';
        }
        const auto entries = platform::listFolder(current);
        if (!entries) {
            continue; // a folder that cannot be listed is skipped without a word
        }
        for (const platform::FolderEntry& entry : *entries) {
            if (!entry.isFolder && platform::matchesPattern(entry.name, pattern)) {
                total = report.add(current + entry.name, total);
            } else if (recurse && entry.isFolder && !entry.isLink) {
                stack.push_back(current + entry.name);
            }
        }
    }
    return total;
}
