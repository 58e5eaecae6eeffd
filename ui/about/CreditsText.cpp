#include "ui/about/CreditsText.h"

#include "scan/FileFilters.h"

#include <cstdio>

namespace about {

namespace {

const char* const kNone = "none";

// A party the program thanks: who, what for, and where to find them.
struct Credit
{
    const char* party;
    const char* reason;
    const char* address;
};

// The libraries the program is built with. Addresses use "http://" so they show as links.
const Credit kCredits[] = {
    {"The Qt Project", "For the Qt toolkit.", "http://www.qt.io/"},
    {"Lee Thomason", "For the TinyXML parser.", "http://www.grinninglizard.com/tinyxml/"},
    {"Boost", "For the Boost Library", "http://www.boost.org/"},
};

// "\StringFileInfo\040904b0\": the string table of one translation, language in the high half.
std::string stringTablePath(std::uint32_t translation)
{
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(translation));
    return std::string("\\StringFileInfo\\") + hex + "\\";
}

std::string valueOrNone(const VersionResource& resource, const std::string& path)
{
    const auto found = resource.strings.find(path);
    return found == resource.strings.end() ? kNone : found->second;
}

std::string withoutLeading(const std::string& line, char marker)
{
    const auto first = line.find_first_not_of(marker);
    return first == std::string::npos ? std::string() : line.substr(first);
}

} // namespace

VersionResource programVersionResource()
{
    const std::string table = stringTablePath(0x040904b0);
    return VersionResource{
        {0x040904b0},
        {{table + "ProductName", "QueltImport"}, {table + "FileVersion", QUELT_FILE_VERSION}}};
}

VersionInfo readVersionInfo(const VersionResource& resource)
{
    VersionInfo info;
    std::string fileVersion = kNone;
    if (resource.translations.empty()) {
        info.productName = kNone;
    } else {
        const std::string table = stringTablePath(resource.translations.front());
        info.productName = valueOrNone(resource, table + "ProductName");
        fileVersion = valueOrNone(resource, table + "FileVersion");
    }
    std::vector<std::string> parts;
    if (splitTokens(fileVersion, ", ", parts) >= 4) {
        info.version = parts[0] + "." + parts[1] + "." + parts[2];
        info.build = parts[3];
    }
    return info;
}

std::string programHomepage()
{
    return QUELT_HOMEPAGE;
}

std::string creditsText(const VersionInfo& info, const std::string& homepage)
{
    std::string text = "\t" + info.productName + " " + info.version + "\n";
    text += "\r\rbuild: " + info.build + "\n \n";
    text += "\tDeveloped By:\n";
    text += "\rQueltImport developers,\n";
    text += "Jul 12 2005 \n";
    text += homepage + "\n \n";
    text += "\tSpecial Thanks:\n \n";
    text += "\tClasses/Libs/Code\n \n";
    for (const Credit& credit : kCredits) {
        text += std::string("\r") + credit.party + "\n";
        text += std::string(credit.reason) + "\n";
        text += std::string(credit.address) + "\n \n";
    }
    return text;
}

std::vector<std::string> creditsLines(const std::string& text)
{
    std::vector<std::string> lines;
    splitTokens(text, "\n", lines);
    return lines;
}

CreditsLine classifyCreditsLine(const std::string& line)
{
    if (line.find("http://") != std::string::npos) {
        return {LineStyle::Link, line};
    }
    if (!line.empty() && line.front() == '\t') {
        return {LineStyle::Heading, withoutLeading(line, '\t')};
    }
    if (!line.empty() && line.front() == '\r') {
        return {LineStyle::Subheading, withoutLeading(line, '\r')};
    }
    return {LineStyle::Body, line};
}

std::vector<std::string> breakCreditsLine(const std::string& text,
                                          const std::function<bool(std::string_view)>& fits)
{
    std::vector<std::string> lines;
    std::string_view rest = text;
    while (!rest.empty() && !fits(rest)) {
        std::size_t head = 0;
        std::size_t dropped = 0;
        for (std::size_t i = 1; i < rest.size(); ++i) {
            if ((rest[i - 1] == '/' || rest[i] == ' ') && fits(rest.substr(0, i))) {
                head = i;
                dropped = rest[i] == ' ' ? 1 : 0;
            }
        }
        if (head == 0) {
            head = 1;
            while (head + 1 < rest.size() && fits(rest.substr(0, head + 1))) {
                ++head;
            }
        }
        lines.emplace_back(rest.substr(0, head));
        rest.remove_prefix(head + dropped);
        if (rest.empty()) {
            return lines;
        }
    }
    lines.emplace_back(rest);
    return lines;
}

} // namespace about
