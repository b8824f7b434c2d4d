#pragma once
// CWnd: a window object of the message loop. It receives timers, posted and sent messages
// through WindowProc. It is not a widget: widgets that need messages own or derive from one.
//
// Create and destroy windows on the loop thread. Destroying a window kills its timers and
// drops the messages still queued for it.

#include "platform/message_loop.h"
#include "platform/win_types.h"

class CWnd {
public:
    explicit CWnd(platform::MessageLoop& loop = platform::MessageLoop::Current());
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    platform::WindowHandle GetSafeHwnd() const { return m_handle; }
    platform::MessageLoop& loop() const { return m_loop; }

    // Arms (or re-arms, replacing) timer id of this window; any id, 0 included, is valid.
    // The timer repeats every elapseMs until KillTimer.
    bool SetTimer(UINT_PTR id, UINT elapseMs);
    // Returns whether the timer was armed; killing a timer that is not armed does nothing.
    bool KillTimer(UINT_PTR id);
    bool IsTimerArmed(UINT_PTR id) const;

    // Any thread.
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The window procedure runs before the call returns (see MessageLoop::SendMessage).
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Dispatches WM_TIMER to OnTimer and everything else to OnMessage.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual void OnTimer(UINT_PTR id);
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    platform::MessageLoop& m_loop;
    platform::WindowHandle m_handle;
};

// The application's main window, as the original reached it from anywhere.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* window);
