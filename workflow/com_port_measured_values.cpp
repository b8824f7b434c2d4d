// Measured-value answers ('A'): the end of a sensor's start-up and its hand-over to the next
// connection step. The value decoding itself and the user-calibration acquisition are kept to
// the least the connection needs until the measuring side is built: a whole answer is
// consumed, a single shot returns to rest, and the first answer of a start-up ends it.

#include "workflow/com_port.h"

namespace {
constexpr int kValueAnswerLength = 16;
}

bool CComPort::IsDeviceCodeDual(const std::array<BYTE, kIdentCount>& ident)
{
    return ident[kIdentHmbUsb] == 1 && ident[kIdentNoDigitalInput] == 1;
}

bool CComPort::IsDeviceCode5(const std::array<BYTE, kIdentCount>& ident)
{
    return ident[kIdentHmbUsb] == 1 && ident[kIdentNoDigitalInput] == 0 && ident[kIdentStatorId] == 5;
}

void CComPort::ZMCOMConfg_AnalyseValues()
{
    if (m_strReceiveCOM.GetLength() < kValueAnswerLength || !HasCheckedAnswerFrame()) return;
    m_strReceiveCOM.Delete(0, kValueAnswerLength);
    if (m_iZMCOMConfgFlow == ZM_SINGLE_SHOT) {
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        m_pfnReplyHandler = nullptr;
    }
    m_bSingleShotForScaling = 0;
}

void CComPort::ZMCOMConfg_AnalyseCalibFifo()
{
    if (m_strReceiveCOM.GetLength() < kValueAnswerLength || !HasCheckedAnswerFrame()) return;
    m_strReceiveCOM.Delete(0, kValueAnswerLength);
    if (m_iZMCOMConfgFlow == ZM_START_INIT) {
        COM_FinishStartup();
        COM_CompleteConnection();
    } else if (m_iZMCOMConfgFlow == ZM_LIST_CTRL_CHANGE_READ_RAW) {
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    }
}

void CComPort::COM_FinishStartup()
{
    m_nCountActivePorts = 1;
    if (m_pMainFrame) m_pMainFrame->SetSensorConnectedFlag();
    if (m_iZMCOMConfgFlow == ZM_START_INIT) {
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        m_pfnReplyHandler = nullptr;
        m_strReceiveCOM.Empty();
        if (m_peers.information) m_peers.information->SetSensorPresent(true);
        if (m_peers.measureControl) {
            m_peers.measureControl->SetSensorPresent(true);
            m_peers.measureControl->CheckSensorVersion(0);
        }
        if (m_peers.connection) m_peers.connection->RefreshEnableColumn();
        if (m_peers.information) m_peers.information->SetTimer(53, 10);
        m_bStartupDone = 1;
    }
    if (m_peers.startUp) m_peers.startUp->EndSearchProgress();
    if (m_peers.connection) m_peers.connection->ClearBaudChangeFlag();
}

void CComPort::COM_CompleteConnection()
{
    if (m_pMainFrame) m_pMainFrame->BeginWaitCursorOnce();
    const int portsCounted = m_peers.connection ? m_peers.connection->CountSensorPorts() : 0;
    if (m_nSensorPortCount < 2 || portsCounted < 2 || m_nConnectionOverride != 0) {
        HandOverBlockTexts(0, m_Sensor[0]);
        m_nCountActivePorts = 1;
        if (m_pMainFrame) m_pMainFrame->StartActivationCheck();
        SetFrameTimer(kTimerAfterReconnect, 20);
    } else if (m_bStartupDone || m_strLastPortName == m_strPortState) {
        m_bStartupDone = 0;
        SetFrameTimer(kTimerConnectNext, 100);
    }
}
