#include "workflow/poll_timer.h"

#include <algorithm>

#include "platform/multimedia_timer.h"
#include "platform/wnd.h"

namespace {

constexpr UINT kTickMessage = WM_USER + 0x7A1;

// One timer event: the platform's tick messages arrive at this window, which calls back.
class TickWindow : public CWnd {
public:
    TickWindow(UINT id, MultimediaTimerCallback callback, std::uintptr_t user, bool periodic)
        : m_id(id), m_callback(callback), m_user(user), m_periodic(periodic)
    {
    }
    platform::CMultimediaTimer ticks;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != kTickMessage) return CWnd::OnMessage(message, wParam, lParam);
        if (!m_periodic) ticks.Stop();
        if (m_callback) m_callback(m_id, 0, m_user, 0, 0);
        return 0;
    }

private:
    UINT m_id;
    MultimediaTimerCallback m_callback;
    std::uintptr_t m_user;
    bool m_periodic;
};

class LoopDevice : public MultimediaTimerDevice {
public:
    bool GetDevCaps(UINT& periodMin, UINT& periodMax) override
    {
        periodMin = platform::CMultimediaTimer::MinimumResolutionMs();
        periodMax = platform::CMultimediaTimer::MaximumPeriodMs();
        return true;
    }
    bool BeginPeriod(UINT) override { return true; }
    void EndPeriod(UINT) override {}
    UINT SetEvent(UINT periodMs, UINT, MultimediaTimerCallback callback, std::uintptr_t user, UINT kind) override
    {
        const UINT id = ++m_lastId;
        auto window = std::make_unique<TickWindow>(id, callback, user, kind == TIME_PERIODIC);
        if (!window->ticks.Start(*window, kTickMessage, periodMs)) return 0;
        m_events[id] = std::move(window);
        return id;
    }
    void KillEvent(UINT id) override { m_events.erase(id); }

private:
    UINT m_lastId = 0;
    std::map<UINT, std::unique_ptr<TickWindow>> m_events;
};

}  // namespace

MultimediaTimerDevice& LoopMultimediaTimerDevice()
{
    static LoopDevice device;
    return device;
}

CMultimediaTimer::CMultimediaTimer(UINT resolution, MultimediaTimerDevice& device)
    : m_nResolution(resolution), m_device(device)
{
    if (!m_device.GetDevCaps(m_nPeriodMin, m_nPeriodMax)) return;
    m_nResolution = resolution == 0 ? m_nPeriodMin : std::clamp(resolution, m_nPeriodMin, m_nPeriodMax);
    if (m_device.BeginPeriod(m_nResolution)) m_bPeriodSet = 1;
}

CMultimediaTimer::~CMultimediaTimer()
{
    Stop();
    if (m_bPeriodSet) m_device.EndPeriod(m_nResolution);
}

bool CMultimediaTimer::Start(UINT periodMs, MultimediaTimerCallback callback, std::uintptr_t user, UINT kind)
{
    if (m_nTimerId != 0) return false;
    m_nTimerId = m_device.SetEvent(periodMs, m_nResolution, callback, user, kind);
    return m_nTimerId != 0;
}

void CMultimediaTimer::Stop()
{
    if (m_nTimerId == 0) return;
    m_device.KillEvent(m_nTimerId);
    m_nTimerId = 0;
}
