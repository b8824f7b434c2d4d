#include "platform/wnd.h"

#include <atomic>

CWnd::CWnd(platform::MessageLoop& loop) : m_loop(loop), m_handle(loop.RegisterWindow(this)) {}

CWnd::~CWnd()
{
    if (AfxGetMainWnd() == this) AfxSetMainWnd(nullptr);
    m_loop.UnregisterWindow(m_handle);
}

bool CWnd::SetTimer(UINT_PTR id, UINT elapseMs)
{
    return m_loop.SetTimer(m_handle, id, elapseMs);
}

bool CWnd::KillTimer(UINT_PTR id)
{
    return m_loop.KillTimer(m_handle, id);
}

bool CWnd::IsTimerArmed(UINT_PTR id) const
{
    return m_loop.IsTimerArmed(m_handle, id);
}

bool CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_loop.PostMessage(m_handle, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_loop.SendMessage(m_handle, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    }
    return OnMessage(message, wParam, lParam);
}

void CWnd::OnTimer(UINT_PTR) {}

LRESULT CWnd::OnMessage(UINT, WPARAM, LPARAM)
{
    return 0;
}

namespace {
std::atomic<CWnd*> g_mainWnd{nullptr};
}

CWnd* AfxGetMainWnd()
{
    return g_mainWnd.load();
}

void AfxSetMainWnd(CWnd* window)
{
    g_mainWnd.store(window);
}
