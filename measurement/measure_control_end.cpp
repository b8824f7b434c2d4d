// The end of a measurement: the stop add-on program and the pass/fail verdict, the buttons, and
// the trigger's auto repeat.

#include "environment/lang_ui.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_panel.h"
#include "res/string_table.h"
#include "workflow/com_port.h"

namespace measurement {

void CDlgMeasureDiagram::RunAddOnProgram(bool start)
{
    const CString path = m_frame.AddOnProgramPath(start);
    // An empty path or "n.a." starts nothing; a program that cannot be started is told of and
    // the measurement goes on. A stop program that is not there was told of when the
    // measurement started.
    if (!start && !AddOnProgramFound(path)) return;
    measurement::RunAddOnProgram(path, m_launcher);
}

bool CDlgMeasureDiagram::EvaluatePassFail()
{
    const IoNioInputs in = m_frame.GetIoNioInputs();
    if (!in.defined) return false;
    MeasuredValueRecord record;
    const CComPort& com = Com();
    for (std::size_t c = 0; c < record.value.size(); ++c) record.value[c] = com.m_adMaxValue[0][c];
    // A condition the page does not judge comes without its channel: it holds, and the result
    // file leaves it out.
    CValidation_IO_NIO validation;
    m_verdict = validation.Execute(record, in.measurand[0], in.measurand[1], in.limitText[0], in.limitText[1], in.limitText[2],
                                   in.limitText[3], 0);
    m_bHasVerdict = true;
    m_lastIoNioInputs = in;
    m_bPassFail = {m_verdict.condition1, m_verdict.condition2};
    return true;
}

void CDlgMeasureDiagram::RunStopAddProgram()
{
    if (!m_bStarted) return;
    // A measurement that a lost or silent sensor cut short never reached its planned end (a
    // test that never reached its load would pass): it is not judged, the light stays neutral
    // and no verdict is written.
    const bool cutShort = m_bCutShort;
    m_bCutShort = false;
    if (cutShort) m_frame.SetLight(-1);
    else if (EvaluatePassFail()) m_frame.SetLight(m_bPassFail[0] && m_bPassFail[1] ? 0 : 2);
    if (m_psMsureDgrm->bTrggrWasActiveLastTime) RunAddOnProgram(false);
    m_bStarted = 0;
    Changed();
}

// The sensor-interface module of stator type 5 that is no HMB-USB device (its channel-layout
// bit clear), on a port that is not the USB interface's.
bool CDlgMeasureDiagram::IsRs485Interface() const
{
    const CComPort& com = Com();
    const CSensorRecord& first = com.m_Sensor[0];
    if (first.m_sIdent[kIdentStatorId] != 5 || first.m_sIdent[kIdentHmbUsb] != 0) return false;
    const int row = com.m_nPortRecOfSensor[0];
    if (row < 0 || row >= kPortTableRows) return false;
    CString description = com.m_PortRec[static_cast<std::size_t>(row)].m_strDescription;
    return description.Find("Tessaline USB") < 0;
}

void CDlgMeasureDiagram::ResetButtonsAfterMeasurement()
{
    if (!m_frame.Flag(FrameFlag::EndMarker)) {
        SetButtons(PanelButtons::Idle);
        UpdateButtonStates();
    }
    // The measurement is over: the status bar no longer says that it runs.
    if (m_bSensorActive) m_frame.SetStatusText(kTextReady);
    if (m_bProtocolError) {
        if (IsRs485Interface()) {
            LangMessageBox(kTextRs485Problem);
            m_frame.BeginWaitCursorOnce();
            m_frame.ScanViewListItems(1);
            m_frame.EndWaitCursorOnce();
        } else {
            m_bProtocolError = 0;
        }
    }
    m_frame.StoreDiagramAtEnd();
    m_nFocusRequest = IDC_MC_START;
    Changed();
}

void CDlgMeasureDiagram::AfterMeasurement(int flag)
{
    if (flag == 0) {
        m_nRestartAttempts = 0;
        SetStorageStepCount(0);
    }
    ++m_nRestartAttempts;
    if (SensorCount() > 1 && !m_bMultiportReady) {
        SetTimer(kTimerAfterMeasurement, 50);
        return;
    }
    SetStorageStepCount(m_nRestartAttempts);
    MeasureRunState& r = *m_psMsureDgrm;
    // This step can come long after the end (it waits for the values written behind): a
    // trigger the user armed again meanwhile, or a measurement started since, is theirs and
    // stays as it is.
    if (r.bTrggrWasActiveLastTime && (IsTriggerArmed() || IsRunning())) {
        Changed();
        return;
    }
    if (r.bTrggrWasActiveLastTime) {
        const bool repeat = m_controls.IsChecked(IDC_MC_AUTO_REPEAT);
        const bool held = m_frame.ActiveViewKind() == kSetupViewKind || m_frame.Flag(FrameFlag::ShuttingDown) || !m_bSensorActive;
        if (repeat && r.triggerOn && held) {
            // The set-up page stopped it to be changed, the program closes, or the sensors are
            // gone (their ports closed for a search, or lost): no new trigger is armed while
            // the page is shown (each choice on it would wait for the end of that measurement),
            // nor while the set-up is being stored, nor on ports a search is probing (a sensor
            // set streaming there would stream on unheard); the user arms it again.
            r.triggerOn = 0;
            m_frame.DiagramSetRunState(0, 0);
            ShowTriggerCaption();
        } else if (repeat && r.triggerOn) {
            m_bUserArming = 0;
            OnBnClickedTrigger();
        } else if (!repeat) {
            m_frame.DiagramSetRunState(0, 0);
        }
    } else if (!r.triggerOn) {
        m_controls.SetText(IDC_MC_TRIGGER, LoadLangString(kTextTriggerOn));
    }
    Changed();
}

}  // namespace measurement
