// storycrc: prints the CRC-32 of files, folders, wildcard patterns and response files, or
// checks files against lists of CRCs.

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

// Reports a combination of options that cannot be used as the parser reports its own failures;
// returns the exit status the parser gives them.
int usageError(TCLAP::CmdLine& cmd, const std::string& option, const std::string& reason)
{
    TCLAP::CmdLineParseException error(reason, option);
    try {
        cmd.getOutput()->failure(cmd, error);
    } catch (const TCLAP::ExitException& exit) {
        return exit.getExitStatus();
    }
    return 1;
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
    TCLAP::SwitchArg sfv("", "sfv",
                         "Print \"name CRC\" lines, a list that --check, rhash -c and cksfv -f "
                         "read: storycrc --sfv -r games > games.sfv",
                         cmd, false);
    TCLAP::SwitchArg check("", "check",
                           "Check the files and CRCs each name lists, as .sfv or as storycrc "
                           "prints them (- reads standard input): storycrc --check games.sfv",
                           cmd, false);
    TCLAP::SwitchArg quiet("", "quiet", "With --check, print only the files that are not OK.", cmd,
                           false);
    // Parse failures end the process with status 1, --help and --version with 0.
    cmd.parse(arguments);
    if (check.isSet() && (sum.isSet() || compare.isSet() || recurse.isSet())) {
        return usageError(cmd, "--check", "Cannot be combined with -s, -c or -r");
    }
    if (sfv.isSet() && (sum.isSet() || compare.isSet() || check.isSet())) {
        return usageError(cmd, "--sfv", "Cannot be combined with -s, -c or --check");
    }
    if (quiet.isSet() && !check.isSet()) {
        return usageError(cmd, "--quiet", "Only works with --check");
    }

    std::cerr.tie(&std::cout); // error lines appear after the CRC lines printed before them
    const StoryCrcOptions options{.sum = sum.getValue(),
                                  .recurse = recurse.getValue(),
                                  .compare = compare.getValue(),
                                  .names = names.getValue(),
                                  .sfv = sfv.getValue(),
                                  .check = check.getValue(),
                                  .quiet = quiet.getValue()};
    return runStoryCrc(options, startTick, std::cin, std::cout, std::cerr);
}
