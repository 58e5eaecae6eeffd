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

TEST(VariantCast, IntegersTakeOnlyAWholeDecimalNumberInRange)
{
    expectAll<std::int32_t>(42, {"42", "+42", "042", "42 ", "42 \t\r\n"});
    expectAll<std::int32_t>(-42, {"-42"});
    expectAll<std::int32_t>(2147483647, {"2147483647"});
    expectAll<std::int32_t>(-2147483647 - 1, {"-2147483648"});
    expectAll<std::int32_t>(0, {" 42", "\t42", "4x", "4 2", "3.5", "0x10", "", " ", "-",
                                "2147483648", "-2147483649", "4294967295"});
    // A stream on its own would wrap negative numbers into the range ("-1" to 4294967295).
    expectAll<std::uint32_t>(4294967295u, {"4294967295"});
    expectAll<std::uint32_t>(7, {"+7", "7 "});
    expectAll<std::uint32_t>(0, {"4294967296", " 7", "-1", "-4294967295", "-0"});
}

TEST(VariantCast, FloatingTypesTakeDecimalAndExponentFormsOnly)
{
    expectAll(1500.0, {"1.5e3"});
    expectAll(0.0015, {"1.5E-3"});
    expectAll(-2.25, {"-2.25"});
    expectAll(0.5, {".5"});
    expectAll(7.0, {"7"});
    expectAll(2.5, {"2.5  "});
    expectAll(1234570.0, {"1.23457e+006", "1.23457e+06"});
    expectAll(0.0, {" 2.5", "1,5", "1e", "0x1p3", "inf", "nan", "1e400"});
    expectAll(2.5f, {"2.5"});
    expectAll(3e38f, {"3e38"});
    expectAll(0.0f, {"1e39", "1,5"});
    expectAll<std::string>("  two  blanks  ", {"  two  blanks  "});
}

// A program may change the global locale; the settings file's numbers must not follow it.
TEST(VariantCast, IgnoresTheGlobalLocale)
{
    struct CommaDecimal : std::numpunct<char>
    {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    expectAll(1.5, {"1.5"});
    expectAll(0.0, {"1,5"});
    expectAll<std::int32_t>(0, {"1.234"});
    std::locale::global(previous);
}

TEST(VariantCast, WritesTypeTextAndInputBeforeEveryConversion)
{
    TraceCapture trace;
    VariantCast<std::int32_t>::convert(" 7");
    VariantCast<std::string>::convert("a b");
    VariantCast<std::uint32_t>::convert("");
    VariantCast<float>::convert("1");
    VariantCast<double>::convert("x");
    const std::vector<std::string> expected = {
        "int",
        " 7",
        "class std::basic_string<char,struct std::char_traits<char>,class std::allocator<char> >",
        "a b",
        "unsigned long",
        "",
        "float",
        "1",
        "double",
        "x"};
    EXPECT_EQ(trace.lines, expected);
}
