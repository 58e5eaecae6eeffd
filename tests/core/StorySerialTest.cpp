#include "core/StorySerial.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// A story-shaped file: version byte, then `serial` at offset 18, padded to `size` bytes.
std::string storyBytes(std::string_view serial, std::size_t size = 64)
{
    std::string bytes(std::max<std::size_t>(size, 18 + serial.size()), '\0');
    bytes[0] = 5;
    bytes.replace(18, serial.size(), serial);
    bytes.resize(size);
    return bytes;
}

} // namespace

TEST(ReadSerial, ReadsSixBytesAtOffset18UpToAZero)
{
    TempDir dir;
    writeFile(dir / "full.z5", storyBytes("880429"));
    writeFile(dir / "short.z5", std::string(10, 'x'));
    writeFile(dir / "zero.z5", storyBytes(std::string("88\0"
                                                      "429",
                                                      6)));
    writeFile(dir / "cut.z5", storyBytes("880429", 20)); // ends inside the field
    writeFile(dir / "seven.z5", storyBytes("8804291"));  // only six bytes belong to it

    EXPECT_EQ(readSerial(dir / "full.z5"), "880429");
    EXPECT_EQ(readSerial(dir / "short.z5"), "");
    EXPECT_EQ(readSerial(dir / "zero.z5"), "88");
    EXPECT_EQ(readSerial(dir / "cut.z5"), "88");
    EXPECT_EQ(readSerial(dir / "seven.z5"), "880429");
    EXPECT_EQ(readSerial(dir / "missing.z5"), "");
}

TEST(IsSerialWellFormed, NeedsSixOrMoreUpperCaseLettersOrDigits)
{
    EXPECT_TRUE(isSerialWellFormed("880429"));
    EXPECT_TRUE(isSerialWellFormed("ABC1234"));
    EXPECT_FALSE(isSerialWellFormed("88042"));
    EXPECT_FALSE(isSerialWellFormed("88o429"));
    EXPECT_FALSE(isSerialWellFormed("88 429"));
    EXPECT_FALSE(isSerialWellFormed(""));
    EXPECT_FALSE(isSerialWellFormed("unknown"));
}
