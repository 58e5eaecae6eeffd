// storycrc's names. The input holds the names as typed, one a line, and after each zero byte
// the content of one of the response files r0 to r3 in the current folder. The expansion is
// compared with a model of the rule: '@' names a response file, read once per distinct '@'
// text, its lines upper-cased (so found without regard to case), typed names kept as typed.
// The names also drive the wildcard matcher against a dynamic-programming model, and the
// first one the split of a pattern argument into folder and pattern.

#include "platform/PatternMatch.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tools/storycrc/FileException.h"
#include "tools/storycrc/FolderWalk.h"
#include "tools/storycrc/NameList.h"

#include <array>
#include <set>

namespace {

constexpr std::size_t kFiles = 4;

struct Model
{
    std::array<std::vector<std::string>, kFiles> files;
    std::set<std::string> collected;
    std::set<std::string> seen;

    void take(const std::string& name, bool fromFile)
    {
        if (name.empty() || name.front() != '@') {
            collected.insert(name);
        } else if (seen.insert(name).second) {
            for (std::size_t i = 0; i < kFiles; ++i) {
                if (name == "@r" + std::to_string(i) ||
                    (fromFile && name == "@R" + std::to_string(i))) {
                    for (const std::string& line : files[i]) {
                        take(upperCased(line), true);
                    }
                }
            }
        }
    }
};

// '*' any run, '?' one character, ASCII case ignored, "*.*" anything; ';' separates patterns.
bool modelMatch(std::string_view name, std::string_view patterns)
{
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (const std::string& pattern : fuzz::split(patterns, ';')) {
        // reach[n]: the pattern read so far matches the first n characters of the name
        std::vector<bool> reach(name.size() + 1, false);
        reach[0] = true;
        for (const char p : pattern) {
            std::vector<bool> next(name.size() + 1, false);
            for (std::size_t n = 0; n <= name.size(); ++n) {
                next[n] = p == '*'
                              ? reach[n] || (n > 0 && next[n - 1])
                              : n > 0 && reach[n - 1] && (p == '?' || fold(p) == fold(name[n - 1]));
            }
            reach = std::move(next);
        }
        if (pattern == "*.*" || reach[name.size()]) {
            return true;
        }
    }
    return false;
}

void checkPatternSplit(const std::string& argument)
{
    try {
        const ResolvedPattern resolved = resolvePattern(argument);
        fuzz::check(resolved.folder.ends_with('/'), "resolved folder does not end in '/'",
                    argument);
        fuzz::check(resolved.pattern.find('/') == std::string::npos &&
                        argument.ends_with(resolved.pattern),
                    "resolved pattern is not the argument's tail after its last '/'", argument);
    } catch (const FileException&) {
        // a folder that does not exist: reported by the caller
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> parts = fuzz::split(fuzz::bytes(data, size), '\0', kFiles + 1);
    Model model;
    for (std::size_t i = 0; i < kFiles; ++i) {
        const std::string content = i + 1 < parts.size() ? parts[i + 1] : std::string();
        model.files[i] = fuzz::lines(content);
        fuzz::writeScratch("r" + std::to_string(i), content);
    }
    // Response files elsewhere (devices, endless or blocking files) are the user's business.
    for (const std::string& part : parts) {
        for (const std::string& line : fuzz::lines(part)) {
            if (line.starts_with('@') && line.find('/') != std::string::npos) {
                return -1;
            }
        }
    }
    const std::vector<std::string> typed = fuzz::lines(parts[0]);
    for (const std::string& name : typed) {
        model.take(name, false);
    }
    // Response files are named relative to the current folder, the fuzzer's own paths to the
    // folder it started in.
    const std::filesystem::path startFolder = std::filesystem::current_path();
    std::filesystem::current_path(fuzz::scratchFolder());
    const NameList expanded = expandNames(typed);
    if (!typed.empty()) {
        checkPatternSplit(typed.front());
    }
    std::filesystem::current_path(startFolder);
    fuzz::check(expanded == model.collected, "expanded names differ from the model", parts[0]);

    for (std::size_t i = 0; i + 1 < typed.size() && i < 8; i += 2) {
        const std::string& name = typed[i];
        const std::string& pattern = typed[i + 1];
        fuzz::check(name.size() > 200 || pattern.size() > 200 ||
                        platform::matchesPattern(name, pattern) == modelMatch(name, pattern),
                    "wildcard match differs from the model", name + "\n" + pattern);
    }
    return 0;
}
