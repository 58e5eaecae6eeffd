#include "tools/storycrc/NameList.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <optional>

namespace {

// The text of a response file, nothing when it cannot be read or is not a regular file (a
// FIFO would block, a device might never end). A name read from another response file was
// upper-cased, so the path is matched without regard to case when the exact name does not
// exist.
std::optional<std::string> readResponseFile(const std::string& path, bool fromResponseFile)
{
    std::optional<std::string> text = platform::readWholeFile(path);
    if (!text && fromResponseFile) {
        if (auto actual = platform::findPathIgnoringCase(path)) {
            text = platform::readWholeFile(*actual);
        }
    }
    return text;
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
            const std::string text = readResponseFile(path, nested).value_or("");
            for (std::size_t start = 0; start < text.size();) {
                const std::size_t end = std::min(text.find('\n', start), text.size());
                std::string line = text.substr(start, end - start);
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                take(upperCased(std::move(line)), true);
                start = end + 1;
            }
        }
    }
    return collected;
}
