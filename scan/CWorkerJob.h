#pragma once

#include "scan/ManualResetEvent.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

// A background thread that runs one callback each time it is triggered and signals
// `doneEvent` after every run, and when it ends. Disposal asks the thread to stop and waits for it
// at most a bound; a thread still busy then keeps the job's shared state alive until it ends, so
// nothing is freed under it.
class CWorkerJob
{
public:
    using Callback = std::function<int(void* context)>;
    static constexpr std::chrono::milliseconds kDisposeTimeout{10000};

    // Starts the thread, which then waits. Throws std::system_error when the thread cannot
    // be created.
    CWorkerJob(Callback callback, void* context);
    // Disposes of the job: stop(kDisposeTimeout), which returns at once when stopped before.
    ~CWorkerJob();
    CWorkerJob(const CWorkerJob&) = delete;
    CWorkerJob& operator=(const CWorkerJob&) = delete;

    // Makes the thread run the callback once.
    void trigger();
    // Blocks until the callback has returned (after a trigger) or the thread has ended, as a
    // stopped job's does without running a pending trigger. The caller holds its own
    // reference to the job's state while it waits, so a disposal meanwhile frees nothing
    // under it; the caller must keep the job itself alive until the call has begun.
    void waitDone() const;
    bool isDone() const;

    // Asks the thread to stop once its callback has returned and waits at most `bound` for it
    // to end; a thread still busy then is left to finish on its own. True when it has ended.
    bool stop(std::chrono::milliseconds bound);

private:
    struct State
    {
        scan::ManualResetEvent startEvent;
        scan::ManualResetEvent doneEvent;
        scan::ManualResetEvent threadEnded;
        std::atomic<bool> stopRequested{false};
        Callback callback;
        void* context = nullptr;
    };
    static void run(std::shared_ptr<State> state);

    std::shared_ptr<State> m_state;
    std::thread m_thread;
};
