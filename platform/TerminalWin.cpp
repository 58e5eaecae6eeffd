#include "platform/Terminal.h"

#include "platform/WideTextWin.h"

#include <windows.h>

#include <cstdio>
#include <shellapi.h>

namespace platform {

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) {
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

void bufferStandardOutput()
{
    // A console is left as it is, so that lines show as they come: the C runtime on Windows
    // has no line buffering.
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_CHAR) {
        std::setvbuf(stdout, nullptr, _IOFBF, std::size_t{1} << 16);
    }
}

} // namespace platform
