#include "core/Fingerprint.h"

#include "core/StorySerial.h"
#include "platform/RandomAccessFile.h"

#ifndef QUELT_CRC_ZLIB
#include <isa-l/crc.h>
#endif
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <system_error>
#include <thread>

namespace {

constexpr std::uint64_t kPage = 4096;

// The calling thread's read buffers, reused for every file it fingerprints: the first block
// for its own reads, the second for the helper that reads the second half of a large file.
// Left uninitialised, so a thread that never reads a large file never touches the second.
unsigned char* readBuffers(std::size_t size)
{
    struct Buffers
    {
        std::unique_ptr<unsigned char[]> data;
        std::size_t size = 0;
    };
    thread_local Buffers buffers;
    if (buffers.size < size) {
        buffers.data = std::make_unique_for_overwrite<unsigned char[]>(size);
        buffers.size = size;
    }
    return buffers.data.get();
}

// The CRC-32 of `n` bytes at `bytes`, continuing `crc`; they pass through `story`, if given.
std::uint32_t crcThrough(std::uint32_t crc, const unsigned char* bytes, std::size_t n,
                         core::StoryFactsReader* story)
{
    return story ? story->crcThrough(crc, bytes, n) : crc32Update(crc, bytes, n);
}

// The CRC-32 of bytes [begin, end) of `file`; nothing when a read fails or the file ends
// before `end`. `story`, given for a range that begins the file, learns its facts.
std::optional<std::uint32_t> crcOfRange(const platform::RandomAccessFile& file, std::uint64_t begin,
                                        std::uint64_t end, unsigned char* buffer,
                                        std::size_t blockSize,
                                        core::StoryFactsReader* story = nullptr)
{
    std::uint32_t crc = 0;
    for (std::uint64_t pos = begin; pos < end;) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(blockSize, end - pos));
        const auto n = file.readAt(pos, buffer, wanted);
        if (!n || *n == 0) {
            return std::nullopt;
        }
        crc = crcThrough(crc, buffer, *n, story);
        pos += *n;
    }
    return crc;
}

// The CRC-32 of every byte of `file` up to its end; `length` receives their number. The end
// is where a read gives nothing, or where a read stops short at `size`, the size the file
// had (a file smaller than a block takes one read). Nothing when a read fails. `story`, if
// given, learns the file's facts.
std::optional<std::uint32_t> crcToEnd(const platform::RandomAccessFile& file, std::uint64_t size,
                                      unsigned char* buffer, std::size_t blockSize,
                                      std::uint64_t& length, core::StoryFactsReader* story)
{
    std::uint32_t crc = 0;
    length = 0;
    for (;;) {
        const auto n = file.readAt(length, buffer, blockSize);
        if (!n) {
            return std::nullopt;
        }
        crc = crcThrough(crc, buffer, *n, story);
        length += *n;
        if (*n == 0 || (*n < blockSize && length == size)) {
            return crc;
        }
    }
}

// The CRC-32 of two pieces of data one after the other, from their CRCs and the second one's
// length. zlib takes that length as a z_off_t, 32 bits on Windows: the second half of a file
// of 4 GiB or more would pass as negative, and zlib 1.2.13 then never returns. Joining moves
// the first CRC over the second piece's bytes and adds the second CRC, so the move can be made
// in steps that fit (joining with 0 only moves).
std::uint32_t joinCrcs(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength)
{
    constexpr std::uint64_t kStep = std::uint64_t{1} << 30;
    for (; secondLength > kStep; secondLength -= kStep) {
        first = static_cast<std::uint32_t>(crc32_combine(first, 0, static_cast<z_off_t>(kStep)));
    }
    return static_cast<std::uint32_t>(
        crc32_combine(first, second, static_cast<z_off_t>(secondLength)));
}

// The CRC-32 of the first `size` bytes of `file`, read as two halves at once: a helper
// thread reads the second while this one reads the first. Copying the bytes out of the
// page cache, not the CRC, is what costs, so two cores copy about twice as fast.
std::optional<std::uint32_t> crcInHalves(const platform::RandomAccessFile& file, std::uint64_t size,
                                         unsigned char* buffers, std::size_t blockSize,
                                         core::StoryFactsReader* story)
{
    // Both halves start on a page boundary, and the first holds the story header. Only the
    // first passes through `story`: it is larger than any story (512 KiB at most).
    const std::uint64_t align = std::min<std::uint64_t>(blockSize, kPage);
    const std::uint64_t middle =
        std::max(size / 2 / align * align, std::min<std::uint64_t>(size, core::kStoryHeaderSize));
    std::optional<std::uint32_t> second;
    std::thread helper;
    try {
        helper = std::thread(
            [&] { second = crcOfRange(file, middle, size, buffers + blockSize, blockSize); });
    } catch (const std::system_error&) {
        // No thread to be had: read alone.
        return crcOfRange(file, 0, size, buffers, blockSize, story);
    }
    const auto first = crcOfRange(file, 0, middle, buffers, blockSize, story);
    helper.join();
    if (!first || !second) {
        return std::nullopt;
    }
    return joinCrcs(*first, *second, size - middle);
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
#ifdef QUELT_CRC_ZLIB
    return static_cast<std::uint32_t>(crc32_z(crc, bytes, size));
#else
    // ISA-L takes a 64-bit length; feed in chunks so any size_t is safe.
    while (size > 0) {
        const auto chunk = static_cast<std::uint64_t>(std::min<std::size_t>(size, 1u << 30));
        crc = crc32_gzip_refl(crc, bytes, chunk);
        bytes += chunk;
        size -= chunk;
    }
    return crc;
#endif
}

std::optional<std::uint32_t> computeFingerprint(const std::string& path, FingerprintError* error,
                                                core::FileFacts* facts)
{
    return core::fingerprintFile(path, core::ReadPlan{}, error, facts);
}

namespace core {

std::optional<std::uint32_t> fingerprintFile(const std::string& path, const ReadPlan& plan,
                                             FingerprintError* error, FileFacts* facts)
{
    FingerprintError ignored = FingerprintError::None;
    FingerprintError& why = error ? *error : ignored;
    const auto file = platform::RandomAccessFile::open(path);
    if (!file) {
        why = FingerprintError::Open;
        return std::nullopt;
    }
    // The scan needs the serial and the story facts of every file it reads: taken from the
    // reads of the fingerprint, they cost no more reads (opening each file again cost half
    // its time).
    StoryFactsReader story;
    StoryFactsReader* const storyWanted = facts ? &story : nullptr;
    const std::size_t blockSize = std::max<std::size_t>(plan.blockSize, 1);
    unsigned char* buffers = readBuffers(2 * blockSize);
    const std::uint64_t size = file->openedSize();
    std::optional<std::uint32_t> crc;
    if (size > 0 && size >= plan.splitFrom) {
        crc = crcInHalves(*file, size, buffers, blockSize, storyWanted);
        // Bytes beyond the size are not read: a size that changed by the end means the bytes
        // read may belong to no version of the file.
        if (file->currentSize() != size) {
            crc.reset();
        }
    } else {
        std::uint64_t length = 0;
        crc = crcToEnd(*file, size, buffers, blockSize, length, storyWanted);
        // Files of /proc say 0 and have bytes; any other file must end where its size said.
        if (length != size && size != 0) {
            crc.reset();
        }
    }
    if (facts) {
        *facts = FileFacts{file->openedLastWrite(), serialIn(story.head()), story.facts(size)};
    }
    if (!crc) {
        why = FingerprintError::Read;
        return std::nullopt;
    }
    why = FingerprintError::None;
    return crc;
}

} // namespace core
