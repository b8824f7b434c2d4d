#include "port/rx_ring_buffer.h"

#include <algorithm>

#include "platform/wait.h"

CRxRingBuffer::CRxRingBuffer(DWORD capacity)
    : m_capacity(std::max<DWORD>(capacity, 1)), m_free(m_capacity), m_storage(m_capacity + 1)
{
}

DWORD CRxRingBuffer::Stored()
{
    std::lock_guard lock(m_lock);
    return m_capacity - m_free;
}

DWORD CRxRingBuffer::Put(const BYTE* bytes, DWORD count)
{
    {
        std::lock_guard lock(m_lock);
        if (m_free < count) return 0;
    }
    for (DWORD i = 0; i < count; ++i) {
        m_storage[m_writeIndex] = bytes[i];
        m_writeIndex = (m_writeIndex + 1) % m_capacity;
    }
    std::lock_guard lock(m_lock);
    m_free -= count;
    if (m_capacity - m_free >= m_wakeThreshold) m_dataAvailable.Set();
    return count;
}

DWORD CRxRingBuffer::Get(BYTE* buffer, DWORD count)
{
    DWORD stored;
    {
        std::lock_guard lock(m_lock);
        stored = m_capacity - m_free;
    }
    const DWORD n = std::min(count, stored);
    for (DWORD i = 0; i < n; ++i) {
        buffer[i] = m_storage[m_readIndex];
        m_readIndex = (m_readIndex + 1) % m_capacity;
    }
    std::lock_guard lock(m_lock);
    m_free += n;
    return n;
}

void CRxRingBuffer::WaitFor(DWORD count)
{
    const COMMTIMEOUTS t = m_timeouts;
    if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0) return;
    if (m_beforeWait) m_beforeWait();
    DWORD total;
    {
        std::lock_guard lock(m_lock);
        total = t.ReadTotalTimeoutMultiplier * count + t.ReadTotalTimeoutConstant;
        if (t.ReadIntervalTimeout == MAXDWORD) {
            m_intervalRemainingMs = 0;
        } else {
            m_intervalRemainingMs = t.ReadIntervalTimeout;
            total = std::max(total, t.ReadIntervalTimeout);
        }
        m_totalWaitMs = total;
        // The threshold is armed and the count checked under the one lock that the writer
        // takes to store, so bytes that arrive in between still wake this reader.
        m_wakeThreshold = count;
        if (m_capacity - m_free >= count) {
            m_wakeThreshold = 0x7FFFFFFF;
            return;
        }
    }
    if (total > 0) platform::WaitForSingleObject(m_dataAvailable, total);
    std::lock_guard lock(m_lock);
    m_wakeThreshold = 0x7FFFFFFF;
}

DWORD CRxRingBuffer::ReadWait(BYTE* buffer, DWORD count)
{
    m_dataAvailable.Reset();
    if (Stored() < count) WaitFor(count);
    return Get(buffer, count);
}

void CRxRingBuffer::Reset()
{
    std::lock_guard lock(m_lock);
    m_writeIndex = 0;
    m_readIndex = 0;
    m_free = m_capacity;
    m_wakeThreshold = 0x7FFFFFFF;
}

void CRxRingBuffer::SetTimeouts(const COMMTIMEOUTS& timeouts)
{
    m_timeouts = timeouts;
}

bool CRxRingBuffer::IntervalElapsed(DWORD elapsedMs)
{
    std::lock_guard lock(m_lock);
    if (m_intervalRemainingMs < elapsedMs) {
        m_dataAvailable.Set();
        return true;
    }
    m_intervalRemainingMs -= elapsedMs;
    return false;
}
