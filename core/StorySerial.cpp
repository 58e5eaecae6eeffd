#include "core/StorySerial.h"

#include "platform/RandomAccessFile.h"

#include <algorithm>

namespace {
constexpr std::uint64_t kSerialOffset = 18;
constexpr std::size_t kSerialLength = 6;
} // namespace

std::string readSerial(const std::string& path)
{
    const auto file = platform::RandomAccessFile::open(path);
    return file ? readSerial(*file) : std::string();
}

std::string readSerial(const platform::RandomAccessFile& file)
{
    char field[kSerialLength] = {};
    const auto got = file.readAt(kSerialOffset, field, kSerialLength);
    if (!got) {
        return {};
    }
    return std::string(field, std::find(field, field + *got, '\0'));
}

bool isSerialWellFormed(const std::string& sn)
{
    return sn.size() >= 6 && std::all_of(sn.begin(), sn.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}
