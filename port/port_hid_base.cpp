#include "port/port_hid_base.h"

#include <algorithm>

#include "platform/wait.h"

CPortHidBase::CPortHidBase(CPortMan* owner, BYTE flag, std::unique_ptr<HidDevice> device)
    : CPortUsbBase(owner, flag), m_dwRequestedBufferSize(m_dwBufferSize), m_device(device ? std::move(device) : MakeHidrawDevice())
{
}

CPortHidBase::~CPortHidBase()
{
    CPortHidBase::Close(false);
}

bool CPortHidBase::IsOpen() const
{
    std::lock_guard lock(m_deviceMutex);
    return m_device->IsOpen();
}

bool CPortHidBase::Open(const CString& path, const DCB&, CDataCallback* data, DWORD, CEventCallback* event, DWORD eventMask)
{
    if (IsOpen()) return true;
    {
        std::lock_guard lock(m_deviceMutex);
        const DWORD error = m_device->Open(path);
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            return false;
        }
        std::vector<BYTE> descriptor;
        HidParsedDescriptor parsed;
        if (m_device->ReportDescriptor(&descriptor) && ParseHidReportDescriptor(descriptor.data(), descriptor.size(), &parsed))
            m_caps = parsed.caps;
        m_outputReport.assign(m_caps.OutputReportByteLength + 1u, 0);
    }
    m_abort.Reset();
    m_dwBufferSize = m_caps.InputReportByteLength + 1u;
    StartMonitor(data, m_caps.InputReportByteLength + 1u, event, eventMask);
    return true;
}

bool CPortHidBase::StartMonitor(CDataCallback* data, DWORD bufferSize, CEventCallback* event, DWORD eventMask)
{
    m_dwRequestedBufferSize = bufferSize;
    // One read takes exactly one input report.
    return CPort::StartMonitor(data, std::max<DWORD>(m_caps.InputReportByteLength, 1), event, eventMask);
}

bool CPortHidBase::Close(bool)
{
    if (!IsOpen()) return true;
    m_abort.Set();
    StopMonitor(true);
    {
        std::lock_guard lock(m_deviceMutex);
        m_device->Close();
    }
    m_pRing->WakeReaders();
    m_outputReport.clear();
    return true;
}

int CPortHidBase::InputPollFd() const
{
    std::lock_guard lock(m_deviceMutex);
    return m_device->PollFd();
}

long CPortHidBase::ReadInput(BYTE* block, DWORD size, DWORD)
{
    return m_device->ReadReport(block, size);
}

bool CPortHidBase::WriteReport(const BYTE* header, DWORD headerLength, const BYTE* data, DWORD count)
{
    const DWORD length = m_caps.OutputReportByteLength;
    if (m_outputReport.empty() || headerLength + count > length) return false;
    std::fill(m_outputReport.begin(), m_outputReport.end(), 0);
    std::copy(header, header + headerLength, m_outputReport.begin());
    if (count > 0) std::copy(data, data + count, m_outputReport.begin() + headerLength);
    return WriteRawReport(m_outputReport.data(), length);
}

bool CPortHidBase::WriteRawReport(const BYTE* buffer, DWORD length)
{
    std::lock_guard lock(m_deviceMutex);
    if (!m_device->IsOpen() || m_abort.IsSignalled()) return false;
    const long written = m_device->WriteReport(buffer, length);
    if (written < 0) SetLastError(m_device->LastError());
    return written == static_cast<long>(length);
}

void CPortHidBase::DeliverFramed(const BYTE* report, DWORD count, DWORD lengthAt, DWORD payloadAt)
{
    if (count <= lengthAt || count <= payloadAt) return;
    const int announced = static_cast<signed char>(report[lengthAt]);
    if (announced <= 0) return;
    DeliverOrStore(report + payloadAt, std::min<DWORD>(static_cast<DWORD>(announced), count - payloadAt));
}
