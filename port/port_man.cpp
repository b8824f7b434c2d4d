#include "port/port_man.h"

#include <vector>

#include "platform/wait.h"
#include "platform/wnd.h"
#include "port/device_change.h"
#include "port/port_list.h"
#include "port/thread_man.h"

CPortMan::CPortMan(CWnd* owner, UINT eventMessage, UINT dataMessage, bool ownDeviceThread, BYTE flag) : m_flag(flag)
{
    m_pPort = CPort::CreatePort(this, m_flag);
    m_pThreadMan = std::make_unique<CThreadMan>();
    m_pThreadMan->SetPort(m_pPort);
    m_pPort->SetWorker(m_pThreadMan.get());
    m_pLending = std::make_unique<CInterProcCommPortBorrow>();
    RefreshPortList();
    SetNotifyWindow(owner, dataMessage, eventMessage, ownDeviceThread);
}

CPortMan::~CPortMan()
{
    // A reopen that the device thread may be retrying ends at once.
    m_bKeepRetrying = false;
    m_retryCancel.Set();
    ReplaceDeviceChangeHandler(nullptr);
    SetOffLine(false);
    m_pThreadMan->SetPort(nullptr);
    m_pThreadMan.reset();
    {
        platform::CriticalSectionLock lock(m_portLock);
        m_pPort.reset();
    }
    std::lock_guard lock(m_notifyMutex);
    m_delivery.reset();
}

bool CPortMan::SetNotifyWindow(CWnd* owner, UINT dataMessage, UINT eventMessage, bool ownDeviceThread)
{
    {
        std::lock_guard lock(m_notifyMutex);
        m_nDataMessage = dataMessage;
        m_nEventMessage = eventMessage;
        m_hOwner = owner ? owner->GetSafeHwnd() : 0;
        platform::MessageLoop* loop = owner ? &owner->loop() : &platform::MessageLoop::Current();
        if (loop != m_pLoop || !m_delivery) {
            m_pLoop = loop;
            m_delivery = std::make_unique<platform::DeliverySource>(*loop);
        }
    }
    ReplaceDeviceChangeHandler(nullptr);
    ReplaceDeviceChangeHandler(std::make_unique<CDeviceChangeHandler>(ownDeviceThread ? nullptr : owner, this));
    SetDataCallback(nullptr);
    SetEventCallback(nullptr);
    return true;
}

void CPortMan::SetDataCallback(CDataCallback* callback)
{
    std::lock_guard lock(m_notifyMutex);
    m_pDataCallback = callback ? callback : (m_hOwner && m_nDataMessage ? &m_builtinData : nullptr);
}

void CPortMan::SetEventCallback(CEventCallback* callback)
{
    std::lock_guard lock(m_notifyMutex);
    m_pEventCallback = callback ? callback : (m_hOwner && m_nEventMessage ? &m_builtinEvent : nullptr);
}

bool CPortMan::OnDataReceived(const BYTE* data, DWORD count)
{
    std::lock_guard lock(m_notifyMutex);
    if (!m_hOwner || !m_nDataMessage || !m_delivery) return true;
    // The worker never waits for the GUI thread: the bytes travel in the hand-over and are
    // valid for the owner during its handling of the message.
    auto bytes = std::make_shared<std::vector<BYTE>>(data, data + count);
    m_delivery->HandOver([this, bytes] {
        platform::WindowHandle owner;
        UINT message;
        platform::MessageLoop* loop;
        {
            std::lock_guard inner(m_notifyMutex);
            owner = m_hOwner;
            message = m_nDataMessage;
            loop = m_pLoop;
        }
        if (owner && message)
            loop->SendMessage(owner, message, bytes->size(), reinterpret_cast<LPARAM>(bytes->data()));
    });
    return true;
}

bool CPortMan::OnEventReceived(DWORD events, DWORD error)
{
    std::lock_guard lock(m_notifyMutex);
    if (m_hOwner && m_nEventMessage) m_pLoop->PostMessage(m_hOwner, m_nEventMessage, events, error);
    return true;
}

void CPortMan::RaiseEvent(DWORD bits)
{
    if (!(bits & m_dwEventMask)) return;
    if (CEventCallback* callback = m_pEventCallback.load()) (*callback)(bits, 0);
}

void CPortMan::WithdrawDelivery()
{
    std::lock_guard lock(m_notifyMutex);
    if (m_delivery) m_delivery->Withdraw();
}

std::shared_ptr<CPort> CPortMan::GetPort() const
{
    platform::CriticalSectionLock lock(m_portLock);
    return m_pPort;
}

bool CPortMan::OpenPort(const CString& name, CDataCallback* callback, DWORD bufferSize)
{
    return Open(name, callback, bufferSize, true);
}

bool CPortMan::OpenPortAtOnce(const CString& name, CDataCallback* callback, DWORD bufferSize)
{
    return Open(name, callback, bufferSize, false);
}

bool CPortMan::Open(const CString& name, CDataCallback* callback, DWORD bufferSize, bool pauseAfterFailure)
{
    m_dwBufferSize = bufferSize;
    SetDataCallback(callback);
    if (name.IsEmpty()) return false;
    CPortDetailArray& list = ThePortList();
    if (!list.Exists(name)) RefreshPortList();
    if (GetState() == kPortOpen && IsOpenOnPathOf(name)) return true;
    m_pending.Copy(*this);
    m_pending.m_bValid = true;
    m_pending.SetName(list.DisplayTextOf(name));
    return Reopen(true, pauseAfterFailure);
}

bool CPortMan::Reopen(bool open, bool pauseAfterFailure)
{
    platform::CriticalSectionLock lock(m_closeLock);
    if (m_pending.m_bValid) {
        const int state = GetState();
        Copy(m_pending);
        SetState(state);
        m_pending.m_bValid = false;
    }
    if (!CreatePortObject()) return false;
    m_bValid = false;
    if (!open) return true;
    m_retryCancel.Reset();
    {
        // What the previous port left undelivered is dropped; the new port's bytes are taken.
        std::lock_guard notify(m_notifyMutex);
        m_delivery->Withdraw();
        m_delivery->Reopen();
    }
    for (int attempt = 1;; ++attempt) {
        std::shared_ptr<CPort> port = GetPort();
        if (port->Open(m_sSymbolicLink, m_dcb, m_pDataCallback.load(), m_dwBufferSize, m_pEventCallback.load(),
                       m_dwEventMask)) {
            SetState(kPortOpen);
            m_bValid = true;
            port->SetTimeouts(m_timeouts);
            m_bKeepRetrying = false;
            return true;
        }
        // A single try whose caller keeps the pause itself ends here.
        if (!pauseAfterFailure && !m_bKeepRetrying) return false;
        platform::WaitForSingleObject(m_retryCancel, kRetryPauseMs);
        if (attempt >= kOpenAttempts || !m_bKeepRetrying) {
            m_bKeepRetrying = false;
            return false;
        }
    }
}

bool CPortMan::CreatePortObject()
{
    const CString name = GetName();
    if (name.IsEmpty()) return false;
    CPortDetailArray& list = ThePortList();
    if (!list.Exists(name)) RefreshPortList();
    std::shared_ptr<CPort> old = GetPort();
    const int state = GetState();
    const bool keep = old && (state == kPortOpen || state == kPortLent) && IsOpenOnPathOf(name);
    if (!keep) {
        // The old port is closed before it is let go: its monitor must not hold the worker.
        if (old) old->Close(false);
        m_sDisplayName = list.DisplayTextOf(name);
        m_sSymbolicLink = list.OpenPathOf(name);
        std::shared_ptr<CPort> created = list.FactoryOf(name)(this, m_flag);
        platform::CriticalSectionLock lock(m_portLock);
        m_pPort = std::move(created);
    }
    std::shared_ptr<CPort> port = GetPort();
    if (!port) return false;
    m_pThreadMan->SetPort(port);
    port->SetWorker(m_pThreadMan.get());
    return true;
}

bool CPortMan::IsOpenOnPathOf(const CString& name)
{
    // The same entry is not enough: its name may now stand for another device path.
    CPortDetailArray& list = ThePortList();
    return list.SameEntry(name, m_sSymbolicLink) && list.OpenPathOf(name) == m_sSymbolicLink;
}

bool CPortMan::SetOffLine(bool offLine)
{
    m_bKeepRetrying = false;
    m_retryCancel.Set();
    platform::CriticalSectionLock lock(m_closeLock);
    std::shared_ptr<CPort> port = GetPort();
    if (!port) return false;
    bool closed;
    if (offLine) {
        SetState(kPortOffLineDeviceGone);
        closed = port->Close(true);
    } else {
        SetState(kPortOffLineByUser);
        closed = port->Close(false);
        m_pLending->ReturnBorrowedPort();
    }
    WithdrawDelivery();
    return closed;
}

bool CPortMan::SetEventMask(CEventCallback* callback, DWORD mask)
{
    m_dwEventMask = mask;
    SetEventCallback(callback);
    if (GetState() != kPortOpen) return true;
    std::shared_ptr<CPort> port = GetPort();
    return port->StartMonitor(m_pDataCallback.load(), m_dwBufferSize, m_pEventCallback.load(), mask);
}

bool CPortMan::WriteString(const CString& text)
{
    return Write(text.bytes(), static_cast<DWORD>(text.GetLength()));
}

bool CPortMan::Write(const void* data, DWORD count)
{
    std::shared_ptr<CPort> port = GetPort();
    return port && port->Write(data, count);
}

bool CPortMan::WriteByte(BYTE value)
{
    std::shared_ptr<CPort> port = GetPort();
    return port && port->WriteByte(value);
}

bool CPortMan::IsOwnDevice(const CString& name)
{
    CPortDetailArray& list = ThePortList();
    // An entry stands for one device (its identity). A node leads to the device that holds it
    // now: our device plugged in again under another node is ours, another device that came up
    // under our old node is not.
    if (!m_sDisplayName.IsEmpty() && list.Exists(name) && list.Exists(m_sDisplayName))
        return list.SameEntry(name, m_sDisplayName);
    CString upper = name;
    upper.MakeUpper();
    if (list.OpenPathOf(upper).CompareNoCase(m_sSymbolicLink) == 0) return true;
    return GetState() != kPortOpen && !m_sAlternateDeviceName.IsEmpty() && name.CompareNoCase(m_sAlternateDeviceName) == 0;
}

void CPortMan::ReplaceDeviceChangeHandler(std::unique_ptr<CDeviceChangeHandler> handler)
{
    // The old handler is ended outside the lock: its thread may be reopening the port and wait
    // for the worker, which may be waiting for the lock to report a hang-up.
    std::unique_ptr<CDeviceChangeHandler> old;
    {
        std::lock_guard lock(m_deviceChangeMutex);
        old = std::move(m_pDeviceChange);
        m_pDeviceChange = std::move(handler);
    }
    old.reset();
}

void CPortMan::OnLineHungUp(const CPort* port)
{
    std::lock_guard lock(m_deviceChangeMutex);
    if (m_pDeviceChange) m_pDeviceChange->ReportHangUp(port);
}

bool CPortMan::IsOpenPortHungUp(const CPort* port) const
{
    const std::shared_ptr<CPort> current = GetPort();
    return current && current.get() == port && GetState() == kPortOpen && !current->IsMonitorRunning();
}

LRESULT CPortMan::OnDeviceChange(WPARAM code, const DeviceBroadcast* header)
{
    if (GetState() == kPortLent) return 0;
    const bool arrival = code == DBT_DEVICEARRIVAL;
    const bool removal = code == DBT_DEVICEREMOVEPENDING || code == DBT_DEVICEREMOVECOMPLETE;
    if ((!arrival && !removal) || !header) return 0;
    if (header->devicetype != DBT_DEVTYP_PORT && header->devicetype != DBT_DEVTYP_DEVICEINTERFACE) return 0;
    const CString& name = header->name;
    CPortDetailArray& list = ThePortList();
    // Every arrival refreshes the list: a node known from before may now belong to another
    // device, which the refresh lists under its own identity before the node is matched.
    if (arrival) RefreshPortList();
    list.SetPresent(name, arrival);
    if (!IsOwnDevice(name)) return 0;
    if (arrival) {
        const int state = GetState();
        if (state != kPortOffLineDeviceGone && state != kPortNotOpenYet) return 0;
        m_bKeepRetrying = true;
        Reopen(true);
        RaiseEvent(PORT_EVENT_DEVICE_ARRIVED);
        return 1;
    }
    if (GetState() == kPortOpen) {
        SetOffLine(true);
        RaiseEvent(PORT_EVENT_DEVICE_REMOVED);
    }
    return static_cast<LRESULT>(0xFFFFFFFF);
}

LRESULT CPortMan::OnQueryPort(WPARAM asker, LPARAM value)
{
    const CString name = m_pLending->ReadName();
    CPortDetailArray& list = ThePortList();
    // Only a port that this manager holds open is lent.
    if (GetState() != kPortOpen || name.IsEmpty() || !list.Exists(name) || !list.SameEntry(name, m_sSymbolicLink))
        return 0;
    SetOffLine(false);
    SetState(kPortLent);
    m_pLending->Reply(static_cast<std::uint64_t>(asker), value);
    RaiseEvent(PORT_EVENT_LENT_OR_RETURNED);
    return 0;
}

LRESULT CPortMan::OnReplyPort(WPARAM, LPARAM)
{
    // A reply that no query of ours asked for would close and reopen our port for nothing.
    if (!m_pLending->IsQueryOutstanding()) return 0;
    const CString name = m_pLending->ReadName();
    SetState(kPortNotOpenYet);
    CPortDetailArray& list = ThePortList();
    if (list.Exists(name) && list.SameEntry(name, m_sSymbolicLink))
        m_pLending->RecordBorrowed(name);
    else
        Reopen(true);
    return 0;
}

LRESULT CPortMan::OnReturnPort(WPARAM, LPARAM)
{
    const CString name = m_pLending->ReadName();
    CPortDetailArray& list = ThePortList();
    if (GetState() != kPortLent || !list.Exists(name) || !list.SameEntry(name, m_sSymbolicLink)) return 0;
    SetState(kPortNotOpenYet);
    Reopen(true);
    RaiseEvent(PORT_EVENT_LENT_OR_RETURNED);
    return 0;
}
