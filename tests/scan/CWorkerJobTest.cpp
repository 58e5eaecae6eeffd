// Every scan runs its callbacks on such jobs; a busy job outliving its disposal, its waiters
// holding their own handles, is tried with the dialog (ScanCommandTest.QuitWaits...).

#include "scan/CWorkerJob.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(CWorkerJob, SignalsDoneAfterAThrowAndWhenStoppedBeforeItsThreadWoke)
{
    CWorkerJob failing([](void*) -> int { throw std::runtime_error("scan failed"); }, nullptr);
    failing.trigger();
    failing.waitDone(); // an exception escaping the thread would have ended the process

    // Stopped before its thread woke for the trigger (a Quit just after Scan), a job runs
    // nothing, but its waiters wake all the same.
    for (int round = 0; round < 20; ++round) {
        CWorkerJob stopped([](void*) { return 0; }, nullptr);
        stopped.trigger();
        EXPECT_TRUE(stopped.stop(std::chrono::seconds(10)));
        EXPECT_TRUE(stopped.isDone()) << round;
    }
}
