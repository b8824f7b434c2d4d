#pragma once
// CComm2: the serial port. It opens a serial device by path, programs the line settings,
// writes with completion waits and time-outs, reads what the input queue holds, and runs the
// receive monitor on the worker thread: a loop that hands every received chunk to the data
// callback and reports line events (modem lines, breaks, line errors) to the event callback.
//
// The device is reached through a SerialLine (a termios device by default), so tests can put
// a line with modem lines and line errors in its place.

#include <mutex>
#include <shared_mutex>
#include <vector>

#include "port/port.h"
#include "port/serial_line.h"

// String ids of the serial port's failure texts (port_texts.h holds the texts).
constexpr UINT IDS_PORT_IN_USE = 13136;
constexpr UINT IDS_PORT_PARAMETERS_NOT_SUPPORTED = 13139;
constexpr UINT IDS_PORT_PARITY_ERROR = 13142;
constexpr UINT IDS_PORT_OVERRUN_ERROR = 13143;
constexpr UINT IDS_PORT_FRAME_ERROR = 13144;
constexpr UINT IDS_PORT_TIMEOUT = 13145;
constexpr UINT IDS_PORT_IO_ERROR = 13146;
constexpr UINT IDS_PORT_UNKNOWN_ERROR = 13147;
constexpr UINT IDS_PORT_ACCESS_DENIED = 13156;  // takes the device's path

class CComm2 : public CPort {
public:
    CComm2(CPortMan* owner, BYTE flag, std::unique_ptr<SerialLine> line = nullptr);
    ~CComm2() override;

    bool IsOpen() const override;
    bool Open(const CString& path, const DCB& settings, CDataCallback* data, DWORD bufferSize,
              CEventCallback* event, DWORD eventMask) override;
    bool ApplySettings() override;
    bool Close(bool deviceGone) override;
    DWORD Read(void* buffer, DWORD count) override;
    DWORD ReadAvailable(void* buffer, DWORD count) override;
    bool WriteByte(BYTE value) override;
    bool Write(const void* data, DWORD count) override;
    // Waits until the output queue is empty, or until it has not shrunk for the stall limit
    // (a line held by handshake never drains).
    void WaitTxEmpty() override;
    bool SetTimeouts(const COMMTIMEOUTS& timeouts) override;
    UINT GetErrorCode() override;
    bool GetModemStatus(DWORD* status) override;
    // Takes the line's state as the base of later events before the monitor counts as running,
    // so that a change right after StartMonitor returns is reported.
    void ThreadPrepare() override;
    DWORD ThreadLoop() override;

    // The line errors since the last call and the queue counts.
    bool ClearCommError(DWORD* errors, COMSTAT* status);

    static constexpr DWORD kLineStatePollMs = 20;
    // How long WaitTxEmpty waits for an output queue that does not shrink.
    static constexpr DWORD kTxStallLimitMs = 5000;

protected:
    // The serial port's own programming of m_dcb (CCommSpecialBaudLayer calls it directly).
    bool ApplyLineSettings();

    DCB m_dcb{};
    std::atomic<DWORD> m_dwLastErrors{0};

private:
    // Set on the caller's thread, read by transfers on any thread.
    COMMTIMEOUTS Timeouts() const;
    mutable std::mutex m_timeoutsMutex;
    COMMTIMEOUTS m_timeouts{MAXDWORD, 0, 0, 0, 5000};

private:
    DWORD BuildCommMask() const;
    void ResetLineStateBaseline();
    DWORD CollectCommEvents(bool inputReady, bool readMode);
    // Folds new breaks and line errors into the pending errors and their events (EV_BREAK,
    // EV_ERR) into the pending error events, which the monitor reports at its next look.
    void PollCountersLocked();
    bool DispatchReceived(BYTE* buffer, DWORD size);

    std::unique_ptr<SerialLine> m_line;
    // Transfers hold it shared; Close takes it alone, after it has woken them with the abort
    // event, so the device is never closed under a transfer in progress.
    mutable std::shared_mutex m_io;
    std::mutex m_lineStateMutex;
    bool m_hasCounters = false;
    LineCounters m_counterBase;
    DWORD m_pendingErrors = 0;
    DWORD m_pendingErrorEvents = 0;
    DWORD m_lastModem = 0;
    DWORD m_lastInQueue = 0;
    DWORD m_commMask = 0;
    // A read failed because the device is gone (set by any reader, ends the monitor).
    std::atomic<bool> m_bLineGone{false};
};
