#include "ui/GuiThread.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace ui {

void runOnGuiThread(const std::shared_ptr<GuiChannel>& channel, QObject* receiver,
                    const std::function<void()>& work)
{
    if (channel->closing) {
        return;
    }
    if (QThread::currentThread() == receiver->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(receiver, work, Qt::BlockingQueuedConnection);
}

} // namespace ui
