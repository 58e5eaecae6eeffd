#include "core/Fingerprint.h"

#include "platform/FileSystem.h"

#include <isa-l/crc.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr std::size_t kReadBlock = 256 * 1024;

// One read buffer per thread, reused for every file the thread fingerprints.
unsigned char* readBuffer()
{
    thread_local std::vector<unsigned char> buffer(kReadBlock);
    return buffer.data();
}

} // namespace

std::string crcText(std::uint32_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}

std::uint32_t crc32Update(std::uint32_t crc, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    // ISA-L takes a 64-bit length; feed in chunks so any size_t is safe.
    while (size > 0) {
        const auto chunk = static_cast<std::uint64_t>(std::min<std::size_t>(size, 1u << 30));
        crc = crc32_gzip_refl(crc, bytes, chunk);
        bytes += chunk;
        size -= chunk;
    }
    return crc;
}

std::optional<std::uint32_t> computeFingerprint(const std::string& path, FingerprintError* error)
{
    FingerprintError ignored = FingerprintError::None;
    FingerprintError& outcome = error ? *error : ignored;
    std::uint64_t size = 0;
    const platform::FilePtr file = platform::openForReading(path, &size);
    if (!file) {
        outcome = FingerprintError::Open;
        return std::nullopt;
    }
    unsigned char* buffer = readBuffer();
    std::uint32_t crc = 0;
    std::uint64_t total = 0;
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, kReadBlock, file.get())) > 0) {
        crc = crc32Update(crc, buffer, n);
        total += n;
    }
    // A file written to meanwhile gives a mix of old and new bytes: no fingerprint either.
    if (std::ferror(file.get()) || total != size) {
        outcome = FingerprintError::Read;
        return std::nullopt;
    }
    outcome = FingerprintError::None;
    return crc;
}
