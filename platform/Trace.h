#pragma once

#include <functional>
#include <string_view>

namespace platform {

// Receives one debug-output line (no line end). Called from any thread, one call at a time.
using TraceSink = std::function<void(std::string_view line)>;

// Hands one line to the debug-output channel: standard error unless a sink was installed.
void debugOutput(std::string_view line);

// Installs `sink` (an empty function restores standard error); returns the previous sink.
TraceSink setTraceSink(TraceSink sink);

} // namespace platform
