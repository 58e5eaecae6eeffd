// storycrc's names: as typed, one a line, then after each of four zero bytes the response file
// r0 to r3. Their expansion equals a model ('@' names a response file, read once per distinct
// '@' text, its lines upper-cased, so found ignoring case; typed names kept as typed), and pairs
// of typed names drive the wildcard matcher against a dynamic-programming model.

#include "platform/PatternMatch.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tools/storycrc/NameList.h"

#include <functional>
#include <set>

// '*' any run, '?' one character, ASCII case ignored, "*.*" anything; ';' separates patterns.
static bool modelMatch(std::string_view name, std::string_view patterns)
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> parts = fuzz::split(fuzz::bytes(data, size), '\0');
    parts.resize(5); // the typed names, then r0 to r3
    std::vector<std::string> lines[5];
    for (std::size_t i = 0; i < 5; ++i) {
        lines[i] = fuzz::lines(parts[i]);
        if (i > 0) {
            fuzz::writeScratch("r" + std::to_string(i - 1), parts[i]);
        }
        for (const std::string& line : lines[i]) {
            if (line.starts_with('@') && line.find('/') != line.npos) {
                return -1; // response files elsewhere (devices, endless ones): the user's business
            }
        }
    }
    std::set<std::string> expected;
    std::set<std::string> seen;
    const std::function<void(const std::string&, bool)> take = [&](const std::string& name,
                                                                   bool fromFile) {
        if (!name.starts_with('@')) {
            expected.insert(name);
        } else if (seen.insert(name).second && name.size() == 3 && name[2] >= '0' &&
                   name[2] <= '3' && (name[1] == 'r' || (fromFile && name[1] == 'R'))) {
            for (const std::string& line : lines[name[2] - '0' + 1]) {
                take(upperCased(line), true);
            }
        }
    };
    const std::vector<std::string>& typed = lines[0];
    for (const std::string& name : typed) {
        take(name, false);
    }
    fuzz::check(expandNames(typed) == expected, "expanded names differ from the model");
    for (std::size_t i = 0; i + 1 < typed.size() && i < 8; i += 2) {
        fuzz::check(typed[i].size() > 200 || typed[i + 1].size() > 200 ||
                        platform::matchesPattern(typed[i], typed[i + 1]) ==
                            modelMatch(typed[i], typed[i + 1]),
                    "wildcard match differs from the model");
    }
    return 0;
}
