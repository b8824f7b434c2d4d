#include "platform/multimedia_timer.h"

#include <algorithm>
#include <chrono>

#include "platform/message_loop.h"
#include "platform/wnd.h"

namespace platform {

// Under virtual time the ticks come from a window timer of the loop itself.
class CMultimediaTimer::VirtualTicker : public CWnd {
public:
    VirtualTicker(CWnd& target, UINT message, UINT periodMs)
        : CWnd(target.loop()), m_target(target.GetSafeHwnd()), m_message(message)
    {
        loop().SetTimer(GetSafeHwnd(), 1, periodMs, 1);
    }

protected:
    void OnTimer(UINT_PTR) override { loop().PostMessage(m_target, m_message, ++m_ticks, 0); }

private:
    WindowHandle m_target;
    UINT m_message;
    WPARAM m_ticks = 0;
};

CMultimediaTimer::CMultimediaTimer() = default;

CMultimediaTimer::~CMultimediaTimer()
{
    Stop();
}

bool CMultimediaTimer::Start(CWnd& target, UINT message, UINT periodMs)
{
    Stop();
    periodMs = std::clamp(periodMs, MinimumResolutionMs(), MaximumPeriodMs());
    MessageLoop& loop = target.loop();
    m_running = true;
    if (loop.IsVirtual()) {
        m_virtual = new VirtualTicker(target, message, periodMs);
        return true;
    }
    m_stop = false;
    const WindowHandle handle = target.GetSafeHwnd();
    m_thread = std::thread([this, &loop, handle, message, periodMs] {
        const auto period = std::chrono::milliseconds(periodMs);
        // Waking a little late is the system's scheduling and keeps the pace; a tick later
        // than this moves the schedule, so the next comes a whole period after it, not at once.
        const auto lateness = std::max<std::chrono::steady_clock::duration>(period / 4, std::chrono::milliseconds(1));
        auto next = std::chrono::steady_clock::now();
        WPARAM ticks = 0;
        while (!m_stop.load()) {
            next += period;
            std::this_thread::sleep_until(next);
            if (m_stop.load()) break;
            loop.PostMessage(handle, message, ++ticks, 0);
            const auto now = std::chrono::steady_clock::now();
            if (now > next + lateness) next = now;
        }
    });
    return true;
}

void CMultimediaTimer::Stop()
{
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    delete m_virtual;
    m_virtual = nullptr;
    m_running = false;
}

}  // namespace platform
