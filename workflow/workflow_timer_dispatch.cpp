#include "workflow/workflow_timer_dispatch.h"

#include "platform/wnd.h"
#include "workflow/com_port.h"

namespace workflow {

void SetupConnectedAndGroup(CComPort& com, CWnd& stepWindow)
{
    com.COM_SetupConnectedSensor();
    if (com.Peers().diagnostic) com.Peers().diagnostic->DetectMultiport();
    com.m_nCurSensor = 0;
    com.m_nLastActivatedRow = -1;
    com.m_nCountActivePorts = 0;
    com.m_nSelectedPortRec = com.m_nAutoActivateRow;
    com.m_nAutoActivateRow += 256;
    stepWindow.SetTimer(kTimerFurtherPort, 50);
}

void ActivateNextFurtherPort(CComPort& com, CWnd& stepWindow)
{
    com.SetZMCOMConfgFlow(ZM_SENSOR_SET_CHANGED);
    com.COM_CompleteSensorSetup(com.m_nCurSensor, stepWindow);
    ++com.m_nCurSensor;
    if (com.m_nCurSensor > 3) {
        com.m_nAutoActivateRow = -1;
        com.m_nActivePortsRecorded = com.m_nCountActivePorts;
        // Only the modules of a multiport device carry an index; separate sensors keep the
        // identity map instead of being reported as wrongly numbered modules.
        if (com.m_nCountActivePorts > 1 && com.IsAnyPortWithModuleIndex()) com.COM_CheckMultiSensorIndices();
        // The first sensor's factors were worked out while it counted as the only one: every
        // sensor of the device gets those of its channel as it is now, so that a value shown
        // before the next start is in the unit its channel names (an encoder back in another
        // mode counts another measurand).
        if (com.m_nCountActivePorts > 1 && com.m_pMainFrame) com.COM_CalcScaleFactorsOfActiveChannels();
        // The connection of the first sensor refreshed the pages while the device still counted
        // as that one sensor: now they take every sensor's blocks and the device's rates.
        // A device connected again without a start-up (after a baud-rate change) counts as
        // connected from here on, as after one: its loss is noticed and its set-up written.
        if (com.m_pMainFrame && com.m_nCountActivePorts > 0 && !com.m_pMainFrame->IsSensorConnected())
            com.m_pMainFrame->SetSensorConnectedFlag();
        else if (com.m_pMainFrame)
            com.m_pMainFrame->SensorConfigurationRead();
        com.SetFurtherPortsPending(false);
        com.HoldMeasuringUntilConnected(false);
        // The information page shows the sensors connected here, not only the one identified
        // first.
        workflow::IInformationPage* information = com.Peers().information;
        if (information && com.m_nCountActivePorts > 0) {
            information->SetSensorPresent(true);
            information->SetTimer(kInfoPageTimerFill, 10);
        }
    }
}

bool DispatchWorkflowTimer(CComPort& com, CWnd& stepWindow, UINT_PTR id)
{
    switch (id) {
    case kTimerConnectNext:
        // The further ports wait until the first sensor is identified.
        if (com.GetZMCOMConfgFlow() == ZM_START_INIT) {
            stepWindow.SetTimer(kTimerConnectNext, 100);
            return true;
        }
        SetupConnectedAndGroup(com, stepWindow);
        return true;
    case kTimerSetupConnected:
        SetupConnectedAndGroup(com, stepWindow);
        return true;
    case kTimerAfterReconnect:
        com.COM_EndOneSensorConnection();
        return true;
    case kTimerProbeOpen:
    case kTimerProbeNextBaud:
        com.COM_ProbeStep(2);
        return true;
    case kTimerProbeAnswerWait:
        com.COM_ProbeAnswerWaitExpired();
        return true;
    case kTimerProbePassOver:
        com.COM_ProbeNextPort();
        return true;
    case kTimerProbeStatusReplay:
        com.COM_ReplayStoredStatusAnswer();
        return true;
    case kTimerSearchEnd:
        // The search has ended: connect the sensor it found.
        com.COM_ConnectSensor(0, 3);
        return true;
    case kTimerCloseFirstPort:
        com.m_strReceiveCOM.Empty();
        if (com.m_pPortMan) com.m_pPortMan->SetOffLine();
        stepWindow.SetTimer(kTimerSearchAgain, 100);
        return true;
    case kTimerSearchAgain:
        com.m_strReceiveCOM.Empty();
        com.COM_SearchComPorts(0);
        return true;
    case kTimerRestartSensor:
        com.COM_SendRestartSensor();
        return true;
    case kTimerBaudRestart:
        com.m_strReceiveCOM.Empty();
        com.COM_ZMCOMConfgSetNewBaudrateIsSetRestartDevice();
        return true;
    case kTimerSwConfigWrite:
        if (com.m_pMainFrame) com.m_pMainFrame->SetSensorTriggerFlags(com.m_nCurSensor);
        com.COM_ZMCOMConfgSetSoftwareConfigBlock(com.m_nCurSensor, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS);
        return true;
    case kTimerRotorOperationWrite:
        com.COM_ZMCOMConfgSetSerialNumberRotorOperation(com.m_nCurSensor, -1);
        return true;
    case kTimerSwConfigWhenIdle:
        // The software configuration waits until the measurement has ended.
        if (com.IsMeasurementRunning()) {
            stepWindow.SetTimer(kTimerSwConfigWhenIdle, 500);
            return true;
        }
        stepWindow.KillTimer(kTimerSwConfigWhenIdle);
        com.COM_WritePostponedSoftwareConfigs();
        return true;
    case kTimerFilterRestart:
        com.m_strReceiveCOM.Empty();
        com.COM_ZMCOMConfgNewLowPassFilterIsSetRestartThatDevice();
        return true;
    case kTimerSlavesPrepared:
        com.COM_ShowSensorsNotPreparedMessage();
        return true;
    case kTimerFurtherPort:
        ActivateNextFurtherPort(com, stepWindow);
        return true;
    case kTimerChainFill:
        com.OnChainFillTimeout();
        return true;
    case kTimerAnswerWatch:
        com.OnAnswerWatchExpired();
        return true;
    case kTimerPortOpenPause:
    case kTimerProbeProgress:
    case kTimerRestartPause:
    case kTimerControlSettlePause:
    case kTimerControlPortPause:
    case kTimerProbeStreamDrain:
        com.RunPausedSteps(id);
        return true;
    default:
        return false;
    }
}

bool DispatchPortMessage(CComPort& com, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == kMsgFirstPortData) {
        result = com.OnReceiveChain(wParam, lParam);
        return true;
    }
    if (message == kMsgFirstPortEvent) {
        result = com.OnPortManagerNotify(wParam, lParam);
        return true;
    }
    if (message >= kMsgFurtherPortEvent && message < kMsgFurtherPortEvent + kMaxSensorPorts) {
        result = com.OnFurtherPortNotify(static_cast<int>(message - kMsgFurtherPortEvent), wParam, lParam);
        return true;
    }
    if (message >= kMsgFurtherPortData && message < kMsgFurtherPortData + kMaxSensorPorts) {
        result = com.OnReceivePort(static_cast<int>(message - kMsgFurtherPortData), wParam, lParam);
        return true;
    }
    return false;
}

}  // namespace workflow
