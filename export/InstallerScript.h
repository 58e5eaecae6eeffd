#pragma once

#include <string>
#include <vector>

namespace exporter {

// What the script needs of one results-list row.
struct ScriptRow
{
    std::string filename; // the "Filename" cell
    std::string fullName; // the "FullName" cell
};

// The folder name a game is installed under: its full name with '&' -> " and ", '.' -> ' ',
// '(' ')' ',' '\' '/' -> '_' and ':' -> '-', in that order, without rescanning.
std::string destinationName(const std::string& fullName);

// The installer script's file section: "[FILES]", then one entry per row whose file is
// known (Filename not "unknown"), in the given order; every line ends with "\n".
std::string installerScript(const std::vector<ScriptRow>& rows);

} // namespace exporter
