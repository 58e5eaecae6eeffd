#include "export/InstallerScript.h"

#include "export/CFileChooser.h"

#include <gtest/gtest.h>

using exporter::destinationName;
using exporter::installerScript;

TEST(DestinationName, AppliesTheReplacementsInOrder)
{
    EXPECT_EQ(destinationName("Saga II: The Return"), "Saga II- The Return");
    EXPECT_EQ(destinationName("Tom & Jerry (1.2), A/B"), "Tom  and  Jerry _1 2__ A_B");
    EXPECT_EQ(destinationName("a\\b&&c"), "a_b and  and c");
    EXPECT_EQ(destinationName(""), "");
}

TEST(InstallerScript, ListsKnownFilesInRowOrder)
{
    const std::string script = installerScript({{"c:\\games\\saga2.dat", "Saga II: The Return"},
                                                {"unknown", "Lost Game"},
                                                {"/home/me/z/lantern.z3", "unknown"}});
    EXPECT_EQ(script, "[FILES]\n"
                      "Source: c:\\games\\saga2.dat; DestDir: {app}\\games\\somedir\\Saga II- The "
                      "Return; Flags: ignoreversion;\n"
                      "Source: /home/me/z/lantern.z3; DestDir: {app}\\games\\somedir\\unknown; "
                      "Flags: ignoreversion;\n");
}

TEST(InstallerScript, WithoutKnownFilesHoldsOnlyTheHeader)
{
    EXPECT_EQ(installerScript({}), "[FILES]\n");
    EXPECT_EQ(installerScript({{"unknown", "A"}, {"unknown", "B"}}), "[FILES]\n");
    // Only the exact marker is skipped.
    EXPECT_NE(installerScript({{"Unknown", "A"}}), "[FILES]\n");
}

TEST(FileChooser, SplitsTheFilterIntoPairs)
{
    const CFileChooser load(CFileChooser::Kind::Open,
                            "Fingerprints (*.XML)|*.XML|Z-code Files (.z?;.blb;.dat;.zip)|"
                            "*.z?;*.blb;*.dat;*.zip|All files (*.*)|*.*|",
                            "Open", nullptr, [](const CFileChooser&) { return std::nullopt; });
    const auto items = load.filterItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].description, "Z-code Files (.z?;.blb;.dat;.zip)");
    EXPECT_EQ(items[1].pattern, "*.z?;*.blb;*.dat;*.zip");
    EXPECT_EQ(items[2].pattern, "*.*");
}

TEST(FileChooser, ShowAsksItsRunner)
{
    std::optional<std::string> answer = "/tmp/setup"; // no extension is added
    std::string seenTitle;
    CFileChooser save(CFileChooser::Kind::Save, "Inno Files (*.ISS)|*.ISS|", "Save As", nullptr,
                      [&](const CFileChooser& chooser) {
                          seenTitle = chooser.title();
                          return answer;
                      });
    EXPECT_EQ(save.show(), CFileChooser::Result::Ok);
    EXPECT_EQ(save.chosenFile(), "/tmp/setup");
    EXPECT_EQ(seenTitle, "Save As");

    answer.reset();
    EXPECT_EQ(save.show(), CFileChooser::Result::Cancel);
    EXPECT_EQ(save.chosenFile(), "");
}
