#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QObject;
class QThread;

namespace ui {

// How threads other than the dialog's reach the dialog: each piece of work is handed to the
// dialog's thread and the caller waits until it has run there. The channel is shared by the
// dialog and the threads, so it outlives whichever goes first. Once it is closed (the dialog
// is going), no work runs any more and every caller still waiting is released.
class GuiChannel
{
public:
    // A channel to the thread of `owner`, opened on that thread. Its wake-up calls go to a
    // small object that `owner` owns; the channel closes when that object goes.
    static std::shared_ptr<GuiChannel> open(QObject* owner);
    GuiChannel(const GuiChannel&) = delete;
    GuiChannel& operator=(const GuiChannel&) = delete;

    // Runs `work` on the owner's thread and returns once it has run there (at once when called
    // on that thread). False, without running it, once the channel is closed.
    bool run(const std::function<void()>& work);

    // On the owner's thread: no work runs from now on, and callers still waiting return false.
    void close();

private:
    struct Call;
    class Mailbox;
    GuiChannel() = default;
    // On the owner's thread: runs the work handed in so far.
    void runPending();

    std::mutex m_mutex;
    std::condition_variable m_finished;
    std::deque<Call*> m_pending;  // guarded by m_mutex
    QObject* m_mailbox = nullptr; // posted to only under m_mutex and while open
    QThread* m_thread = nullptr;
    bool m_closed = false; // guarded by m_mutex
};

// channel->run(work): runs `work` on the dialog's thread and waits; false once closing.
bool runOnGuiThread(const std::shared_ptr<GuiChannel>& channel, const std::function<void()>& work);

} // namespace ui
