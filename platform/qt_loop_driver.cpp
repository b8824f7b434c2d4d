#include "platform/qt_loop_driver.h"

#include <QMetaObject>
#include <chrono>

namespace platform {

namespace {
// One pump dispatches for at most this long, then lets Qt paint and handle input.
constexpr auto kPumpSlice = std::chrono::milliseconds(20);
}  // namespace

QtLoopDriver::QtLoopDriver(MessageLoop& loop) : m_loop(loop)
{
    m_nextTimer.setSingleShot(true);
    m_nextTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_nextTimer, &QTimer::timeout, &m_context, [this] { Pump(); });
    m_loop.SetWakeHandler([this] { RequestPump(); });
    RequestPump();
}

QtLoopDriver::~QtLoopDriver()
{
    m_loop.SetWakeHandler(nullptr);
}

void QtLoopDriver::RequestPump()
{
    // Many wake-ups between two pumps need one pump only.
    if (m_pumpQueued.exchange(true)) return;
    QMetaObject::invokeMethod(&m_context, [this] { Pump(); }, Qt::QueuedConnection);
}

void QtLoopDriver::Pump()
{
    m_pumpQueued = false;
    const auto end = std::chrono::steady_clock::now() + kPumpSlice;
    while (m_loop.DispatchOne()) {
        if (std::chrono::steady_clock::now() >= end) {
            RequestPump();
            return;
        }
    }
    const std::int64_t waitMs = m_loop.MsUntilNextWork();
    if (waitMs < 0) {
        m_nextTimer.stop();
    } else if (waitMs == 0) {
        RequestPump();
    } else {
        m_nextTimer.start(static_cast<int>(std::min<std::int64_t>(waitMs, 24 * 3600 * 1000)));
    }
}

}  // namespace platform
