#include "tools/storycrc/StoryCrc.h"

#include "core/Fingerprint.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "tools/storycrc/FileException.h"
#include "tools/storycrc/FolderWalk.h"
#include "tools/storycrc/NameList.h"

#include <tclap/ArgException.h>

#include <ostream>

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

std::string withTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

void processNames(const StoryCrcOptions& options, std::ostream& out)
{
    if (options.names.empty()) {
        throw TCLAP::SpecificationException("At Least one filename needs to be specified!!");
    }
    const CrcReport report{out, options.sum, options.compare};
    std::uint32_t total = 0;
    for (const std::string& name : expandNames(options.names)) {
        if (isFolder(name)) {
            total += walkFolder(withTrailingSlash(existingPath(name)), withTrailingSlash(name),
                                "*.*", options.recurse, report);
        } else if (hasWildcard(name)) {
            const ResolvedPattern resolved = resolvePattern(name);
            total += walkFolder(resolved.folder, resolved.shownFolder, resolved.pattern,
                                options.recurse, report);
        } else {
            total = report.add(name, total, name);
        }
    }
    if (options.sum) {
        out << crcText(total) << "\tTOTAL" << matchText(options.compare, total) << std::endl;
    }
}

} // namespace

std::uint32_t CrcReport::add(const std::string& path, std::uint32_t seed,
                             const std::string& shown) const
{
    const std::uint32_t value = fileCrc(path, seed);
    if (sum) {
        return value;
    }
    out << crcText(value) << '\t' << shown << matchText(compare, value) << std::endl;
    return 0;
}

std::uint32_t fileCrc(const std::string& path, std::uint32_t seed)
{
    FingerprintError error = FingerprintError::None;
    auto crc = computeFingerprint(path, &error);
    if (error == FingerprintError::Open) {
        if (auto actual = platform::findPathIgnoringCase(path); actual && *actual != path) {
            crc = computeFingerprint(*actual, &error);
        }
    }
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

int runStoryCrc(const StoryCrcOptions& options, std::uint32_t startTick, std::ostream& out,
                std::ostream& err)
{
    int status = 0;
    try {
        processNames(options, out);
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
