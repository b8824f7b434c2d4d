// The long status answer: identification of the sensor and the start of the block reads.

#include "workflow/com_port.h"
#include "workflow/port_names.h"

namespace {
constexpr int kStatusAnswerLength = 21;
}

void CComPort::ZMCOMConfg_AnalyseStatusLong()
{
    if (m_iZMCOMConfgFlow == ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED) {
        CPortRecord* rec = CurrentPortRecord();
        if (!rec) return;
        rec->m_nBaudRate = m_nBaudRate;
        int number = workflow::ComPortNumber(rec->m_strPortName);
        if (number < 0) number = workflow::ComPortNumber(rec->m_strDescription);
        if (number < 0) number = 0;
        if (number <= 254) m_nPortMark[static_cast<std::size_t>(number)] = m_nBaudRate;
        rec->m_nAddress = CurrentSensor().m_sIdent[kIdentAddress];
        SetSensorAddress(rec->m_nAddress, 0xFF);
        KillFrameTimer(kTimerProbeAnswerWait);
        COM_EvaluateProbeAnswer(m_nCurSensor);
        return;
    }

    if (m_strReceiveCOM.GetLength() <= 20) return;
    if (!HasCheckedAnswerFrame()) return;
    if (m_peers.measureControl) m_peers.measureControl->KillTimer(workflow::kCtrlPageTimerStatusWatch);

    const CString answer = m_strReceiveCOM;
    auto& id = CurrentSensor().m_sIdent;
    DecodeStatusLong(answer, &id[kIdentAddress], &id[kIdentOk], &id[kIdentCalibration], nullptr,
                     &id[kIdentNoDigitalInput], &id[kIdentHmbUsb], &id[kIdentOem], &id[kIdentSupport],
                     &id[kIdentStatorId], &id[kIdentStatorRevision], &id[kIdentRotorId], &id[kIdentRotorRevision],
                     &id[kIdentWatchdog], nullptr);
    m_strReceiveCOM.Empty();
    m_pfnReplyHandler = nullptr;

    switch (m_iZMCOMConfgFlow) {
    case ZM_START_INIT:
        m_bStartupStatus = 1;
        SendBlockRead(0x00);
        break;
    case ZM_GET_STATUS_LONG:
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        break;
    case ZM_CHECK_IF_HMB_USB_KM2_CHECK_ADDRESSES: {
        m_strLastStatusAnswer = answer.Left(kStatusAnswerLength);
        if (CurrentPortRecord()) {
            // Two slots, for sensor numbers 0 and 1; other numbers keep only the last answer.
            COM_StoreSensorStatusText(answer);
            ++m_nAnswerCount[static_cast<std::size_t>(m_nActivePortRec)];
        }
        KillFrameTimer(kTimerProbeAnswerWait);
        SetFrameTimer(kTimerProbeStatusReplay, 10);
        break;
    }
    default:
        break;
    }
}

void CComPort::COM_ReplayStoredStatusAnswer()
{
    m_iZMCOMConfgFlow = ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED;
    m_strReceiveCOM = m_strLastStatusAnswer;
    ZMCOMConfg_AnalyseStatusLong();
}

int CComPort::COM_MarkSensorPortsAt(int baud)
{
    int before = -1;
    const int sensors = m_nCountActivePorts > 1 ? m_nCountActivePorts : 1;
    for (int sensor = 0; sensor < sensors && sensor < kMaxSensorPorts; ++sensor) {
        const int number = workflow::ComPortNumber(PortNameOfSensor(sensor));
        if (number < 0 || number > 254) continue;
        int& mark = m_nPortMark[static_cast<std::size_t>(number)];
        if (sensor == 0) before = mark;
        mark = baud;
    }
    return before;
}
