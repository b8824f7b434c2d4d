// Acknowledgements on the measuring ports (a multiport device, or a port opened for
// measuring): the counterpart of the configuration-mode analysis, port by port.

#include "workflow/com_port.h"

void CComPort::ZMCOMMeasure_AnalyseAck()
{
    EmptyRecvBuffer(m_nCurSensor);
    EndAnswerWait();
    auto runSequencer = [this](int mode) {
        if (m_peers.sequencer) m_peers.sequencer->RunStep(mode);
    };

    switch (m_iZMCOMConfgFlow) {
    case ZM_CNFG_SW_CONFIG_SET_SCALING_A: {
        m_pfnReplyHandler = nullptr;
        m_strBlockStatorSwConfig = m_strPendingSwConfigBlock;
        ReapplySoftwareConfigBlock();
        if (m_peers.measureSetup) {
            const int sensor = m_nCurSensor >= 0 && m_nCurSensor < 6 ? m_nCurSensor : 0;
            m_peers.measureSetup->RefreshChannelRow(m_nRealSensorIndex[0][static_cast<std::size_t>(sensor)]);
            m_peers.measureSetup->UpdateChannelCheckBox(0);
        }
        if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
        break;
    }
    case ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS:
        if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
        break;
    case ZM_CNFG_SET_NEW_LOW_PASS_FILTER:
        EmptyRecvBuffer(m_nCurSensor);
        m_pfnReplyHandler = nullptr;
        SetFrameTimer(kTimerFilterRestart, 100);
        break;
    case ZM_PORT_LOOP_STATOR_OPERATION:
        EmptyRecvBuffer(m_nPortLoop);
        ++m_nPortLoop;
        m_pfnReplyHandler = nullptr;
        if (m_nPortLoop < m_nCountActivePorts) {
            if (m_peers.connection) m_peers.connection->SetTimer(workflow::kConnPageTimerPortLoop, 500);
        } else {
            COM_ZMRestartSensorAfterInit();
        }
        break;
    case ZM_WRITE_SEQ_STATOR_OPERATION:
        for (int port = 0; port < kMaxSensorPorts; ++port) EmptyRecvBuffer(port);
        m_iZMCOMConfgFlow = ZM_WRITE_SEQ_ROTOR_OPERATION;
        runSequencer(2);
        break;
    case ZM_WRITE_SEQ_ROTOR_OPERATION:
        m_iZMCOMConfgFlow = ZM_WRITE_SEQ_NEXT_PORT;
        if (m_peers.sequencer && m_peers.sequencer->Advance()) break;
        m_bConfigWriteDone = 1;
        m_iZMCOMConfgFlow = ZM_WRITE_SEQ_DONE;
        SetFrameTimer(kTimerClose, 1000);
        break;
    case ZM_WRITE_SEQ_NEXT_PORT:
        m_iZMCOMConfgFlow = ZM_WRITE_SEQ_ROTOR_OPERATION;
        runSequencer(2);
        break;
    case ZM_4xS_CTRL_OFF:
    case ZM_4xS_CTRL_ON:
        if (m_nCurSensor == 0) {
            if (m_pMeasureCtrlSettings) m_pMeasureCtrlSettings->nControlState = m_iZMCOMConfgFlow == ZM_4xS_CTRL_ON ? 1 : 0;
            if (m_peers.measureControl) m_peers.measureControl->UpdateControlLed();
        }
        if (m_nCurSensor >= 0 && m_nCurSensor < kMaxSensorPorts) m_bPortAnswered[static_cast<std::size_t>(m_nCurSensor)] = 1;
        if (AllPortsAnswered()) {
            COM_4xS_SingleShot(-1);
            m_pfnReplyHandler = nullptr;
        }
        break;
    case ZM_4xS_SERIAL_NUMBER:
        EmptyRecvBuffer(m_nCurSensor);
        m_pfnReplyHandler = nullptr;
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        if (m_peers.measureControl) m_peers.measureControl->CheckSensorVersion(ZM_4xS_SERIAL_NUMBER);
        break;
    default:
        break;
    }
}

void CComPort::OnSequencerStepPassedOver()
{
    if (m_nCountActivePorts > 1) ZMCOMMeasure_AnalyseAck();
    else COM_ContinueAfterAck();
}
