// The fingerprint engine's threads: files read as two halves, files changing size while
// they are read, and the queue whose workers read whole files. Also run under
// ThreadSanitizer.

#include "core/Fingerprint.h"
#include "core/FingerprintQueue.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::uint32_t crcOf(const std::string& bytes)
{
    return crc32Update(0, bytes.data(), bytes.size());
}

} // namespace

// Another thread keeps cutting the file short and growing it back (with zeros) while it is
// read: a fingerprint given is that of one of its two states, never of a mix of them; any
// other read is refused as a read failure. One thread and two halves alike.
TEST(FileChangingSize, IsFingerprintedAsOneStateOrRefused)
{
    TempDir dir;
    const std::string path = dir / "story.z5";
    constexpr std::size_t kShort = 64 * 1024;
    constexpr std::size_t kLong = 1024 * 1024;
    std::string head(kShort, '\0');
    for (std::size_t i = 0; i < head.size(); ++i) {
        head[i] = static_cast<char>(i * 2654435761u >> 13);
    }
    writeFile(path, head);
    const std::uint32_t shortCrc = crcOf(head);
    const std::uint32_t longCrc = crcOf(head + std::string(kLong - kShort, '\0'));

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
        int refused = 0;
        for (int round = 0; round < 400; ++round) {
            FingerprintError error = FingerprintError::None;
            const auto crc = core::fingerprintFile(path, plan, &error);
            if (crc) {
                EXPECT_TRUE(*crc == shortCrc || *crc == longCrc) << name << ", round " << round;
            } else {
                EXPECT_EQ(error, FingerprintError::Read) << name << ", round " << round;
                ++refused;
            }
        }
        RecordProperty(std::string("refused reads, ") + name, refused);
    }
    stop = true;
    writer.join();
}

// Results come back in the order the files were added, whichever worker finished first,
// large files read in halves among them; a queue dropped with files pending ends.
TEST(FingerprintQueue, GivesResultsInTheOrderFilesWereAdded)
{
    TempDir dir;
    std::vector<std::pair<std::string, std::optional<std::uint32_t>>> expected;
    for (int i = 0; i < 200; ++i) {
        const std::string path = dir / ("f" + std::to_string(i));
        if (i % 50 == 7) {
            expected.emplace_back(path, std::nullopt); // never written
            continue;
        }
        const std::size_t size =
            i % 50 == 0 ? std::size_t{5} << 20 : static_cast<std::size_t>(i) * 131;
        const std::string bytes = std::string(size, static_cast<char>(i)) + std::to_string(i);
        writeFile(path, bytes);
        expected.emplace_back(path, crcOf(bytes));
    }
    core::FingerprintQueue queue;
    for (const auto& [path, crc] : expected) {
        queue.add(path);
    }
    for (const auto& [path, crc] : expected) {
        const core::FingerprintResult result = queue.take();
        EXPECT_EQ(result.path, path);
        EXPECT_EQ(result.crc, crc) << path;
        EXPECT_EQ(result.error, crc ? FingerprintError::None : FingerprintError::Open) << path;
    }
    EXPECT_EQ(queue.pending(), 0u);

    core::FingerprintQueue dropped;
    for (const auto& [path, crc] : expected) {
        dropped.add(path);
    }
}
