#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// How far a scan has come. While the folder is being walked the number of candidate files
// is not known yet; after the walk `done` of `total` candidates have been fingerprinted.
struct ScanProgress
{
    enum class Phase
    {
        Listing,
        Fingerprinting
    };
    Phase phase = Phase::Listing;
    std::size_t done = 0;
    std::size_t total = 0;

    bool operator==(const ScanProgress&) const = default;
};

// Receives progress reports on the scanning thread.
using ScanProgressHandler = std::function<void(const ScanProgress&)>;

namespace core {

// The status text of `progress`: "Scanning: listing files…" or
// "Scanning: 1,234 of 10,000 files" (thousands grouped by commas whatever the locale).
std::string scanProgressText(const ScanProgress& progress);

// `value` in decimal with its thousands grouped by commas, whatever the locale: "1,234".
std::string groupedThousands(std::uint64_t value);

} // namespace core
