// Start, stop, trigger, control signal and single shot of the control panel.

#include "environment/lang_ui.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_panel.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {

void CDlgMeasureDiagram::OnBnClickedStart()
{
    m_bAngleZeroRequest = 0;
    if (m_bOperationBlocked || IsHeld()) return;
    // A measurement under way is never started again over itself (its curves and its file
    // would start anew); only an armed trigger still waiting for its start event is started.
    if (IsRunning() && !(IsTriggerArmed() && !m_frame.Triggers().recording)) return;
    if (IsTriggerArmed()) m_frame.DiagramSetRunState(0, 0);
    else m_frame.Triggers().stopArmed = 1;
    RestoreDurationSelection();
    StartMeasurement();
    m_controls.Enable(IDC_MC_DURATION_COMBO, false);
    Changed();
}

void CDlgMeasureDiagram::StartMeasurement()
{
    SetAllSensorsDisplayMode(1);
    if (m_frame.IsBusy()) return;
    SetStateIndicator(0, " - ");
    if (!Com().IsSensorReady()) {
        AfxMessageBox("Error 2587981");
        Changed();
        return;
    }
    if (!m_frame.CheckPowerUnits()) {
        LangMessageBox(kTextPowerUnits);
        return;
    }
    MeasureRunState& r = *m_psMsureDgrm;
    m_controls.SetText(IDC_MC_STOP_REASON, CString());
    m_frame.Flag(FrameFlag::StartPending) = 0;
    r.bTrggrWasActiveLastTime = 0;
    m_frame.Flag(FrameFlag::TriggerCycle) = m_bTriggerCycle;
    if (m_bTriggerCycle && !IsTriggerArmed()) {
        m_frame.StoreTriggerModes();
        Com().COM_CalcReceiveTimeout();
    }
    const bool triggered = IsTriggerArmed();
    if (triggered) {
        RunAddOnProgram(true);
        // The stop program runs after the stop: one that is not there is told now, while the
        // user is at the bench, and the measurement goes on.
        const CString stopProgram = m_frame.AddOnProgramPath(false);
        if (!AddOnProgramFound(stopProgram)) TellAddOnProgramFault(stopProgram);
    }

    m_frame.SetLight(-1);
    m_frame.Triggers().stoppedByEvent = 0;
    m_frame.Flag(FrameFlag::MultiportGap) = 0;
    m_frame.Flag(FrameFlag::ThirdStop) = 0;
    Com().COM_ResetMeasureStatistics();
    r.shared.bStoppedByUser = 0;
    // A new measurement reports its first receive time-out again.
    m_bWarningShown = 0;
    m_bHasVerdict = false;
    m_bCutShort = false;
    m_bPastStopEvent = false;
    if (SensorCount() > 1) m_frame.MarkChannelsWaitingForFirstValue();
    m_frame.DiagramLoadChannelSetup();

    if (!triggered) {
        Com().COM_SetMeasureRate();
        Com().COM_CalcReceiveTimeout();
        m_frame.SetStatusText(kTextMeasuring);
        m_frame.Flag(FrameFlag::WaitingForStart) = 0;
        SetRunningButtons();
        m_frame.OpenMeasValueFiles(0);
        PrepareAngleZeroRequests(false);
        Com().COM_StartMeasure(-1, true);
    } else {
        m_bGraphStart = 1;
        m_frame.DiagramStartGraph(true);
        m_frame.Flag(FrameFlag::WaitingForStart) = 0;
        KillTimer(kTimerTriggerBlink);
        TriggerIndicator() = 1;
        m_indicators.trigger = 1;
        SetRunningButtons();
        m_frame.OpenMeasValueFiles(0);
        TriggerState& t = m_frame.Triggers();
        t.recording = 1;
        t.startTime = m_frame.Now();
        t.plannedEndTime = t.startTime + t.durationSeconds;
        ShowStopLimit();
        m_frame.SetStatusText(kTextWaitForStop);
        PrepareAngleZeroRequests(true);
    }
    m_frame.SetAngleZeroOptions(r.angleZero);
    m_bStarted = 1;
    SetTimer(kTimerProgress, 1000);
    Changed();
}

void CDlgMeasureDiagram::SetRunningButtons()
{
    SetButtons(PanelButtons::Running);
    UpdateButtonStates();
    m_nFocusRequest = IDC_MC_STOP;
    if (SensorCount() > 1) RefreshSensorChecks();
    if (m_bDeveloperView) {
        // The simulated gap of the value-loss test: the delivery of sensor n (as the counters
        // number them) that begins with the byte typed (a record's sequence byte, 0 to 255,
        // which the controller compares as a signed byte), after the value number typed.
        CComPort& com = Com();
        com.m_bSyncTestDropOne = m_controls.IsChecked(IDC_MC_ONE_GAP) ? 1 : 0;
        com.m_nSyncTestPort = static_cast<int>(ReadLimitText(m_controls.Text(kGapField[0]))) - 1;
        const auto firstByte = static_cast<BYTE>(static_cast<int>(ReadLimitText(m_controls.Text(kGapField[1]))));
        com.m_nSyncTestFirstByte = static_cast<signed char>(firstByte);
        const double first = ReadLimitText(m_controls.Text(IDC_MC_GAP_FIRST));
        com.m_nSyncTestAfterRecords = first > 0.0 ? static_cast<UINT>(first) : 0u;
    }
}

void CDlgMeasureDiagram::OnBnClickedStop()
{
    m_frame.Flag(FrameFlag::TriggerCycle) = 0;
    MeasureRunState& r = *m_psMsureDgrm;
    // An angle zero the stream has not served yet belongs to this measurement alone.
    r.shared.bStreamAngleZeroRequest = 0;
    if (IsRunning()) {
        // Stop goes off at the click: the stop is under way, and nothing is left to stop while
        // the measurement's end (its files written) is still to come.
        SetButtons(PanelButtons::Stopped);
        UpdateButtonStates();
        m_frame.MeasurementStopping();
        m_frame.BeginWaitCursorOnce();
        if (IsTriggerArmed()) {
            r.bTrggrWasActiveLastTime = 1;
            SetTriggerArmed(false);
        } else {
            m_frame.Triggers().recording = 0;
        }
        CComPort& com = Com();
        const bool noRecordYet = com.m_bMeasureRunning && com.m_nRecordCount == 0;
        com.COM_StopMeasure();
        if (noRecordYet) m_frame.SetFirstRecordTime(m_frame.Now());
    }
    if (!m_controls.IsChecked(IDC_MC_AUTO_REPEAT)) ShowAroundTriggerPanel(false);
    if (Com().m_iZMCOMConfgFlow != 9) SetProgress(0);
    KillTimer(kTimerProgress);
    RestoreDurationSelection();
    Changed();
}

void CDlgMeasureDiagram::OnBnClickedTrigger()
{
    if (m_frame.IsBusy() || m_bOperationBlocked || IsHeld() || m_bControlBusy) return;
    MeasureRunState& r = *m_psMsureDgrm;
    if (m_bUserArming) {
        SetAllSensorsDisplayMode(0);
        m_frame.Flag(FrameFlag::MultiportGap) = 0;
        m_frame.SetLight(-1);
        SetStateIndicator(0, " - ");
    }
    m_frame.SetAngleZeroOptions(r.angleZero);
    if (!Com().IsSensorReady()) {
        AfxMessageBox("Error 22231");
        m_bUserArming = 1;
        Changed();
        return;
    }
    TriggerState& t = m_frame.Triggers();
    if (IsTriggerArmed()) {
        if (t.recording) {
            r.shared.bStoppedByUser = 0;
            t.recording = 0;
        } else {
            r.shared.bStoppedByUser = 1;
            m_frame.DiagramSetRunState(0, 0);
        }
        r.triggerOn = 0;
        OnBnClickedStop();
        m_frame.SetStatusText(kTextReady);
        ShowAroundTriggerPanel(false);
        if (Com().m_iZMCOMConfgFlow != 9) SetProgress(0);
        KillTimer(kTimerProgress);
    } else {
        CComPort& com = Com();
        com.COM_ResetMeasureStatistics();
        com.COM_SetMeasureRate();
        m_frame.FreeConvertList();
        SetTriggerArmed(true);
        r.shared.bStoppedByUser = 0;
        t.recording = 0;
        // A click takes the set-up page's trigger modes; an automatic repeat keeps them.
        if (m_bUserArming) {
            m_frame.StoreTriggerModes();
            ShowAroundTriggerPanel(true);
        }
        m_frame.UpdateTriggerFlags();
        com.COM_CalcReceiveTimeout();
        ComputeTriggerHysteresis();
        TriggerIndicator() = 2;
        m_indicators.trigger = 2;
        SetTimer(kTimerTriggerBlink, 250);
        SetArmedTriggerButtons();
        m_frame.SetStatusText(kTextWaitForStart);
        r.triggerOn = 1;
        m_bGraphStart = 0;
        m_frame.DiagramLoadChannelSetup();
        m_bWarningShown = 0;
        m_bHasVerdict = false;
        m_bCutShort = false;
        m_bPastStopEvent = false;
        com.COM_StartMeasure(ZM_TRIGGER_ACTIV, false);
        m_frame.Flag(FrameFlag::WaitingForStart) = 1;
        t.firstValue = 1;
        if (m_bUserArming) {
            m_frame.Flag(FrameFlag::TriggerCycle) = 1;
            if (const CMeasureSetup* setup = m_frame.SetupRecord()) t.stopDirection = setup->stopDirection;
        }
        m_controls.Enable(IDC_MC_DURATION_COMBO, false);
    }
    m_bUserArming = 1;
    Changed();
}

void CDlgMeasureDiagram::OnBnClickedControl()
{
    if (m_bOperationBlocked || m_bControlBusy || IsHeld()) return;
    m_bControlBusy = 1;
    if (SensorCount() > 1) {
        m_controls.Enable(IDC_MC_START, false);
        m_indicators.busyShown = true;
        m_bMultiportReady = 0;
    }
    m_frame.BeginWaitCursorOnce();
    SetTimer(kTimerControlBusy, 350);
    if (!IsRunning()) {
        Com().COM_ResetMeasureStatistics();
        m_frame.ConfigureMovingAverages(1);
        SendControlSignal(0);
    } else {
        m_psMsureDgrm->shared.bCtrlSwitchRequest = 1;
    }
    Changed();
}

void CDlgMeasureDiagram::SendControlSignal(int mode)
{
    int& state = m_psMsureDgrm->shared.nControlState;
    if (state != 0 && state != 1) {
        state = 0;
        return;
    }
    CComPort& com = Com();
    if (mode == 0) {
        if (state == 0) com.COM_ZMSetCtrlOn();
        else com.COM_ZMSetCtrlOff();
    } else {
        if (state == 0) com.COM_SendCtrlOn();
        else com.COM_SendCtrlOff();
    }
}

void CDlgMeasureDiagram::OnBnClickedSingleShot()
{
    if (m_bOperationBlocked || IsHeld() || IsRunning()) return;
    Com().COM_ResetMeasureStatistics();
    m_frame.ConfigureMovingAverages(1);
    Com().COM_SendSingleShot(false, -1);
    if (SensorCount() > 1) {
        m_controls.Enable(IDC_MC_START, false);
        m_indicators.busyShown = true;
        m_bMultiportReady = 0;
    }
    Changed();
}

void CDlgMeasureDiagram::SetProgress(int position)
{
    m_nProgress = position < 0 ? 0 : position > 1000 ? 1000 : position;
    Changed();
}

void CDlgMeasureDiagram::StepProgress()
{
    // No progress base (no limit known): the bar stays at the start.
    if (m_nProgressBase <= 0) {
        SetProgress(0);
        return;
    }
    const double position = static_cast<double>(m_frame.DiagramPointCount()) / m_nProgressBase * 1000.0;
    SetProgress(position >= 1000.0 ? 1000 : static_cast<int>(position));
}

}  // namespace measurement
