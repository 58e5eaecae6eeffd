// The Scan command from the button to the rows and the title, with the folder picker answered.

#include "core/CGameCatalogue.h"
#include "core/ProgressThrottle.h"
#include "platform/Trace.h"
#include "scan/ManualResetEvent.h"
#include "tests/ui/DialogTest.h"
#include "ui/CBusyAnimation.h"

#include <QSignalSpy>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A scan thread held at its start; shared with the jobs, which may outlive the dialog.
struct HeldScan
{
    scan::ManualResetEvent started, release, finished;
};

class ScanCommandTest : public DialogTest
{
protected:
    void SetUp() override
    {
        makeScanDialog();
        testsupport::writeFile(dir / "games/zork1.z3", story("880429", "zork")); // C0FBF0B7
        testsupport::writeFile(dir / "games/sub/CURSES.Z5", story("930427", "curses"));
        testsupport::writeFile(dir / "games/notes.txt", "not a story");
    }
    // A dialog with the program's scan, which runs `before` on its thread first.
    void makeScanDialog(std::function<void(CGameCatalogue&)> before = {})
    {
        services.scanFiles = [before, cache = dir / "filecache.txt"](CGameCatalogue& scanner,
                                                                     const std::string& folder,
                                                                     GameSet& games) {
            scanner.setCachePath(cache);
            if (before) {
                before(scanner);
            }
            ui::scanForStories(scanner, folder, games);
        };
        makeDialog();
    }
    // A dialog whose scan waits for `held->release`, then takes `takes` more.
    void makeHeldScanDialog(std::chrono::milliseconds takes = 0ms)
    {
        makeScanDialog([held = held, takes](CGameCatalogue&) {
            held->started.set();
            held->release.wait();
            std::this_thread::sleep_for(takes);
            held->finished.set();
        });
    }
    bool busy() const
    {
        return dialog->findChild<CBusyAnimation*>(QStringLiteral("busyAnimation"))->isPlaying();
    }
    // Clicks Scan and waits until the scan has ended, or until a held scan has started. The
    // scan thread needs this thread for its window calls: it waits with events flowing.
    void scan(const std::optional<std::string>& folder)
    {
        picked = folder;
        QTest::mouseClick(button("scanButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return held->started.isSet() || (button("scanButton")->isEnabled() && !busy()); },
            20000));
    }

    std::shared_ptr<HeldScan> held = std::make_shared<HeldScan>();
};

} // namespace

TEST_F(ScanCommandTest, WithACatalogueItsGamesAreListedFoundOrNotAndUnreadableFilesAreTraced)
{
    // Lost is not in the scanned folder and keeps the path of an earlier save; a catalogue
    // that fails to load leaves the one before.
    dialog->OnDropFiles(
        {UI_FIXTURES "catalogue_zork_and_lost_game.xml", UI_FIXTURES "catalogue_broken.xml"});
    // A file that cannot be read gets no row; the trace says why.
    const std::string unreadable = dir / "games/mem.z5";
    std::filesystem::create_symlink("/proc/self/mem", unreadable);
    std::vector<std::string> traced;
    const platform::TraceSink previous =
        platform::setTraceSink([&](std::string_view line) { traced.emplace_back(line); });
    scan(dir / "games");
    platform::setTraceSink(previous);
    EXPECT_EQ(traced, std::vector<std::string>{"Narlo::Could not load file: " + unreadable});
    EXPECT_EQ(title(), "QueltImprort - 3: games found.");
    EXPECT_EQ(list->rowLine(0), "0000ABCD,unknown,/old/lost.z5,,Lost");
    EXPECT_EQ(list->rowLine(2), "C0FBF0B7,880429," + (dir / "games/zork1.z3") + ",v3,Zork I");
    // Make's rule is a path, not a find: the game not found is exported from its old path.
    chosen = dir / "setup.iss";
    dialog->OnMake();
    EXPECT_NE(testsupport::readFile(dir / "setup.iss").find("Source: /old/lost.z5;"),
              std::string::npos);
    scan(std::nullopt); // the next scan preselects the folder of this one
    EXPECT_EQ(preselected.back(), dir / "games/");
}

TEST_F(ScanCommandTest, CommandsWaitForTheScanThatListsEveryStoryFileWithoutACatalogue)
{
    makeHeldScanDialog();
    picked = dir / "games";
    QTest::mouseClick(button("scanButton"), Qt::LeftButton);
    // Disabled before Scan returns, so nothing slips in; a Scan that arrives anyway is ignored.
    for (const char* name : {"scanButton", "loadButton", "saveButton", "clearButton"}) {
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(button("quitButton")->isEnabled());
    dialog->OnScan();
    EXPECT_EQ(preselected.size(), 1u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return held->started.isSet() && busy(); }, 20000));
    held->release.set();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return button("loadButton")->isEnabled() && !busy(); }, 20000));
    EXPECT_EQ(title(), "QueltImprort - 2: games found.");
    EXPECT_EQ(list->cellText(0, 4) + list->cellText(1, 4), "unknownunknown");
}

TEST_F(ScanCommandTest, NothingFoundACancelOrAThrowingScanKeepTheRowsAndLastDirIsPreselected)
{
    Orvane::CSettingStore store;
    store.writeTextSetting("lastDir", dir / "games/");
    ASSERT_TRUE(store.save(dir / "settings.xml"));
    makeScanDialog([](CGameCatalogue&) { throw std::runtime_error("disk on fire"); });
    list->addGameRow(CGame("Kept", "00000001", ""));
    scan(dir / "games");
    EXPECT_EQ(title(), "QueltImprort - no games found.");
    scan(std::nullopt);
    EXPECT_EQ(list->rowCount(), 1);
    EXPECT_EQ(preselected, (std::vector<std::string>{dir / "games/", dir / "games/"}));
}

TEST_F(ScanCommandTest, AScanShowsItsProgressThenTheFinalText)
{
    for (int i = 0; i < 1200; ++i) {
        testsupport::writeFile(dir / ("many/" + std::to_string(i) + ".z5"), std::to_string(i));
    }
    // A clock that moves 1 ms per look: one report in 200 after the first of each phase.
    makeScanDialog([](CGameCatalogue& scanner) {
        scanner.setProgressThrottle(core::ProgressThrottle(
            200ms,
            [now = std::chrono::steady_clock::time_point()]() mutable { return now += 1ms; }));
    });
    QSignalSpy titles(dialog.get(), &QWidget::windowTitleChanged);
    scan(dir / "many");
    std::string seen;
    for (const QList<QVariant>& signal : titles) {
        seen += signal.at(0).toString().toStdString() + "\n";
    }
    testsupport::expectGolden("ui/scan_progress_titles.txt", seen);
}

TEST_F(ScanCommandTest, QuitWaitsForTheScanAtMostItsBoundThenLeavesItToEndAlone)
{
    makeHeldScanDialog(300ms);
    scan(dir / "games");
    held->release.set();
    dialog.reset(); // the scan ends within the bound: waited for
    EXPECT_TRUE(held->finished.isSet());

    held = std::make_shared<HeldScan>();
    services.disposeTimeout = 1s;
    makeHeldScanDialog();
    scan(dir / "games");
    const auto start = std::chrono::steady_clock::now();
    dialog.reset(); // one bound for the whole wait, not one per job
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1800ms);
    EXPECT_FALSE(held->finished.isSet());
    // The scan goes on without the dialog, touches nothing of it, and its jobs end.
    services.scanFiles = nullptr; // holds `held` too
    held->release.set();
    EXPECT_TRUE(QTest::qWaitFor([&] { return held.use_count() == 1; }, 20000));
}
