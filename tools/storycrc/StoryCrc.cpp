#include "tools/storycrc/StoryCrc.h"

#include "core/Fingerprint.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "tools/storycrc/CrcList.h"
#include "tools/storycrc/FileException.h"
#include "tools/storycrc/FolderWalk.h"
#include "tools/storycrc/ListCheck.h"
#include "tools/storycrc/NameList.h"

#include <tclap/ArgException.h>

#include <ostream>
#include <utility>

namespace {

// The existing path `name` stands for, trying a match without regard to case.
std::string existingPath(const std::string& name)
{
    return platform::findPathIgnoringCase(name).value_or(name);
}

bool isFolder(const std::string& name)
{
    const auto status = platform::statPath(existingPath(name));
    return status && status->isFolder;
}

bool hasWildcard(const std::string& name)
{
    return name.find_first_of("*?") != std::string::npos;
}

// `name` with each line feed and carriage return written as "\n" and "\r".
std::string withVisibleLineEnds(const std::string& name)
{
    std::string shown;
    for (const char c : name) {
        shown += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    }
    return shown;
}

// Reports every name; false when a folder could not be listed or a name was left out of a list.
bool processNames(const StoryCrcOptions& options, std::ostream& out, std::ostream& err)
{
    CrcReport report(out, err, options);
    for (const std::string& name : expandNames(options.names)) {
        if (isFolder(name)) {
            walkFolder(platform::withTrailingSeparator(existingPath(name)),
                       platform::withTrailingSeparator(name), "*.*", options.recurse, report);
        } else if (hasWildcard(name)) {
            report.flush(); // the lines before it come before a missing folder's report
            const ResolvedPattern resolved = resolvePattern(name);
            // A list keeps a relative pattern's paths relative, as typed.
            const std::string shownFolder =
                options.sfv ? resolved.typedFolder : resolved.shownFolder;
            walkFolder(resolved.folder, shownFolder, resolved.pattern, options.recurse, report);
        } else {
            report.add(name, name);
        }
    }
    report.flush();
    if (options.sum) {
        out << crcText(report.total()) << "\tTOTAL" << matchText(options.compare, report.total())
            << std::endl;
    }
    return report.complete();
}

} // namespace

CrcReport::CrcReport(std::ostream& out, std::ostream& err, const StoryCrcOptions& options)
    : m_out(out), m_err(err), m_options(options)
{
}

void CrcReport::add(const std::string& path, std::string shown)
{
    if (m_options.sfv && !listableName(shown)) {
        flush(); // the report follows the lines before it
        m_err << "Name with a line end left out of the list: " << withVisibleLineEnds(shown)
              << std::endl;
        m_complete = false;
        return;
    }
    m_queue.add(path);
    m_shown.push_back(std::move(shown));
    while (m_queue.nextReady() || m_queue.pending() > kReadAhead) {
        reportNext();
    }
}

void CrcReport::flush()
{
    while (m_queue.pending() > 0) {
        reportNext();
    }
}

void CrcReport::unlistedFolder(const std::string& shown)
{
    flush(); // the lines of the files before it come first
    m_err << "Failed to list folder: " << shown << '\n';
    m_complete = false;
}

void CrcReport::reportNext()
{
    const core::FingerprintResult result = m_queue.take();
    // A file the workers could not read is tried again here: fileCrc finds a name from a
    // response file under another case, or says why the file cannot be read.
    const std::uint32_t value = result.crc ? *result.crc : fileCrc(result.path, 0);
    const std::string shown = std::move(m_shown.front());
    m_shown.pop_front();
    if (m_options.sum) {
        m_total += value;
        return;
    }
    // No flush per line: the error stream is tied to this one, so a report still follows
    // the lines before it.
    if (m_options.sfv) {
        m_out << sfvLine(shown, value) << '\n';
    } else {
        m_out << crcText(value) << '\t' << shown << matchText(m_options.compare, value) << '\n';
    }
}

std::optional<std::uint32_t> findAndFingerprint(const std::string& path, FingerprintError* error)
{
    auto crc = computeFingerprint(path, error);
    if (!crc) {
        if (auto actual = platform::findPathIgnoringCase(path); actual && *actual != path) {
            crc = computeFingerprint(*actual, error);
        }
    }
    return crc;
}

std::uint32_t fileCrc(const std::string& path, std::uint32_t seed)
{
    FingerprintError error = FingerprintError::None;
    const auto crc = findAndFingerprint(path, &error);
    if (error == FingerprintError::Read) {
        throw FileException("Failed to read file: " + path);
    }
    if (!crc) {
        throw FileException("Failed to open file: " + path);
    }
    return *crc + seed;
}

std::string matchText(const std::string& compare, std::uint32_t value)
{
    return (!compare.empty() && compare == crcText(value)) ? "\t**matched CRC**" : "";
}

int runStoryCrc(const StoryCrcOptions& options, std::uint32_t startTick, std::istream& in,
                std::ostream& out, std::ostream& err)
{
    int status = 0;
    try {
        if (options.names.empty()) {
            throw TCLAP::SpecificationException("At Least one filename needs to be specified!!");
        }
        if (options.check) {
            status = checkLists(options.names, options.quiet, in, out, err);
        } else {
            status = processNames(options, out, err) ? 0 : 1;
        }
    } catch (const TCLAP::ArgException& e) {
        err << "error: " << e.error() << " for arg " << e.argId() << std::endl;
        status = 1;
    } catch (const std::exception& e) {
        err << "Exception caught in main() :" << std::endl << e.what() << std::endl;
        status = 1;
    } catch (...) {
        err << "Unknown Exception..." << std::endl;
        status = 1;
    }
    // A full disk or a closed pipe loses the CRC lines: that is no success either.
    if (!out.flush()) {
        err << "Failed to write output" << std::endl;
        status = 1;
    }
    const std::uint32_t elapsed = platform::tickCount() - startTick;
    err << std::endl << elapsed / 1000 << " Total seconds." << std::endl;
    return status;
}
