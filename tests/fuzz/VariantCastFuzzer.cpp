// Arbitrary text through the strict conversions of the settings library. The integer results
// equal an independent reading of the rule (optional sign, decimal digits, white space only
// after them, in range, else 0); the floating results are finite; text comes back unchanged.

#include "platform/Trace.h"
#include "settings/VariantCast.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cmath>

template <class T> static bool convertsAsModelled(std::string text)
{
    const T converted = Orvane::VariantCast<T>::convert(text);
    text.erase(text.find_last_not_of(" \t\n\v\f\r") + 1);
    const bool plus = text.starts_with('+') && !text.starts_with("+-");
    return converted == fuzz::numberOrZero<T>(std::string_view(text).substr(plus ? 1 : 0));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::setTraceSink([](std::string_view) {}); // each conversion traces its input
    const std::string text(fuzz::bytes(data, size));
    fuzz::check(convertsAsModelled<std::int32_t>(text) && convertsAsModelled<std::uint32_t>(text),
                "integer conversion differs from the model");
    fuzz::check(std::isfinite(Orvane::VariantCast<float>::convert(text)) &&
                    std::isfinite(Orvane::VariantCast<double>::convert(text)),
                "floating conversion is not finite");
    fuzz::check(Orvane::VariantCast<std::string>::convert(text) == text, "text changed");
    return 0;
}
