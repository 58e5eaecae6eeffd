// Arbitrary bytes as a story file. readSerial gives bytes 18 to 23 up to a zero byte, and
// isSerialWellFormed accepts the texts of six or more upper-case ASCII letters and digits. The
// story facts do not depend on how the file is cut into reads, agree with the header's bytes and
// a byte sum taken here, and the check word follows from them.

#include "core/Fingerprint.h"
#include "core/StorySerial.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

static bool wellFormed(std::string_view sn)
{
    return sn.size() >= 6 && std::all_of(sn.begin(), sn.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

static core::StoryFacts factsOf(const std::string& path, std::size_t blockSize)
{
    core::FileFacts facts; // a read that fails leaves them empty: the size differs then
    core::fingerprintFile(path, {blockSize, std::uint64_t{1} << 40}, nullptr, &facts);
    return facts.story;
}

static void checkFacts(std::string_view bytes, const std::string& path)
{
    const auto byteAt = [bytes](std::size_t at) { return unsigned(std::uint8_t(bytes[at])); };
    const auto wordAt = [&](std::size_t at) { return byteAt(at) << 8 | byteAt(at + 1); };
    const core::StoryFacts facts = factsOf(path, 256 << 10);
    // The brand may cross from one read into the next, and the header arrive in pieces.
    const std::size_t small = bytes.empty() ? 1 : 1 + byteAt(bytes.size() - 1) % 97;
    fuzz::check(factsOf(path, small) == facts && facts.size == bytes.size(),
                "facts depend on the size of the reads, or the size differs from the file's");
    if (facts.check == core::StoryCheck::NotZcode) {
        fuzz::check(facts.version == 0 && facts.ifid.empty(), "facts of a file with no story");
        return;
    }
    const int version = bytes.size() < 64 ? 0 : static_cast<int>(byteAt(0));
    fuzz::check(version >= 1 && version <= 8, "a file with no header is Z-code");
    const std::uint32_t length = wordAt(0x1A) * (version <= 3 ? 2u : version <= 5 ? 4u : 8u);
    std::uint32_t sum = 0;
    for (std::size_t at = 0x40; at < std::min<std::size_t>(length, bytes.size()); ++at) {
        sum += byteAt(at);
    }
    fuzz::check(facts.version == version && facts.release == wordAt(2) &&
                    facts.serial == bytes.substr(0x12, 6) && facts.declaredLength == length &&
                    facts.checksum == wordAt(0x1C) && facts.sum == (sum & 0xFFFF),
                "facts differ from the header, or the sum from the bytes'");
    fuzz::check((facts.check == core::StoryCheck::Intact) ==
                    (version > 2 && length > 0 && facts.checksum != 0 && bytes.size() >= length &&
                     facts.sum == facts.checksum),
                "check word does not follow from the facts");
    fuzz::check(facts.declaredCrc.has_value() == (length > 0 && bytes.size() > length),
                "CRC of the declared length kept for a file no longer than it");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytes(data, size);
    const std::string_view field = bytes.size() > 18 ? bytes.substr(18, 6) : "";
    const std::string path = fuzz::writeScratch("story.z5", bytes);
    const std::string serial = readSerial(path);
    fuzz::check(serial == field.substr(0, field.find('\0')),
                "serial differs from header bytes 18 to 23");
    fuzz::check(isSerialWellFormed(serial) == wellFormed(serial) &&
                    isSerialWellFormed(std::string(bytes)) == wellFormed(bytes),
                "well-formedness of the read serial or of the input as text");
    checkFacts(bytes, path);
    return 0;
}
