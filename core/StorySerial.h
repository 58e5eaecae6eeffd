#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The serial number of a story file: up to six bytes at offset 18 of the Z-machine header,
// up to the first zero byte. Never fails: an unreadable or short file gives what was there.
std::string readSerial(const std::string& path);

// How many of a file's first bytes hold its serial number.
constexpr std::size_t kSerialEnd = 24;
// The serial number in `head`, the first bytes of a file (all of a shorter one).
std::string serialIn(std::string_view head);

// True when `sn` has at least six characters, each an upper-case ASCII letter or a digit.
bool isSerialWellFormed(const std::string& sn);
