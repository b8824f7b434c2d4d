#pragma once
// A periodic tick for the measured-value poll: every period a message is posted to a window of
// the loop (wParam: the tick number from 1, lParam: 0). In the application a thread of its own
// posts the ticks, so they keep their pace while the loop is busy; under virtual time the loop
// itself produces them, so tests see them at exact times.

#include <atomic>
#include <cstdint>
#include <thread>

#include "platform/win_types.h"

class CWnd;

namespace platform {

class MessageLoop;

class CMultimediaTimer {
public:
    CMultimediaTimer();
    ~CMultimediaTimer();
    CMultimediaTimer(const CMultimediaTimer&) = delete;
    CMultimediaTimer& operator=(const CMultimediaTimer&) = delete;

    // Starts (or restarts) the ticks; periodMs below the minimum resolution is raised to it.
    bool Start(CWnd& target, UINT message, UINT periodMs);
    // Stops the ticks; ticks already posted are still delivered. Idempotent.
    void Stop();
    bool IsRunning() const { return m_running.load(); }

    // The finest period the timer offers, in milliseconds (timeGetDevCaps' minimum).
    static UINT MinimumResolutionMs() { return 1; }
    static UINT MaximumPeriodMs() { return 1'000'000; }

private:
    class VirtualTicker;

    std::atomic<bool> m_running{false};
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    VirtualTicker* m_virtual = nullptr;
};

}  // namespace platform
