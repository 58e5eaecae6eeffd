#include "core/StorySerial.h"

#include "platform/RandomAccessFile.h"

#include <algorithm>
#include <optional>

namespace {
constexpr std::uint64_t kSerialOffset = 18;
constexpr std::size_t kSerialLength = 6;
static_assert(kSerialOffset + kSerialLength == kSerialEnd);
} // namespace

std::string readSerial(const std::string& path)
{
    const auto file = platform::RandomAccessFile::open(path);
    char head[kSerialEnd];
    const auto got = file ? file->readAt(0, head, kSerialEnd) : std::nullopt;
    return got ? serialIn({head, *got}) : std::string();
}

std::string serialIn(std::string_view head)
{
    if (head.size() <= kSerialOffset) {
        return {};
    }
    const std::string_view field = head.substr(kSerialOffset, kSerialLength);
    return std::string(field.substr(0, field.find('\0')));
}

bool isSerialWellFormed(const std::string& sn)
{
    return sn.size() >= 6 && std::all_of(sn.begin(), sn.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}
