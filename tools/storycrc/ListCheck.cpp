#include "tools/storycrc/ListCheck.h"

#include "core/Fingerprint.h"
#include "core/FingerprintQueue.h"
#include "platform/FileSystem.h"
#include "tools/storycrc/CrcList.h"
#include "tools/storycrc/StoryCrc.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <istream>
#include <ostream>

namespace {

// Bytes of a line kept at most, far more than any path: a list without line ends (a device)
// costs no memory.
constexpr std::size_t kMaxLine = std::size_t{64} << 10;

// The byte order mark a Windows editor may put before the first line.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Reads the next line of `in` into `line`, without its line feed; false at the end.
bool readLine(std::istream& in, std::string& line)
{
    line.clear();
    char chunk[4096];
    for (;;) {
        in.get(chunk, sizeof chunk, '\n');
        const auto got = static_cast<std::size_t>(in.gcount());
        line.append(chunk, std::min(got, kMaxLine - std::min(kMaxLine, line.size())));
        if (in.eof() || in.bad()) {
            return !line.empty();
        }
        in.clear(); // failbit: nothing read before the line feed
        if (in.peek() == '\n') {
            in.ignore();
            return true;
        }
    }
}

// What `count` failures of one kind add to the summary.
void warn(std::ostream& err, std::size_t count, const char* one, const char* many)
{
    if (count == 1) {
        err << "storycrc: WARNING: 1 " << one << '\n';
    } else if (count > 1) {
        err << "storycrc: WARNING: " << count << ' ' << many << '\n';
    }
}

// Reads the listed files ahead on the workers of a FingerprintQueue and reports them in list
// order.
class ListChecker
{
public:
    ListChecker(bool quiet, std::ostream& out, std::ostream& err)
        : m_quiet(quiet), m_out(out), m_err(err)
    {
    }

    void checkList(std::istream& list, const std::string& shownName);
    // Reports a list that cannot be read.
    void listFailed(const std::string& shownName, const std::string& reason);
    // Reports every entry and the summary; returns the exit status.
    int finish();

private:
    struct Expected
    {
        std::string name;
        std::uint32_t crc = 0;
    };

    void add(Expected expected);
    void reportNext();
    void flush();
    void reportLine(const std::string& listName, std::size_t number, const char* what);

    bool m_quiet;
    std::ostream& m_out;
    std::ostream& m_err;
    core::FingerprintQueue m_queue;
    std::deque<Expected> m_expected; // of the files in m_queue, in order
    std::size_t m_malformed = 0;
    std::size_t m_unreadable = 0;
    std::size_t m_mismatched = 0;
    bool m_listFailed = false;
};

void ListChecker::checkList(std::istream& list, const std::string& shownName)
{
    std::string line;
    std::size_t number = 0;
    std::size_t entries = 0;
    while (readLine(list, line)) {
        if (++number == 1 && line.starts_with(kByteOrderMark)) {
            line.erase(0, kByteOrderMark.size());
        }
        CrcListLine parsed = parseCrcListLine(line);
        if (parsed.kind == CrcListLine::Kind::Entry) {
            add({std::move(parsed.name), parsed.crc});
            ++entries;
        } else if (parsed.kind == CrcListLine::Kind::Total) {
            reportLine(shownName, number, "a TOTAL line names no file");
        } else if (parsed.kind == CrcListLine::Kind::Malformed) {
            reportLine(shownName, number, "improperly formatted CRC line");
        }
    }
    if (list.bad()) {
        listFailed(shownName, platform::lastErrorText());
    } else if (entries == 0) {
        flush();
        m_err << "storycrc: " << shownName << ": no file listed\n";
    }
}

void ListChecker::listFailed(const std::string& shownName, const std::string& reason)
{
    flush();
    m_err << "storycrc: " << shownName << ": " << reason << '\n';
    m_listFailed = true;
}

int ListChecker::finish()
{
    flush();
    warn(m_err, m_malformed, "line is improperly formatted", "lines are improperly formatted");
    warn(m_err, m_unreadable, "listed file could not be read", "listed files could not be read");
    warn(m_err, m_mismatched, "computed CRC did NOT match", "computed CRCs did NOT match");
    const bool allOk = m_malformed == 0 && m_unreadable == 0 && m_mismatched == 0;
    return allOk && !m_listFailed ? 0 : 1;
}

void ListChecker::add(Expected expected)
{
    m_queue.add(expected.name);
    m_expected.push_back(std::move(expected));
    while (m_queue.nextReady() || m_queue.pending() > kReadAhead) {
        reportNext();
    }
}

void ListChecker::reportNext()
{
    const core::FingerprintResult result = m_queue.take();
    const Expected expected = std::move(m_expected.front());
    m_expected.pop_front();
    // Not read as written: findAndFingerprint also looks the name up without regard to case.
    const auto crc = result.crc ? result.crc : findAndFingerprint(result.path);
    if (!crc) {
        ++m_unreadable;
        m_out << expected.name << ": FAILED open or read\n";
    } else if (*crc != expected.crc) {
        ++m_mismatched;
        m_out << expected.name << ": FAILED (" << crcText(*crc) << ", expected "
              << crcText(expected.crc) << ")\n";
    } else if (!m_quiet) {
        m_out << expected.name << ": OK\n";
    }
}

void ListChecker::flush()
{
    while (m_queue.pending() > 0) {
        reportNext();
    }
}

void ListChecker::reportLine(const std::string& listName, std::size_t number, const char* what)
{
    flush(); // the report follows the lines of the entries before it
    m_err << "storycrc: " << listName << ": " << number << ": " << what << '\n';
    ++m_malformed;
}

} // namespace

int checkLists(const std::vector<std::string>& lists, bool quiet, std::istream& in,
               std::ostream& out, std::ostream& err)
{
    ListChecker checker(quiet, out, err);
    for (const std::string& list : lists) {
        if (list == "-") {
            checker.checkList(in, "standard input");
            continue;
        }
        std::ifstream file(list, std::ios::binary);
        if (!file) {
            checker.listFailed(list, platform::lastErrorText());
            continue;
        }
        checker.checkList(file, list);
    }
    return checker.finish();
}
