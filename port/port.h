#pragma once
// CPort: the base of every port kind (serial, HID, bulk). It holds what all kinds share: the
// two callbacks through which received bytes and line events leave the port, the events of the
// receive monitor and the queue sizes. Every operation has a default, so a kind overrides only
// what its device can do, and the receive monitor of every kind runs on the manager's worker
// thread (CThreadMan) through three thread hooks.

#include <atomic>
#include <memory>

#include "platform/cstring.h"
#include "platform/event.h"
#include "port/comm_types.h"
#include "port/event_handshake.h"
#include "port/port_functor.h"

class CPortMan;
class CThreadMan;
class CPort;

// Makes the port object of a kind for a manager (the kind's CreatePort).
using PortFactory = std::shared_ptr<CPort> (*)(CPortMan* owner, BYTE flag);

// String ids of the port library's texts (see port_texts.h).
constexpr UINT IDS_PORT_COULD_NOT_OPEN = 13133;

class CPort {
public:
    CPort(CPortMan* owner, BYTE flag);
    virtual ~CPort();
    CPort(const CPort&) = delete;
    CPort& operator=(const CPort&) = delete;

    static std::shared_ptr<CPort> CreatePort(CPortMan* owner, BYTE flag);

    // A port is open while its device is.
    virtual bool IsOpen() const { return false; }

    virtual bool Open(const CString& path, const DCB& settings, CDataCallback* data, DWORD bufferSize,
                      CEventCallback* event, DWORD eventMask);
    virtual bool ApplySettings() { return false; }
    virtual bool Close(bool deviceGone);
    virtual DWORD Read(void* buffer, DWORD count);
    virtual DWORD ReadAvailable(void* buffer, DWORD count);
    virtual bool WriteByte(BYTE value);
    virtual bool Write(const void* data, DWORD count);
    virtual void WaitTxEmpty() {}
    virtual bool SetTimeouts(const COMMTIMEOUTS& timeouts);
    virtual UINT GetErrorCode() { return IDS_PORT_COULD_NOT_OPEN; }
    virtual bool GetModemStatus(DWORD* status);
    // Starts the receive monitor, or reconfigures it in place while it runs.
    virtual bool StartMonitor(CDataCallback* data, DWORD bufferSize, CEventCallback* event, DWORD eventMask);
    virtual void ThreadPrepare();
    virtual DWORD ThreadLoop() { return ERROR_INTERNAL_ERROR; }
    virtual void ThreadFinish();
    virtual void SignalReconfigure();
    // Stops the monitor: no callback is called once this returns (with wait true).
    virtual bool StopMonitor(bool wait);

    // The whole body the worker runs: prepare, loop, finish. An exception that leaves the loop
    // is reported through the event callback as (EV_ERR, ERROR_INTERNAL_ERROR).
    DWORD RunThreadBody();

    void SetWorker(CThreadMan* worker) { m_pWorker = worker; }
    CPortMan* GetOwner() const { return m_pOwner; }
    bool IsMonitorRunning() const { return m_running.IsSignalled(); }
    DWORD GetLastError() const { return m_dwLastError; }

protected:
    // Callbacks as the worker sees them at this moment.
    CDataCallback* DataCallback() const { return m_pDataCallback.load(); }
    CEventCallback* EventCallback() const { return m_pEventCallback.load(); }
    bool Deliver(const BYTE* data, DWORD count);
    void ReportEvent(DWORD events, DWORD error);
    void SetLastError(DWORD error) { m_dwLastError = error; }

    std::atomic<CEventCallback*> m_pEventCallback{nullptr};
    std::atomic<CDataCallback*> m_pDataCallback{nullptr};
    CPortMan* m_pOwner;
    DWORD m_dwInQueue = 0;
    DWORD m_dwOutQueue = 0;
    platform::Event m_abort{platform::Event::Mode::Manual};
    CEventHandshake m_stop;
    CEventHandshake m_reconfigure;
    platform::Event m_running{platform::Event::Mode::Manual};
    // Set while no body runs: from construction, and again at the very end of each body, so
    // that nobody waits for a monitor that ended by itself and nothing begins under one that
    // is still ending.
    platform::Event m_bodyEnded{platform::Event::Mode::Manual, true};
    // Set by a kind's monitor that ended because its line hung up (the device went away); the
    // owner is told once the body has ended.
    std::atomic<bool> m_bHungUp{false};
    std::atomic<DWORD> m_dwBufferSize{256};
    std::atomic<DWORD> m_dwEventMask{0};
    CThreadMan* m_pWorker = nullptr;
    std::atomic<DWORD> m_dwLastError{0};
};
