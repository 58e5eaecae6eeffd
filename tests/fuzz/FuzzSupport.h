#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The harness the fuzz targets share. Each target is one LLVMFuzzerTestOneInput (run by
// libFuzzer, or by ReplayMain.cpp over the saved inputs); it checks properties of the code
// under test and calls fuzz::fail when one does not hold, so that libFuzzer keeps the input
// as a crash.
namespace fuzz {

// The input as a byte string.
inline std::string_view bytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// A folder owned by this process under $TMPDIR (else /tmp), ending in '/'. Created on first
// use and removed with its contents when the process exits normally (libFuzzer does not
// always: run-fuzzers.sh gives it a TMPDIR to remove).
const std::string& scratchFolder();

// Replaces the scratch file `name` with `content`; returns its path.
std::string writeScratch(const std::string& name, std::string_view content);

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
