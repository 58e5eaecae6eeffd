#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace about {

// The program's embedded version information, as the program file would carry it: the
// translation table (language in the high 16 bits, code page in the low 16 bits) and the
// string values by their lookup path, e.g. "\StringFileInfo\040904b0\ProductName".
struct VersionResource
{
    std::vector<std::uint32_t> translations;
    std::map<std::string, std::string> strings;
};

// What the About box shows of the version information. A value that cannot be read is
// "none"; version and build are empty unless FileVersion has at least four parts.
struct VersionInfo
{
    std::string version;
    std::string build;
    std::string productName;
};

// The four ways a credits line is drawn.
enum class LineStyle
{
    Link,
    Heading,
    Subheading,
    Body
};

// One credits line with its style and its marker characters removed.
struct CreditsLine
{
    LineStyle style = LineStyle::Body;
    std::string text;
};

// The version information compiled into this program: ProductName "QueltImport",
// FileVersion "1, 0, 0, 1", translation 040904b0.
VersionResource programVersionResource();

// Looks up ProductName and FileVersion in the string table selected by the first
// translation; FileVersion is split at commas and blanks into version ("1.0.0") and build.
VersionInfo readVersionInfo(const VersionResource& resource);

// The developers' web address, fixed when the program is built.
std::string programHomepage();

// The credits as line-feed separated lines whose first characters select their style: a tab
// for a heading, a carriage return for a subheading; a line holding "http://" is a link.
std::string creditsText(const VersionInfo& info, const std::string& homepage);

// The credits split at line feeds; empty pieces are dropped, so a blank line is " ".
std::vector<std::string> creditsLines(const std::string& text);

// Chooses the style of one line and strips its marker: every leading tab of a heading,
// every leading carriage return of a subheading. The link test comes first.
CreditsLine classifyCreditsLine(const std::string& line);

// `text` as lines that each pass `fits`: a line too wide is broken as late as its first part
// still fits, after a '/' or at a space (which is dropped); a part with no such place is cut
// after as many characters as fit, at least one.
std::vector<std::string> breakCreditsLine(const std::string& text,
                                          const std::function<bool(std::string_view)>& fits);

} // namespace about
