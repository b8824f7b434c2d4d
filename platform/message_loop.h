#pragma once
// The message loop of the GUI thread: window timers, posted and sent messages, and the
// hand-over of bytes and events from worker threads.
//
// All of the system's own logic runs on the one thread that owns the loop. Each turn of the
// loop dispatches one item, in this priority:
//   1. hand-overs from worker threads (first in, first out, so ordered per source); only a
//      timer that fell due before the first of them was handed over goes ahead of it,
//   2. posted messages (first in, first out),
//   3. the due timer with the earliest deadline (ties: the one armed first).
// Timers follow the Win32 rules: per window and id, arming an armed id replaces it, a timer
// repeats until it is killed, and a timer that is overdue fires once, however late the loop is.
//
// The loop runs on a Clock. With a VirtualClock (tests) RunFor/RunUntil jump from deadline to
// deadline and Sleep only advances the clock; with the SystemClock they wait for real, and the
// Qt driver (qt_loop_driver.h) lets Qt's event loop run it in the application.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/clock.h"
#include "platform/win_types.h"

class CWnd;

namespace platform {

// Identifies a window to the loop; 0 is no window. Handles are never reused in one process.
using WindowHandle = std::uint64_t;

// The shortest period a window timer runs with, as on Win32.
constexpr UINT kMinimumTimerMs = 10;

class DeliverySource;

class MessageLoop {
public:
    // A loop on the system clock (the application) or on a virtual clock (tests).
    enum class Time { Real, Virtual };
    explicit MessageLoop(Time time = Time::Real);
    ~MessageLoop();
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    // The loop of this process: the one most recently constructed and still alive. When none
    // exists, a real-time loop owned by the process is created on first use.
    static MessageLoop& Current();

    const Clock& clock() const { return *m_clock; }
    bool IsVirtual() const { return m_virtualClock != nullptr; }
    std::int64_t NowMs() const { return m_clock->NowMs(); }
    std::int64_t NowUs() const { return m_clock->NowUs(); }
    // Seconds since 1970 (UTC) on this loop's clock.
    std::int64_t CalendarSeconds() const { return m_clock->CalendarUs() / 1'000'000; }
    // True on the thread that runs the loop (the one that created it).
    bool IsLoopThread() const { return std::this_thread::get_id() == m_ownerThread; }

    // Win32 Sleep: virtual time advances without dispatching; real time blocks the thread.
    // Timers that became due meanwhile fire once the current handler has returned.
    void Sleep(DWORD ms);

    // Running. Each returns the number of items dispatched.
    // RunUntilIdle: everything that is ready now, without moving time.
    int RunUntilIdle();
    // RunFor: dispatch until ms have passed (virtual: jumps from deadline to deadline).
    int RunFor(std::int64_t ms);
    // RunUntil: like RunFor, but stops as soon as done() is true; returns done().
    bool RunUntil(const std::function<bool()>& done, std::int64_t maxMs);
    // One item if one is ready; false when nothing was.
    bool DispatchOne();
    // Time until the next timer is due (0 when something is ready), -1 when nothing waits.
    std::int64_t MsUntilNextWork();

    // Called from any thread whenever new work arrives or the next deadline moves; the Qt
    // driver uses it to wake its event loop.
    void SetWakeHandler(std::function<void()> wake);

    // Messages. PostMessage may be called from any thread; a message for a window that is
    // gone by the time it is dispatched is dropped.
    bool PostMessage(WindowHandle target, UINT message, WPARAM wParam, LPARAM lParam);
    // On the loop thread the window procedure runs at once; from another thread the call is
    // handed over and waits until the loop has run it (0 when the window is gone).
    LRESULT SendMessage(WindowHandle target, UINT message, WPARAM wParam, LPARAM lParam);

    // Timers (loop thread only). Periods below minimumMs are raised to it.
    bool SetTimer(WindowHandle target, UINT_PTR id, UINT elapseMs, UINT minimumMs = kMinimumTimerMs);
    bool KillTimer(WindowHandle target, UINT_PTR id);
    bool IsTimerArmed(WindowHandle target, UINT_PTR id) const;
    // Milliseconds until the timer is due, or -1 when it is not armed (for tests and traces).
    std::int64_t TimerRemainingMs(WindowHandle target, UINT_PTR id) const;

    // Windows (loop thread only; CWnd does this itself).
    WindowHandle RegisterWindow(CWnd* window);
    void UnregisterWindow(WindowHandle handle);
    CWnd* FindWindow(WindowHandle handle) const;

    // Counts for tests and diagnostics.
    std::size_t PendingHandOvers() const;
    std::size_t PendingPostedMessages() const;

private:
    friend class DeliverySource;
    struct SourceState;
    struct HandOver {
        std::shared_ptr<SourceState> source;
        std::function<void()> task;
        std::int64_t queuedUs;
    };
    struct Posted {
        WindowHandle target;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    struct TimerKey {
        WindowHandle window;
        UINT_PTR id;
        auto operator<=>(const TimerKey&) const = default;
    };
    struct Timer {
        std::int64_t dueUs;
        std::int64_t periodUs;
        std::uint64_t sequence;
    };
    using TimerMap = std::map<TimerKey, Timer>;

    void EnqueueHandOver(const std::shared_ptr<SourceState>& source, std::function<void()> task);
    void WithdrawSource(const std::shared_ptr<SourceState>& source);
    void Wake();
    // Blocks (real time) or advances the clock (virtual time) until work may be ready or
    // the absolute time limit is reached.
    void WaitForWork(std::int64_t untilUs);
    bool RunLoop(const std::function<bool()>& done, std::int64_t maxMs, int& count);
    // The timer that fell due first (the one armed first among equals), or end().
    TimerMap::iterator EarliestDueTimer(std::int64_t nowUs);
    // Whether a timer due now fell due before timeUs: only then does it go ahead of a closure
    // handed over at timeUs.
    bool TimerFellDueBefore(std::int64_t timeUs, std::int64_t nowUs) const;

    std::unique_ptr<Clock> m_clock;
    VirtualClock* m_virtualClock = nullptr;
    std::thread::id m_ownerThread;
    MessageLoop* m_previousCurrent = nullptr;

    mutable std::mutex m_mutex;  // guards the two queues and the wake handler
    std::condition_variable m_workArrived;
    std::deque<HandOver> m_handOvers;
    std::deque<Posted> m_posted;
    std::function<void()> m_wake;

    TimerMap m_timers;
    std::uint64_t m_timerSequence = 0;
    std::unordered_map<WindowHandle, CWnd*> m_windows;
};

// A producer of hand-overs, one per port or worker. A worker hands over closures that the
// loop runs in order; Withdraw (loop thread) drops what is still pending and everything
// handed over afterwards, so nothing of a closed source is delivered.
class DeliverySource {
public:
    explicit DeliverySource(MessageLoop& loop = MessageLoop::Current());
    ~DeliverySource();
    DeliverySource(const DeliverySource&) = delete;
    DeliverySource& operator=(const DeliverySource&) = delete;

    // Any thread. Returns false when the source is withdrawn.
    bool HandOver(std::function<void()> task);
    // Loop thread. Idempotent; also safe from inside one of this source's own tasks.
    void Withdraw();
    // Loop thread. Opens the source again after a Withdraw (for a port that reopens); what
    // was withdrawn stays dropped.
    void Reopen();
    bool IsOpen() const;
    MessageLoop& loop() const { return m_loop; }

private:
    MessageLoop& m_loop;
    std::shared_ptr<MessageLoop::SourceState> m_state;
};

// Seconds since 1970 (UTC) on the clock of the current loop: the system's date in the
// application, the virtual calendar in tests. Every reading of the date and time of day goes
// through it.
std::int64_t CalendarSeconds();

// Registered message numbers: the same name gives the same number in the whole process,
// from 0xC000 up, as RegisterWindowMessage does.
UINT RegisterWindowMessage(const char* name);

}  // namespace platform

// The global forms that the ported code calls.
void Sleep(DWORD ms);
