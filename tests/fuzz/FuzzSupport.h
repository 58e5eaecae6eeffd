#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Helpers shared by the fuzz targets. Each target is one LLVMFuzzerTestOneInput; it checks
// properties of the code under test and calls fuzz::fail when one does not hold, so that
// libFuzzer keeps the input as a crash.
namespace fuzz {

// A folder owned by this process, ending in '/': under $TMPDIR when set, else in /dev/shm
// when there is one. Created on first use and removed with its contents when the process
// exits normally (libFuzzer does not always: run-fuzzers.sh gives it a TMPDIR to remove).
const std::string& scratchFolder();

// Replaces the file at `path` with the given bytes.
void writeScratch(const std::string& path, const std::uint8_t* data, std::size_t size);

// The whole file; empty when it cannot be read.
std::string readWhole(const std::string& path);

// Silences the debug-output channel, which some code under test writes to on every call.
void quietTrace();

// Reports the broken property `what` (with `detail`, escaped) on standard error and aborts.
[[noreturn]] void fail(const char* what, std::string_view detail = {});

inline void check(bool ok, const char* what, std::string_view detail = {})
{
    if (!ok) {
        fail(what, detail);
    }
}

} // namespace fuzz
