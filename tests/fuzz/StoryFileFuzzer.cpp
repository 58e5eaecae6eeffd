// Arbitrary bytes as a story file. readSerial must give the bytes at offsets 18 to 23 up to
// the first zero byte (fewer when the file ends sooner), and isSerialWellFormed must accept
// exactly the texts of six or more upper-case ASCII letters and digits. The story facts must
// not depend on how the file is cut into reads, must agree with the header's bytes and with
// a byte sum taken here, and a check word must follow from them.

#include "core/Fingerprint.h"
#include "core/StorySerial.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

namespace {

bool expectedWellFormed(std::string_view sn)
{
    return sn.size() >= 6 && std::all_of(sn.begin(), sn.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

unsigned byteAt(std::string_view bytes, std::size_t at)
{
    return static_cast<unsigned char>(bytes[at]);
}

unsigned wordAt(std::string_view bytes, std::size_t at)
{
    return byteAt(bytes, at) << 8 | byteAt(bytes, at + 1);
}

core::StoryFacts factsOf(const std::string& path, std::size_t blockSize)
{
    core::FileFacts facts;
    fuzz::check(core::fingerprintFile(path, {blockSize, std::uint64_t{1} << 40}, nullptr, &facts)
                    .has_value(),
                "a scratch file could not be read");
    return facts.story;
}

void checkFacts(std::string_view bytes, const std::string& path)
{
    const core::StoryFacts facts = factsOf(path, 256 << 10);
    // The brand may cross from one read into the next, and the header arrive in pieces.
    const std::size_t small = bytes.empty() ? 1 : 1 + byteAt(bytes, bytes.size() - 1) % 97;
    fuzz::check(factsOf(path, small) == facts, "facts depend on the size of the reads");
    fuzz::check(facts.size == bytes.size(), "size differs from the file's");
    if (bytes.size() < 64 || byteAt(bytes, 0) < 1 || byteAt(bytes, 0) > 8) {
        fuzz::check(facts.check == core::StoryCheck::NotZcode, "a file with no header is Z-code");
    }
    if (facts.check == core::StoryCheck::NotZcode) {
        fuzz::check(facts.version == 0 && facts.ifid.empty(), "facts of a file with no story");
        return;
    }
    const int version = static_cast<int>(byteAt(bytes, 0));
    const std::uint32_t length = wordAt(bytes, 0x1A) * (version <= 3 ? 2u : version <= 5 ? 4u : 8u);
    std::uint32_t sum = 0;
    for (std::size_t at = 0x40; at < std::min<std::size_t>(length, bytes.size()); ++at) {
        sum += byteAt(bytes, at);
    }
    fuzz::check(facts.version == version && facts.release == wordAt(bytes, 2) &&
                    facts.serial == bytes.substr(0x12, 6) && facts.declaredLength == length &&
                    facts.checksum == wordAt(bytes, 0x1C),
                "facts differ from the header");
    fuzz::check(facts.sum == (sum & 0xFFFF), "sum differs from the bytes'");
    const bool intact = facts.check == core::StoryCheck::Intact;
    fuzz::check(intact == (version > 2 && length > 0 && facts.checksum != 0 &&
                           bytes.size() >= length && facts.sum == facts.checksum),
                "check word does not follow from the facts");
    fuzz::check(facts.declaredCrc.has_value() == (length > 0 && bytes.size() > length),
                "CRC of the declared length kept for a file no longer than it");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytes(data, size);
    const std::string_view field = bytes.size() > 18 ? bytes.substr(18, 6) : "";
    const std::string path = fuzz::writeScratch("story.z5", bytes);
    const std::string serial = readSerial(path);
    fuzz::check(serial == field.substr(0, field.find('\0')),
                "serial differs from header bytes 18 to 23", serial);
    fuzz::check(isSerialWellFormed(serial) == expectedWellFormed(serial),
                "well-formedness of the read serial", serial);
    fuzz::check(isSerialWellFormed(std::string(bytes)) == expectedWellFormed(bytes),
                "well-formedness of the input as text", bytes);
    checkFacts(bytes, path);
    return 0;
}
