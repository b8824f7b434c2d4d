#include "port/comm2.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <new>
#include <thread>

#include "platform/wait.h"
#include "port/thread_man.h"

namespace {

constexpr DWORD kLineEvents = EV_CTS | EV_DSR | EV_BREAK | EV_ERR | EV_RING;  // 0x1D8

std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Milliseconds a transfer of count bytes may take: multiplier × count + constant, where both
// 0 mean no limit.
DWORD TotalTimeout(DWORD multiplier, DWORD constant, DWORD count)
{
    if (multiplier == 0 && constant == 0) return INFINITE;
    const std::uint64_t total = static_cast<std::uint64_t>(multiplier) * count + constant;
    return static_cast<DWORD>(std::min<std::uint64_t>(total, INFINITE - 1));
}

}  // namespace

CComm2::CComm2(CPortMan* owner, BYTE flag, std::unique_ptr<SerialLine> line)
    : CPort(owner, flag), m_line(line ? std::move(line) : MakeTtySerialLine())
{
    m_dcb.DCBlength = sizeof(DCB);
    m_dwInQueue = 65536;
    m_dwOutQueue = 4096;
}

CComm2::~CComm2()
{
    Close(false);
}

bool CComm2::IsOpen() const
{
    std::shared_lock io(m_io);
    return m_line->IsOpen();
}

bool CComm2::Open(const CString& path, const DCB& settings, CDataCallback* data, DWORD bufferSize,
                  CEventCallback* event, DWORD eventMask)
{
    Close(false);
    m_abort.Reset();
    m_dcb = settings;
    {
        std::unique_lock io(m_io);
        const DWORD error = m_line->Open(path);
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            return false;
        }
    }
    // The kernel's queues need no sizing; the time-outs are the port's own and apply at once.
    if (!ApplySettings()) {
        SetLastError(m_line->LastError());
        std::unique_lock io(m_io);
        m_line->Close();
        return false;
    }
    m_dwLastErrors = 0;
    m_bLineGone = false;
    StartMonitor(data, bufferSize, event, eventMask);
    return true;
}

bool CComm2::ApplySettings()
{
    return ApplyLineSettings();
}

bool CComm2::ApplyLineSettings()
{
    m_dcb.DCBlength = sizeof(DCB);
    m_dcb.fBinary = 1;
    m_dcb.fDsrSensitivity = 0;
    m_dcb.XonLim = 100;
    m_dcb.XoffLim = 100;
    m_dcb.XonChar = 0x11;
    m_dcb.XoffChar = 0x13;
    WaitTxEmpty();
    bool applied;
    {
        std::shared_lock io(m_io);
        if (!m_line->IsOpen()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        applied = m_line->Apply(m_dcb);
        if (!applied) SetLastError(m_line->LastError());
    }
    if (!applied) {
        DWORD errors;
        COMSTAT status;
        ClearCommError(&errors, &status);
    }
    return applied;
}

bool CComm2::Close(bool)
{
    if (!IsOpen()) return true;
    m_abort.Set();
    StopMonitor(true);
    std::unique_lock io(m_io);
    if (m_line->IsOpen()) {
        m_line->Purge(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
        m_line->Close();
    }
    return true;
}

DWORD CComm2::Read(void* buffer, DWORD count)
{
    std::shared_lock io(m_io);
    if (!m_line->IsOpen() || count == 0) return 0;
    const COMMTIMEOUTS timeouts = Timeouts();
    const bool immediate = timeouts.ReadIntervalTimeout == MAXDWORD && timeouts.ReadTotalTimeoutMultiplier == 0 &&
                           timeouts.ReadTotalTimeoutConstant == 0;
    const DWORD total = TotalTimeout(timeouts.ReadTotalTimeoutMultiplier, timeouts.ReadTotalTimeoutConstant, count);
    const std::int64_t deadline = NowMs() + (total == INFINITE ? 0 : total);
    DWORD got = 0;
    auto* bytes = static_cast<BYTE*>(buffer);
    for (;;) {
        const long n = m_line->Read(bytes + got, count - got);
        if (n < 0) {
            const DWORD error = m_line->LastError();
            SetLastError(error);
            // EIO, ENODEV, ENXIO: the device behind the line is gone.
            if (error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_FILE_NOT_FOUND) m_bLineGone = true;
            return got;
        }
        got += static_cast<DWORD>(n);
        if (got == count || immediate) return got;
        DWORD waitMs = INFINITE;
        if (total != INFINITE) {
            const std::int64_t left = deadline - NowMs();
            if (left <= 0) return got;
            waitMs = static_cast<DWORD>(left);
        }
        const platform::Waitable items[] = {m_abort, platform::Waitable::Readable(m_line->PollFd())};
        const DWORD woken = platform::WaitForMultipleObjects(items, waitMs);
        if (woken != WAIT_OBJECT_0 + 1) return got;  // abort or time-out
    }
}

DWORD CComm2::ReadAvailable(void* buffer, DWORD count)
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(&errors, &status)) return 0;
    if (errors != 0) return 0;
    const DWORD wanted = std::min(count, status.cbInQue);
    return wanted > 0 ? Read(buffer, wanted) : 0;
}

bool CComm2::WriteByte(BYTE value)
{
    return Write(&value, 1);
}

bool CComm2::Write(const void* data, DWORD count)
{
    std::shared_lock io(m_io);
    if (!m_line->IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    const COMMTIMEOUTS timeouts = Timeouts();
    const DWORD total = TotalTimeout(timeouts.WriteTotalTimeoutMultiplier, timeouts.WriteTotalTimeoutConstant, count);
    const std::int64_t deadline = NowMs() + (total == INFINITE ? 0 : total);
    const auto* bytes = static_cast<const BYTE*>(data);
    DWORD sent = 0;
    while (sent < count) {
        if (m_abort.IsSignalled()) {
            SetLastError(ERROR_OPERATION_ABORTED);
            return false;
        }
        const long n = m_line->Write(bytes + sent, count - sent);
        if (n < 0) {
            SetLastError(m_line->LastError());
            return false;
        }
        sent += static_cast<DWORD>(n);
        if (sent == count) break;
        DWORD waitMs = INFINITE;
        if (total != INFINITE) {
            const std::int64_t left = deadline - NowMs();
            if (left <= 0) {
                SetLastError(ERROR_SEM_TIMEOUT);
                return false;
            }
            waitMs = static_cast<DWORD>(left);
        }
        const platform::Waitable items[] = {m_abort, platform::Waitable::Writable(m_line->PollFd())};
        const DWORD woken = platform::WaitForMultipleObjects(items, waitMs);
        if (woken == WAIT_OBJECT_0) {
            SetLastError(ERROR_OPERATION_ABORTED);
            return false;
        }
        if (woken == WAIT_TIMEOUT) {
            SetLastError(ERROR_SEM_TIMEOUT);
            return false;
        }
    }
    return true;
}

bool CComm2::ClearCommError(DWORD* errors, COMSTAT* status)
{
    std::shared_lock io(m_io);
    if (!m_line->IsOpen()) return false;
    DWORD found;
    {
        std::lock_guard lock(m_lineStateMutex);
        PollCountersLocked();
        found = m_pendingErrors;
        m_pendingErrors = 0;
    }
    m_dwLastErrors = found;
    if (errors) *errors = found;
    COMSTAT queues{};
    const bool ok = m_line->Queues(&queues);
    if (status) *status = queues;
    return ok;
}

void CComm2::WaitTxEmpty()
{
    bool suspended = false;
    if (IsMonitorRunning() && m_pWorker && !m_pWorker->IsWorkerThread()) {
        m_pWorker->Suspend();
        suspended = true;
    }
    DWORD lowest = MAXDWORD;
    std::int64_t lastProgress = NowMs();
    for (;;) {
        DWORD errors;
        COMSTAT status{};
        if (!ClearCommError(&errors, &status) || status.cbOutQue == 0) break;
        if (status.cbOutQue < lowest) {
            lowest = status.cbOutQue;
            lastProgress = NowMs();
        } else if (NowMs() - lastProgress >= kTxStallLimitMs) {
            break;
        }
        if (platform::WaitForSingleObject(m_abort, 5) == WAIT_OBJECT_0) break;
    }
    if (suspended) m_pWorker->Resume();
}

COMMTIMEOUTS CComm2::Timeouts() const
{
    std::lock_guard lock(m_timeoutsMutex);
    return m_timeouts;
}

bool CComm2::SetTimeouts(const COMMTIMEOUTS& timeouts)
{
    {
        std::lock_guard lock(m_timeoutsMutex);
        m_timeouts = timeouts;
    }
    return IsOpen();
}

UINT CComm2::GetErrorCode()
{
    const DWORD errors = m_dwLastErrors;
    if (errors == 0) {
        switch (GetLastError()) {
        case ERROR_ACCESS_DENIED: return IDS_PORT_IN_USE;
        case ERROR_PRIVILEGE_NOT_HELD: return IDS_PORT_ACCESS_DENIED;
        case ERROR_INVALID_HANDLE: return IDS_PORT_PARAMETERS_NOT_SUPPORTED;
        default: return IDS_PORT_COULD_NOT_OPEN;
        }
    }
    if (errors & CE_MODE) return IDS_PORT_PARAMETERS_NOT_SUPPORTED;
    if (errors & (CE_OVERRUN | CE_RXOVER)) return IDS_PORT_OVERRUN_ERROR;
    if (errors & CE_FRAME) return IDS_PORT_FRAME_ERROR;
    if (errors & CE_RXPARITY) return IDS_PORT_PARITY_ERROR;
    if (errors & CE_IOE) return IDS_PORT_IO_ERROR;
    if (errors & CE_TXFULL) return IDS_PORT_OVERRUN_ERROR;
    if (errors & CE_PTO) return IDS_PORT_TIMEOUT;
    return IDS_PORT_UNKNOWN_ERROR;
}

bool CComm2::GetModemStatus(DWORD* status)
{
    std::shared_lock io(m_io);
    DWORD s = 0;
    if (!m_line->IsOpen() || !m_line->ModemStatus(&s)) return false;
    if (status) *status = s;
    return true;
}

DWORD CComm2::BuildCommMask() const
{
    DWORD mask = kLineEvents;
    if (DataCallback()) mask |= EV_RXCHAR;
    return (mask | m_dwEventMask) & 0xFFFF;
}

void CComm2::ResetLineStateBaseline()
{
    // The line is read under its lock, as by every other user: a close on another thread must
    // not take the descriptor away (and another open reuse its number) in the middle.
    std::shared_lock io(m_io);
    std::lock_guard lock(m_lineStateMutex);
    m_pendingErrorEvents = 0;
    m_hasCounters = m_line->Counters(&m_counterBase);
    DWORD modem = 0;
    m_lastModem = m_line->ModemStatus(&modem) ? modem : 0;
    COMSTAT queues{};
    m_lastInQueue = m_line->Queues(&queues) ? queues.cbInQue : 0;
}

void CComm2::PollCountersLocked()
{
    LineCounters now;
    if (!m_hasCounters || !m_line->Counters(&now)) return;
    DWORD errors = 0;
    DWORD events = 0;
    if (now.breaks != m_counterBase.breaks) {
        events |= EV_BREAK;
        errors |= CE_BREAK;
    }
    if (now.frame != m_counterBase.frame) errors |= CE_FRAME;
    if (now.overrun != m_counterBase.overrun) errors |= CE_OVERRUN;
    if (now.parity != m_counterBase.parity) errors |= CE_RXPARITY;
    if (now.bufferOverrun != m_counterBase.bufferOverrun) errors |= CE_RXOVER;
    if (errors & ~CE_BREAK) events |= EV_ERR;
    m_pendingErrors |= errors;
    // Kept for the monitor whoever polled: a reader's ClearCommError must not swallow the
    // event of an error that came after the monitor's last look.
    m_pendingErrorEvents |= events;
    m_counterBase = now;
}

DWORD CComm2::CollectCommEvents(bool inputReady, bool readMode)
{
    DWORD word = 0;
    std::shared_lock io(m_io);
    if (!m_line->IsOpen()) return 0;
    std::lock_guard lock(m_lineStateMutex);
    if (m_commMask & EV_RXCHAR) {
        if (readMode) {
            if (inputReady) word |= EV_RXCHAR;
        } else {
            COMSTAT queues{};
            if (m_line->Queues(&queues)) {
                if (queues.cbInQue > m_lastInQueue) word |= EV_RXCHAR;
                m_lastInQueue = queues.cbInQue;
            }
        }
    }
    DWORD modem = 0;
    if (m_line->ModemStatus(&modem)) {
        const DWORD changed = modem ^ m_lastModem;
        if (changed & MS_CTS_ON) word |= EV_CTS;
        if (changed & MS_DSR_ON) word |= EV_DSR;
        if (changed & MS_RLSD_ON) word |= EV_RLSD;
        if ((changed & MS_RING_ON) && (modem & MS_RING_ON)) word |= EV_RING;
        m_lastModem = modem;
    }
    PollCountersLocked();
    word |= m_pendingErrorEvents;
    m_pendingErrorEvents = 0;
    return word & m_commMask;
}

bool CComm2::DispatchReceived(BYTE* buffer, DWORD size)
{
    for (;;) {
        const DWORD n = ReadAvailable(buffer, size);
        if (n > 0) Deliver(buffer, n);
        if (m_stop.TestRequest()) return false;
        if (n == 0) return true;
    }
}

void CComm2::ThreadPrepare()
{
    ResetLineStateBaseline();
    CPort::ThreadPrepare();
}

DWORD CComm2::ThreadLoop()
{
    DWORD result = ERROR_INTERNAL_ERROR;
    bool go = true;
    int errorCount = 0;
    m_commMask = BuildCommMask();
    DWORD capacity = std::max<DWORD>(m_dwBufferSize, 1);
    std::vector<BYTE> buffer(capacity + 4);
    DWORD modem = 0;
    const bool hasModemLines = GetModemStatus(&modem);
    int fd;
    {
        std::shared_lock io(m_io);
        fd = m_line->PollFd();
    }
    while (go) {
        if (m_pWorker) m_pWorker->WaitWhileSuspended();
        // Bytes are read here when a data callback takes them and the caller did not ask to
        // see EV_RXCHAR itself; otherwise arrivals are noticed by the growing input queue.
        const bool readMode = (m_commMask & EV_RXCHAR) && !(m_dwEventMask & EV_RXCHAR);
        const bool pollLineState = hasModemLines || m_hasCounters || ((m_commMask & EV_RXCHAR) && !readMode);
        const platform::Waitable items[] = {m_stop.request(), platform::Waitable(fd, readMode ? POLLIN : 0),
                                            m_reconfigure.request()};
        const DWORD woken = platform::WaitForMultipleObjects(items, pollLineState ? kLineStatePollMs : INFINITE);
        if (woken == WAIT_OBJECT_0) {
            m_commMask = 0;
            return 0;
        }
        if (woken == WAIT_OBJECT_0 + 2) {
            m_commMask = 0;
            m_commMask = BuildCommMask();
            const DWORD wanted = std::max<DWORD>(m_dwBufferSize, 1);
            if (wanted > capacity) {
                try {
                    buffer.assign(wanted + 4, 0);
                    capacity = wanted;
                } catch (const std::bad_alloc&) {
                    result = ERROR_NOT_ENOUGH_MEMORY;
                    ReportEvent(EV_ERR, ERROR_NOT_ENOUGH_MEMORY);
                }
            }
            go = DispatchReceived(buffer.data(), std::min(wanted, capacity));
            m_reconfigure.Acknowledge();
            continue;
        }
        if (woken == WAIT_FAILED) return ERROR_INVALID_HANDLE;
        const short revents = woken == WAIT_OBJECT_0 + 1 ? items[1].revents : 0;
        const DWORD events = CollectCommEvents((revents & POLLIN) != 0, readMode);
        if (events & EV_RXCHAR && !(m_dwEventMask & EV_RXCHAR)) {
            go = DispatchReceived(buffer.data(), std::min<DWORD>(m_dwBufferSize, capacity));
        }
        if ((revents & (POLLHUP | POLLERR)) || m_bLineGone) {
            // The line hung up (its device went away): what it still held has been read,
            // nothing more will come until the port is opened again. The owner learns of it
            // as of the removal of its device.
            if (go && !m_bLineGone && !(events & EV_RXCHAR))
                DispatchReceived(buffer.data(), std::min<DWORD>(m_dwBufferSize, capacity));
            SetLastError(ERROR_DEVICE_NOT_CONNECTED);
            m_bHungUp = true;
            return ERROR_DEVICE_NOT_CONNECTED;
        }
        if ((events & m_dwEventMask) != 0) ReportEvent(events, 0);
        if (events & EV_ERR) {
            DWORD errors;
            ClearCommError(&errors, nullptr);
            if (++errorCount > 10) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                errorCount = 0;
            }
        }
    }
    return result;
}
