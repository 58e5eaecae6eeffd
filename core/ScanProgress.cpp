#include "core/ScanProgress.h"

namespace core {

std::string groupedThousands(std::uint64_t value)
{
    std::string digits = std::to_string(value);
    for (std::size_t pos = digits.size(); pos > 3; pos -= 3) {
        digits.insert(pos - 3, ",");
    }
    return digits;
}

std::string scanProgressText(const ScanProgress& progress)
{
    if (progress.phase == ScanProgress::Phase::Listing) {
        return "Scanning: listing files\u2026";
    }
    return "Scanning: " + groupedThousands(progress.done) + " of " +
           groupedThousands(progress.total) + " files";
}

} // namespace core
