#pragma once

#include <atomic>
#include <functional>
#include <memory>

class QObject;

namespace ui {

// What the scan threads share with the dialog about reaching it. Once `closing` is set (the
// dialog is being destroyed), no further work is sent to the dialog's thread.
struct GuiChannel
{
    std::atomic<bool> closing{false};
};

// Runs `work` on the thread of `receiver` and returns once it has run: directly when called
// on that thread, otherwise queued to it while the caller waits. Nothing runs once the
// channel is closing, so a thread that outlives the dialog never reaches it.
void runOnGuiThread(const std::shared_ptr<GuiChannel>& channel, QObject* receiver,
                    const std::function<void()>& work);

} // namespace ui
