#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes. `path()` ends in the system's separator ('/', on Windows '\').
class TempDir
{
public:
    // In `parent` when given.
    explicit TempDir(const std::string& parent = "");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // path() + relative
    std::string operator/(std::string_view relative) const;

private:
    std::string m_path;
};

// Writes `content` to `path`, creating missing parent folders.
void writeFile(const std::string& path, std::string_view content);

// The whole file as bytes; empty when it cannot be read.
std::string readFile(const std::string& path);

// Expects `actual` to equal the golden file tests/golden/<name>, an exact output kept as data.
// With QUELT_UPDATE_GOLDEN=1 in the environment it writes `actual` there instead: an output
// changed on purpose is rewritten by that one command, and the rewrite reviewed line by line.
void expectGolden(const std::string& name, const std::string& actual);

// Four bytes whose CRC-32 is `crc` (CRC-32 is invertible over four bytes).
std::string bytesWithCrc(std::uint32_t crc);

// Output and exit status of a program run through the shell.
struct ProcessResult
{
    std::string out;
    std::string err;
    int status = -1;
};

// Runs `commandLine` (a command of the shell: sh, on Windows cmd.exe) in `workingDir`,
// capturing standard output and error; standard input is the file `input` (relative to
// `workingDir`) or, when empty, nothing.
ProcessResult runCommand(const std::string& commandLine, const std::string& workingDir,
                         const std::string& input = "");

// `text` quoted for the shell.
std::string shellQuoted(std::string_view text);

// The prefix that runs a shell command as the user nobody (uid and gid 65534; `groups`, as
// setpriv takes them, its supplementary groups) when the tests run as root, who ignores
// permissions; empty for any other user. Nothing when root has no setpriv: skip the test.
// POSIX only.
std::optional<std::string> asNobody(const std::string& groups = "");

// Ends the test program (with SIGALRM; on Windows with status 3) when it still runs `seconds`
// after this object was made, so that a hang fails the run instead of stalling it. Disarmed
// when the object goes.
class TimeLimit
{
public:
    explicit TimeLimit(unsigned seconds);
    ~TimeLimit();
    TimeLimit(const TimeLimit&) = delete;
    TimeLimit& operator=(const TimeLimit&) = delete;
};

} // namespace testsupport
