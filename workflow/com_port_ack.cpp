// Acknowledgements of the configuration-mode conversation: an ACK carries no data, so the
// workflow state alone says what it confirms and which step comes next.

#include "workflow/com_port.h"

namespace {

constexpr int kAckLength = 7;
constexpr BYTE kAck = 0x06;

void SetControlState(CComPort& com, int on)
{
    if (com.m_pMeasureCtrlSettings) com.m_pMeasureCtrlSettings->nControlState = on;
    if (com.Peers().measureControl) com.Peers().measureControl->UpdateControlLed();
}

}  // namespace

void CComPort::ZMCOMConfg_AnalyseAck()
{
    // An acknowledgement carries no data, so only a whole one, checked, confirms the step: a
    // piece of one waits for the rest, a whole one that fails its check is dropped.
    if (m_strReceiveCOM.GetLength() < kAckLength || m_strReceiveCOM.ByteAt(1) != kAck || !HasCheckedAnswerFrame()) return;
    COM_ContinueAfterAck();
}

void CComPort::EndConfirmedWrite()
{
    EndAnswerWait();
    m_pfnReplyHandler = nullptr;
    m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
}

void CComPort::COM_ContinueAfterAck()
{
    EndAnswerWait();
    KeepConfirmedWrite();  // the written block is the sensor's now
    workflow::IMeasureSetupPage* setup = m_peers.measureSetup;
    auto keepPendingBlock = [this]() { m_strBlockStatorSwConfig = m_strPendingSwConfigBlock; };
    auto runSequencer = [this](int mode) {
        if (m_peers.sequencer) m_peers.sequencer->RunStep(mode);
    };

    switch (m_iZMCOMConfgFlow) {
    case ZM_START_INIT:
        m_strReceiveCOM.Empty();
        CurrentSensor().m_cRefusalCode = 0;
        COM_SendValueRequest();
        break;
    case ZM_SET_CTRL_ON:
    case ZM_SET_CTRL_OFF: {
        const bool on = m_iZMCOMConfgFlow == ZM_SET_CTRL_ON;
        SetControlState(*this, on ? 1 : 0);
        m_strReceiveCOM.Empty();
        const CalibChannel& a = m_sCalib.channel[0];
        const CalibChannel& b = m_sCalib.channel[1];
        if (IsControlOn()) {
            // The control signal settles for 150 ms before its value is asked.
            PauseThen(kTimerControlSettlePause, 150, [this] {
                COM_ZMSingleShot();
                m_pfnReplyHandler = nullptr;
            });
        } else if (on ? (!a.bControlDone && !b.bControlDone) : (!a.bZeroDone && !b.bZeroDone)) {
            COM_ZMReadRawCalibInit(on ? 2 : 0);
        } else if (!on && m_peers.calibration) {
            m_peers.calibration->StartZeroPromptWait();
        }
        break;
    }
    case ZM_SET_CTRL_ON_SOSM:
    case ZM_SET_CTRL_OFF_SOSM:
        SetControlState(*this, m_iZMCOMConfgFlow == ZM_SET_CTRL_ON_SOSM ? 1 : 0);
        m_iZMCOMConfgFlow = ZM_START_MEASURE_SOSM;
        if (m_pMainFrame) m_pMainFrame->ConfigureMovingAverages(2);
        COM_SendMeasureSetup();
        break;
    case ZM_USERCALIB_DEACTIVATE:
    case ZM_USERCALIB_ACTIVATE:
    case ZM_FACTORYCALIB_ACTIVATE:
    case ZM_FACTORYCALIB_DEACTIVATE:
    case ZM_SET_INACCURACY_FACTORYCALIB:
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        COM_SendRestartSensor();
        break;
    case ZM_SET_NEW_USERCALIB:
    case ZM_SET_NEW_FACCALIB:
        if (m_peers.calibration) m_peers.calibration->AdvanceProgress(1);
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        COM_SendRestartSensor();
        break;
    case ZM_SET_INACCURACY_USERCALIB:
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        SetFrameTimer(kTimerRestartSensor, 200);
        break;
    case ZM_CNFG_SW_CONFIG_SET_SCALING_A:
    case ZM_CNFG_SW_CONFIG_SET_SCALING_B: {
        const int row = m_iZMCOMConfgFlow == ZM_CNFG_SW_CONFIG_SET_SCALING_A ? 0 : 1;
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        keepPendingBlock();
        ReapplySoftwareConfigBlock();
        if (setup) {
            setup->RefreshChannelRow(row);
            setup->UpdateChannelCheckBox(row);
        }
        EndConfirmedWrite();
        break;
    }
    case ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS:
        keepPendingBlock();
        m_strReceiveCOM.Empty();
        EndConfirmedWrite();
        break;
    case ZM_CNFG_SW_CONFIG_DELETE_BLOCK:
        m_strReceiveCOM.Empty();
        keepPendingBlock();
        ReapplySoftwareConfigBlock();
        if (setup) setup->CheckSameSensor();
        EndConfirmedWrite();
        break;
    case ZM_CNFG_SET_NEW_BAUDRATE:
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        SetFrameTimer(kTimerBaudRestart, 100);
        break;
    case ZM_SET_SERIAL_NUMBER_ROTOR_OPERATION:
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        if (m_peers.measureControl) m_peers.measureControl->CheckSensorVersion(0);
        break;
    case ZM_CNFG_SET_NEW_LOW_PASS_FILTER:
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        SetFrameTimer(kTimerFilterRestart, 100);
        break;
    case ZM_ANGLE_ZERO:
        m_strReceiveCOM.Empty();
        m_nRecordCount = 0;
        COM_ZMSingleShot();
        m_pfnReplyHandler = nullptr;
        break;
    case ZM_AUTO_STORAGE:
        m_strReceiveCOM.Empty();
        if (m_peers.measureControl) m_peers.measureControl->AutoStorageStep(0);
        m_pfnReplyHandler = nullptr;
        break;
    case ZM_WRITE_SEQ_STATOR_OPERATION:
        m_strReceiveCOM.Empty();
        if (IsDeviceCodeDual(m_Sensor[0].m_sIdent)) {
            m_iZMCOMConfgFlow = ZM_WRITE_SEQ_ROTOR_OPERATION;
            runSequencer(2);
        } else {
            m_iZMCOMConfgFlow = ZM_WRITE_SEQ_ROTOR_USER_CALIB;
            runSequencer(1);
        }
        break;
    case ZM_WRITE_SEQ_ROTOR_USER_CALIB:
        m_strReceiveCOM.Empty();
        m_iZMCOMConfgFlow = ZM_WRITE_SEQ_ROTOR_OPERATION;
        runSequencer(2);
        break;
    case ZM_WRITE_SEQ_ROTOR_OPERATION:
        // Done, at rest: the acknowledgement is taken and no answer is awaited. Left in the
        // chain with its analysis installed, it stood in front of the next step's answers (the
        // first value of a measurement started next was never read: a protocol error).
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        m_bConfigWriteDone = 1;
        m_iZMCOMConfgFlow = ZM_WRITE_SEQ_DONE;
        SetFrameTimer(kTimerClose, 1000);
        break;
    default:
        break;
    }
}
