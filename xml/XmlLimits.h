#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace xml {

// How deep elements may nest and how many attributes one element may carry. TinyXML parses
// each nested element by recursion, so depth costs stack, and checks every new attribute
// against all earlier ones of its element, so attributes cost time by their square. Real
// catalogues nest 2 levels and settings files 3, and an entry has 5 attributes: the limits
// leave room for any hand-made file while keeping the parser's stack under a few hundred
// kilobytes and one element's attribute checks under 33,000 comparisons.
inline constexpr int kMaxNestingDepth = 256;
inline constexpr int kMaxAttributes = 256;

// Why and where a document was refused, in TinyXML's terms: row and column count from 1,
// tabs advance to the next multiple of 4; 0 for both where no place is known.
struct XmlProblem
{
    std::string description;
    int row = 0;
    int col = 0;
};

// The first place where `text`, read as TinyXML reads a single-byte document with the "C"
// character classes and white space kept, opens an element deeper than kMaxNestingDepth or
// starts attribute number kMaxAttributes + 1 of one element. Nothing when it stays within
// both, or when TinyXML would stop at a syntax error before such a place (TinyXML then reports
// that error). Comments, CDATA sections, declarations, processing instructions, DOCTYPEs,
// attribute values and character references end exactly where TinyXML ends them, so markup
// hidden in them neither counts nor escapes the count. One pass, no recursion; the text ends
// at its first zero byte, as TinyXML's does.
std::optional<XmlProblem> findLimitBreach(std::string_view text);

} // namespace xml
