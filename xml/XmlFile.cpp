#include "xml/XmlFile.h"

#include "platform/AtomicFile.h"
#include "platform/ClassicLocale.h"
#include "platform/FileSystem.h"

#include <tinyxml.h>

#include <optional>

namespace xml {
namespace {

// TinyXML's white-space condensing is one flag for the whole process. It is switched off once,
// before the first parse, however many threads read XML: a second writer would race readers.
void keepWhiteSpace()
{
    static const bool switchedOff = [] {
        TiXmlBase::SetCondenseWhiteSpace(false);
        return true;
    }();
    static_cast<void>(switchedOff);
}

// `raw` without a UTF-8 byte-order mark and with "\r\n" and lone "\r" made "\n", as TinyXML's
// own file reader hands text to its parser.
std::string parserText(const std::string& raw)
{
    std::string text;
    text.reserve(raw.size());
    const std::size_t start = raw.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    for (std::size_t i = start; i < raw.size(); ++i) {
        if (raw[i] != '\r') {
            text += raw[i];
            continue;
        }
        text += '\n';
        if (i + 1 < raw.size() && raw[i + 1] == '\n') {
            ++i;
        }
    }
    return text;
}

// False, with TinyXML's error in `problem` when given.
bool failed(const TiXmlDocument& doc, XmlProblem* problem)
{
    if (problem) {
        *problem = XmlProblem{doc.ErrorDesc(), doc.ErrorRow(), doc.ErrorCol()};
    }
    return false;
}

} // namespace

bool loadXmlFile(const std::string& path, TiXmlDocument& doc, XmlProblem* problem)
{
    keepWhiteSpace();
    const std::optional<std::string> raw = platform::readWholeFile(path);
    if (!raw) {
        doc.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return failed(doc, problem);
    }
    const std::string text = parserText(*raw);
    if (auto breach = findLimitBreach(text)) {
        doc.SetError(TiXmlBase::TIXML_ERROR, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        if (problem) {
            *problem = std::move(*breach);
        }
        return false;
    }
    const platform::ClassicLocale classic; // TinyXML then reads the text as findLimitBreach did
    // In UTF-8 mode TinyXML steps over the bytes that a lead byte announces, so a single-byte
    // value ending in, say, 0xE9 would swallow its closing quote and fail the whole file.
    doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    return !doc.Error() || failed(doc, problem);
}

bool saveXmlFile(const std::string& path, const TiXmlDocument& doc)
{
    TiXmlPrinter printer;
    printer.SetIndent("    ");
    printer.SetLineBreak("\n");
    doc.Accept(&printer);
    return platform::writeFileAtomically(path, printer.Str(), platform::Durability::Flush);
}

} // namespace xml
