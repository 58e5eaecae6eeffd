#include "platform/Terminal.h"

#include <unistd.h>

namespace platform {

bool standardErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
    return {argv, argv + argc};
}

void bufferStandardOutput()
{
    // The C library buffers standard output fully whenever it is not a terminal.
}

} // namespace platform
