#pragma once
// CPortMan: the object through which the rest of the system uses a port. It owns the current
// port object (replacing it by one of the right class when it opens a port of another kind),
// keeps the line settings (it is itself a CDcb), owns the worker thread, the device-arrival
// detector and the port-lending object, and turns what the port receives and what happens to
// the device into window messages for one owner window.
//
// Received bytes reach the owner's loop as the data message, handed over by the worker (in
// order, never blocking the worker, so a busy GUI thread does not make the port lose bytes);
// the owner handles them synchronously in its window procedure, the bytes valid during the
// call. Closing from the GUI thread, also from inside that handling, never waits for the GUI
// thread, and nothing of a closed port is delivered afterwards.

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/message_loop.h"
#include "port/dcb.h"
#include "port/device_broadcast.h"
#include "port/interproc_borrow.h"
#include "port/port.h"
#include "port/port_functor.h"

class CWnd;
class CThreadMan;
class CDeviceChangeHandler;

// Event bits the manager raises itself.
constexpr DWORD PORT_EVENT_DEVICE_ARRIVED = 0x10000000;
constexpr DWORD PORT_EVENT_DEVICE_REMOVED = 0x20000000;
constexpr DWORD PORT_EVENT_LENT_OR_RETURNED = 0x01000000;

class CPortMan : public CDcb {
public:
    CPortMan(CWnd* owner, UINT eventMessage, UINT dataMessage, bool ownDeviceThread = true, BYTE flag = 0);
    ~CPortMan() override;
    CPortMan(const CPortMan&) = delete;
    CPortMan& operator=(const CPortMan&) = delete;

    // A port that does not open is let go 250 ms (kRetryPauseMs) after the failed attempt.
    bool OpenPort(const CString& name, CDataCallback* callback = nullptr, DWORD bufferSize = 256);
    // As OpenPort, but a failed open returns at once: the caller keeps the 250 ms on its own
    // loop, so that a port another program holds never stands the GUI thread still.
    bool OpenPortAtOnce(const CString& name, CDataCallback* callback = nullptr, DWORD bufferSize = 256);
    bool SetOffLine(bool offLine);
    bool SetEventMask(CEventCallback* callback, DWORD mask);
    bool SetNotifyWindow(CWnd* owner, UINT dataMessage, UINT eventMessage, bool ownDeviceThread);
    void SetDataCallback(CDataCallback* callback);
    void SetEventCallback(CEventCallback* callback);

    bool WriteString(const CString& text);
    bool Write(const void* data, DWORD count);
    bool WriteByte(BYTE value);

    LRESULT OnDeviceChange(WPARAM code, const DeviceBroadcast* header);
    // Called by the port (on the worker) when its monitor ended because the line hung up:
    // the device-change thread reports it as the removal of the device, the same road as a
    // removal uevent takes, unless that port has been closed or replaced meanwhile.
    void OnLineHungUp(const CPort* port);
    // The port that hung up is still this manager's open port.
    bool IsOpenPortHungUp(const CPort* port) const;
    CString OpenDeviceName() const { return m_sSymbolicLink; }
    LRESULT OnQueryPort(WPARAM asker, LPARAM value);
    LRESULT OnReturnPort(WPARAM returner, LPARAM value);
    LRESULT OnReplyPort(WPARAM lender, LPARAM value);

    // The port in use; the caller's reference keeps it alive even if it is replaced meanwhile.
    std::shared_ptr<CPort> GetPort() const;
    CInterProcCommPortBorrow& Lending() { return *m_pLending; }

    static constexpr int kOpenAttempts = 20;
    static constexpr DWORD kRetryPauseMs = 250;

private:
    bool Open(const CString& name, CDataCallback* callback, DWORD bufferSize, bool pauseAfterFailure);
    bool Reopen(bool open, bool pauseAfterFailure = true);
    bool CreatePortObject();
    void RaiseEvent(DWORD bits);
    void WithdrawDelivery();
    bool OnDataReceived(const BYTE* data, DWORD count);
    bool OnEventReceived(DWORD events, DWORD error);
    void ReplaceDeviceChangeHandler(std::unique_ptr<CDeviceChangeHandler> handler);
    // The port is held on the device path that name stands for now.
    bool IsOpenOnPathOf(const CString& name);
    // The name a device notification gives belongs to this manager's port.
    bool IsOwnDevice(const CString& name);

    CDcb m_pending;
    BYTE m_flag;
    std::unique_ptr<CInterProcCommPortBorrow> m_pLending;
    std::shared_ptr<CPort> m_pPort;
    std::atomic<bool> m_bKeepRetrying{false};
    platform::Event m_retryCancel{platform::Event::Mode::Auto};
    COMMTIMEOUTS m_timeouts{MAXDWORD, 0, 0, 0, 5000};
    std::atomic<DWORD> m_dwBufferSize{256};
    std::atomic<DWORD> m_dwEventMask{0};
    std::atomic<CEventCallback*> m_pEventCallback{nullptr};
    std::atomic<CDataCallback*> m_pDataCallback{nullptr};
    TSpecificPortFunctor2<CPortMan, bool, DWORD, DWORD> m_builtinEvent{this, &CPortMan::OnEventReceived};
    TSpecificPortFunctor2<CPortMan, bool, const BYTE*, DWORD> m_builtinData{this, &CPortMan::OnDataReceived};

    // Owner window and message numbers, read by the worker: guarded by m_notifyMutex.
    mutable std::mutex m_notifyMutex;
    UINT m_nDataMessage = 0;
    UINT m_nEventMessage = 0;
    platform::WindowHandle m_hOwner = 0;
    platform::MessageLoop* m_pLoop = nullptr;
    std::unique_ptr<platform::DeliverySource> m_delivery;

    mutable platform::CriticalSection m_portLock;
    platform::CriticalSection m_closeLock;
    // Guards the replacement of the device-change handler against a worker's hang-up report.
    std::mutex m_deviceChangeMutex;
    std::unique_ptr<CDeviceChangeHandler> m_pDeviceChange;
    std::unique_ptr<CThreadMan> m_pThreadMan;
};
