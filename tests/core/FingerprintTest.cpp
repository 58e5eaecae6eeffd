#include "core/Fingerprint.h"

#include "tests/support/TestSupport.h"

#include <boost/crc.hpp>
#include <gtest/gtest.h>

#include <random>
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

TEST(ComputeFingerprint, ReadsEveryByteOfTheFile)
{
    TempDir dir;
    writeFile(dir / "empty.z5", "");
    writeFile(dir / "check.z5", "123456789");
    // Larger than the read block, with a partial last block.
    const std::string big = randomBytes(2 * 256 * 1024 + 17, 3);
    writeFile(dir / "big.z5", big);

    EXPECT_EQ(computeFingerprint(dir / "empty.z5"), 0u);
    EXPECT_EQ(computeFingerprint(dir / "check.z5"), 0xCBF43926u);
    EXPECT_EQ(computeFingerprint(dir / "big.z5"), referenceCrc(big.data(), big.size()));
}

TEST(ComputeFingerprint, GivesNothingAndTheReasonForFilesItCannotReadWhole)
{
    TempDir dir;
    writeFile(dir / "check.z5", "123456789");
    const std::vector<std::pair<std::string, FingerprintError>> cases{
        {dir / "check.z5", FingerprintError::None},
        {dir / "missing.z5", FingerprintError::Open},
        {dir.path(), FingerprintError::Open},
        {"/proc/self/mem", FingerprintError::Read},    // the first read fails (EIO)
        {"/proc/self/status", FingerprintError::Read}, // gives more bytes than its size
    };
    for (const auto& [path, expected] : cases) {
        FingerprintError error = FingerprintError::Read;
        EXPECT_EQ(computeFingerprint(path, &error).has_value(), expected == FingerprintError::None)
            << path;
        EXPECT_EQ(error, expected) << path;
    }
}
