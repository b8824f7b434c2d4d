#include "port/port_bulk.h"

CPortBulk::CPortBulk(CPortMan* owner, BYTE flag, std::unique_ptr<BulkDevice> device)
    : CPortUsbBase(owner, flag), m_device(device ? std::move(device) : MakeLibusbBulkDevice())
{
}

CPortBulk::~CPortBulk()
{
    CPortBulk::Close(false);
}

std::shared_ptr<CPort> CPortBulk::CreatePort(CPortMan* owner, BYTE flag)
{
    return std::make_shared<CPortBulk>(owner, flag);
}

bool CPortBulk::Open(const CString& path, const DCB&, CDataCallback* data, DWORD bufferSize, CEventCallback* event,
                     DWORD eventMask)
{
    if (!m_device->IsReadPipeOpen()) {
        m_abort.Reset();
        if (m_device->OpenReadPipe(path)) StartMonitor(data, bufferSize, event, eventMask);
        if (!m_device->IsWritePipeOpen()) m_device->OpenWritePipe(path);
    }
    if (!m_device->IsReadPipeOpen() || !m_device->IsWritePipeOpen()) SetLastError(m_device->LastError());
    return m_device->IsReadPipeOpen() && m_device->IsWritePipeOpen();
}

bool CPortBulk::Close(bool)
{
    if (m_device->IsReadPipeOpen()) {
        m_abort.Set();
        StopMonitor(true);
        m_device->CloseReadPipe();
        m_pRing->WakeReaders();
    }
    if (m_device->IsWritePipeOpen()) m_device->CloseWritePipe();
    return true;
}

bool CPortBulk::Write(const void* data, DWORD count)
{
    if (!m_device->IsWritePipeOpen() || m_abort.IsSignalled()) return false;
    const long sent = m_device->Write(static_cast<const BYTE*>(data), count, kWriteTimeoutMs);
    if (sent < 0) SetLastError(m_device->LastError());
    return sent == static_cast<long>(count);
}
