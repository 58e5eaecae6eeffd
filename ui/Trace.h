#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

namespace ui {

// Status and trace messages are formatted into a buffer of this many bytes; a longer text
// is cut to its first kMessageCapacity - 1 bytes.
inline constexpr std::size_t kMessageCapacity = 1024;

// The printf-style message, cut to fit the buffer.
std::string formatMessage(const char* format, std::va_list args);

// Writes "Narlo::" and the printf-style message to the debug-output channel. Any thread.
void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// trace() with the arguments already gathered.
void vtrace(const char* format, std::va_list args);

} // namespace ui
