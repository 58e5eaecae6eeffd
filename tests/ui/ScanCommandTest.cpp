// The Scan command from the button to the rows and the title, with the folder picker answered.

#include "core/CGameCatalogue.h"
#include "core/ProgressThrottle.h"
#include "platform/Trace.h"
#include "scan/ManualResetEvent.h"
#include "tests/ui/DialogTest.h"
#include "ui/CBusyAnimation.h"

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
    // The working folder's games/ holds zork1.z3 (C0FBF0B7), sub/CURSES.Z5 and notes.txt.
    void SetUp() override { makeScanDialog(); }
    // A dialog with the program's scan, which runs `before` on its thread first.
    void makeScanDialog(std::function<void(CGameCatalogue&)> before = [](CGameCatalogue&) {})
    {
        services.scanFiles = [before, cache = dir / "filecache.txt"](CGameCatalogue& scanner,
                                                                     const std::string& folder,
                                                                     GameSet& games) {
            scanner.setCachePath(cache);
            before(scanner);
            ui::scanForStories(scanner, folder, games);
        };
        makeDialog();
    }
    // A dialog whose scan waits for `held->release`, then runs `then`.
    void makeHeldScanDialog(const std::function<void()>& then = [] {})
    {
        makeScanDialog([held = held, then](CGameCatalogue&) {
            held->started.set();
            held->release.wait();
            then();
            held->finished.set();
        });
    }
    bool busy() const { return dialog->findChild<CBusyAnimation*>()->isPlaying(); }
    bool idle() const { return button("scanButton")->isEnabled() && !busy(); }
    // Clicks Scan and waits until the scan has ended, or until a held scan has started. The
    // scan thread needs this thread for its window calls: it waits with events flowing.
    void scan(const std::optional<std::string>& folder)
    {
        picked = folder;
        QTest::mouseClick(button("scanButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return held->started.isSet() || idle(); }, 20000));
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
    chosen = "setup.iss";
    dialog->OnMake();
    EXPECT_NE(testsupport::readFile("setup.iss").find("Source: /old/lost.z5;"), std::string::npos);
    scan(std::nullopt); // the next scan preselects the folder of this one
    EXPECT_EQ(preselected.back(), dir / "games/");
}

TEST_F(ScanCommandTest, CommandsWaitForTheScanAndNothingFoundACancelOrAThrowKeepTheRows)
{
    Orvane::CSettingStore store;
    store.writeTextSetting("lastDir", dir / "games/");
    ASSERT_TRUE(store.save(dir / "settings.xml"));
    makeHeldScanDialog([] { throw std::runtime_error("disk on fire"); });
    list->addGameRow(CGame("Kept", "00000001", ""));
    picked = dir / "games";
    QTest::mouseClick(button("scanButton"), Qt::LeftButton);
    // Disabled before Scan returns, so nothing slips in; a Scan that arrives anyway is ignored.
    for (const char* name : {"scanButton", "loadButton", "saveButton", "clearButton"}) {
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(button("quitButton")->isEnabled());
    dialog->OnScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return held->started.isSet() && busy(); }, 20000));
    held->release.set();
    ASSERT_TRUE(QTest::qWaitFor([&] { return idle(); }, 20000));
    EXPECT_EQ(title(), "QueltImprort - no games found.");
    scan(std::nullopt);
    EXPECT_EQ(list->rowCount(), 1);
    // The stored lastDir is preselected by the scan and by the cancelled one, the ignored none.
    EXPECT_EQ(preselected, (std::vector<std::string>{dir / "games/", dir / "games/"}));
}

TEST_F(ScanCommandTest, AScanShowsItsProgressThenTheFinalText)
{
    // A clock that never moves: the first report of each phase shows at once, no other.
    makeScanDialog([](CGameCatalogue& scanner) {
        scanner.setProgressThrottle(
            core::ProgressThrottle(200ms, [] { return std::chrono::steady_clock::time_point(); }));
    });
    std::string seen;
    QObject::connect(dialog.get(), &QWidget::windowTitleChanged,
                     [&](const QString& shown) { seen += shown.toStdString() + "\n"; });
    scan(dir / "games");
    testsupport::expectGolden("ui/scan_progress_titles.txt", seen);
}

TEST_F(ScanCommandTest, QuitWaitsForTheScanAtMostItsBoundThenLeavesItToEndAlone)
{
    makeHeldScanDialog([] { std::this_thread::sleep_for(300ms); });
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
