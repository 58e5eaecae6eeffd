// How one line of a CRC list reads, and how a name is written into one; the checking of the
// files is pinned by the program tests.

#include "tools/storycrc/CrcList.h"

#include <gtest/gtest.h>

using Kind = CrcListLine::Kind;

TEST(CrcList, ReadsEachFormOfLine)
{
    struct Case
    {
        std::string line;
        Kind kind;
        std::string name = {};
        std::uint32_t crc = 0;
    };
    const Case cases[] = {
        // SFV: the CRC after the last blank, the name all before it, blanks included.
        {"a b.z5 cbf43926\r", Kind::Entry, "a b.z5", 0xCBF43926},
        {"tail.z5  0000ABCD \t", Kind::Entry, "tail.z5 ", 0xABCD},
        {"x.z5\t0000abcd", Kind::Entry, "x.z5", 0xABCD},
        // storycrc's form: all after the first tab, less the match mark.
        {"CBF43926\ta\tb.z5 ", Kind::Entry, "a\tb.z5 ", 0xCBF43926},
        {"cbf43926\tok.z5\t**matched CRC**\r", Kind::Entry, "ok.z5", 0xCBF43926},
        {"00000003\tTOTAL\t**matched CRC**", Kind::Total, "TOTAL", 3},
        {"TOTAL 00000003", Kind::Entry, "TOTAL", 3},
        // Nothing to check.
        {"", Kind::Nothing},
        {" \t\r", Kind::Nothing},
        {"; x.z5 CBF43926", Kind::Nothing},
        // No name, or no CRC of exactly eight hexadecimal digits.
        {" CBF43926", Kind::Malformed},
        {"CBF43926\t", Kind::Malformed},
        {"CBF43926", Kind::Malformed},
        {"x.z5", Kind::Malformed},
        {"x.z5 CBF4392", Kind::Malformed},
        {"x.z5 CBF439260", Kind::Malformed},
        {"x.z5 CBF4392G", Kind::Malformed},
        {"x.z5 -1234567", Kind::Malformed},
        {"x.z5 0x123456", Kind::Malformed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const CrcListLine read = parseCrcListLine(c.line);
        EXPECT_EQ(read.kind, c.kind);
        if (c.kind == Kind::Entry || c.kind == Kind::Total) {
            EXPECT_EQ(read.name, c.name);
            EXPECT_EQ(read.crc, c.crc);
        }
    }
}

TEST(CrcList, WritesNamesSoThatTheyReadBack)
{
    EXPECT_EQ(sfvLine("a b.z5", 0xABCD), "a b.z5 0000ABCD");
    EXPECT_EQ(sfvLine("tail ", 0xABCD), "tail  0000ABCD");
    EXPECT_EQ(sfvLine(";c", 0xABCD), "./;c 0000ABCD");
    EXPECT_EQ(sfvLine("DEADBEEF\tx", 0xABCD), "./DEADBEEF\tx 0000ABCD");
}
