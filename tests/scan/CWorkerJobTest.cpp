#include "scan/CWorkerJob.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;

TEST(CWorkerJob, RunsTheCallbackOnItsThreadWhenTriggeredAndSignalsDoneEvenAfterAThrow)
{
    int context = 41;
    std::thread::id ranOn;
    std::atomic<int> runs{0};
    {
        CWorkerJob idle([&](void*) { return ++runs; }, nullptr); // disposed of at once
    }
    CWorkerJob job(
        [&](void* ctx) {
            ranOn = std::this_thread::get_id();
            ++*static_cast<int*>(ctx);
            return ++runs;
        },
        &context);
    EXPECT_FALSE(job.isDone());
    job.trigger();
    job.waitDone();
    EXPECT_TRUE(job.isDone());
    EXPECT_EQ(context, 42);
    EXPECT_EQ(runs, 1);
    EXPECT_NE(ranOn, std::this_thread::get_id());

    CWorkerJob failing([](void*) -> int { throw std::runtime_error("scan failed"); }, nullptr);
    failing.trigger();
    failing.waitDone();
    EXPECT_TRUE(failing.isDone());

    // Stopped before its thread woke for the trigger (a Quit just after Scan), a job runs
    // nothing, but its waiters wake all the same.
    for (int round = 0; round < 20; ++round) {
        CWorkerJob stopped([&](void*) { return ++runs; }, nullptr);
        stopped.trigger();
        EXPECT_TRUE(stopped.stop(10s));
        EXPECT_TRUE(stopped.isDone()) << round;
    }
}

TEST(CWorkerJob, ABusyJobOutlivesItsDisposalAndItsWaitersWithoutBeingFreedUnderThem)
{
    auto started = std::make_shared<scan::ManualResetEvent>();
    auto release = std::make_shared<scan::ManualResetEvent>();
    auto finished = std::make_shared<scan::ManualResetEvent>();
    auto job = std::make_shared<CWorkerJob>(
        [started, release, finished](void*) {
            started->set();
            release->wait();
            finished->set();
            return 0;
        },
        nullptr);
    job->trigger();
    started->wait();
    // A waiter with its own handle, as the control job keeps one on the scan job.
    std::thread waiter([job] { job->waitDone(); });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(job->stop(20ms)); // leaves the busy thread running
    job.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(finished->isSet());
    release->set();
    waiter.join(); // drops the last handle: the disposal does not wait again
    EXPECT_TRUE(finished->waitFor(10s));
}
