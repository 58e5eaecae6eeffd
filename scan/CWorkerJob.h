#pragma once

#include "scan/ManualResetEvent.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

// A background thread that runs one callback each time it is triggered and signals
// `doneEvent` after every run. Disposal (the destructor) asks the thread to stop and waits
// for it at most the disposal timeout; a thread still busy then keeps the job's shared state
// alive until it ends, so nothing is freed under it.
class CWorkerJob
{
public:
    using Callback = std::function<int(void* context)>;
    static constexpr std::chrono::milliseconds kDisposeTimeout{10000};

    // Starts the thread, which then waits. Throws std::system_error when the thread cannot
    // be created.
    CWorkerJob(Callback callback, void* context,
               std::chrono::milliseconds disposeTimeout = kDisposeTimeout);
    ~CWorkerJob();
    CWorkerJob(const CWorkerJob&) = delete;
    CWorkerJob& operator=(const CWorkerJob&) = delete;

    // Makes the thread run the callback once.
    void trigger();
    // Blocks until the callback has returned (after a trigger).
    void waitDone() const;
    bool isDone() const;

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
    std::chrono::milliseconds m_disposeTimeout;
};
