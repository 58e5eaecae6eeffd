#pragma once

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

// Why computeFingerprint gave nothing.
enum class FingerprintError
{
    None,
    Open,
    Read
};

// The CRC-32 of every byte of the file at `path`, read in binary mode. Nothing when the file
// cannot be opened (`error` = Open) or a read fails or the file changes size while being
// read (`error` = Read): a part of a file never passes for its fingerprint. `error` may be
// nullptr; it is set to None on success.
std::optional<std::uint32_t> computeFingerprint(const std::string& path,
                                                FingerprintError* error = nullptr);
