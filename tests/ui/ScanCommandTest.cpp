// The Scan command from the button to the rows and the title, with the folder picker answered.

#include "core/CGameCatalogue.h"
#include "core/Fingerprint.h"
#include "scan/ManualResetEvent.h"
#include "tests/support/TestSupport.h"
#include "ui/CBusyAnimation.h"
#include "ui/CMainDlg.h"
#include "ui/CResultsList.h"
#include "ui/FileDialogs.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

using testsupport::TempDir;
using testsupport::writeFile;

// The scan keeps every path lower-cased, the temporary folder's name included.
std::string lowered(std::string path)
{
    for (char& c : path) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return path;
}

// What a test does to the scan thread; owned apart from the dialog, which the scan may
// outlive while the dialog is being destroyed.
struct ScanHooks
{
    scan::ManualResetEvent started;
    scan::ManualResetEvent release;
    bool hold = false;
    bool fail = false;
};

// The dialog with its scanner's cache kept in the test's folder, and hooks into the scan.
class ScanningDialog : public CMainDlg
{
public:
    ScanningDialog(const std::string& settingsFile, std::string cacheFile,
                   std::shared_ptr<ScanHooks> hooks)
        : CMainDlg(settingsFile), m_cacheFile(std::move(cacheFile)), m_hooks(std::move(hooks))
    {
    }
    ~ScanningDialog() override { disposeOfScanJobs(); }

protected:
    void runScanner(CGameCatalogue& scanner, const std::string& folder, GameSet& games) override
    {
        const std::shared_ptr<ScanHooks> hooks = m_hooks;
        hooks->started.set();
        if (hooks->hold) {
            hooks->release.wait();
        }
        if (hooks->fail) {
            throw std::runtime_error("disk on fire");
        }
        scanner.setCachePath(m_cacheFile);
        CMainDlg::runScanner(scanner, folder, games);
    }

private:
    std::string m_cacheFile;
    std::shared_ptr<ScanHooks> m_hooks;
};

class ScanCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previousPicker = ui::setFolderPicker(
            [this](QWidget*, const std::string& initial, const std::string& title) {
                preselected.push_back(initial);
                pickerTitle = title;
                return answer;
            });
        dialog =
            std::make_unique<ScanningDialog>(dir / "settings.xml", dir / "filecache.txt", hooks);
        list = dialog->findChild<CResultsList*>(QStringLiteral("resultsList"));
        writeFile(dir / "games/zork1.z3", std::string(18, '\x03') + "880429zork");
        writeFile(dir / "games/sub/CURSES.Z5", std::string(18, '\x05') + "930427curses");
        writeFile(dir / "games/notes.txt", "not a story");
        writeFile(dir / "nothing/readme.txt", "no stories here");
    }

    void TearDown() override
    {
        dialog.reset();
        ui::setFolderPicker(previousPicker);
    }

    QPushButton* button(const char* name) const
    {
        return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    // Clicks Scan and waits until the scan has ended.
    void scan(const std::optional<std::string>& folder)
    {
        answer = folder;
        QTest::mouseClick(button("scanButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return button("scanButton")->isEnabled() && !busy()->isPlaying(); }, 20000));
    }

    CBusyAnimation* busy() const
    {
        return dialog->findChild<CBusyAnimation*>(QStringLiteral("busyAnimation"));
    }

    std::string title() const { return dialog->windowTitle().toStdString(); }

    TempDir dir;
    ui::FolderPicker previousPicker;
    std::optional<std::string> answer;
    std::vector<std::string> preselected;
    std::string pickerTitle;
    std::shared_ptr<ScanHooks> hooks = std::make_shared<ScanHooks>();
    std::unique_ptr<ScanningDialog> dialog;
    CResultsList* list = nullptr;
};

} // namespace

TEST_F(ScanCommandTest, WithoutACatalogueEveryStoryFileIsAnUnknownRow)
{
    scan(dir / "games");
    EXPECT_EQ(pickerTitle, "Browse for a Directory to scan");
    EXPECT_EQ(dialog->scanFolder, dir / "games/");
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(title(), "QueltImprort - 2: games found.");
    EXPECT_EQ(list->cellText(0, 4, 256), "unknown");
    // The walk's path, lower-cased, is the record's path.
    const std::string curses = lowered(dir / "games/sub/CURSES.Z5");
    EXPECT_TRUE(list->cellText(0, 2, 256) == curses || list->cellText(1, 2, 256) == curses);
}

TEST_F(ScanCommandTest, WithACatalogueTheCatalogueGamesAreListedFoundOrNot)
{
    const std::string zork = crcText(*computeFingerprint(dir / "games/zork1.z3"));
    writeFile(dir / "cat.xml", "<games><supported_game fingerprint=\"" + zork +
                                   "\" FullName=\"Zork I\" sn=\"880429\" />"
                                   "<supported_game fingerprint=\"0000ABCD\" FullName=\"Lost\" "
                                   "sn=\"\" /></games>");
    dialog->cataloguePath = dir / "cat.xml";
    scan(dir / "games");
    EXPECT_EQ(list->rowCount(), 3);
    EXPECT_EQ(title(), "QueltImprort - 3: games found.");
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->cellText(row, 0, 256) == zork) {
            EXPECT_EQ(list->cellText(row, 2, 256), lowered(dir / "games/zork1.z3"));
            EXPECT_EQ(list->cellText(row, 4, 256), "Zork I");
        }
    }
    // The next scan preselects the folder of this one.
    scan(std::nullopt);
    EXPECT_EQ(preselected.back(), dir / "games/");
}

TEST_F(ScanCommandTest, NothingFoundKeepsTheRowsAndCancelStartsNothing)
{
    list->addGameRow(CGame("Kept", "00000001", ""));
    scan(dir / "nothing");
    EXPECT_EQ(title(), "QueltImprort - no games found.");
    EXPECT_EQ(list->rowCount(), 1);

    scan(std::nullopt);
    EXPECT_TRUE(dialog->scanFolder.empty());
    EXPECT_EQ(title(), "QueltImprort - no games found.");
    scan(std::nullopt);
    EXPECT_EQ(preselected.back(), ""); // nothing to preselect after a cancel
}

TEST_F(ScanCommandTest, TheLastDirSettingIsPreselectedEveryTime)
{
    dialog.reset();
    {
        Orvane::CSettingStore store;
        store.writeTextSetting("lastDir", dir / "games/");
        ASSERT_TRUE(store.save(dir / "settings.xml"));
    }
    dialog = std::make_unique<ScanningDialog>(dir / "settings.xml", dir / "filecache.txt", hooks);
    scan(dir / "nothing");
    scan(dir / "nothing");
    EXPECT_EQ(preselected, (std::vector<std::string>{dir / "games/", dir / "games/"}));
}

TEST_F(ScanCommandTest, CommandsAreDisabledWhileTheScanRuns)
{
    hooks->hold = true;
    answer = dir / "games";
    QTest::mouseClick(button("scanButton"), Qt::LeftButton);
    // The scan thread needs this thread for its window calls: wait with events flowing.
    ASSERT_TRUE(QTest::qWaitFor([&] { return hooks->started.isSet(); }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !button("loadButton")->isEnabled(); }, 20000));
    for (const char* name : {"scanButton", "loadButton", "saveButton", "clearButton"}) {
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(button("quitButton")->isEnabled());
    EXPECT_TRUE(button("aboutButton")->isEnabled());
    EXPECT_TRUE(busy()->isPlaying());
    hooks->release.set();
    ASSERT_TRUE(QTest::qWaitFor([&] { return button("scanButton")->isEnabled(); }, 20000));
    EXPECT_TRUE(button("loadButton")->isEnabled());
    EXPECT_FALSE(busy()->isPlaying());
    EXPECT_EQ(list->rowCount(), 2);
}

TEST_F(ScanCommandTest, AScanThatThrowsStillShowsWhatTheListHoldsAndEnds)
{
    writeFile(dir / "cat.xml", "<games><supported_game fingerprint=\"0000ABCD\" "
                               "FullName=\"Lost\" sn=\"\" /></games>");
    dialog->cataloguePath = dir / "cat.xml";
    hooks->fail = true;
    scan(dir / "games");
    EXPECT_EQ(list->rowCount(), 1);
    EXPECT_EQ(title(), "QueltImprort - 1: games found.");
}

TEST_F(ScanCommandTest, ClosingDuringAScanWaitsForItWithoutHanging)
{
    hooks->hold = true;
    answer = dir / "games";
    QTest::mouseClick(button("scanButton"), Qt::LeftButton);
    // The scan thread needs this thread for its window calls: wait with events flowing.
    ASSERT_TRUE(QTest::qWaitFor([&] { return hooks->started.isSet(); }, 20000));
    std::thread releaser([hooks = hooks] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        hooks->release.set();
    });
    dialog.reset(); // processes the scan's window calls while it waits for the jobs
    releaser.join();
}
