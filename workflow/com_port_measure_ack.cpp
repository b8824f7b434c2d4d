// Acknowledgements on the measuring ports (a multiport device, or a port opened for
// measuring): the counterpart of the configuration-mode analysis, port by port.

#include "workflow/com_port.h"

namespace {
constexpr BYTE kStx = 0x02;
constexpr BYTE kAck = 0x06;
constexpr int kAckLength = 7;
}  // namespace

void CComPort::ZMCOMMeasure_AnalyseAck()
{
    // Only a whole acknowledgement at the head of the port's buffer, checked, confirms a step: a
    // piece of one waits for the rest, a whole one that fails its check is dropped.
    if (m_nCurSensor < 0 || m_nCurSensor >= kMaxSensorPorts) return;
    const auto slot = static_cast<std::size_t>(m_nCurSensor);
    const BYTE* buffer = m_RecvBuf[slot].data();
    if (m_nRecvCount[slot] < kAckLength || buffer[0] != kStx || buffer[1] != kAck || m_anCheckResult[slot] < 0) return;
    if (m_anCheckResult[slot] != 0) {
        EmptyRecvBuffer(m_nCurSensor);
        return;
    }
    ContinueMultiportAfterAck();
}

void CComPort::ContinueMultiportAfterAck()
{
    EmptyRecvBuffer(m_nCurSensor);
    KeepConfirmedWrite();  // the written block is the sensor's now
    // A step that asks several ports waits until each has answered.
    auto allAnswered = [this] {
        if (m_nCurSensor >= 0 && m_nCurSensor < kMaxSensorPorts) m_bPortAnswered[static_cast<std::size_t>(m_nCurSensor)] = 1;
        return AllPortsAnswered();
    };
    const int state = m_iZMCOMConfgFlow;
    // The steps that ask several ports wait for each of them.
    if (state != ZM_4xS_CTRL_OFF && state != ZM_4xS_CTRL_ON && state != ZM_ANGLE_ZERO &&
        state != ZM_CNFG_SW_CONFIG_SET_SCALING_A && state != ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS)
        EndAnswerWait();
    auto runSequencer = [this](int mode) {
        if (m_peers.sequencer) m_peers.sequencer->RunStep(mode);
    };

    // The block a sensor confirms is its own: the one written to it.
    auto keepWrittenBlock = [this] {
        if (m_nCurSensor < 0 || m_nCurSensor >= kMaxSensorPorts) return;
        const CString& written = m_strPendingSwConfigOf[static_cast<std::size_t>(m_nCurSensor)];
        KeepConfirmedBlock(m_nCurSensor, &CSensorRecord::m_strBlockStatorSwConfig, written);
        m_strBlockStatorSwConfig = written;  // the text the block's values are taken from again
    };

    switch (m_iZMCOMConfgFlow) {
    case ZM_CNFG_SW_CONFIG_SET_SCALING_A: {
        m_pfnReplyHandler = nullptr;
        keepWrittenBlock();
        ReapplySoftwareConfigBlock();
        if (m_peers.measureSetup) {
            const int sensor = m_nCurSensor >= 0 && m_nCurSensor < 6 ? m_nCurSensor : 0;
            m_peers.measureSetup->RefreshChannelRow(m_nRealSensorIndex[0][static_cast<std::size_t>(sensor)]);
            m_peers.measureSetup->UpdateChannelCheckBox(0);
        }
        if (allAnswered()) EndConfirmedWrite();
        break;
    }
    case ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS:
        keepWrittenBlock();
        // The write of the set-up ends when every sensor written has taken its block.
        if (allAnswered()) EndConfirmedWrite();
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
        m_pfnReplyHandler = nullptr;  // done, at rest: no answer is awaited
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
        if (allAnswered()) {
            COM_4xS_SingleShot(-1);
            m_pfnReplyHandler = nullptr;
        }
        break;
    case ZM_ANGLE_ZERO:
        // Every sensor asked has zeroed its angle: one value from every port shows it.
        if (allAnswered()) {
            m_nRecordCount = 0;
            COM_4xS_SingleShot(-1);
            m_pfnReplyHandler = nullptr;
        }
        break;
    case ZM_4xS_STATOR_OPERATION:
        // The sensor holds the block: every sensor of the device restarts with it.
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        m_bStartupStatus = 0;
        COM_ZMRestartSensorAfterInit();
        if (m_peers.measureControl) m_peers.measureControl->ClearRestartMarker();
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
    if (m_nCountActivePorts > 1) ContinueMultiportAfterAck();
    else COM_ContinueAfterAck();
}
