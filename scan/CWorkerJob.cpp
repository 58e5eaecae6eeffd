#include "scan/CWorkerJob.h"

#include <exception>

CWorkerJob::CWorkerJob(Callback callback, void* context) : m_state(std::make_shared<State>())
{
    m_state->callback = std::move(callback);
    m_state->context = context;
    m_thread = std::thread(&CWorkerJob::run, m_state);
}

CWorkerJob::~CWorkerJob()
{
    stop(kDisposeTimeout);
}

bool CWorkerJob::stop(std::chrono::milliseconds bound)
{
    if (m_thread.joinable()) {
        m_state->stopRequested = true;
        m_state->startEvent.set(); // wakes an idle thread; a busy one sees the request afterwards
        if (m_state->threadEnded.waitFor(bound)) {
            m_thread.join();
        } else {
            m_thread.detach(); // the thread holds its own reference to the state
        }
    }
    return m_state->threadEnded.isSet();
}

void CWorkerJob::trigger()
{
    m_state->startEvent.set();
}

void CWorkerJob::waitDone() const
{
    const std::shared_ptr<State> state = m_state;
    state->doneEvent.wait();
}

bool CWorkerJob::isDone() const
{
    return m_state->doneEvent.isSet();
}

void CWorkerJob::run(std::shared_ptr<State> state)
{
    while (!state->stopRequested) {
        state->startEvent.wait();
        if (state->stopRequested) {
            break;
        }
        try {
            if (state->callback) {
                state->callback(state->context);
            }
        } catch (...) {
            // An exception escaping a worker would end the process; the job's owner learns
            // of its outcome through its own channels, so it is dropped here.
        }
        state->startEvent.reset();
        state->doneEvent.set();
    }
    // A job stopped after a trigger, before its thread woke, never runs its callback: its
    // waiters must not wait for ever.
    state->doneEvent.set();
    state->threadEnded.set();
}
