#pragma once

#include "core/StoryFacts.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The fingerprint of a story file: the standard CRC-32 (zlib, PNG, Ethernet; Boost's
// crc_32_type) of all its bytes. Every CRC of both programs is computed here.

// `value` as exactly eight upper-case hexadecimal digits, zero-padded: 0xABCD -> "0000ABCD".
std::string crcText(std::uint32_t value);

// The CRC-32 of `size` bytes at `data`, continuing from `crc` (0 to start).
std::uint32_t crc32Update(std::uint32_t crc, const void* data, std::size_t size);

namespace core {

// What a scan keeps of a file it reads, besides the fingerprint: the last-write time (a
// Windows FILETIME) the file had when it was opened, before any byte was read, the serial
// number of its story header (as readSerial), and its story facts.
struct FileFacts
{
    std::uint64_t lastWrite = 0;
    std::string serial;
    StoryFacts story;
};

} // namespace core

// Why a file has no fingerprint.
enum class FingerprintError
{
    None,
    Open, // missing, not a regular file, or not readable by the user
    Read  // a read failed, or the file changed size while it was read
};

// The CRC-32 of every byte of the file at `path`. Nothing when the file cannot be opened
// (error = Open) or a read fails or the file changes size while being read (error = Read);
// `error` may be nullptr; `facts`, when given, receives the file's facts.
// Files of a few MiB and more are read by two threads at once. Safe to call from several
// threads.
std::optional<std::uint32_t> computeFingerprint(const std::string& path,
                                                FingerprintError* error = nullptr,
                                                core::FileFacts* facts = nullptr);

namespace core {

// How a file is read for its fingerprint; computeFingerprint uses the defaults, which
// bench/storycrc-bench.sh measures.
struct ReadPlan
{
    // Bytes per read; one buffer of it per thread. Small enough to stay in the core's level-2
    // cache between the copy and the CRC: 256 KiB took 4% less CPU time than 1 MiB here.
    std::size_t blockSize = std::size_t{256} << 10;
    // Files of at least this many bytes are read as two halves on two threads, their CRCs
    // joined; smaller ones by the calling thread alone, without that set-up.
    std::uint64_t splitFrom = std::uint64_t{4} << 20;
};

// computeFingerprint with the given reading plan.
std::optional<std::uint32_t> fingerprintFile(const std::string& path, const ReadPlan& plan,
                                             FingerprintError* error = nullptr,
                                             FileFacts* facts = nullptr);

} // namespace core
