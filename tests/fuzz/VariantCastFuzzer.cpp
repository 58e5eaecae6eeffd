// Arbitrary text through the strict conversions of the settings library. The integer results
// are compared with an independent reading of the rule (optional sign, decimal digits, white
// space only after them, in range, else 0); the floating results must be finite, and text
// must come back unchanged.

#include "settings/VariantCast.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cmath>

namespace {

template <class T> T expectedInteger(std::string_view text)
{
    text = text.substr(0, text.find_last_not_of(" \t\n\v\f\r") + 1);
    if (text.starts_with('+') && !text.starts_with("+-")) {
        text.remove_prefix(1);
    }
    return fuzz::numberOrZero<T>(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::quietTrace();
    const std::string text(fuzz::bytes(data, size));
    fuzz::check(Orvane::VariantCast<std::int32_t>::convert(text) ==
                    expectedInteger<std::int32_t>(text),
                "int conversion", text);
    fuzz::check(Orvane::VariantCast<std::uint32_t>::convert(text) ==
                    expectedInteger<std::uint32_t>(text),
                "unsigned long conversion", text);
    fuzz::check(std::isfinite(Orvane::VariantCast<float>::convert(text)), "float is not finite",
                text);
    fuzz::check(std::isfinite(Orvane::VariantCast<double>::convert(text)), "double is not finite",
                text);
    fuzz::check(Orvane::VariantCast<std::string>::convert(text) == text, "text changed", text);
    return 0;
}
