// The Scan command from the button to the rows and the title, with the folder picker answered.

#include "core/CGameCatalogue.h"
#include "core/Fingerprint.h"
#include "core/ProgressThrottle.h"
#include "platform/Trace.h"
#include "scan/ManualResetEvent.h"
#include "tests/ui/DialogTest.h"
#include "ui/CBusyAnimation.h"

#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

using testsupport::readFile;
using testsupport::writeFile;

// What a test does to the scan thread; shared with the jobs, which may outlive the dialog.
struct ScanHooks
{
    scan::ManualResetEvent started;
    scan::ManualResetEvent release;
    scan::ManualResetEvent finished;
    bool hold = false;
    bool fail = false;
    std::chrono::milliseconds takes{0};
    std::optional<core::ProgressThrottle> throttle;
};

class ScanCommandTest : public DialogTest
{
protected:
    void SetUp() override
    {
        makeScanDialog();
        writeFile(dir / "games/zork1.z3", std::string(18, '\x03') + "880429zork");
        writeFile(dir / "games/sub/CURSES.Z5", std::string(18, '\x05') + "930427curses");
        writeFile(dir / "games/notes.txt", "not a story");
        writeFile(dir / "nothing/readme.txt", "no stories here");
    }

    void makeScanDialog(std::chrono::milliseconds disposeTimeout = CWorkerJob::kDisposeTimeout)
    {
        services.scanFiles = [hooks = hooks, cache = dir / "filecache.txt"](
                                 CGameCatalogue& scanner, const std::string& folder,
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
            scanner.setCachePath(cache);
            if (hooks->throttle) {
                scanner.setProgressThrottle(*hooks->throttle);
            }
            ui::scanForStories(scanner, folder, games);
        };
        services.disposeTimeout = disposeTimeout;
        makeDialog();
    }

    bool busyPlaying() const
    {
        return dialog->findChild<CBusyAnimation*>(QStringLiteral("busyAnimation"))->isPlaying();
    }

    // Clicks Scan and waits until the scan has ended.
    void scan(const std::optional<std::string>& folder)
    {
        picked = folder;
        QTest::mouseClick(button("scanButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return button("scanButton")->isEnabled() && !busyPlaying(); }, 20000));
    }

    // Clicks Scan and returns once the scan thread is held at its start.
    void startHeldScan()
    {
        hooks->hold = true;
        picked = dir / "games";
        QTest::mouseClick(button("scanButton"), Qt::LeftButton);
        // The scan thread needs this thread for its window calls: wait with events flowing.
        ASSERT_TRUE(QTest::qWaitFor([&] { return hooks->started.isSet(); }, 20000));
    }

    void useCatalogue(const std::string& games)
    {
        writeFile(dir / "cat.xml", "<games>" + games + "</games>");
        dialog->OnDropFiles({dir / "cat.xml"});
    }

    std::shared_ptr<ScanHooks> hooks = std::make_shared<ScanHooks>();
};

// Not in the scanned folder, with the path of an earlier save.
const char* const kLostGame =
    "<supported_game fingerprint=\"0000ABCD\" FullName=\"Lost\" sn=\"\" fn=\"/old/lost.z5\" />";

} // namespace

TEST_F(ScanCommandTest, WithACatalogueTheCatalogueGamesAreListedFoundOrNotAsInTheBatchMode)
{
    const std::string zork = crcText(*computeFingerprint(dir / "games/zork1.z3"));
    useCatalogue("<supported_game fingerprint=\"" + zork +
                 "\" FullName=\"Zork I &amp; II\" sn=\"880429\" warn=\"v3\" />" + kLostGame);
    writeFile(dir / "broken.xml", "<games><supported_game");
    dialog->OnDropFiles({dir / "broken.xml"}); // one that fails to load leaves the catalogue
    // A file that cannot be read gets no row; the window traces it, the batch mode fails.
    const std::string unreadable = dir / "games/mem.z5";
    std::filesystem::create_symlink("/proc/self/mem", unreadable);
    std::vector<std::string> traced;
    const auto previous = platform::setTraceSink([&](std::string_view line) {
        if (line.find("Could not") != std::string_view::npos) {
            traced.emplace_back(line);
        }
    });
    scan(dir / "games");
    platform::setTraceSink(previous);
    EXPECT_EQ(traced, std::vector<std::string>{"Narlo::Could not load file: " + unreadable});
    EXPECT_EQ(list->rowCount(), 3);
    EXPECT_EQ(title(), "QueltImprort - 3: games found.");
    std::string rows;
    for (int row = 0; row < list->rowCount(); ++row) {
        for (int column = 0; column < 5; ++column) {
            rows += list->cellText(row, column) + (column < 4 ? "\t" : "\n");
        }
    }
    EXPECT_NE(rows.find(zork + "\t880429\t" + (dir / "games/zork1.z3") + "\tv3\tZork I & II\n"),
              std::string::npos);
    chosen = dir / "window.xml";
    dialog->OnSave(); // gamelist.txt goes to the working folder, the test's
    chosen = dir / "window.iss";
    dialog->OnMake();

    // The same scan from the command line, with no display at all, prints those rows and
    // writes the same bytes. The program is copied so that its cache file lands here.
    std::filesystem::copy_file(QUELTIMPORT_PATH, dir / "QueltImport");
    std::filesystem::create_directory(dir / "out");
    const testsupport::ProcessResult batch = testsupport::runCommand(
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ./QueltImport --scan games "
        "--catalogue cat.xml --save out/batch.xml --gamelist --installer out/batch.iss",
        dir.path());
    EXPECT_EQ(batch.status, 1);
    EXPECT_EQ(batch.err, "QueltImport: Could not load file: " + unreadable + "\n");
    EXPECT_EQ(batch.out, rows + "3: games found.\n");
    EXPECT_EQ(readFile(dir / "out/batch.xml"), readFile(dir / "window.xml"));
    EXPECT_EQ(readFile(dir / "out/gamelist.txt"), readFile(dir / "gamelist.txt"));
    EXPECT_EQ(readFile(dir / "out/batch.iss"), readFile(dir / "window.iss"));
    EXPECT_NE(readFile(dir / "window.iss").find("Zork I  and  II"), std::string::npos);
    // Make's rule is a path, not a find: the game not found is exported from its old path.
    EXPECT_NE(readFile(dir / "window.iss").find("Source: /old/lost.z5;"), std::string::npos);

    // The next scan preselects the folder of this one.
    scan(std::nullopt);
    EXPECT_EQ(preselected.back(), dir / "games/");
}

TEST_F(ScanCommandTest, NothingFoundACancelAndAThrowingScanKeepTheRowsLastDirIsPreselected)
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

    useCatalogue(kLostGame);
    hooks->fail = true;
    scan(dir / "games");
    EXPECT_EQ(list->cellText(0, 4) + std::to_string(list->rowCount()), "Lost1");
    EXPECT_EQ(title(), "QueltImprort - 1: games found.");
}

TEST_F(ScanCommandTest, CommandsWaitForTheScanThatListsEveryStoryFileWithoutACatalogue)
{
    hooks->hold = true;
    picked = dir / "games";
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
    EXPECT_EQ(list->cellText(0, 4) + list->cellText(1, 4), "unknownunknown");
}

TEST_F(ScanCommandTest, AScanShowsItsProgressThenTheFinalText)
{
    for (int i = 0; i < 1200; ++i) {
        writeFile(dir / ("many/" + std::to_string(i) + ".z5"), std::to_string(i));
    }
    // A clock that moves 1 ms per look: one report in 200 after the first of each phase.
    hooks->throttle = core::ProgressThrottle(
        std::chrono::milliseconds(200), [now = std::chrono::steady_clock::time_point()]() mutable {
            return now += std::chrono::milliseconds(1);
        });
    QSignalSpy titles(dialog.get(), &QWidget::windowTitleChanged);
    scan(dir / "many");
    std::vector<std::string> seen;
    for (const QList<QVariant>& signal : titles) {
        seen.push_back(signal.at(0).toString().toStdString());
    }
    const std::string prefix = "QueltImprort - ";
    std::vector<std::string> expected{prefix + "Scanning: listing files\u2026"};
    for (const char* done : {"0", "200", "400", "600", "800", "1,000"}) {
        expected.push_back(prefix + "Scanning: " + done + " of 1,200 files");
    }
    expected.push_back(prefix + "1200: games found.");
    EXPECT_EQ(seen, expected);
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
    makeScanDialog(1s);
    startHeldScan();
    const auto start = std::chrono::steady_clock::now();
    dialog.reset(); // one bound for the whole wait, not one per job
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
    EXPECT_FALSE(hooks->finished.isSet());
    // The scan goes on without the dialog, touches nothing of it, and its jobs end.
    services.scanFiles = nullptr; // holds the hooks too
    hooks->release.set();
    EXPECT_TRUE(QTest::qWaitFor([&] { return hooks.use_count() == 1; }, 20000));
}
