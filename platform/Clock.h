#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a monotonic clock, wrapping at 2^32 like the original tick counter.
std::uint32_t tickCount();

} // namespace platform
