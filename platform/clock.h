#pragma once
// The time base of the message loop. The application runs on the steady system clock; tests
// run on a virtual clock that only moves when the loop or Sleep moves it, so a whole sensor
// conversation with its waits and time-outs replays identically in milliseconds.
//
// The calendar time (dates in blocks and files, a start by the clock, the status bar's clock)
// comes from the same clock: the system's date in the application, in tests a fixed date that
// moves with virtual time, so that what a test does at a given date and time never depends on
// when or how fast it runs.

#include <atomic>
#include <chrono>
#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic time in microseconds since an arbitrary start.
    virtual std::int64_t NowUs() const = 0;
    std::int64_t NowMs() const { return NowUs() / 1000; }
    // Calendar time in microseconds since 1970-01-01 00:00 UTC.
    virtual std::int64_t CalendarUs() const = 0;
    virtual bool IsVirtual() const = 0;
};

class SystemClock final : public Clock {
public:
    std::int64_t NowUs() const override
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    std::int64_t CalendarUs() const override
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    bool IsVirtual() const override { return false; }
};

class VirtualClock final : public Clock {
public:
    // The calendar time at which every virtual clock starts: Wednesday, 2024-03-13 10:00:00 UTC.
    static constexpr std::int64_t kCalendarStartUs = 1'710'324'000'000'000;

    std::int64_t NowUs() const override { return m_nowUs.load(); }
    std::int64_t CalendarUs() const override { return kCalendarStartUs + (m_nowUs.load() - kStartUs); }
    bool IsVirtual() const override { return true; }
    void AdvanceUs(std::int64_t us)
    {
        if (us > 0) m_nowUs += us;
    }
    void AdvanceToUs(std::int64_t us)
    {
        std::int64_t now = m_nowUs.load();
        while (us > now && !m_nowUs.compare_exchange_weak(now, us)) {
        }
    }

private:
    // Starts well away from 0 so that code subtracting time stamps meets ordinary values.
    static constexpr std::int64_t kStartUs = 1'000'000'000;
    std::atomic<std::int64_t> m_nowUs{kStartUs};
};

}  // namespace platform
