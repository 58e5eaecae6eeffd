#include "tests/storycrc/Transcript.h"

#include <gtest/gtest.h>

#include <sstream>

namespace transcript {
namespace {

// Each line of `text` after `prefix` (trailing blanks cut from it on an empty line).
std::string shown(const std::string& prefix, const std::string& text)
{
    std::istringstream lines(text);
    std::string made;
    for (std::string line; std::getline(lines, line);) {
        made += (line.empty() ? prefix.substr(0, prefix.find(' ')) : prefix + line) + '\n';
    }
    return !text.empty() && text.back() != '\n' ? made + "(no line end)\n" : made;
}

} // namespace

void expect(const std::string& name,
            const std::function<testsupport::ProcessResult(const std::string&)>& run)
{
    SCOPED_TRACE(name);
    std::istringstream golden(testsupport::readFile(QUELT_TRANSCRIPT_DIR + name));
    std::string made;
    bool ran = false;
    for (std::string line; std::getline(golden, line);) {
        if (line.starts_with("$ ")) {
            ran = true;
            const testsupport::ProcessResult r = run(line.substr(2));
            made += line + '\n' + shown("", r.out) + shown("2> ", r.err);
            made += r.status != 0 ? "exit " + std::to_string(r.status) + '\n' : "";
        } else if (line.starts_with('#')) {
            made += line + '\n';
        }
    }
    ASSERT_TRUE(ran) << "no command in " << name;
    testsupport::expectGolden(name, made);
}

} // namespace transcript
