// What users' disks hold beyond the unit tests' reach: files of 4 GiB and more, nesting deeper
// than a path may be long, huge and hostile catalogues. Each case must end, within seconds
// for a catalogue, and leave the records right. (Loops, FIFOs and links are the platform
// listing's tests; files that are no catalogue at all, the catalogue fuzz target's seeds.)

#include "core/CGameCatalogue.h"
#include "scan/FileFilters.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

constexpr const char* kDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n<games>\n";

std::string repeated(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

// The records a scan of `folder` leaves, and its report.
std::pair<GameSet, std::string> scanned(const std::string& folder, const std::string& cache)
{
    CGameCatalogue catalogue;
    catalogue.setFilters(kStoryExtensions);
    catalogue.setCachePath(cache);
    GameSet set;
    catalogue.scan(folder, &set, true);
    return {set, catalogue.messages.str()};
}

// A file of `size` bytes that are all zero except `tail` at its end, without writing the
// zeros (a sparse file).
void writeSparse(const std::string& path, std::uint64_t size, const std::string& tail)
{
    writeFile(path, "");
    fs::resize_file(path, size - tail.size());
    std::ofstream(path, std::ios::binary | std::ios::app) << tail;
}

} // namespace

TEST(HugeTree, FilesOf4GiBAreReadWholeAndNestingEndsAtThePathLimit)
{
    // A 4 GiB read costs seconds in memory and up to a minute on a busy disk. (Each test runs
    // in a process of its own: the variable needs no restoring.)
    if (access("/dev/shm", W_OK) == 0) {
        setenv("TMPDIR", "/dev/shm", 1);
    }
    TempDir dir;
    writeSparse(dir / "tree/huge.z5", (std::uint64_t{1} << 32) + 10, "0123456789");
    // Built through folder handles: the deepest paths are longer than the system accepts in
    // one call. Removed by rm, which copes with such trees.
    int folder = open((dir / "tree").c_str(), O_RDONLY | O_DIRECTORY);
    for (int depth = 1; depth <= 3000 && folder >= 0; ++depth) {
        ASSERT_EQ(mkdirat(folder, "d", 0755), 0);
        const int deeper = openat(folder, "d", O_RDONLY | O_DIRECTORY);
        close(folder);
        folder = deeper;
        if (depth == 1000 || depth == 3000) {
            const std::string name = "s" + std::to_string(depth) + ".z5";
            const int file = openat(folder, name.c_str(), O_WRONLY | O_CREAT, 0644);
            ASSERT_EQ(write(file, name.data(), name.size()), static_cast<ssize_t>(name.size()));
            close(file);
        }
    }
    ASSERT_GE(folder, 0);
    close(folder);

    const auto [set, messages] = scanned(dir / "tree", dir / "filecache.txt");
    // The big file's fingerprint is the CRC-32 of 2^32 zero bytes and the ten digits. Depth
    // 1000 (a path of about 2000 bytes) is found; depth 3000 lies beyond PATH_MAX, so the
    // first folder past it cannot be listed and is reported, like any unreadable folder.
    ASSERT_EQ(set.size(), 2u);
    for (const GamePtr& game : set) {
        EXPECT_TRUE(
            game->fn.ends_with(game->fingerprint == "2E891E5C" ? "/tree/huge.z5" : "/d/s1000.z5"))
            << game->fingerprint << " " << game->fn;
    }
    EXPECT_TRUE(messages.starts_with("Could not list folder: " + dir / "tree/d/d/"));
    EXPECT_TRUE(messages.ends_with("/d/d/") && messages.size() > 4096) << messages.size();
    EXPECT_EQ(testsupport::runCommand("rm -rf tree", dir.path()).status, 0);
}

TEST(HugeCatalogue, HundredThousandEntriesAndATenMegabyteNameLoadAndSaveUnchanged)
{
    TempDir dir;
    const std::string huge(10 * 1024 * 1024, 'x');
    std::string text = kDeclaration;
    for (int i = 0; i < 100000; ++i) {
        char fingerprint[9];
        std::snprintf(fingerprint, sizeof fingerprint, "%08X", i);
        text += std::string("    <supported_game fingerprint=\"") + fingerprint + "\" FullName=\"" +
                (i == 5 ? huge : "Story " + std::to_string(i)) +
                "\" sn=\"880429\" fn=\"unknown\" warn=\"\" />\n";
    }
    writeFile(dir / "big.xml", text + "</games>\n");

    CGameCatalogue first;
    ASSERT_TRUE(first.loadCatalogue(dir / "big.xml"));
    ASSERT_EQ(first.games.size(), 100000u);
    EXPECT_EQ((*first.games.find("00000005"))->FullName, huge);
    ASSERT_TRUE(first.saveCatalogue(dir / "saved.xml"));
    EXPECT_EQ(readFile(dir / "saved.xml"), readFile(dir / "big.xml"));
}

TEST(HugeCatalogue, DeepNestingAndManyAttributesAreRefusedWithTheirPlace)
{
    // 40,000 levels overflowed the parser's stack; 200,000 attributes kept it busy for minutes.
    const testsupport::TimeLimit limit(30);
    const std::string deep = kDeclaration + repeated("<x>", 40000) + repeated("</x>", 40000);
    std::string wide = kDeclaration + std::string("<supported_game");
    for (int i = 0; i < 200000; ++i) {
        wide += " a" + std::to_string(i) + "=\"\"";
    }
    wide += " />\n";
    const std::size_t wideCol = wide.find(" a256=") - wide.rfind('\n', wide.find(" a256=")) + 1;
    TempDir dir;
    for (const auto& [text, why, col] :
         {std::tuple{deep, "Elements nested deeper than 256 levels", std::size_t{255 * 3 + 1}},
          std::tuple{wide, "Element with more than 256 attributes", wideCol}}) {
        writeFile(dir / "hostile.xml", text + "</games>\n");
        CGameCatalogue catalogue;
        EXPECT_FALSE(catalogue.loadCatalogue(dir / "hostile.xml"));
        EXPECT_EQ(catalogue.messages.str(),
                  "Problem with XML format, check syntax of file: " + dir / "hostile.xml\n" + why +
                      "\nLine: 3 Col: " + std::to_string(col) + "\n");
        EXPECT_EQ(catalogue.games.size(), 0u);
    }
}
