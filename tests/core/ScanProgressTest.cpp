#include "core/ScanProgress.h"

#include <gtest/gtest.h>

TEST(ScanProgressText, NamesThePhaseAndGroupsThousands)
{
    using enum ScanProgress::Phase;
    const std::vector<std::pair<ScanProgress, std::string>> cases{
        {{Listing, 0, 0}, "Scanning: listing files\u2026"},
        {{Fingerprinting, 0, 7}, "Scanning: 0 of 7 files"},
        {{Fingerprinting, 999, 1000}, "Scanning: 999 of 1,000 files"},
        {{Fingerprinting, 1234, 10000}, "Scanning: 1,234 of 10,000 files"},
        {{Fingerprinting, 123456, 1234567}, "Scanning: 123,456 of 1,234,567 files"},
    };
    for (const auto& [progress, text] : cases) {
        EXPECT_EQ(core::scanProgressText(progress), text) << progress.done;
    }
}
