// Arbitrary text through the strict conversions of the settings library. The integer results
// are compared with an independent reading of the rule (optional sign, decimal digits, white
// space only after them, in range, else 0); the floating results must be finite, and text
// must come back unchanged.

#include "settings/VariantCast.h"
#include "tests/fuzz/FuzzSupport.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

namespace {

bool isStreamSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value the strict conversion must give for an integer type T.
template <class T> T expectedInteger(std::string_view text)
{
    while (!text.empty() && isStreamSpace(text.back())) {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return T{};
    }
    if (negative && std::is_unsigned_v<T>) {
        return T{};
    }
    // Read the magnitude wide, then apply the sign and check T's range.
    unsigned long long magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size()) {
        return T{};
    }
    if (negative) {
        const unsigned long long limit = 1ULL + static_cast<unsigned long long>(INT32_MAX);
        if (magnitude > limit) {
            return T{};
        }
        return static_cast<T>(-static_cast<long long>(magnitude));
    }
    if (magnitude > static_cast<unsigned long long>(std::numeric_limits<T>::max())) {
        return T{};
    }
    return static_cast<T>(magnitude);
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
