// Measured-value answers ('A', 16 bytes): the end of a sensor's start-up, single shots, the
// channel scaling page's values, and the acquisition of a user calibration, which polls the
// sensor every 25 ms and averages 300 answers per phase.

#include <cmath>

#include "platform/message_box.h"
#include "workflow/com_port.h"
#include "workflow/workflow_texts.h"

namespace {

constexpr int kValueAnswerLength = 16;
constexpr int kAnswersPerPhase = 300;
constexpr int kEarlyScaleCheck = 50;
constexpr int kEndValueErrorA = 0x10;
constexpr int kEndValueErrorB = 0x20;

enum CalibRing { kRingRawA = 0, kRingRawB = 1, kRingValueA = 2, kRingValueB = 3 };

double RoundedMean(workflow::IWorkflowFrame* frame, int ring)
{
    double mean = 0.0;
    if (frame) frame->GetCalibAverage(ring, mean);
    return std::trunc(std::round(mean));
}

}  // namespace

bool CComPort::IsDeviceCodeDual(const std::array<BYTE, kIdentCount>& ident)
{
    return ident[kIdentHmbUsb] == 1 && ident[kIdentNoDigitalInput] == 1;
}

bool CComPort::IsDeviceCode5(const std::array<BYTE, kIdentCount>& ident)
{
    return ident[kIdentHmbUsb] == 1 && ident[kIdentNoDigitalInput] == 0 && ident[kIdentStatorId] == 5;
}

// Decodes a whole values answer whose check bytes hold and removes it from the chain.
bool CComPort::DecodeValueAnswer()
{
    if (m_strReceiveCOM.GetLength() < kValueAnswerLength || !HasCheckedAnswerFrame()) return false;
    EndAnswerWait();
    const BYTE* answer = m_strReceiveCOM.bytes();
    ValueAnswer& v = m_sValueAnswer;
    v.nRawA = static_cast<LONG>(GetUInt16(answer[5], answer[6]));
    v.nRawB = static_cast<LONG>(GetUInt16(answer[7], answer[8]));
    v.nValueA = GetInt16(answer[9], answer[10]);
    ++v.nDecoded;
    const int valueB = GetInt16(answer[11], answer[12]);
    v.nValueB = IsDeviceCode5(CurrentSensor().m_sIdent) ? (valueB >= 0 ? 1 : 0) : valueB;
    v.bControlOn = answer[13] != 0 ? 1 : 0;
    m_strReceiveCOM.Delete(0, kValueAnswerLength);
    return true;
}

void CComPort::ZMCOMConfg_AnalyseValues()
{
    if (!DecodeValueAnswer()) return;
    const ValueAnswer& v = m_sValueAnswer;
    EndPollAnswerWait();
    if (m_iZMCOMConfgFlow == ZM_SINGLE_SHOT) {
        m_iZMCOMConfgFlow = ZM_START_MEASURE_SOSM;
        if (m_pMainFrame) m_pMainFrame->RefreshChannelViews(1);
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        m_pfnReplyHandler = nullptr;
        if (m_bSingleShotForScaling && m_peers.measureSetup) m_peers.measureSetup->ShowScalingValues(v.nValueA, v.nValueB);
    } else if (m_iZMCOMConfgFlow == ZM_READ_RAW_CALIB_INIT) {
        ++m_sCalib.nCount;
        if (m_peers.calibration) m_peers.calibration->AdvanceProgress(1);
    }
    m_bSingleShotForScaling = 0;
}

void CComPort::ZMCOMConfg_AnalyseCalibFifo()
{
    if (!DecodeValueAnswer()) return;
    m_bSingleShotForScaling = 0;
    if (m_peers.measureControl) m_peers.measureControl->ShowControlState(m_sValueAnswer.bControlOn != 0);

    switch (m_iZMCOMConfgFlow) {
    case ZM_START_INIT:
        if (IsRereading()) {
            COM_FinishSensorReread();
            break;
        }
        if (m_pMainFrame) {
            m_iZMCOMConfgFlow = ZM_START_MEASURE_SOSM;
            if (m_nCountActivePorts > 0) m_pMainFrame->RefreshChannelViews(2);
            m_iZMCOMConfgFlow = ZM_START_INIT;
        }
        COM_FinishStartup();
        COM_CompleteConnection();
        break;
    case ZM_LIST_CTRL_CHANGE_READ_RAW:
        m_iZMCOMConfgFlow = ZM_START_MEASURE_SOSM;
        if (m_pMainFrame) m_pMainFrame->RefreshChannelViews(2);
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        break;
    case ZM_READ_RAW_CALIB_INIT:
        ++m_sCalib.nCount;
        if (m_peers.calibration) m_peers.calibration->AdvanceProgress(1);
        AcquireCalibrationAnswer();
        break;
    default:
        break;
    }
}

void CComPort::AcquireCalibrationAnswer()
{
    const ValueAnswer& v = m_sValueAnswer;
    workflow::IWorkflowFrame* frame = m_pMainFrame;
    if (frame) {
        frame->AddCalibValue(kRingRawA, v.nRawA);
        frame->AddCalibValue(kRingValueA, v.nValueA);
        frame->AddCalibValue(kRingRawB, m_bDualDevice ? v.nRawA : v.nRawB);
        frame->AddCalibValue(kRingValueB, m_bDualDevice ? v.nValueA : v.nValueB);
    }
    CalibChannel& a = m_sCalib.channel[0];
    CalibChannel& b = m_sCalib.channel[1];
    auto stopPolling = [this] {
        if (m_peers.measureControl) m_peers.measureControl->StopPollTimer();
    };
    const int count = m_sCalib.nCount;

    switch (m_sCalib.nPhase) {
    // Each phase ends on exactly its last answer: answers still on the way when the polling
    // stopped must not end it a second time.
    case 0:
        if (count != kAnswersPerPhase) break;
        m_nScalePhaseSum = 0;
        stopPolling();
        a.dZeroRaw = RoundedMean(frame, kRingRawA);
        b.dZeroRaw = RoundedMean(frame, kRingRawB);
        a.dZeroValue = RoundedMean(frame, kRingValueA);
        b.dZeroValue = RoundedMean(frame, kRingValueB);
        a.bZeroDone = b.bZeroDone = 1;
        if (!a.bControlDone && !b.bControlDone && !m_sCalib.bWithoutControl) COM_ZMSetCtrlOn();
        else if (m_peers.calibration) m_peers.calibration->StartZeroPromptWait();
        break;
    case 1:
        m_nScalePhaseSum += v.nValueA;
        if (count == kEarlyScaleCheck &&
            static_cast<std::uint32_t>(m_nScalePhaseSum) / static_cast<std::uint32_t>(count) < 500u) {
            if (m_peers.calibration) m_peers.calibration->ShowScaleWarning();
        }
        if (count != kAnswersPerPhase) break;
        if (m_nScalePhaseSum / kAnswersPerPhase < 1000 && m_peers.calibration) m_peers.calibration->ShowScaleWarning();
        stopPolling();
        a.dScaleRaw = RoundedMean(frame, kRingRawA);
        b.dScaleRaw = RoundedMean(frame, kRingRawB);
        a.dScaleValue = RoundedMean(frame, kRingValueA);
        b.dScaleValue = RoundedMean(frame, kRingValueB);
        a.bScaleDone = b.bScaleDone = 1;
        if (a.bZeroDone && b.bZeroDone && ((a.bControlDone && b.bControlDone) || m_sCalib.bWithoutControl))
            ComputeAndWriteCalibration();
        break;
    case 2:
        if (m_sCalib.bWithoutControl ? count != 1 : count != kAnswersPerPhase) break;
        stopPolling();
        a.dControlRaw = RoundedMean(frame, kRingRawA);
        b.dControlRaw = RoundedMean(frame, kRingRawB);
        a.dControlValue = RoundedMean(frame, kRingValueA);
        b.dControlValue = RoundedMean(frame, kRingValueB);
        a.bControlDone = b.bControlDone = 1;
        COM_ZMSetCtrlOff();
        break;
    default:
        break;
    }
}

void CComPort::ComputeAndWriteCalibration()
{
    workflow::ICalibrationPage* page = m_peers.calibration;
    int errors = 0;
    bool done = false;
    if (page) {
        page->CalculateCalibValues(false, false, errors);
        const bool bothEndValuesBad = (errors & kEndValueErrorA) && (errors & kEndValueErrorB);
        done = page->CalculateCalibValues(!bothEndValuesBad, false, errors);
        if (!done && CurrentSensor().m_sIdent[kIdentSupport] == 1) done = page->CalculateCalibValues(true, true, errors);
    }
    if (done) {
        COM_ZMCOMConfgSetNewUserCalib();
        return;
    }
    // The page ends the calibration before its message is shown: a box left open must not be
    // taken for a sensor that stopped answering.
    if (page) page->ReportCalibrationRefused(errors);
    else AfxMessageBox(workflow::WorkflowText(workflow::kTextCalibrationLoadCheck));
    if (!IsControlOn()) {
        m_bCalibrationRunning = 0;
        if (page) page->CloseScaleValuePromptIfVisible();
    }
}

void CComPort::COM_FinishStartup()
{
    EndIdentificationWatch();
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
        if (m_peers.information) m_peers.information->SetTimer(workflow::kInfoPageTimerFill, 10);
        const CPortRecord* row = CurrentPortRecord();
        if (row && row->m_bSlotFilled[0] && row->m_bSlotFilled[1]) {
            // The message names the port the sensors share (its name, without the description).
            CString port = row->m_strPortName;
            if (const int blank = port.Find(' '); blank > 0) port = port.Left(blank);
            CString text;
            text.Format("%s \"%s\" %s", workflow::WorkflowText(workflow::kTextOneSensorPerBus).GetString(),
                        port.GetString(), workflow::WorkflowText(workflow::kTextMoreThanOneSensor).GetString());
            AfxMessageBox(text);
        }
        m_bStartupDone = 1;
    }
    if (m_peers.startUp) m_peers.startUp->EndSearchProgress();
    if (m_peers.connection) m_peers.connection->ClearBaudChangeFlag();
}

void CComPort::COM_EndOneSensorConnection()
{
    // The frame is no longer busy with the connection: Start is taken from now on, unless
    // further sensors are still to be connected.
    if (!m_bFurtherPortsPending) HoldMeasuringUntilConnected(false);
    if (!m_pMainFrame) return;
    // After the ports of a multiport device were reopened for one sensor the frame does not yet
    // know it as connected; after a start-up it does.
    if (!m_pMainFrame->IsSensorConnected()) m_pMainFrame->SetSensorConnectedFlag();
    m_pMainFrame->StartActivationCheck();
    m_pMainFrame->EndWaitCursorOnce();
}

void CComPort::COM_CompleteConnection()
{
    if (m_pMainFrame) m_pMainFrame->BeginWaitCursorOnce();
    const int portsCounted = m_peers.connection ? m_peers.connection->CountSensorPorts() : 0;
    // A connection asked for with its further ports (a search, Connect after Disconnect) has
    // them follow on timer 8 whatever page is shown: it completes with them. Completed as one
    // sensor meanwhile, the first sensor was left connected as one while those steps opened
    // the others beside it.
    const bool severalAwaited = m_bFurtherPortsPending != 0;
    if (!severalAwaited && (m_nSensorPortCount < 2 || portsCounted < 2 || m_nConnectionOverride != 0)) {
        HandOverBlockTexts(0, m_Sensor[0]);
        m_nCountActivePorts = 1;
        if (m_pMainFrame) m_pMainFrame->StartActivationCheck();
        // The sensor was shown ready a moment ago, but the frame stays busy until timer 15, and
        // a busy frame's Start does nothing: Start waits, visibly, until then.
        HoldMeasuringUntilConnected(true);
        SetFrameTimer(kTimerAfterReconnect, 20);
    } else if (m_bStartupDone || m_strLastPortName == m_strPortState) {
        m_bStartupDone = 0;
        AwaitFurtherPorts();
        SetFrameTimer(kTimerConnectNext, 100);
    }
}

void CComPort::AwaitFurtherPorts()
{
    // Nothing is started on the device until its further sensors are connected too.
    SetFurtherPortsPending(true);
    HoldMeasuringUntilConnected(true);
}

void CComPort::SetFurtherPortsPending(bool pending)
{
    m_bFurtherPortsPending = pending ? 1 : 0;
    if (m_peers.connection) m_peers.connection->FurtherPortsPendingChanged();
}

void CComPort::HoldMeasuringUntilConnected(bool hold)
{
    // Connected: a device's restart has ended with it.
    if (!hold) EndDeviceRestart();
    if (m_peers.measureControl) m_peers.measureControl->HoldUntilConnected(hold);
}
