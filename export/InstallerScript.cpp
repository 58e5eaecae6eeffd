#include "export/InstallerScript.h"

#include "core/CGame.h"

#include <array>
#include <string_view>
#include <utility>

namespace exporter {
namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (std::size_t pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
}

} // namespace

std::string destinationName(const std::string& fullName)
{
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kReplacements{{
        {"&", " and "},
        {".", " "},
        {"(", "_"},
        {")", "_"},
        {",", "_"},
        {"\\", "_"},
        {"/", "_"},
        {":", "-"},
    }};
    std::string name = fullName;
    for (const auto& [from, to] : kReplacements) {
        replaceAll(name, from, to);
    }
    return name;
}

std::string installerScript(const std::vector<ScriptRow>& rows)
{
    std::string script = "[FILES]\n";
    for (const ScriptRow& row : rows) {
        if (row.filename == kUnknown) {
            continue; // a catalogued game whose story file was not found
        }
        // The destination keeps backslashes: it is the installer's syntax, not a local path.
        script += "Source: " + row.filename + "; DestDir: {app}\\games\\somedir\\" +
                  destinationName(row.fullName) + "; Flags: ignoreversion;\n";
    }
    return script;
}

} // namespace exporter
