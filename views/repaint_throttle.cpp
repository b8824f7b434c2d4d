#include "views/repaint_throttle.h"

namespace views {

namespace {
constexpr UINT_PTR kRepaintTimer = 1;
}

RepaintThrottle::RepaintThrottle(std::function<void()> repaint, UINT intervalMs, platform::MessageLoop& loop)
    : CWnd(loop), m_repaint(std::move(repaint)), m_intervalMs(intervalMs)
{
}

void RepaintThrottle::Request()
{
    if (m_pending) return;
    m_pending = true;
    SetTimer(kRepaintTimer, m_intervalMs);
}

void RepaintThrottle::Flush()
{
    if (m_pending) Run();
}

void RepaintThrottle::OnTimer(UINT_PTR id)
{
    if (id == kRepaintTimer) Run();
}

void RepaintThrottle::Run()
{
    KillTimer(kRepaintTimer);
    m_pending = false;
    ++m_count;
    if (m_repaint) m_repaint();
}

}  // namespace views
