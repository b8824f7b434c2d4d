// The ports of a multiport device in measurement mode. Until their receive path and device
// steps are built, each port's bytes are buffered (bounded) and a whole acknowledgement at the
// head of a port's buffer goes to the measurement-mode acknowledgement analysis.

#include <algorithm>

#include "workflow/com_port.h"

namespace {
constexpr BYTE kStx = 0x02;
constexpr BYTE kAck = 0x06;
constexpr int kAckLength = 7;
}  // namespace

LRESULT CComPort::OnReceivePort(int port, WPARAM count, LPARAM bytes)
{
    if (port < 0 || port >= kMaxSensorPorts) return 0;
    const auto* data = reinterpret_cast<const BYTE*>(bytes);
    auto& buffer = m_RecvBuf[static_cast<std::size_t>(port)];
    int& held = m_nRecvCount[static_cast<std::size_t>(port)];
    const int room = kRecvBufSize - held;
    const int take = std::min(static_cast<int>(count), room);
    if (data && take > 0) {
        std::copy(data, data + take, buffer.begin() + held);
        held += take;
    }
    ZMCOMMeasure_ReceivePort(port);
    return 0;
}

void CComPort::ZMCOMMeasure_ReceivePort(int port)
{
    const auto& buffer = m_RecvBuf[static_cast<std::size_t>(port)];
    const int held = m_nRecvCount[static_cast<std::size_t>(port)];
    if (held >= kAckLength && buffer[0] == kStx && buffer[1] == kAck) {
        m_nCurSensor = port;
        ZMCOMMeasure_AnalyseAck();
    }
}

bool CComPort::COM_4xS_SingleShot(int port)
{
    CString request;
    BuildValueRequest(request);
    m_iZMCOMConfgFlow = ZM_4xS_SINGLE_SHOT;
    bool all = true;
    for (int p = 0; p < m_nCountActivePorts && p < kMaxSensorPorts; ++p) {
        if (port >= 0 && p != port) continue;
        EmptyRecvBuffer(p);
        all = WriteOn(m_pPortManOfPort[static_cast<std::size_t>(p)], request) && all;
    }
    return all;
}

bool CComPort::COM_ZMRestartSensorAfterInit()
{
    CString request;
    BuildRestartRequest(request);
    m_iZMCOMConfgFlow = ZM_RESTART_AFTER_INIT_DEVICE;
    bool all = true;
    for (int p = 0; p < m_nCountActivePorts && p < kMaxSensorPorts; ++p)
        all = WriteOn(m_pPortManOfPort[static_cast<std::size_t>(p)], request) && all;
    return all;
}

bool CComPort::AllPortsAnswered() const
{
    for (int p = 0; p < m_nCountActivePorts && p < kMaxSensorPorts; ++p)
        if (!m_bPortAnswered[static_cast<std::size_t>(p)]) return false;
    return m_nCountActivePorts > 0;
}
