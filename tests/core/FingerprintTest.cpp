// The fingerprint engine against Boost's CRC-32. (crcText's digits are pinned by storycrc's
// output, the read-ahead queue's order by storycrc's walks.)

#include "core/Fingerprint.h"

#include "tests/support/TestSupport.h"

#include <boost/crc.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string_view>
#include <vector>

using testsupport::TempDir;

// Every way a file is read gives Boost's CRC and the serial number (bytes 18 to 23, up to a
// zero): lengths on both sides of each read block, of the size at which a file is read as two
// halves, and of those halves' own blocks.
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
        {{7, 20}, {19, 20, 21, 23, 24, 27, 28, 29, 41, 42, 43, 1000}},
        {{4096, 1}, {1, 2, 4095, 4096, 4097, 8191, 8192, 8193, 3 * 4096 + 5}},
        {{10000, 30000}, {29999, 30000, 40000, 40001, 65536 + 3}},
        {standard,
         {0, 9, block - 1, block, block + 1, 2 * block + 17, split - 1, split, split + 4097}},
    };
    TempDir dir;
    std::string data(split + 4097, '\0');
    std::mt19937 random(3);
    for (char& c : data) {
        c = static_cast<char>(random() & 0xFF);
    }
    for (const Case& c : cases) {
        for (std::size_t length : c.lengths) {
            SCOPED_TRACE("block " + std::to_string(c.plan.blockSize) + ", halves from " +
                         std::to_string(c.plan.splitFrom) + ", length " + std::to_string(length));
            testsupport::writeFile(dir / "story.z5", std::string_view(data).substr(0, length));
            boost::crc_32_type reference;
            reference.process_bytes(data.data(), length);
            FingerprintError error = FingerprintError::Open;
            core::FileFacts facts;
            EXPECT_EQ(core::fingerprintFile(dir / "story.z5", c.plan, &error, &facts),
                      reference.checksum());
            EXPECT_EQ(error, FingerprintError::None);
            const std::string serial =
                length > 18 ? data.substr(18, std::min<std::size_t>(6, length - 18)) : "";
            EXPECT_EQ(facts.serial, serial.substr(0, serial.find('\0')));
        }
    }
}

#ifndef _WIN32
// Files of /proc say the size 0, yet have bytes: they are read to their end. (Why a file has no
// fingerprint is told by storycrc's "Failed to open file" and "Failed to read file".)
TEST(ComputeFingerprint, ReadsAFileOfProcToItsEnd)
{
    EXPECT_NE(computeFingerprint("/proc/self/cmdline").value_or(0), 0u);
}
#endif

// A file of 4 GiB or more is read as two halves of over 2 GiB each, whose CRCs are joined; a
// join that took the length as 32 bits (zlib's on Windows) never returned. The file is sparse
// where the file system allows (Linux, and Windows files under wine): it costs no disk. It
// goes to tmpfs where there is one (under wine too: the tests run on drive Z:, Linux's root).
// There a hole reads as the one zero page, while a disk file system first fills 4 GiB of page
// cache with zeros (5 s here, 15 s under wine).
TEST(ComputeFingerprint, JoinsTheHalvesOfAFileOf4GiBAndMore)
{
    const TempDir dir(std::filesystem::exists("/dev/shm") ? "/dev/shm" : "");
    {
        std::ofstream file(dir / "huge.z5", std::ios::binary);
        file << "HEAD";
        file.seekp((std::streamoff{1} << 32) + 4097);
        file << "TAIL";
        ASSERT_TRUE(file);
    }
    const testsupport::TimeLimit limit(60);
    EXPECT_EQ(computeFingerprint(dir / "huge.z5"), 0x0D50879Eu); // Python's zlib.crc32 of it
}
