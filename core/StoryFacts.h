#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// What a story file's bytes say of its integrity, by the rule an interpreter's `verify`
// applies: the sum of the bytes from 0x40 up to the length the header declares, modulo
// 0x10000, equals the header's checksum.
enum class StoryCheck
{
    Intact,    // the sum matches and the file holds at least the declared length
    Truncated, // the file is shorter than the length its header declares
    Damaged,   // the sum differs from the checksum
    Unchecked, // the header declares no length or no checksum (versions 1 and 2, early 3)
    NotZcode   // too short, byte 0 not 1 to 8, or a header no story can have
};

// "intact", "truncated", "damaged", "unchecked" or "not Z-code".
const char* checkWord(StoryCheck check);
// The check whose word is `word`; nothing for any other text.
std::optional<StoryCheck> checkFromWord(std::string_view word);

// What the fingerprint's reads learn of a story file besides its CRC. All but `size` and
// `check` are zero or empty for a file that is not Z-code.
struct StoryFacts
{
    std::uint64_t size = 0;
    StoryCheck check = StoryCheck::NotZcode;
    int version = 0;                  // byte 0, 1 to 8
    std::uint16_t release = 0;        // word at 0x02
    std::string serial = {};          // bytes 0x12 to 0x17 as they stand
    std::uint32_t declaredLength = 0; // word at 0x1A times 2, 4 or 8 by version; 0: none
    std::uint16_t checksum = 0;       // word at 0x1C
    std::uint16_t sum = 0;            // of bytes 0x40 up to the declared length, mod 0x10000
    std::string ifid = {};            // the embedded UUID, or the legacy ZCODE-... form
    // The CRC-32 of the first declaredLength bytes, for a file longer than that.
    std::optional<std::uint32_t> declaredCrc = {};

    bool operator==(const StoryFacts&) const = default;
};

// Bytes a story header takes, and the least a file must hold to have one.
inline constexpr std::size_t kStoryHeaderSize = 0x40;

// Learns a file's story facts from its bytes as the fingerprint reads them, in order from the
// start, without reading anything itself: each read block passes through crcThrough(), which
// also gives its CRC, so that the CRC of the declared length costs no more than the CRC of
// the whole. The sum covers what passes through up to the declared length; the search for an
// embedded IFID, the first 64 KiB (byte-accessible memory, where a story keeps its arrays).
class StoryFactsReader
{
public:
    // crc32Update(crc, bytes, n), taking the facts of the next n bytes on the way.
    std::uint32_t crcThrough(std::uint32_t crc, const unsigned char* bytes, std::size_t n);

    // The facts of a file of `size` bytes whose first bytes passed through.
    StoryFacts facts(std::uint64_t size) const;

    // The file's first bytes that passed through, up to the story header's size.
    std::string_view head() const { return m_head; }

private:
    void takeHead(const unsigned char* bytes, std::size_t n);
    void readHeader();
    void addToSum(const unsigned char* bytes, std::size_t n);
    void searchBrand(const unsigned char* bytes, std::size_t n);

    std::string m_head;
    std::uint64_t m_position = 0; // bytes passed through so far
    bool m_plausible = false;     // a header some story could have
    bool m_searchBrand = false;   // the serial does not date the file before embedded IFIDs
    std::uint32_t m_length = 0;   // the declared length, 0 for none
    std::uint32_t m_sum = 0;
    std::optional<std::uint32_t> m_declaredCrc;
    std::string m_brand; // the embedded IFID, once found
    std::string m_tail;  // the last bytes of the previous block, for a brand across two
};

// The IFID of a story with the given header fields and no embedded IFID:
// "ZCODE-<release>-<serial>", followed by "-<checksum>" in four upper-case hexadecimal digits
// unless the serial dates the file to the 1980s or is "000000" or not a date at all. Bytes of
// the serial that are not ASCII letters or digits become '-'.
std::string legacyIfid(std::uint16_t release, std::string_view serial, std::uint16_t checksum);

} // namespace core
