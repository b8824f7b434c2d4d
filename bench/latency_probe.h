#pragma once
// The GUI thread's event-loop latency, for the benchmarks of the whole application: a thread
// posts an event stamped with its time every millisecond, the GUI thread notes how late it
// handles each. The longest delay is the longest time the loop did not run (a blocked thread
// freezes painting, input and every timer that long).

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <pthread.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The thread's own CPU time is kept apart from the program's.
class LatencyProbe : public QObject {
public:
    static constexpr QEvent::Type kProbe = static_cast<QEvent::Type>(QEvent::User + 718);

    struct ProbeEvent : QEvent {
        explicit ProbeEvent(Clock::time_point at) : QEvent(kProbe), posted(at) {}
        Clock::time_point posted;
    };

    ~LatencyProbe() override { Stop(); }

    void Start()
    {
        m_delaysMs.reserve(1 << 20);
        m_running = true;
        m_thread = std::thread([this] {
            auto next = Clock::now();
            while (m_running) {
                next += std::chrono::milliseconds(1);
                std::this_thread::sleep_until(next);
                QCoreApplication::postEvent(this, new ProbeEvent(Clock::now()));
            }
        });
        pthread_getcpuclockid(m_thread.native_handle(), &m_threadClock);
    }
    void Measure(bool on) { m_measuring = on; }
    // CPU seconds the posting thread has used.
    double ThreadCpu() const { return m_thread.joinable() ? Seconds(m_threadClock) : 0.0; }
    void Stop()
    {
        m_running = false;
        if (m_thread.joinable()) m_thread.join();
    }
    std::vector<double> Delays() const { return m_delaysMs; }
    void ClearDelays() { m_delaysMs.clear(); }
    double LongestDelay() const { return m_delaysMs.empty() ? 0.0 : *std::max_element(m_delaysMs.begin(), m_delaysMs.end()); }

    // Runs start(), then wait(), which turns the event loop until the work has ended, and keeps
    // the delays of that time alone. Returns what wait() returned; tookMs is how long it all took.
    template <class Start, class Wait>
    bool MeasureWhile(Start start, Wait wait, double& tookMs)
    {
        ClearDelays();
        Measure(true);
        const auto began = Clock::now();
        start();
        const bool ended = wait();
        tookMs = std::chrono::duration<double, std::milli>(Clock::now() - began).count();
        Measure(false);
        return ended;
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != kProbe) return QObject::event(e);
        if (m_measuring)
            m_delaysMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - static_cast<ProbeEvent*>(e)->posted).count());
        return true;
    }

private:
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    clockid_t m_threadClock = CLOCK_THREAD_CPUTIME_ID;
    bool m_measuring = false;
    std::vector<double> m_delaysMs;
};

}  // namespace bench
