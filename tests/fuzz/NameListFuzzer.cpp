// storycrc's name handling. The input holds the names as typed (one per line) and, after each
// zero byte, the content of one of the response files r0 to r3 in the current folder. The
// expansion is compared with an independent model of the rule: '@' names a response file,
// read once per distinct '@' text, lines upper-cased, names from the command line kept as
// typed. The same input also drives the wildcard matcher against a plain dynamic-programming
// matcher, and the splitting of a pattern argument into folder and pattern.

#include "platform/PatternMatch.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tools/storycrc/FileException.h"
#include "tools/storycrc/FolderWalk.h"
#include "tools/storycrc/NameList.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kFiles = 4;

std::vector<std::string> splitAt(std::string_view text, char separator, std::size_t maxParts)
{
    std::vector<std::string> parts;
    while (parts.size() + 1 < maxParts) {
        const std::size_t at = text.find(separator);
        if (at == std::string_view::npos) {
            break;
        }
        parts.emplace_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    parts.emplace_back(text);
    return parts;
}

// The lines as a line-by-line reader sees them: a final line end makes no empty last line,
// and one carriage return before a line feed is dropped.
std::vector<std::string> linesOf(const std::string& content)
{
    std::vector<std::string> lines;
    if (content.empty()) {
        return lines;
    }
    lines = splitAt(content, '\n', content.size() + 1);
    if (content.back() == '\n') {
        lines.pop_back();
    }
    for (std::string& line : lines) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
    }
    return lines;
}

// Which response file a '@' text names: typed names must spell the file exactly, names read
// from a response file (upper-cased) find it without regard to case.
int responseFileOf(const std::string& at, bool fromFile)
{
    for (std::size_t i = 0; i < kFiles; ++i) {
        const std::string name = "r" + std::to_string(i);
        if (at.substr(1) == name || (fromFile && at.substr(1) == upperCased(name))) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

struct Model
{
    const std::array<std::vector<std::string>, kFiles>& files;
    std::set<std::string> collected;
    std::set<std::string> seen;

    void take(const std::string& name, bool fromFile)
    {
        if (name.empty() || name.front() != '@') {
            collected.insert(name);
            return;
        }
        if (!seen.insert(name).second) {
            return;
        }
        const int file = responseFileOf(name, fromFile);
        if (file < 0) {
            return;
        }
        for (const std::string& line : files[static_cast<std::size_t>(file)]) {
            take(upperCased(line), true);
        }
    }
};

// Wildcard matching by table: '*' any run, '?' one character, ASCII case ignored.
bool modelMatchOne(std::string_view name, std::string_view pattern)
{
    if (pattern == "*.*") {
        return true;
    }
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    std::vector<std::vector<bool>> match(pattern.size() + 1,
                                         std::vector<bool>(name.size() + 1, false));
    match[0][0] = true;
    for (std::size_t p = 1; p <= pattern.size(); ++p) {
        const char pc = pattern[p - 1];
        for (std::size_t n = 0; n <= name.size(); ++n) {
            if (pc == '*') {
                match[p][n] = match[p - 1][n] || (n > 0 && match[p][n - 1]);
            } else if (n > 0) {
                match[p][n] = match[p - 1][n - 1] && (pc == '?' || fold(pc) == fold(name[n - 1]));
            }
        }
    }
    return match[pattern.size()][name.size()];
}

bool modelMatch(std::string_view name, std::string_view pattern)
{
    for (const std::string& one : splitAt(pattern, ';', pattern.size() + 1)) {
        if (modelMatchOne(name, one)) {
            return true;
        }
    }
    return false;
}

void checkPatterns(const std::vector<std::string>& typed)
{
    for (std::size_t i = 0; i + 1 < typed.size() && i < 8; i += 2) {
        const std::string& name = typed[i];
        const std::string& pattern = typed[i + 1];
        if (name.size() > 200 || pattern.size() > 200) {
            continue;
        }
        fuzz::check(platform::matchesPattern(name, pattern) == modelMatch(name, pattern),
                    "wildcard match differs from the model", name + "\n" + pattern);
    }
}

void checkPatternSplit(const std::string& argument)
{
    try {
        const ResolvedPattern resolved = resolvePattern(argument);
        fuzz::check(!resolved.folder.empty() && resolved.folder.back() == '/',
                    "resolved folder does not end in '/'", argument);
        fuzz::check(resolved.pattern.find('/') == std::string::npos, "resolved pattern holds a '/'",
                    argument);
        fuzz::check(argument.ends_with(resolved.pattern), "pattern is not the argument's tail",
                    argument);
    } catch (const FileException&) {
        // a folder that does not exist: reported by the caller
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> parts = splitAt(fuzz::bytes(data, size), '\0', kFiles + 1);
    const std::vector<std::string> typed = linesOf(parts[0]);
    std::array<std::vector<std::string>, kFiles> files;
    for (std::size_t i = 0; i < kFiles; ++i) {
        const std::string content = i + 1 < parts.size() ? parts[i + 1] : std::string();
        files[i] = linesOf(content);
        fuzz::writeScratch("r" + std::to_string(i), content);
    }
    // Response files elsewhere (devices, endless or blocking files) are the user's business;
    // the model knows only r0 to r3.
    const auto namesOtherFolders = [](const std::vector<std::string>& names) {
        return std::any_of(names.begin(), names.end(), [](const std::string& name) {
            return name.starts_with('@') && name.find('/') != std::string::npos;
        });
    };
    if (namesOtherFolders(typed) || std::any_of(files.begin(), files.end(), namesOtherFolders)) {
        return -1;
    }

    Model model{files, {}, {}};
    for (const std::string& name : typed) {
        model.take(name, false);
    }
    // Response files are named relative to the current folder; the fuzzer's own paths are
    // relative to the folder it started in.
    const std::filesystem::path startFolder = std::filesystem::current_path();
    std::filesystem::current_path(fuzz::scratchFolder());
    const NameList expanded = expandNames(typed);
    if (!typed.empty()) {
        checkPatternSplit(typed.front());
    }
    std::filesystem::current_path(startFolder);
    fuzz::check(expanded == model.collected, "expanded names differ from the model", parts[0]);
    checkPatterns(typed);
    return 0;
}
