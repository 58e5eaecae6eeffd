// Story facts of real story files, compiled here by Inform 6 for versions 3, 5 and 8, and of
// copies of them padded, cut short, changed in one byte or without a checksum; a real
// interpreter's verify must agree with every check word. (The hints, and the facts of files
// served from the cache, are the batch mode's transcript why_story_files_matched_nothing.)

#include "core/StoryFacts.h"

#include "core/Fingerprint.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>

using testsupport::readFile;
using testsupport::runCommand;
using testsupport::shellQuoted;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// A story that checks itself as an interpreter's verify does, and says so; `extra` adds
// directives.
std::string verifySource(const std::string& serial, const std::string& extra = "")
{
    return "Release 7;\nSerial \"" + serial + "\";\n" + extra +
           "[ Main;\n  @verify ?Intact;\n  print \"verify: failed^\";\n  @quit;\n"
           "  .Intact;\n  print \"verify: intact^\";\n];\n";
}

class StoryFacts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (std::string(INFORM6_PATH).empty() || std::string(DFROTZ_PATH).empty()) {
            GTEST_SKIP() << "inform6 and dfrotz are needed (scripts/setup.sh --tests)";
        }
    }

    // The story compiled from `source` for Z-machine `version`.
    std::string compile(const std::string& source, int version)
    {
        writeFile(dir / "story.inf", source);
        const std::string out = dir / ("story.z" + std::to_string(version));
        const auto result = runCommand(shellQuoted(INFORM6_PATH) + " -v" + std::to_string(version) +
                                           " story.inf " + out,
                                       dir.path());
        EXPECT_EQ(result.status, 0) << result.out;
        return readFile(out);
    }

    core::FileFacts factsOf(const std::string& bytes, const core::ReadPlan& plan = {})
    {
        writeFile(dir / "copy.z5", bytes);
        core::FileFacts facts;
        EXPECT_TRUE(core::fingerprintFile(dir / "copy.z5", plan, nullptr, &facts));
        return facts;
    }

    // What the interpreter's verify says of `bytes`: "verify: intact", "verify: failed", or
    // nothing when it will not run the file at all.
    std::string interpreterVerdict(const std::string& bytes)
    {
        writeFile(dir / "copy.z5", bytes);
        const auto result =
            runCommand(shellQuoted(DFROTZ_PATH) + " -q copy.z5 </dev/null", dir.path());
        return result.out.substr(0, result.out.find('\n'));
    }

    TempDir dir;
};

unsigned wordAt(const std::string& bytes, std::size_t at)
{
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) << 8 |
           static_cast<unsigned char>(bytes[at + 1]);
}

} // namespace

TEST_F(StoryFacts, TellIntactPaddedTruncatedDamagedAndUncheckedFilesAsTheInterpreterDoes)
{
    for (const int version : {3, 5, 8}) {
        const std::string story = compile(verifySource("241207"), version);
        const unsigned unit = version <= 3 ? 2 : version <= 5 ? 4 : 8;
        const std::size_t length = wordAt(story, 0x1A) * unit;
        const unsigned checksum = wordAt(story, 0x1C);
        char ifid[32];
        std::snprintf(ifid, sizeof ifid, "ZCODE-7-241207-%04X", checksum);
        ASSERT_GT(story.size(), length); // the compiler pads to 512 bytes

        std::string changed = story;
        changed[length / 2] ^= 0x10;
        std::string unchecked = story;
        unchecked[0x1C] = unchecked[0x1D] = '\0';
        const std::vector<std::pair<std::string, std::string>> copies{
            {story, "intact"},
            {story + std::string(512, '\0'), "intact"},
            {story.substr(0, length), "intact"},
            {story.substr(0, length - 1), "truncated"},
            {changed, "damaged"},
            {unchecked, "unchecked"},
        };
        for (const auto& [bytes, check] : copies) {
            SCOPED_TRACE("version " + std::to_string(version) + ", " + check + ", " +
                         std::to_string(bytes.size()) + " bytes");
            const core::StoryFacts facts = factsOf(bytes).story;
            EXPECT_EQ(core::checkWord(facts.check), check);
            EXPECT_EQ(interpreterVerdict(bytes) == "verify: intact", check == "intact");
            EXPECT_EQ(std::tie(facts.version, facts.release, facts.serial),
                      std::tuple(version, 7, "241207"));
            EXPECT_EQ(facts.declaredLength, length);
            EXPECT_EQ(facts.size, bytes.size());
            EXPECT_EQ(facts.ifid, check == "unchecked" ? "ZCODE-7-241207-0000" : ifid);
            // The CRC of the declared length, for the padded-copy hint.
            EXPECT_EQ(facts.declaredCrc, bytes.size() > length
                                             ? std::optional(crc32Update(0, bytes.data(), length))
                                             : std::nullopt);
        }
        // No length declared, or a version before checksums: nothing to check (an interpreter
        // then sums the whole file, or has no verify at all).
        std::string noLength = story;
        noLength[0x1A] = noLength[0x1B] = '\0';
        EXPECT_EQ(factsOf(noLength).story.check, core::StoryCheck::Unchecked);
        if (version == 3) {
            EXPECT_EQ(factsOf('\2' + story.substr(1)).story.check, core::StoryCheck::Unchecked);
        }
    }
}

TEST_F(StoryFacts, AStrayFileIsNotZcodeNotDamaged)
{
    std::string random(4096, '\0');
    std::mt19937 generator(7);
    for (char& c : random) {
        c = static_cast<char>(generator() & 0xFF);
    }
    std::string story = compile(verifySource("241207"), 5);
    std::string headerOnly = story;
    headerOnly[0x0E] = headerOnly[0x0F] = '\0'; // static memory before the header ends
    const std::string objectsAbove = story.substr(0, 0x0A) + "\xFF\xF0" + story.substr(0x0C);
    for (const std::string& bytes :
         {std::string(63, '\5'), "\x09" + story.substr(1), headerOnly, objectsAbove,
          "\x03" + random.substr(1), "\x05" + random.substr(1), "\x08" + random.substr(1)}) {
        // Nothing but the size: "not Z-code" is the check word of no facts.
        EXPECT_EQ(factsOf(bytes).story, core::StoryFacts{.size = bytes.size()}) << bytes.size();
    }
}

// The IFID as the Treaty of Babel gives it: an embedded UUID://...// wins, unless the serial
// dates the file before such texts; otherwise "ZCODE-release-serial", with "-checksum" unless
// the serial is of the 1980s, "000000", or no date.
TEST_F(StoryFacts, IfidIsTheEmbeddedOneOrTheLegacyForm)
{
    EXPECT_EQ(core::legacyIfid(88, "840726", 0xA129), "ZCODE-88-840726");
    EXPECT_EQ(core::legacyIfid(16, "970828", 0x1185), "ZCODE-16-970828-1185");
    EXPECT_EQ(core::legacyIfid(15, "UG3AU5", 0x1234), "ZCODE-15-UG3AU5");
    EXPECT_EQ(core::legacyIfid(67, "000000", 0x1234), "ZCODE-67-000000");
    EXPECT_EQ(core::legacyIfid(5, std::string(6, '\0'), 0x1234), "ZCODE-5-------");
    EXPECT_EQ(core::legacyIfid(3, "24 2*7", 0x00AB), "ZCODE-3-24-2-7-00AB");
    EXPECT_EQ(core::legacyIfid(3, "Zz{9@0", 0x00AB), "ZCODE-3-Zz-9-0");

    const std::string uuid = "1974A053-7DB0-4103-93A1-767C1382C0B7";
    const std::string brand =
        "Array brand string \"UUID://" + std::string(100, 'x') + "//UUID://" + uuid + "//\";\n";
    const std::string branded = compile(verifySource("241207", brand), 5);
    // A serial of the 1980s, the 1990s or 2000 to 2005 dates a file before embedded IFIDs.
    for (const auto& [serial, ifid] :
         {std::pair<std::string, std::string>{"880429", "ZCODE-7-880429"},
          {"051231", "ZCODE-7-051231-"},
          {"060101", uuid}}) {
        EXPECT_EQ(
            factsOf(compile(verifySource(serial, brand), 5)).story.ifid.substr(0, ifid.size()),
            ifid);
    }
    // A brand past the first 64 KiB, which a story cannot read as bytes, is not its IFID.
    const std::string late = compile(verifySource("241207"), 5) + std::string(1 << 16, 'x');
    EXPECT_TRUE(factsOf(late + "UUID://" + uuid + "//").story.ifid.starts_with("ZCODE-7-241207-"));
    // Read in blocks of every size, the brand may cross from one block into the next, and
    // the header itself be read in pieces: the facts stay the same.
    const core::FileFacts whole = factsOf(branded);
    EXPECT_EQ(whole.story.ifid, uuid);
    EXPECT_EQ(whole.story.check, core::StoryCheck::Intact);
    for (const std::size_t block : {1u, 5u, 63u, 64u, 65u, 71u, 72u, 500u, 4096u}) {
        const core::FileFacts facts = factsOf(branded, {block, std::uint64_t{1} << 30});
        EXPECT_EQ(facts.story, whole.story) << block;
        EXPECT_EQ(facts.serial, "241207") << block;
    }
}
