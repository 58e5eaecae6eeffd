#include "ui/GuiThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

namespace ui {

// One piece of work waiting for the owner's thread; lives on the caller's stack.
struct GuiChannel::Call
{
    const std::function<void()>* work;
    bool finished = false;
    bool ran = false;
};

// Receives the channel's wake-ups on the owner's thread. The wake-ups are bare events posted
// by the calling thread, while the work itself travels through the channel's own queue: the
// hand-over is then visible to thread checkers, which do not see inside the toolkit.
class GuiChannel::Mailbox : public QObject
{
public:
    Mailbox(std::weak_ptr<GuiChannel> channel, QObject* owner)
        : QObject(owner), m_channel(std::move(channel))
    {
    }
    ~Mailbox() override
    {
        if (const auto channel = m_channel.lock()) {
            channel->close();
        }
    }

protected:
    void customEvent(QEvent*) override
    {
        if (const auto channel = m_channel.lock()) {
            channel->runPending();
        }
    }

private:
    std::weak_ptr<GuiChannel> m_channel;
};

std::shared_ptr<GuiChannel> GuiChannel::open(QObject* owner)
{
    std::shared_ptr<GuiChannel> channel(new GuiChannel);
    channel->m_thread = owner->thread();
    channel->m_mailbox = new Mailbox(channel, owner);
    return channel;
}

bool GuiChannel::run(const std::function<void()>& work)
{
    if (QThread::currentThread() == m_thread) {
        if (m_closed) {
            return false;
        }
        work();
        return true;
    }
    Call call{&work};
    std::unique_lock lock(m_mutex);
    if (m_closed) {
        return false;
    }
    m_pending.push_back(&call);
    QCoreApplication::postEvent(m_mailbox, new QEvent(QEvent::User));
    m_finished.wait(lock, [&] { return call.finished; });
    return call.ran;
}

void GuiChannel::close()
{
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        for (Call* call : m_pending) {
            call->finished = true;
        }
        m_pending.clear();
    }
    m_finished.notify_all();
}

void GuiChannel::runPending()
{
    for (;;) {
        Call* call = nullptr;
        {
            std::lock_guard lock(m_mutex);
            if (m_pending.empty()) {
                return;
            }
            call = m_pending.front();
            m_pending.pop_front();
        }
        bool ran = false;
        try {
            (*call->work)();
            ran = true;
        } catch (...) {
            // Dropped like an exception escaping a slot would be; the caller must not hang.
        }
        {
            std::lock_guard lock(m_mutex);
            call->ran = ran;
            call->finished = true;
        }
        m_finished.notify_all();
    }
}

bool runOnGuiThread(const std::shared_ptr<GuiChannel>& channel, const std::function<void()>& work)
{
    return channel->run(work);
}

} // namespace ui
