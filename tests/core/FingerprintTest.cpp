#include "core/Fingerprint.h"

#include "tests/support/TestSupport.h"

#include <boost/crc.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::uint32_t referenceCrc(const void* data, std::size_t size)
{
    boost::crc_32_type crc;
    crc.process_bytes(data, size);
    return crc.checksum();
}

std::string randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(gen() & 0xFF);
    }
    return bytes;
}

} // namespace

TEST(CrcText, IsEightUpperCaseHexDigits)
{
    EXPECT_EQ(crcText(0xABCD), "0000ABCD");
    EXPECT_EQ(crcText(0), "00000000");
    EXPECT_EQ(crcText(0xFFFFFFFF), "FFFFFFFF");
    EXPECT_EQ(crcText(0xCBF43926), "CBF43926");
}

TEST(Crc32, MatchesBoostOnEveryLengthAndAlignment)
{
    const std::string data = randomBytes(4096 + 64, 7);
    for (std::size_t offset = 0; offset < 16; ++offset) {
        for (std::size_t length : {0u, 1u, 3u, 7u, 8u, 15u, 16u, 31u, 63u, 64u, 65u, 127u, 255u,
                                   256u, 257u, 1023u, 1024u, 4096u}) {
            const char* p = data.data() + offset;
            ASSERT_EQ(crc32Update(0, p, length), referenceCrc(p, length))
                << "offset " << offset << " length " << length;
        }
    }
}

TEST(Crc32, ContinuesAcrossPieces)
{
    const std::string data = randomBytes(100000, 11);
    std::uint32_t crc = 0;
    for (std::size_t pos = 0; pos < data.size(); pos += 777) {
        crc = crc32Update(crc, data.data() + pos, std::min<std::size_t>(777, data.size() - pos));
    }
    EXPECT_EQ(crc, referenceCrc(data.data(), data.size()));
    EXPECT_EQ(crc32Update(0, "123456789", 9), 0xCBF43926u);
}

// Every way a file is read gives Boost's CRC: lengths on both sides of each read block, of
// the size at which a file is read as two halves, and of those halves' own blocks.
TEST(ComputeFingerprint, MatchesBoostAcrossBlocksAndHalves)
{
    struct Case
    {
        core::ReadPlan plan;
        std::vector<std::size_t> lengths;
    };
    const core::ReadPlan standard;
    const std::size_t block = standard.blockSize;
    const auto split = static_cast<std::size_t>(standard.splitFrom);
    const std::vector<Case> cases{
        {{7, 1000}, {0, 1, 6, 7, 8, 13, 14, 15, 99, 999}},
        {{7, 20}, {19, 20, 21, 27, 28, 29, 41, 42, 43, 1000}},
        {{4096, 1}, {1, 2, 4095, 4096, 4097, 8191, 8192, 8193, 3 * 4096 + 5}},
        {{10000, 30000}, {29999, 30000, 40000, 40001, 65536 + 3}},
        {standard,
         {0, 9, block - 1, block, block + 1, 2 * block + 17, split - 1, split, split + 4097}},
    };
    TempDir dir;
    const std::string data = randomBytes(split + 4097, 3);
    for (const Case& c : cases) {
        for (std::size_t length : c.lengths) {
            writeFile(dir / "story.z5", std::string_view(data).substr(0, length));
            FingerprintError error = FingerprintError::Open;
            EXPECT_EQ(core::fingerprintFile(dir / "story.z5", c.plan, &error),
                      referenceCrc(data.data(), length))
                << "block " << c.plan.blockSize << ", halves from " << c.plan.splitFrom
                << ", length " << length;
            EXPECT_EQ(error, FingerprintError::None);
        }
    }
    writeFile(dir / "check.z5", "123456789");
    EXPECT_EQ(computeFingerprint(dir / "check.z5"), 0xCBF43926u);
}

TEST(ComputeFingerprint, SaysWhyAFileHasNone)
{
    TempDir dir;
    // /proc/self/mem is a regular file whose size reads as 0 and whose first read fails.
    const std::vector<std::pair<std::string, FingerprintError>> cases{
        {dir / "missing.z5", FingerprintError::Open},
        {dir.path(), FingerprintError::Open},
        {"/proc/self/mem", FingerprintError::Read},
    };
    for (const auto& [path, expected] : cases) {
        FingerprintError error = FingerprintError::None;
        EXPECT_FALSE(computeFingerprint(path, &error)) << path;
        EXPECT_EQ(error, expected) << path;
    }
    // Other files of /proc say the same size 0, yet have bytes: they are read to their end.
    EXPECT_TRUE(computeFingerprint("/proc/self/cmdline").value_or(0) != 0);
}
