#pragma once
// Repaints at a bounded rate however often they are asked for: the first request arms a timer,
// further requests until it fires are folded into it, and the timer runs the repaint once.
// At the default 40 ms the views repaint at most 25 times a second.

#include <functional>

#include "platform/wnd.h"

namespace views {

class RepaintThrottle : public CWnd {
public:
    static constexpr UINT kDefaultIntervalMs = 40;

    explicit RepaintThrottle(std::function<void()> repaint, UINT intervalMs = kDefaultIntervalMs,
                             platform::MessageLoop& loop = platform::MessageLoop::Current());

    void Request();
    // Runs a pending repaint now (at the end of a measurement, say).
    void Flush();
    int RepaintCount() const { return m_count; }

protected:
    void OnTimer(UINT_PTR id) override;

private:
    void Run();

    std::function<void()> m_repaint;
    UINT m_intervalMs;
    bool m_pending = false;
    int m_count = 0;
};

}  // namespace views
