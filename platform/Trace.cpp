#include "platform/Trace.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace platform {
namespace {

std::mutex& sinkMutex()
{
    static std::mutex mutex;
    return mutex;
}

TraceSink& currentSink()
{
    static TraceSink sink;
    return sink;
}

} // namespace

void debugOutput(std::string_view line)
{
    std::lock_guard lock(sinkMutex());
    if (currentSink()) {
        currentSink()(line);
        return;
    }
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

TraceSink setTraceSink(TraceSink sink)
{
    std::lock_guard lock(sinkMutex());
    return std::exchange(currentSink(), std::move(sink));
}

} // namespace platform
