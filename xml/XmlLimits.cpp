#include "xml/XmlLimits.h"

#include "platform/AsciiCase.h"

#include <vector>

namespace xml {
namespace {

// Where TinyXML fails or the text ends: nothing further is read.
constexpr std::size_t kStop = std::string_view::npos;

// isspace in the "C" locale.
bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// TinyXML takes every byte from 127 up for a letter.
bool isNameStart(char c)
{
    const char lower = platform::asciiLower(c);
    return (lower >= 'a' && lower <= 'z') || c == '_' || static_cast<unsigned char>(c) >= 127;
}

bool isNameChar(char c)
{
    return isNameStart(c) || isDigit(c) || c == '-' || c == '.' || c == ':';
}

// Follows TinyXML's parser step by step without building anything. Each step returns the
// position after what it read, or kStop.
class Reader
{
public:
    explicit Reader(std::string_view text) : m_text(text.substr(0, text.find('\0'))) {}

    std::optional<XmlProblem> breach()
    {
        std::size_t pos = 0;
        while (pos < m_text.size()) {
            pos = m_open.empty() ? afterTopLevelNode(pos) : afterContent(pos);
        }
        return m_problem;
    }

private:
    bool at(std::size_t pos, std::string_view prefix) const
    {
        return pos <= m_text.size() && m_text.substr(pos).starts_with(prefix);
    }

    bool atIgnoringCase(std::size_t pos, std::string_view prefix) const
    {
        if (pos > m_text.size() || m_text.size() - pos < prefix.size()) {
            return false;
        }
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            if (platform::asciiLower(m_text[pos + i]) != platform::asciiLower(prefix[i])) {
                return false;
            }
        }
        return true;
    }

    std::size_t skipSpace(std::size_t pos) const
    {
        while (pos < m_text.size() && isSpace(m_text[pos])) {
            ++pos;
        }
        return pos;
    }

    // Past the next `terminator` at or after `pos`.
    std::size_t after(std::size_t pos, std::string_view terminator) const
    {
        const std::size_t found = m_text.find(terminator, pos);
        return found == std::string_view::npos ? kStop : found + terminator.size();
    }

    // TinyXML ends its document at anything but a node.
    std::size_t afterTopLevelNode(std::size_t pos)
    {
        pos = skipSpace(pos);
        return at(pos, "<") ? afterNode(pos) : kStop;
    }

    // A run of text, the end tag of the innermost open element, or a node.
    std::size_t afterContent(std::size_t pos)
    {
        if (m_text[pos] != '<') {
            return afterText(pos);
        }
        return at(pos, "</") ? afterEndTag(pos + 2) : afterNode(pos);
    }

    // TinyXML wants the innermost open element's name, white space and '>', or fails.
    std::size_t afterEndTag(std::size_t pos)
    {
        const std::string_view name = m_open.back();
        m_open.pop_back();
        if (!at(pos, name)) {
            return kStop;
        }
        pos = skipSpace(pos + name.size());
        return at(pos, ">") ? pos + 1 : kStop;
    }

    // A node at '<', told apart as TinyXML tells them apart.
    std::size_t afterNode(std::size_t pos)
    {
        if (atIgnoringCase(pos, "<?xml")) {
            return afterDeclaration(pos + 5);
        }
        if (at(pos, "<!--")) {
            return after(pos + 4, "-->");
        }
        if (at(pos, "<![CDATA[")) {
            return after(pos + 9, "]]>");
        }
        if (pos + 1 < m_text.size() && isNameStart(m_text[pos + 1])) {
            return afterStartTag(pos);
        }
        return after(pos + 1, ">"); // DOCTYPE and other "<!", processing instructions, a stray '<'
    }

    std::size_t afterStartTag(std::size_t pos)
    {
        if (m_open.size() >= static_cast<std::size_t>(kMaxNestingDepth)) {
            return refuse(pos, "Elements nested deeper than " + std::to_string(kMaxNestingDepth) +
                                   " levels");
        }
        const std::size_t nameStart = ++pos;
        while (pos < m_text.size() && isNameChar(m_text[pos])) {
            ++pos;
        }
        const std::string_view name = m_text.substr(nameStart, pos - nameStart);
        for (int attributes = 1;; ++attributes) {
            pos = skipSpace(pos);
            if (at(pos, "/>")) {
                return pos + 2;
            }
            if (at(pos, ">")) {
                m_open.push_back(name);
                return pos + 1;
            }
            if (pos >= m_text.size() || m_text[pos] == '/') {
                return kStop;
            }
            if (attributes > kMaxAttributes) {
                return refuse(pos, "Element with more than " + std::to_string(kMaxAttributes) +
                                       " attributes");
            }
            pos = afterAttribute(pos);
        }
    }

    // A name, '=', and a quoted value or a run of bytes up to white space, '/' or '>'.
    std::size_t afterAttribute(std::size_t pos) const
    {
        if (!isNameStart(m_text[pos])) {
            return kStop;
        }
        while (pos < m_text.size() && isNameChar(m_text[pos])) {
            ++pos;
        }
        pos = skipSpace(pos);
        if (!at(pos, "=")) {
            return kStop;
        }
        pos = skipSpace(pos + 1);
        if (at(pos, "\"") || at(pos, "'")) {
            return afterQuoted(pos);
        }
        for (; pos < m_text.size(); ++pos) {
            const char c = m_text[pos];
            if (isSpace(c) || c == '/' || c == '>') {
                return pos;
            }
            if (c == '"' || c == '\'') {
                return kStop;
            }
        }
        return kStop;
    }

    // Up to the next quote of the same kind; TinyXML fails when nothing follows it.
    std::size_t afterQuoted(std::size_t pos) const
    {
        const char quote = m_text[pos++];
        while (pos < m_text.size() && m_text[pos] != quote) {
            pos = m_text[pos] == '&' ? afterReference(pos) : pos + 1;
        }
        return pos < m_text.size() - 1 ? pos + 1 : kStop;
    }

    // Text of an element, up to the '<' after it.
    std::size_t afterText(std::size_t pos) const
    {
        while (pos < m_text.size() && m_text[pos] != '<') {
            pos = m_text[pos] == '&' ? afterReference(pos) : pos + 1;
        }
        return pos;
    }

    // A character reference as TinyXML reads it: from the first ';' after "&#x" ("&#") back
    // over hex (decimal) digits to an 'x' ('#'). Whatever lies between is taken into the
    // value, quotes and markup included. Any other '&' is one byte.
    std::size_t afterReference(std::size_t pos) const
    {
        if (!at(pos + 1, "#") || pos + 2 >= m_text.size()) {
            return pos + 1;
        }
        const bool hex = m_text[pos + 2] == 'x';
        const std::size_t semicolon = m_text.find(';', pos + (hex ? 3 : 2));
        if (semicolon == std::string_view::npos) {
            return kStop;
        }
        for (std::size_t back = semicolon - 1; m_text[back] != (hex ? 'x' : '#'); --back) {
            if (!(hex ? isHexDigit(m_text[back]) : isDigit(m_text[back]))) {
                return kStop;
            }
        }
        return semicolon + 1;
    }

    // From after "<?xml" to its '>'. A part named version, encoding or standalone (any case)
    // is an attribute, whose quoted value may hold '>'; any other part runs to white space
    // or '>'.
    std::size_t afterDeclaration(std::size_t pos) const
    {
        while (pos < m_text.size()) {
            if (m_text[pos] == '>') {
                return pos + 1;
            }
            pos = skipSpace(pos);
            if (pos >= m_text.size()) {
                return kStop;
            }
            if (atIgnoringCase(pos, "version") || atIgnoringCase(pos, "encoding") ||
                atIgnoringCase(pos, "standalone")) {
                pos = afterAttribute(pos);
                continue;
            }
            while (pos < m_text.size() && m_text[pos] != '>' && !isSpace(m_text[pos])) {
                ++pos;
            }
        }
        return kStop;
    }

    std::size_t refuse(std::size_t pos, std::string description)
    {
        int row = 0;
        int col = 0;
        for (std::size_t i = 0; i < pos; ++i) {
            if (m_text[i] == '\n') {
                ++row;
                col = 0;
            } else if (m_text[i] == '\t') {
                col = (col / 4 + 1) * 4;
            } else {
                ++col;
            }
        }
        m_problem = XmlProblem{std::move(description), row + 1, col + 1};
        return kStop;
    }

    std::string_view m_text;
    std::vector<std::string_view> m_open; // names of the elements whose content is being read
    std::optional<XmlProblem> m_problem;
};

} // namespace

std::optional<XmlProblem> findLimitBreach(std::string_view text)
{
    return Reader(text).breach();
}

} // namespace xml
