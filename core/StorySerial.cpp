#include "core/StorySerial.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr long kSerialOffset = 18;
constexpr std::size_t kSerialLength = 6;
} // namespace

std::string readSerial(const std::string& path)
{
    const platform::FilePtr file = platform::openForReading(path);
    if (!file || std::fseek(file.get(), kSerialOffset, SEEK_SET) != 0) {
        return {};
    }
    char field[kSerialLength] = {};
    const std::size_t got = std::fread(field, 1, kSerialLength, file.get());
    return std::string(field, std::find(field, field + got, '\0'));
}

bool isSerialWellFormed(const std::string& sn)
{
    return sn.size() >= 6 && std::all_of(sn.begin(), sn.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}
