#pragma once
// Lets Qt's event loop run the system's message loop in the application: work handed over by
// workers or posted from any thread wakes Qt, and a precise single-shot Qt timer waits for the
// next window timer. Nothing else in the system touches Qt's timers.

#include <QObject>
#include <QTimer>
#include <atomic>

#include "platform/message_loop.h"

namespace platform {

class QtLoopDriver {
public:
    explicit QtLoopDriver(MessageLoop& loop);
    ~QtLoopDriver();
    QtLoopDriver(const QtLoopDriver&) = delete;
    QtLoopDriver& operator=(const QtLoopDriver&) = delete;

private:
    void RequestPump();
    void Pump();

    MessageLoop& m_loop;
    QObject m_context;
    QTimer m_nextTimer;
    std::atomic<bool> m_pumpQueued{false};
};

}  // namespace platform
