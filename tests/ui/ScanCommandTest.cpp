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

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

using testsupport::TempDir;
using testsupport::writeFile;

// What a test does to the scan thread; shared with the jobs, which may outlive the dialog.
struct ScanHooks
{
    std::string cacheFile; // kept in the test's folder
    scan::ManualResetEvent started;
    scan::ManualResetEvent release;
    scan::ManualResetEvent finished;
    bool hold = false;
    bool fail = false;
    std::chrono::milliseconds takes{0};
};

class ScanCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hooks->cacheFile = dir / "filecache.txt";
        makeDialog();
        writeFile(dir / "games/zork1.z3", std::string(18, '\x03') + "880429zork");
        writeFile(dir / "games/sub/CURSES.Z5", std::string(18, '\x05') + "930427curses");
        writeFile(dir / "games/notes.txt", "not a story");
        writeFile(dir / "nothing/readme.txt", "no stories here");
    }

    void TearDown() override { dialog.reset(); }

    void makeDialog(std::chrono::milliseconds disposeTimeout = CWorkerJob::kDisposeTimeout)
    {
        dialog.reset();
        ui::DialogServices services;
        services.folderPicker = [this](QWidget*, const std::string& initial, const std::string&) {
            preselected.push_back(initial);
            return answer;
        };
        services.scanFiles = [hooks = hooks](CGameCatalogue& scanner, const std::string& folder,
                                             GameSet& games) {
            hooks->started.set();
            if (hooks->hold) {
                hooks->release.wait();
            }
            std::this_thread::sleep_for(hooks->takes); // a scan that takes its time
            hooks->finished.set();
            if (hooks->fail) {
                throw std::runtime_error("disk on fire");
            }
            scanner.setCachePath(hooks->cacheFile);
            ui::scanForStories(scanner, folder, games);
        };
        services.disposeTimeout = disposeTimeout;
        dialog = std::make_unique<CMainDlg>(dir / "settings.xml", services);
        list = dialog->findChild<CResultsList*>(QStringLiteral("resultsList"));
    }

    QPushButton* button(const char* name) const
    {
        return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    bool busyPlaying() const
    {
        return dialog->findChild<CBusyAnimation*>(QStringLiteral("busyAnimation"))->isPlaying();
    }

    // Clicks Scan and waits until the scan has ended.
    void scan(const std::optional<std::string>& folder)
    {
        answer = folder;
        QTest::mouseClick(button("scanButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return button("scanButton")->isEnabled() && !busyPlaying(); }, 20000));
    }

    // Clicks Scan and returns once the scan thread is held at its start.
    void startHeldScan()
    {
        hooks->hold = true;
        answer = dir / "games";
        QTest::mouseClick(button("scanButton"), Qt::LeftButton);
        // The scan thread needs this thread for its window calls: wait with events flowing.
        ASSERT_TRUE(QTest::qWaitFor([&] { return hooks->started.isSet(); }, 20000));
    }

    void useCatalogue(const std::string& games)
    {
        writeFile(dir / "cat.xml", "<games>" + games + "</games>");
        dialog->OnDropFiles({dir / "cat.xml"});
    }

    std::string title() const { return dialog->windowTitle().toStdString(); }

    TempDir dir;
    std::optional<std::string> answer;
    std::vector<std::string> preselected;
    std::shared_ptr<ScanHooks> hooks = std::make_shared<ScanHooks>();
    std::unique_ptr<CMainDlg> dialog;
    CResultsList* list = nullptr;
};

const char* const kLostGame =
    "<supported_game fingerprint=\"0000ABCD\" FullName=\"Lost\" sn=\"\" />";

} // namespace

TEST_F(ScanCommandTest, WithACatalogueTheCatalogueGamesAreListedFoundOrNot)
{
    const std::string zork = crcText(*computeFingerprint(dir / "games/zork1.z3"));
    useCatalogue("<supported_game fingerprint=\"" + zork +
                 "\" FullName=\"Zork I\" sn=\"880429\" />" + kLostGame);
    scan(dir / "games");
    EXPECT_EQ(list->rowCount(), 3);
    EXPECT_EQ(title(), "QueltImprort - 3: games found.");
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->cellText(row, 0, 256) == zork) {
            EXPECT_EQ(list->cellText(row, 2, 256), dir / "games/zork1.z3");
            EXPECT_EQ(list->cellText(row, 4, 256), "Zork I");
        }
    }
    // The next scan preselects the folder of this one.
    scan(std::nullopt);
    EXPECT_EQ(preselected.back(), dir / "games/");
}

TEST_F(ScanCommandTest, NothingFoundKeepsTheRowsCancelStartsNothingLastDirIsPreselected)
{
    Orvane::CSettingStore store;
    store.writeTextSetting("lastDir", dir / "games/");
    ASSERT_TRUE(store.save(dir / "settings.xml"));
    makeDialog();
    list->addGameRow(CGame("Kept", "00000001", ""));
    scan(dir / "nothing");
    EXPECT_EQ(title(), "QueltImprort - no games found.");
    EXPECT_EQ(list->rowCount(), 1);

    scan(std::nullopt);
    EXPECT_EQ(list->rowCount(), 1);
    EXPECT_EQ(preselected, (std::vector<std::string>{dir / "games/", dir / "games/"}));
}

TEST_F(ScanCommandTest, CommandsWaitForTheScanThatListsEveryStoryFileWithoutACatalogue)
{
    hooks->hold = true;
    answer = dir / "games";
    QTest::mouseClick(button("scanButton"), Qt::LeftButton);
    // Disabled before Scan returns, so nothing slips in; a Scan that arrives anyway is ignored.
    for (const char* name : {"scanButton", "loadButton", "saveButton", "clearButton"}) {
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(button("quitButton")->isEnabled());
    dialog->OnScan();
    EXPECT_EQ(preselected.size(), 1u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hooks->started.isSet(); }, 20000));
    EXPECT_TRUE(busyPlaying());
    hooks->release.set();
    ASSERT_TRUE(QTest::qWaitFor([&] { return button("scanButton")->isEnabled(); }, 20000));
    EXPECT_TRUE(button("loadButton")->isEnabled());
    EXPECT_FALSE(busyPlaying());
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(title(), "QueltImprort - 2: games found.");
    EXPECT_EQ(list->cellText(0, 4, 256) + list->cellText(1, 4, 256), "unknownunknown");
}

TEST_F(ScanCommandTest, AScanThatThrowsStillShowsWhatTheListHoldsAndEnds)
{
    useCatalogue(kLostGame);
    hooks->fail = true;
    scan(dir / "games");
    EXPECT_EQ(list->rowCount(), 1);
    EXPECT_EQ(title(), "QueltImprort - 1: games found.");
}

TEST_F(ScanCommandTest, QuitWaitsForTheScanAtMostItsBoundThenLeavesItToEndAlone)
{
    using namespace std::chrono_literals;
    hooks->takes = 300ms;
    startHeldScan();
    hooks->release.set();
    dialog.reset(); // the scan ends within the bound: waited for
    EXPECT_TRUE(hooks->finished.isSet());

    hooks = std::make_shared<ScanHooks>();
    hooks->cacheFile = dir / "filecache.txt";
    makeDialog(1s);
    startHeldScan();
    const auto start = std::chrono::steady_clock::now();
    dialog.reset(); // one bound for the whole wait, not one per job
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
    EXPECT_FALSE(hooks->finished.isSet());
    // The scan goes on without the dialog, touches nothing of it, and its jobs end.
    hooks->release.set();
    EXPECT_TRUE(QTest::qWaitFor([&] { return hooks.use_count() == 1; }, 20000));
}
