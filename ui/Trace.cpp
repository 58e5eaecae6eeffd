#include "ui/Trace.h"

#include "platform/Trace.h"

#include <array>
#include <cstdio>

namespace ui {

std::string formatMessage(const char* format, std::va_list args)
{
    std::array<char, kMessageCapacity> buffer{};
    const int written = std::vsnprintf(buffer.data(), buffer.size(), format, args);
    if (written < 0) {
        return {};
    }
    return std::string(buffer.data());
}

void vtrace(const char* format, std::va_list args)
{
    platform::debugOutput("Narlo::" + formatMessage(format, args));
}

void trace(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    vtrace(format, args);
    va_end(args);
}

} // namespace ui
