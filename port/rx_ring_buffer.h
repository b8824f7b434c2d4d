#pragma once
// CRxRingBuffer: the receive ring of a USB port, for callers that read instead of taking the
// data callback. The worker puts whole blocks (a block that does not fit is dropped whole); the
// caller reads, waiting as its time-outs say.

#include <functional>
#include <mutex>
#include <vector>

#include "platform/event.h"
#include "port/comm_types.h"

class CRxRingBuffer {
public:
    explicit CRxRingBuffer(DWORD capacity);

    DWORD Put(const BYTE* bytes, DWORD count);
    DWORD Get(BYTE* buffer, DWORD count);
    // Waits (as the time-outs say) until count bytes are stored, then gets what there is.
    DWORD ReadWait(BYTE* buffer, DWORD count);
    void Reset();
    void SetTimeouts(const COMMTIMEOUTS& timeouts);
    void WakeReaders() { m_dataAvailable.Set(); }
    // The interval check of a waiting read: true when the interval has run out (and the
    // readers were woken); otherwise the interval remaining is lowered by elapsedMs.
    bool IntervalElapsed(DWORD elapsedMs);

    DWORD Stored();

    // Called between a reader's finding too few bytes and its waiting; tests use it to put
    // bytes at exactly that moment.
    void SetBeforeWaitHook(std::function<void()> hook) { m_beforeWait = std::move(hook); }

private:
    void WaitFor(DWORD count);

    COMMTIMEOUTS m_timeouts{MAXDWORD, 0, 0, 0, 0};
    DWORD m_totalWaitMs = 0;
    DWORD m_intervalRemainingMs = 0;
    DWORD m_capacity;
    DWORD m_writeIndex = 0;
    DWORD m_readIndex = 0;
    DWORD m_free;
    std::vector<BYTE> m_storage;
    DWORD m_wakeThreshold = 0x7FFFFFFF;
    platform::Event m_dataAvailable{platform::Event::Mode::Manual};
    std::mutex m_lock;
    std::function<void()> m_beforeWait;
};
