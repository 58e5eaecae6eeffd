// What users' disks hold beyond the unit tests' reach: files of 4 GiB, nesting past the path
// limit, huge and hostile catalogues. Each case ends, in seconds, with the records right.

#include "core/CGameCatalogue.h"
#include "core/Fingerprint.h"
#include "scan/FileFilters.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

TEST(HugeTree, FilesOf4GiBAreReadWholeAndNestingEndsAtThePathLimit)
{
    // A 4 GiB read costs seconds in memory and up to a minute on a busy disk. (Each test runs
    // in a process of its own: the variable needs no restoring.)
    if (access("/dev/shm", W_OK) == 0) {
        setenv("TMPDIR", "/dev/shm", 1);
    }
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "tree/huge.z5", ""); // sparse: 2^32 zero bytes, then ten digits
    std::filesystem::resize_file(dir / "tree/huge.z5", std::uint64_t{1} << 32);
    std::ofstream(dir / "tree/huge.z5", std::ios::app) << "0123456789";
    // 3,000 levels, a hundred at a time: the deepest paths are longer than the system accepts
    // in one call. A file at depth 1,000 and at 3,000. Removed by rm, which copes with them.
    const std::string build = "h=$(printf 'd/%.0s' $(seq 100)); for i in $(seq 30); do mkdir -p $h"
                              " && cd -P $h && case $i in 10|30) printf x >s$i.z5;; esac; done";
    ASSERT_EQ(testsupport::runCommand(build, dir / "tree").status, 0);
    CGameCatalogue catalogue;
    catalogue.setFilters(kStoryExtensions);
    catalogue.setCachePath(dir / "filecache.txt");
    GameSet set;
    catalogue.scan(dir / "tree", &set, true);

    // The big file's fingerprint is the CRC-32 of 2^32 zero bytes and the ten digits. Depth
    // 1000 (a path of about 2000 bytes) is found; depth 3000 lies beyond PATH_MAX, so the
    // first folder past it cannot be listed and is reported, like any unreadable folder.
    std::string found;
    for (const GamePtr& game : set) {
        found += game->fingerprint + " " + game->fn.substr(game->fn.rfind('/')) + "\n";
    }
    EXPECT_EQ(found, "2E891E5C /huge.z5\n8CDC1683 /s10.z5\n");
    const std::string messages = catalogue.messages.str();
    EXPECT_TRUE(messages.starts_with("Could not list folder: " + dir / "tree/d/d/"));
    EXPECT_TRUE(messages.ends_with("/d/d/") && messages.size() > 4096) << messages.size();
    EXPECT_EQ(testsupport::runCommand("rm -rf tree", dir.path()).status, 0);
}

TEST(HugeCatalogue, AHundredThousandEntriesSaveUnchangedAndDeepOrWideOnesAreRefused)
{
    testsupport::TempDir dir;
    const std::string declaration =
        "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n<games>\n";
    const std::string huge(10 * 1024 * 1024, 'x');
    std::string text = declaration;
    for (std::uint32_t i = 0; i < 100000; ++i) {
        text += "    <supported_game fingerprint=\"" + crcText(i) + "\" FullName=\"" +
                (i == 5 ? huge : "Story " + std::to_string(i)) +
                "\" sn=\"880429\" fn=\"unknown\" warn=\"\" />\n";
    }
    testsupport::writeFile(dir / "big.xml", text + "</games>\n");
    CGameCatalogue catalogue;
    ASSERT_TRUE(catalogue.loadCatalogue(dir / "big.xml"));
    ASSERT_EQ(catalogue.games.size(), 100000u);
    EXPECT_EQ((*catalogue.games.find("00000005"))->FullName, huge);
    ASSERT_TRUE(catalogue.saveCatalogue(dir / "saved.xml"));
    EXPECT_EQ(testsupport::readFile(dir / "saved.xml"), testsupport::readFile(dir / "big.xml"));

    // 40,000 levels overflowed the parser's stack; 200,000 attributes kept it busy for minutes.
    const testsupport::TimeLimit limit(30);
    std::string deep;
    std::string wide = "<supported_game";
    for (int i = 0; i < 200000; ++i) {
        deep += i < 40000 ? "<x>" : "";
        wide += "\n a" + std::to_string(i) + "=''";
    }
    for (const auto& [hostile, why] :
         {std::pair{deep, "Elements nested deeper than 256 levels\nLine: 3 Col: 766\n"},
          {wide, "Element with more than 256 attributes\nLine: 260 Col: 2\n"}}) {
        testsupport::writeFile(dir / "hostile.xml", declaration + hostile);
        CGameCatalogue refused;
        EXPECT_FALSE(refused.loadCatalogue(dir / "hostile.xml"));
        EXPECT_EQ(refused.messages.str(),
                  "Problem with XML format, check syntax of file: " + dir / "hostile.xml\n" + why);
        EXPECT_EQ(refused.games.size(), 0u);
    }
}
