// storycrc: prints the CRC-32 of files, folders, wildcard patterns and response files.

#include "platform/Clock.h"
#include "platform/Terminal.h"
#include "tools/storycrc/StoryCrc.h"

#include <tclap/CmdLine.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

// "1.0.0 <build date> @ <build time>", as the compiler stamps them.
std::string versionText()
{
    return std::string("1.0.0 ") + __DATE__ + " @ " + __TIME__;
}

} // namespace

int main(int argc, char** argv)
{
    const std::uint32_t startTick = platform::tickCount();
    platform::bufferStandardOutput();
    std::vector<std::string> arguments = platform::commandLineArguments(argc, argv);

    // TCLAP wraps the description at 72 columns: the example starts the second line.
    TCLAP::CmdLine cmd("Generate CRC for files. Put -- before names that may begin with '-': "
                       "storycrc -- *.z5",
                       ' ', versionText());
    TCLAP::SwitchArg sum("s", "sum", "Sum CRC.", cmd, false);
    TCLAP::SwitchArg recurse("r", "recurse", "Recurse through file system..", cmd, false);
    TCLAP::ValueArg<std::string> compare("c", "compare", "Compare CRC", false, "", "string", cmd);
    TCLAP::UnlabeledMultiArg<std::string> names("fileName", "file names", false, "fileNameString",
                                                cmd);
    // Parse failures end the process with status 1, --help and --version with 0.
    cmd.parse(arguments);

    std::cerr.tie(&std::cout); // error lines appear after the CRC lines printed before them
    const StoryCrcOptions options{sum.getValue(), recurse.getValue(), compare.getValue(),
                                  names.getValue()};
    return runStoryCrc(options, startTick, std::cout, std::cerr);
}
