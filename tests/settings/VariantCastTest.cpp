// The integer rules are checked against a model by the variantcast fuzz target; these cases
// pin the floating types, which the model only checks for being finite.

#include "settings/VariantCast.h"

#include "platform/Trace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <locale>
#include <string>
#include <vector>

using Orvane::VariantCast;

namespace {

// Collects the debug output for the life of the object.
struct TraceCapture
{
    std::vector<std::string> lines;
    platform::TraceSink previous =
        platform::setTraceSink([this](std::string_view line) { lines.emplace_back(line); });
    ~TraceCapture() { platform::setTraceSink(previous); }
};

// Every text in `texts` converts to `expected`.
template <class T> void expectAll(T expected, const std::vector<std::string>& texts)
{
    TraceCapture quiet;
    for (const std::string& text : texts) {
        EXPECT_EQ(VariantCast<T>::convert(text), expected) << "text [" << text << "]";
    }
}

} // namespace

TEST(VariantCast, TakesOnlyAWholeNumberInRangeWhateverTheGlobalLocaleAndTracesEachInput)
{
    // A program may change the global locale; the settings file's numbers must not follow it.
    struct CommaDecimal : std::numpunct<char>
    {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    for (const auto& [value, text] : {std::pair(1500.0, "1.5e3"), std::pair(0.0015, "1.5E-3"),
                                      std::pair(0.5, ".5"), std::pair(2.5, "2.5  ")}) {
        expectAll(value, {text});
    }
    expectAll(1234570.0, {"1.23457e+006", "1.23457e+06"});
    expectAll(0.0, {" 2.5", "1,5", "1e", "0x1p3", "inf", "nan", "1e400"});
    expectAll(3e38f, {"3e38"});
    expectAll(0.0f, {"1e39"});
    expectAll<std::int32_t>(0, {"1.234", "1,234"});
    // A stream on its own would wrap negative numbers into the range ("-1" to 4294967295).
    expectAll<std::uint32_t>(0, {"-1", "4294967296"});
    std::locale::global(previous);

    // The debug output names the type and the text before every conversion.
    TraceCapture trace;
    VariantCast<std::int32_t>::convert(" 7");
    VariantCast<std::uint32_t>::convert("");
    EXPECT_EQ(trace.lines, (std::vector<std::string>{"int", " 7", "unsigned long", ""}));
}
