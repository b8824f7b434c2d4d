#include "workflow/workflow_timer_window.h"

#include "workflow/com_port.h"

namespace workflow {

WorkflowTimerWindow::WorkflowTimerWindow(CComPort& controller, platform::MessageLoop& loop)
    : CWnd(loop), m_com(controller)
{
}

void WorkflowTimerWindow::SetupConnectedAndGroup()
{
    m_com.COM_SetupConnectedSensor();
    if (m_com.Peers().diagnostic) m_com.Peers().diagnostic->DetectMultiport();
    m_com.m_nCurSensor = 0;
    m_com.m_nLastActivatedRow = -1;
    m_com.m_nCountActivePorts = 0;
    m_com.m_nSelectedPortRec = m_com.m_nAutoActivateRow;
    m_com.m_nAutoActivateRow += 256;
    SetTimer(kTimerFurtherPort, 50);
}

void WorkflowTimerWindow::ActivateNextFurtherPort()
{
    m_com.SetZMCOMConfgFlow(ZM_SENSOR_SET_CHANGED);
    m_com.COM_CompleteSensorSetup(m_com.m_nCurSensor, *this);
    ++m_com.m_nCurSensor;
    if (m_com.m_nCurSensor > 3) {
        m_com.m_nAutoActivateRow = -1;
        m_com.m_nActivePortsRecorded = m_com.m_nCountActivePorts;
    }
}

void WorkflowTimerWindow::OnTimer(UINT_PTR id)
{
    KillTimer(id);
    switch (id) {
    case kTimerConnectNext:
        // The further ports wait until the first sensor is identified.
        if (m_com.GetZMCOMConfgFlow() == ZM_START_INIT) {
            SetTimer(kTimerConnectNext, 100);
            break;
        }
        SetupConnectedAndGroup();
        break;
    case kTimerSetupConnected:
        SetupConnectedAndGroup();
        break;
    case kTimerProbeOpen:
    case kTimerProbeNextBaud:
        m_com.COM_ProbeStep(2);
        break;
    case kTimerProbeAnswerWait:
    case kTimerProbePassOver:
        m_com.COM_ProbeNextPort();
        break;
    case kTimerProbeStatusReplay:
        m_com.COM_ReplayStoredStatusAnswer();
        break;
    case kTimerSearchEnd:
        // The search has ended: connect the sensor it found.
        m_com.COM_ConnectSensor(0, 3);
        break;
    case kTimerCloseFirstPort:
        m_com.m_strReceiveCOM.Empty();
        if (m_com.m_pPortMan) m_com.m_pPortMan->SetOffLine();
        SetTimer(kTimerSearchAgain, 100);
        break;
    case kTimerSearchAgain:
        m_com.m_strReceiveCOM.Empty();
        m_com.COM_SearchComPorts(0);
        break;
    case kTimerRestartSensor:
        m_com.COM_SendRestartSensor();
        break;
    case kTimerBaudRestart:
        m_com.m_strReceiveCOM.Empty();
        m_com.COM_ZMCOMConfgSetNewBaudrateIsSetRestartDevice();
        break;
    case kTimerSwConfigWrite:
        if (m_com.m_pMainFrame) m_com.m_pMainFrame->SetSensorTriggerFlags(m_com.m_nCurSensor);
        m_com.COM_ZMCOMConfgSetSoftwareConfigBlock(m_com.m_nCurSensor, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS);
        break;
    case kTimerRotorOperationWrite:
        m_com.COM_ZMCOMConfgSetSerialNumberRotorOperation(m_com.m_nCurSensor, -1);
        break;
    case kTimerSwConfigWhenIdle:
        // The software configuration waits until the measurement has ended.
        if (m_com.m_pMeasureCtrlSettings && m_com.m_pMeasureCtrlSettings->bRunning == 1) {
            SetTimer(kTimerSwConfigWhenIdle, 500);
            break;
        }
        m_com.COM_ZMCOMConfgSetSoftwareConfigBlock(m_com.m_nCurSensor, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS);
        KillTimer(kTimerSwConfigWhenIdle);
        break;
    case kTimerFilterRestart:
        m_com.m_strReceiveCOM.Empty();
        m_com.COM_ZMCOMConfgNewLowPassFilterIsSetRestartThatDevice();
        break;
    case kTimerSlavesPrepared:
        m_com.COM_ShowSensorsNotPreparedMessage();
        break;
    case kTimerFurtherPort:
        ActivateNextFurtherPort();
        break;
    default:
        OnOtherTimer(id);
        break;
    }
}

void WorkflowTimerWindow::OnOtherTimer(UINT_PTR) {}

LRESULT WorkflowTimerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kMsgFirstPortData) return m_com.OnReceiveChain(wParam, lParam);
    if (message == kMsgFirstPortEvent) return m_com.OnPortManagerNotify(wParam, lParam);
    if (message >= kMsgFurtherPortData && message < kMsgFurtherPortData + kMaxSensorPorts)
        return m_com.OnReceivePort(static_cast<int>(message - kMsgFurtherPortData), wParam, lParam);
    if (message >= kMsgFurtherPortEvent && message < kMsgFurtherPortEvent + kMaxSensorPorts)
        return m_com.OnPortManagerNotify(wParam, lParam);
    return CWnd::OnMessage(message, wParam, lParam);
}

}  // namespace workflow
