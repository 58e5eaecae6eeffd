// Files changing size while they are read, by one thread or as two halves on two. Also run
// under ThreadSanitizer. (The queue's workers are storycrc's walks' and the scans'.)

#include "core/Fingerprint.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

using testsupport::TempDir;
using testsupport::writeFile;

// Another thread keeps cutting the file short and growing it back (with zeros) while it is
// read: a fingerprint given is that of one of its two states, never of a mix of them; any
// other read is refused as a read failure. One thread and two halves alike.
TEST(FileChangingSize, IsFingerprintedAsOneStateOrRefused)
{
    TempDir dir;
    const std::string path = dir / "story.z5";
    constexpr std::size_t kShort = 64 * 1024;
    constexpr std::size_t kLong = 1024 * 1024;
    std::string grown(kLong, '\0');
    for (std::size_t i = 0; i < kShort; ++i) {
        grown[i] = static_cast<char>(i * 2654435761u >> 13);
    }
    writeFile(path, grown.substr(0, kShort));
    const std::uint32_t shortCrc = crc32Update(0, grown.data(), kShort);
    const std::uint32_t longCrc = crc32Update(0, grown.data(), kLong);

    std::atomic<bool> stop{false};
    std::thread writer([&] {
        const int fd = open(path.c_str(), O_WRONLY);
        while (!stop) {
            // Results ignored: a failed change leaves one of the two states.
            (void)!ftruncate(fd, kLong);
            (void)!ftruncate(fd, kShort);
        }
        close(fd);
    });
    const std::vector<std::pair<const char*, core::ReadPlan>> plans{
        {"one thread", {4096, std::uint64_t{1} << 40}},
        {"two halves", {4096, 1}},
        {"standard", {}},
    };
    for (const auto& [name, plan] : plans) {
        for (int round = 0; round < 400; ++round) {
            FingerprintError error = FingerprintError::None;
            const auto crc = core::fingerprintFile(path, plan, &error);
            EXPECT_TRUE(crc ? *crc == shortCrc || *crc == longCrc : error == FingerprintError::Read)
                << name << ", round " << round;
        }
    }
    stop = true;
    writer.join();
}
