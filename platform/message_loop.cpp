#include "platform/message_loop.h"

#include <algorithm>
#include <future>
#include <stdexcept>
#include <string>

#include "platform/wnd.h"

namespace platform {

struct MessageLoop::SourceState {
    bool open = true;  // guarded by the loop's mutex
};

namespace {

std::mutex g_currentMutex;
MessageLoop* g_current = nullptr;

}  // namespace

MessageLoop::MessageLoop(Time time) : m_ownerThread(std::this_thread::get_id())
{
    if (time == Time::Virtual) {
        auto clock = std::make_unique<VirtualClock>();
        m_virtualClock = clock.get();
        m_clock = std::move(clock);
    } else {
        m_clock = std::make_unique<SystemClock>();
    }
    std::lock_guard lock(g_currentMutex);
    m_previousCurrent = g_current;
    g_current = this;
}

MessageLoop::~MessageLoop()
{
    std::lock_guard lock(g_currentMutex);
    if (g_current == this) g_current = m_previousCurrent;
}

MessageLoop& MessageLoop::Current()
{
    {
        std::lock_guard lock(g_currentMutex);
        if (g_current) return *g_current;
    }
    // Lives until the process ends; constructing it makes it the current loop.
    static MessageLoop* processLoop = new MessageLoop(Time::Real);
    return *processLoop;
}

void MessageLoop::Sleep(DWORD ms)
{
    if (m_virtualClock && IsLoopThread()) {
        m_virtualClock->AdvanceUs(static_cast<std::int64_t>(ms) * 1000);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void MessageLoop::SetWakeHandler(std::function<void()> wake)
{
    std::lock_guard lock(m_mutex);
    m_wake = std::move(wake);
}

void MessageLoop::Wake()
{
    std::function<void()> wake;
    {
        std::lock_guard lock(m_mutex);
        wake = m_wake;
    }
    m_workArrived.notify_all();
    if (wake) wake();
}

bool MessageLoop::PostMessage(WindowHandle target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (target == 0) return false;
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back({target, message, wParam, lParam});
    }
    Wake();
    return true;
}

LRESULT MessageLoop::SendMessage(WindowHandle target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsLoopThread()) {
        CWnd* window = FindWindow(target);
        return window ? window->WindowProc(message, wParam, lParam) : 0;
    }
    auto done = std::make_shared<std::promise<LRESULT>>();
    auto result = done->get_future();
    auto source = std::make_shared<SourceState>();
    EnqueueHandOver(source, [this, done, target, message, wParam, lParam] {
        CWnd* window = FindWindow(target);
        done->set_value(window ? window->WindowProc(message, wParam, lParam) : 0);
    });
    return result.get();
}

bool MessageLoop::SetTimer(WindowHandle target, UINT_PTR id, UINT elapseMs, UINT minimumMs)
{
    if (target == 0 || m_windows.find(target) == m_windows.end()) return false;
    const std::int64_t periodUs = static_cast<std::int64_t>(std::max({elapseMs, minimumMs, 1u})) * 1000;
    m_timers[{target, id}] = Timer{m_clock->NowUs() + periodUs, periodUs, ++m_timerSequence};
    Wake();
    return true;
}

bool MessageLoop::KillTimer(WindowHandle target, UINT_PTR id)
{
    return m_timers.erase({target, id}) > 0;
}

bool MessageLoop::IsTimerArmed(WindowHandle target, UINT_PTR id) const
{
    return m_timers.find({target, id}) != m_timers.end();
}

std::int64_t MessageLoop::TimerRemainingMs(WindowHandle target, UINT_PTR id) const
{
    const auto it = m_timers.find({target, id});
    if (it == m_timers.end()) return -1;
    return std::max<std::int64_t>(0, (it->second.dueUs - m_clock->NowUs() + 999) / 1000);
}

WindowHandle MessageLoop::RegisterWindow(CWnd* window)
{
    static std::atomic<WindowHandle> nextHandle{1};
    const WindowHandle handle = nextHandle++;
    m_windows[handle] = window;
    return handle;
}

void MessageLoop::UnregisterWindow(WindowHandle handle)
{
    m_windows.erase(handle);
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->first.window == handle)
            it = m_timers.erase(it);
        else
            ++it;
    }
    std::lock_guard lock(m_mutex);
    m_posted.erase(std::remove_if(m_posted.begin(), m_posted.end(),
                                  [handle](const Posted& p) { return p.target == handle; }),
                   m_posted.end());
}

CWnd* MessageLoop::FindWindow(WindowHandle handle) const
{
    const auto it = m_windows.find(handle);
    return it == m_windows.end() ? nullptr : it->second;
}

std::size_t MessageLoop::PendingHandOvers() const
{
    std::lock_guard lock(m_mutex);
    return m_handOvers.size();
}

std::size_t MessageLoop::PendingPostedMessages() const
{
    std::lock_guard lock(m_mutex);
    return m_posted.size();
}

void MessageLoop::EnqueueHandOver(const std::shared_ptr<SourceState>& source, std::function<void()> task)
{
    {
        std::lock_guard lock(m_mutex);
        if (!source->open) return;
        m_handOvers.push_back({source, std::move(task), m_clock->NowUs()});
    }
    Wake();
}

void MessageLoop::WithdrawSource(const std::shared_ptr<SourceState>& source)
{
    std::deque<HandOver> dropped;  // destroyed outside the lock: closures may own big buffers
    std::lock_guard lock(m_mutex);
    source->open = false;
    auto keep = std::stable_partition(m_handOvers.begin(), m_handOvers.end(),
                                      [&](const HandOver& h) { return h.source != source; });
    std::move(keep, m_handOvers.end(), std::back_inserter(dropped));
    m_handOvers.erase(keep, m_handOvers.end());
}

MessageLoop::TimerMap::iterator MessageLoop::EarliestDueTimer(std::int64_t nowUs)
{
    auto due = m_timers.end();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->second.dueUs > nowUs) continue;
        if (due == m_timers.end() || it->second.dueUs < due->second.dueUs ||
            (it->second.dueUs == due->second.dueUs && it->second.sequence < due->second.sequence))
            due = it;
    }
    return due;
}

bool MessageLoop::TimerFellDueBefore(std::int64_t timeUs, std::int64_t nowUs) const
{
    const std::int64_t latest = std::min(nowUs, timeUs - 1);
    return std::any_of(m_timers.begin(), m_timers.end(), [latest](const auto& entry) { return entry.second.dueUs <= latest; });
}

bool MessageLoop::DispatchOne()
{
    const std::int64_t now = m_clock->NowUs();
    {
        std::unique_lock lock(m_mutex);
        while (!m_handOvers.empty() && !m_handOvers.front().source->open) m_handOvers.pop_front();
        // Bytes come ahead of posted messages and timers, except bytes that arrived after a
        // timer fell due: a port that never stops sending must not hold the timers off for ever.
        // Only such a timer goes ahead of them, never a message posted while they wait: a
        // handler must not see the request it answers to as unanswered.
        const bool bytesWaiting = !m_handOvers.empty();
        if (bytesWaiting && !TimerFellDueBefore(m_handOvers.front().queuedUs, now)) {
            HandOver next = std::move(m_handOvers.front());
            m_handOvers.pop_front();
            lock.unlock();
            next.task();
            return true;
        }
        if (!bytesWaiting && !m_posted.empty()) {
            const Posted next = m_posted.front();
            m_posted.pop_front();
            lock.unlock();
            if (CWnd* window = FindWindow(next.target)) window->WindowProc(next.message, next.wParam, next.lParam);
            return true;
        }
    }
    const auto due = EarliestDueTimer(now);
    if (due == m_timers.end()) return false;
    const TimerKey key = due->first;
    due->second.dueUs = now + due->second.periodUs;
    if (CWnd* window = FindWindow(key.window)) window->WindowProc(WM_TIMER, key.id, 0);
    return true;
}

std::int64_t MessageLoop::MsUntilNextWork()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_handOvers.empty() || !m_posted.empty()) return 0;
    }
    if (m_timers.empty()) return -1;
    std::int64_t earliest = INT64_MAX;
    for (const auto& [key, timer] : m_timers) earliest = std::min(earliest, timer.dueUs);
    const std::int64_t waitUs = earliest - m_clock->NowUs();
    return waitUs <= 0 ? 0 : (waitUs + 999) / 1000;
}

void MessageLoop::WaitForWork(std::int64_t untilUs)
{
    std::int64_t nextDue = untilUs;
    for (const auto& [key, timer] : m_timers) nextDue = std::min(nextDue, timer.dueUs);
    if (m_virtualClock) {
        // Nothing else can make work appear in virtual time but a worker thread; those
        // tests use real time. Jump to the next deadline.
        m_virtualClock->AdvanceToUs(nextDue);
        return;
    }
    std::unique_lock lock(m_mutex);
    const auto waitUs = nextDue - m_clock->NowUs();
    if (waitUs <= 0) return;
    m_workArrived.wait_for(lock, std::chrono::microseconds(waitUs),
                           [this] { return !m_handOvers.empty() || !m_posted.empty(); });
}

int MessageLoop::RunUntilIdle()
{
    int count = 0;
    while (DispatchOne()) ++count;
    return count;
}

int MessageLoop::RunFor(std::int64_t ms)
{
    int count = 0;
    RunLoop([] { return false; }, ms, count);
    return count;
}

bool MessageLoop::RunUntil(const std::function<bool()>& done, std::int64_t maxMs)
{
    int count = 0;
    return RunLoop(done, maxMs, count);
}

bool MessageLoop::RunLoop(const std::function<bool()>& done, std::int64_t maxMs, int& count)
{
    // A bound of a hundred years is as good as none and cannot overflow the clock.
    constexpr std::int64_t kLongestRunMs = 100LL * 365 * 24 * 3600 * 1000;
    const std::int64_t endUs = m_clock->NowUs() + std::clamp<std::int64_t>(maxMs, 0, kLongestRunMs) * 1000;
    for (;;) {
        if (done()) return true;
        // A handler that slept may have moved time past the end: stop there, as a test that
        // runs for a span expects, even if more has become due meanwhile.
        if (m_clock->NowUs() > endUs) return false;
        if (DispatchOne()) {
            ++count;
            continue;
        }
        if (m_clock->NowUs() >= endUs) return done();
        WaitForWork(endUs);
    }
}

DeliverySource::DeliverySource(MessageLoop& loop)
    : m_loop(loop), m_state(std::make_shared<MessageLoop::SourceState>())
{
}

DeliverySource::~DeliverySource()
{
    m_loop.WithdrawSource(m_state);
}

bool DeliverySource::HandOver(std::function<void()> task)
{
    {
        std::lock_guard lock(m_loop.m_mutex);
        if (!m_state->open) return false;
        m_loop.m_handOvers.push_back({m_state, std::move(task), m_loop.m_clock->NowUs()});
    }
    m_loop.Wake();
    return true;
}

void DeliverySource::Withdraw()
{
    m_loop.WithdrawSource(m_state);
}

void DeliverySource::Reopen()
{
    std::lock_guard lock(m_loop.m_mutex);
    m_state = std::make_shared<MessageLoop::SourceState>();
}

bool DeliverySource::IsOpen() const
{
    std::lock_guard lock(m_loop.m_mutex);
    return m_state->open;
}

std::int64_t CalendarSeconds()
{
    return MessageLoop::Current().CalendarSeconds();
}

UINT RegisterWindowMessage(const char* name)
{
    static std::mutex mutex;
    static std::map<std::string, UINT> registered;
    std::lock_guard lock(mutex);
    const std::string key = name ? name : "";
    const auto it = registered.find(key);
    if (it != registered.end()) return it->second;
    const UINT number = 0xC000 + static_cast<UINT>(registered.size());
    registered.emplace(key, number);
    return number;
}

}  // namespace platform

void Sleep(DWORD ms)
{
    platform::MessageLoop::Current().Sleep(ms);
}
