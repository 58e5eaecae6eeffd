#include "tools/storycrc/NameList.h"

#include "platform/FileSystem.h"

#include <fstream>

namespace {

// Opens a response file named in another one: its name was upper-cased, so fall back to
// matching the path without regard to case when the exact name does not exist.
std::ifstream openResponseFile(const std::string& path, bool fromResponseFile)
{
    std::ifstream file(path);
    if (!file && fromResponseFile) {
        if (auto actual = platform::findPathIgnoringCase(path)) {
            file.open(*actual);
        }
    }
    return file;
}

} // namespace

std::string upperCased(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

NameList expandNames(const std::vector<std::string>& names)
{
    NameList collected;
    std::set<std::string> seen;
    // Response files still to read: path, and whether it was named inside a response file.
    std::vector<std::pair<std::string, bool>> pending;

    auto take = [&](const std::string& name, bool fromResponseFile) {
        if (name.empty() || name.front() != '@') {
            collected.insert(name);
        } else if (seen.insert(name).second) {
            pending.emplace_back(name.substr(1), fromResponseFile);
        }
    };

    for (const std::string& name : names) {
        take(name, false);
        while (!pending.empty()) {
            auto [path, nested] = std::move(pending.back());
            pending.pop_back();
            std::ifstream file = openResponseFile(path, nested);
            std::string line;
            while (std::getline(file, line)) {
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                take(upperCased(std::move(line)), true);
            }
        }
    }
    return collected;
}
