#include "port/port.h"

#include <exception>

#include "platform/wait.h"
#include "port/port_man.h"
#include "port/thread_man.h"

// The construction flag is the manager's; no kind of this system reads it.
CPort::CPort(CPortMan* owner, BYTE /*flag*/) : m_pOwner(owner) {}

CPort::~CPort() = default;

std::shared_ptr<CPort> CPort::CreatePort(CPortMan* owner, BYTE flag)
{
    return std::make_shared<CPort>(owner, flag);
}

bool CPort::Open(const CString&, const DCB&, CDataCallback*, DWORD, CEventCallback*, DWORD)
{
    return false;
}

bool CPort::Close(bool)
{
    return false;
}

DWORD CPort::Read(void*, DWORD)
{
    return 0;
}

DWORD CPort::ReadAvailable(void*, DWORD)
{
    return 0;
}

bool CPort::WriteByte(BYTE)
{
    return false;
}

bool CPort::Write(const void*, DWORD)
{
    return false;
}

bool CPort::SetTimeouts(const COMMTIMEOUTS&)
{
    return true;
}

bool CPort::GetModemStatus(DWORD*)
{
    return true;
}

bool CPort::StartMonitor(CDataCallback* data, DWORD bufferSize, CEventCallback* event, DWORD eventMask)
{
    m_pDataCallback = data;
    m_dwBufferSize = bufferSize;
    m_pEventCallback = event;
    m_dwEventMask = eventMask;
    if (m_running.IsSignalled()) {
        SignalReconfigure();
        return true;
    }
    if (!IsOpen()) return true;
    if (!m_pWorker || m_pWorker->IsWorkerThread()) return false;
    // A body that ended by itself may still be on its last steps: its late end must not count
    // as the end of the body started here.
    platform::WaitForSingleObject(m_bodyEnded, INFINITE);
    m_running.Reset();
    m_abort.Reset();
    m_bodyEnded.Reset();
    m_bHungUp = false;
    m_stop.Reset();
    m_reconfigure.Reset();
    if (!m_pWorker->Run()) {
        m_bodyEnded.Set();  // no body runs
        return false;
    }
    // The body sets the running event first thing; one that ended at once sets the other.
    platform::WaitForMultipleObjects({m_running, m_bodyEnded}, INFINITE);
    return true;
}

void CPort::ThreadPrepare()
{
    m_running.Set();
}

void CPort::ThreadFinish()
{
    m_running.Reset();
    m_stop.Acknowledge();
}

void CPort::SignalReconfigure()
{
    if (m_pWorker && m_pWorker->IsWorkerThread()) return;  // would wait for itself
    m_reconfigure.Signal();
    platform::WaitForMultipleObjects({m_reconfigure.acknowledge(), m_bodyEnded}, INFINITE);
}

bool CPort::StopMonitor(bool wait)
{
    if (m_running.IsSignalled()) {
        m_pDataCallback = nullptr;
        m_pEventCallback = nullptr;
        m_stop.Signal();
    }
    // On the worker itself (a callback that closes its port) the loop sees the stop request
    // as soon as the callback returns; waiting here would wait for ourselves.
    if (m_pWorker && m_pWorker->IsWorkerThread()) return true;
    // Delivery to the owner never blocks the worker (it hands bytes over to the owner's loop),
    // so the worker reaches the stop request promptly and the wait needs no message pump. The
    // wait is for the body's very end, not for its acknowledgement of the stop: a body that
    // acknowledged (or ended by itself) still has steps to go, and the caller goes on to close
    // the device under it or to start the next body.
    platform::WaitForSingleObject(m_bodyEnded, wait ? INFINITE : 1000);
    return true;
}

DWORD CPort::RunThreadBody()
{
    ThreadPrepare();
    DWORD result = ERROR_INTERNAL_ERROR;
    try {
        result = ThreadLoop();
    } catch (...) {
        ReportEvent(EV_ERR, ERROR_INTERNAL_ERROR);
    }
    ThreadFinish();
    m_bodyEnded.Set();
    // Told only now that the body has ended, so the owner may close the port at once.
    if (m_bHungUp.exchange(false) && m_pOwner) m_pOwner->OnLineHungUp(this);
    return result;
}

bool CPort::Deliver(const BYTE* data, DWORD count)
{
    CDataCallback* callback = DataCallback();
    if (!callback || count == 0) return false;
    (*callback)(data, count);
    return true;
}

void CPort::ReportEvent(DWORD events, DWORD error)
{
    if (CEventCallback* callback = EventCallback()) (*callback)(events, error);
}
