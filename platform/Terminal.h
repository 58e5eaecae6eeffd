#pragma once

#include <string>
#include <vector>

namespace platform {

// Whether standard error is a terminal (not a pipe or a file), so that a line may be
// rewritten in place.
bool standardErrorIsTerminal();

// The program's arguments, its name first, as UTF-8 texts on Windows: there they are read as
// UTF-16 from the command line, so that every name arrives whatever the code page. On POSIX,
// `argv` as given: bytes.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Gives standard output a full buffer unless it is a terminal, whatever the C runtime chose
// (lines still come out in order with those on standard error, which flushes it first). The C
// library of Linux does so itself.
void bufferStandardOutput();

} // namespace platform
