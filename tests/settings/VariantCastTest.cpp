#include "settings/VariantCast.h"

#include "platform/Trace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <locale>
#include <string>
#include <vector>

using Orvane::VariantCast;

namespace {

// Collects the debug output for the life of the object.
class TraceCapture
{
public:
    TraceCapture()
        : m_previous(
              platform::setTraceSink([this](std::string_view line) { m_lines.emplace_back(line); }))
    {
    }
    ~TraceCapture() { platform::setTraceSink(m_previous); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    const std::vector<std::string>& lines() const { return m_lines; }

private:
    std::vector<std::string> m_lines;
    platform::TraceSink m_previous;
};

template <class T> void expectConversions(const std::vector<std::pair<std::string, T>>& cases)
{
    TraceCapture quiet;
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(VariantCast<T>::convert(text), expected) << "text [" << text << "]";
    }
}

} // namespace

TEST(VariantCast, IntTakesOnlyAWholeDecimalNumberInRange)
{
    const std::int32_t max = std::numeric_limits<std::int32_t>::max();
    const std::int32_t min = std::numeric_limits<std::int32_t>::min();
    expectConversions<std::int32_t>({
        {"42", 42},
        {"+42", 42},
        {"-42", -42},
        {"042", 42},
        {"42 ", 42},
        {"42 \t\r\n", 42},
        {" 42", 0},
        {"\t42", 0},
        {"4x", 0},
        {"4 2", 0},
        {"3.5", 0},
        {"0x10", 0},
        {"", 0},
        {" ", 0},
        {"-", 0},
        {"2147483647", max},
        {"-2147483648", min},
        {"2147483648", 0},
        {"-2147483649", 0},
        {"4294967295", 0},
    });
}

TEST(VariantCast, UnsignedLongCoversExactly32Bits)
{
    // A stream on its own would wrap negative numbers into the range ("-1" to 4294967295).
    expectConversions<std::uint32_t>({
        {"4294967295", 4294967295u},
        {"4294967296", 0},
        {"+7", 7},
        {"7 ", 7},
        {" 7", 0},
        {"-1", 0},
        {"-4294967295", 0},
        {"-0", 0},
    });
}

TEST(VariantCast, FloatingTypesTakeDecimalAndExponentFormsOnly)
{
    expectConversions<double>({
        {"1.5e3", 1500.0},
        {"1.5E-3", 0.0015},
        {"-2.25", -2.25},
        {".5", 0.5},
        {"7", 7.0},
        {"2.5  ", 2.5},
        {" 2.5", 0.0},
        {"1,5", 0.0},
        {"1e", 0.0},
        {"0x1p3", 0.0},
        {"inf", 0.0},
        {"nan", 0.0},
        {"1e400", 0.0},
        {"1.23457e+006", 1234570.0},
        {"1.23457e+06", 1234570.0},
    });
    expectConversions<float>({{"2.5", 2.5f}, {"3e38", 3e38f}, {"1e39", 0.0f}, {"1,5", 0.0f}});
    expectConversions<std::string>({{"  two  blanks  ", "  two  blanks  "}, {"", ""}});
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
    expectConversions<double>({{"1.5", 1.5}, {"1,5", 0.0}});
    expectConversions<std::int32_t>({{"1.234", 0}});
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
        "class std::basic_string<char,struct std::char_traits<char>,class "
        "std::allocator<char> >",
        "a b",
        "unsigned long",
        "",
        "float",
        "1",
        "double",
        "x"};
    EXPECT_EQ(trace.lines(), expected);
}
