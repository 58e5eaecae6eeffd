#pragma once

#include <string>

// The serial number of a story file: up to six bytes at offset 18 of the Z-machine header,
// up to the first zero byte. Never fails: an unreadable or short file gives what was there.
std::string readSerial(const std::string& path);

namespace platform {
class RandomAccessFile;
}
// The same of a file already open.
std::string readSerial(const platform::RandomAccessFile& file);

// True when `sn` has at least six characters, each an upper-case ASCII letter or a digit.
bool isSerialWellFormed(const std::string& sn);
