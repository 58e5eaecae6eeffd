#include "batch/CommandLine.h"

#include <tclap/CmdLine.h>

#include <ostream>

namespace batch {
namespace {

const char* const kProgram = "QueltImport";

const char* const kHelp =
    "QueltImport finds interactive-fiction story files (Z-code .z1 to .z8, .dat and .zip)\n"
    "under a folder and matches them by their fingerprint, the CRC-32 of all their bytes,\n"
    "against an XML catalogue of games. Without arguments it opens its window; with --scan\n"
    "it does what the window's Scan, Save and Make do, without a window or a display.\n"
    "\n"
    "Usage:\n"
    "  QueltImport\n"
    "  QueltImport --scan FOLDER [--catalogue FILE] [--format tsv|csv|json]\n"
    "              [--save FILE [--gamelist]] [--installer FILE] [--missing FILE] [--quiet]\n"
    "  QueltImport --help | --version\n"
    "\n"
    "Options:\n"
    "  --scan FOLDER      scan FOLDER and its subfolders; print one line per game,\n"
    "                     tab-separated: fingerprint, serial, filename, warnings, full name\n"
    "                     (a tab, line end, backslash or other control byte in a field is\n"
    "                     written \\t, \\n, \\r, \\\\ or \\xNN), then \"N: games found.\" or\n"
    "                     \"no games found.\"\n"
    "  --catalogue FILE   match against the catalogue FILE (without it every story file\n"
    "                     is listed as \"unknown\")\n"
    "  --format FORMAT    tsv (the default, as above), csv (RFC 4180, with a header line)\n"
    "                     or json (an array of objects): csv and json give every field of\n"
    "                     every game, status (found, missing, unknown), fingerprint,\n"
    "                     serial, filename, warnings, fullName, size, version, release,\n"
    "                     declaredLength, check, ifid and hint\n"
    "  --save FILE        write every row printed as a catalogue to FILE\n"
    "  --gamelist         also write gamelist.txt beside the catalogue FILE\n"
    "  --installer FILE   write the installer script's file section to FILE: one entry\n"
    "                     for every row whose filename is not \"unknown\" (catalogue games\n"
    "                     saved with a path are exported even when the scan did not find\n"
    "                     them)\n"
    "  --missing FILE     write the catalogue's games the scan did not find as a catalogue\n"
    "                     to FILE\n"
    "  --quiet            show no progress on standard error\n"
    "  -h, --help         print this help and exit\n"
    "  --version          print the version and exit\n"
    "\n"
    "Exit status: 0 on success; 1 when the catalogue cannot be loaded, the folder does not\n"
    "exist, a file cannot be written, or a story file or folder under FOLDER cannot be read\n"
    "(reported on standard error; the rows found are printed all the same); 2 for a bad\n"
    "command line.\n";

// Help and version go to the stream the caller chose, in this program's own words.
class Output : public TCLAP::CmdLineOutput
{
public:
    explicit Output(std::ostream& out) : m_out(out) {}
    void usage(TCLAP::CmdLineInterface&) override { m_out << kHelp; }
    void version(TCLAP::CmdLineInterface&) override
    {
        m_out << kProgram << ' ' << QUELT_VERSION << '\n';
    }
    void failure(TCLAP::CmdLineInterface&, TCLAP::ArgException&) override {} // thrown instead

private:
    std::ostream& m_out;
};

// " (--scan)" for the argument TCLAP blames, which it spells "Argument: --scan" or
// "Argument: (--scan)"; empty when it blames none.
std::string argumentOf(const TCLAP::ArgException& error)
{
    std::string id = error.argId();
    const std::string label = "Argument: ";
    if (!id.starts_with(label)) {
        return "";
    }
    id.erase(0, label.size());
    if (id.starts_with('(') && id.ends_with(')')) {
        id = id.substr(1, id.size() - 2);
    }
    return " (" + id + ")";
}

Invocation usageError(std::ostream& err, const std::string& reason)
{
    err << kProgram << ": " << reason << "\nTry '" << kProgram
        << " --help' for more information.\n";
    return {Invocation::Kind::Exit, {}, kExitUsage};
}

} // namespace

Invocation parseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err)
{
    if (args.empty()) {
        return {};
    }
    TCLAP::CmdLine cmd(kHelp, ' ', QUELT_VERSION);
    Output output(out);
    cmd.setOutput(&output);
    cmd.setExceptionHandling(false);
    TCLAP::ValueArg<std::string> folder("", "scan", "folder to scan", false, "", "FOLDER", cmd);
    TCLAP::ValueArg<std::string> catalogue("", "catalogue", "catalogue", false, "", "FILE", cmd);
    TCLAP::ValueArg<std::string> save("", "save", "catalogue to write", false, "", "FILE", cmd);
    TCLAP::SwitchArg gameList("", "gamelist", "write gamelist.txt", cmd, false);
    TCLAP::ValueArg<std::string> installer("", "installer", "script", false, "", "FILE", cmd);
    TCLAP::SwitchArg quiet("", "quiet", "no progress", cmd, false);
    std::vector<std::string> formatNames{"tsv", "csv", "json"};
    TCLAP::ValuesConstraint<std::string> formats(formatNames);
    TCLAP::ValueArg<std::string> format("", "format", "output format", false, "tsv", &formats, cmd);
    TCLAP::ValueArg<std::string> missing("", "missing", "catalogue", false, "", "FILE", cmd);

    std::vector<std::string> argv{kProgram};
    argv.insert(argv.end(), args.begin(), args.end());
    try {
        cmd.parse(argv);
    } catch (const TCLAP::ExitException& done) { // --help or --version, already printed
        return {Invocation::Kind::Exit, {}, done.getExitStatus()};
    } catch (const TCLAP::ArgException& error) {
        return usageError(err, error.error() + argumentOf(error));
    }
    if (!folder.isSet()) {
        return usageError(err, "--scan FOLDER is missing");
    }
    if (gameList.getValue() && !save.isSet()) {
        return usageError(err, "--gamelist goes with --save");
    }
    const auto given = [](const TCLAP::ValueArg<std::string>& arg) {
        return arg.isSet() ? std::optional<std::string>(arg.getValue()) : std::nullopt;
    };
    return {Invocation::Kind::Scan,
            Options{folder.getValue(), given(catalogue), given(save), gameList.getValue(),
                    given(installer), given(missing), *formatNamed(format.getValue()),
                    quiet.getValue()},
            kExitSuccess};
}

} // namespace batch
