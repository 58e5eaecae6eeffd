#include "scan/CWorkerJob.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;

TEST(CWorkerJob, RunsTheCallbackOnItsThreadWhenTriggered)
{
    int context = 41;
    std::thread::id ranOn;
    std::atomic<int> runs{0};
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
}

TEST(CWorkerJob, DisposesOfAnIdleOrNeverTriggeredJobAtOnce)
{
    std::atomic<int> runs{0};
    {
        CWorkerJob idle([&](void*) { return ++runs; }, nullptr);
    }
    EXPECT_EQ(runs, 0);
}

TEST(CWorkerJob, ExceptionsInTheCallbackStillSignalDone)
{
    CWorkerJob job([](void*) -> int { throw std::runtime_error("scan failed"); }, nullptr);
    job.trigger();
    job.waitDone();
    EXPECT_TRUE(job.isDone());
}

TEST(CWorkerJob, ABusyJobOutlivesItsDisposalWithoutBeingFreedUnderIt)
{
    auto started = std::make_shared<scan::ManualResetEvent>();
    auto release = std::make_shared<scan::ManualResetEvent>();
    auto finished = std::make_shared<scan::ManualResetEvent>();
    auto job = std::make_unique<CWorkerJob>(
        [started, release, finished](void*) {
            started->set();
            release->wait();
            finished->set();
            return 0;
        },
        nullptr, 20ms);
    job->trigger();
    started->wait();
    const auto start = std::chrono::steady_clock::now();
    job.reset(); // waits 20 ms, then leaves the thread running
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(finished->isSet());
    release->set();
    EXPECT_TRUE(finished->waitFor(10s));
}
