// The panel's timers, the receive time-out watch, the multiport watch and the measured-value
// poll.

#include "environment/lang_ui.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_panel.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "workflow/com_port.h"

namespace measurement {

void CDlgMeasureDiagram::OnTimer(UINT_PTR id)
{
    // Timers 0 and 63 repeat; every other timer fires once.
    if (id != kTimerTriggerBlink && id != kTimerProgress && id != kTimerPortSearch) KillTimer(id);
    switch (id) {
    case kTimerTriggerBlink: {
        int& state = TriggerIndicator();
        state = state == 0 ? 2 : state == 2 ? 0 : 1;
        m_indicators.trigger = state;
        break;
    }
    case kTimerPortSearch:
        Com().COM_SearchComPorts(0);
        KillTimer(kTimerPortSearch);
        break;
    case kTimerReceiveTimeout: OnReceiveTimeout(); break;
    case kTimerControlBusy:
        m_frame.EndWaitCursorOnce();
        m_bControlBusy = 0;
        break;
    case kTimerStatusWatch:
        // The identification got no answer in time: the connection is reported unstable.
        if (Com().GetZMCOMConfgFlow() == ZM_START_INIT) Com().COM_ReportUnstableConnection();
        break;
    case kTimerDiagnosticList:
        // The list only: the grouping, and with it the start-up status flag, stay as they are.
        if (workflow::IDiagnosticPage* page = Com().Peers().diagnostic) page->RefreshDiagnosticList();
        break;
    case kTimerShowRefresh:
        if (m_frame.ActiveViewKind() == kControlViewKind) {
            RefreshSensorChecks();
            OnShowWindow(true, 1);
        }
        break;
    case kTimerSingleShotSetup:
    case kTimerSingleShotAngle: OnBnClickedSingleShot(); break;
    case kTimerMultiportWatch: OnMultiportWatch(); break;
    case kTimerAfterMeasurement: AfterMeasurement(1); break;
    case kTimerProgress: StepProgress(); break;
    case kTimerTimeExpired:
        SetProgress(1000);
        LangMessageBox(kTextTimeExpired);
        SetProgress(0);
        break;
    case kTimerEncoderWarning: m_controls.Show(IDC_MC_ENCODER_WARNING, true); break;
    default: break;
    }
    Changed();
}

void CDlgMeasureDiagram::OnReceiveTimeout()
{
    CComPort& com = Com();
    if (IsRunning()) {
        if (!m_bWarningShown && !m_frame.Flag(FrameFlag::MultiportGap)) {
            SetTimer(kTimerReceiveTimeout, com.m_nReceiveTimeoutMs);
            SetStateIndicator(3, " YELLOW! ");
            m_bWarningShown = 1;
            return;
        }
        m_bProtocolError = 1;
        m_bCutShort = true;
        m_frame.Flag(FrameFlag::ProtocolError) = 1;
        com.m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        SetStateIndicator(m_frame.Flag(FrameFlag::MultiportGap) ? 2 : 1, " # " + LoadLangString(kTextProtocolError));
        OnBnClickedStop();
        // The stop arms the time-out watch again for its own end; this end is the one. What a
        // stalled line still delivers afterwards belongs to no measurement: the stream counts
        // as ended, so those records neither arm the watch again nor end the measurement twice.
        KillTimer(kTimerReceiveTimeout);
        com.m_bStreamStarted = 0;
    }
    // A step begun since the stop (a rate chosen on the set-up page and written, say) holds the
    // workflow while its answer is awaited: the measurement's end leaves its state, or that
    // answer would go unheard and a sound sensor be reported lost.
    if (com.m_nAnswerWatchMs == 0) com.m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    m_frame.FinishMeasurement();
    const bool closePending = m_frame.Flag(FrameFlag::ClosePending) != 0;
    const bool afterWrite = m_frame.Flag(FrameFlag::CloseAfterWrite) != 0;
    const bool storageOff =
        m_frame.StorageMode(StorageKind::Values) == 0 && m_frame.StorageMode(StorageKind::IoNio) == 0;
    if ((closePending && storageOff) || afterWrite) {
        const int diagram = m_frame.StorageMode(StorageKind::Diagram);
        if ((diagram != 1 && diagram != 2) || afterWrite) m_frame.PostCloseMainWindow();
    }
}

void CDlgMeasureDiagram::EndMeasurementOnLostSensor()
{
    if (!IsRunning()) return;
    m_bCutShort = true;
    OnBnClickedStop();
    // No answer to the stop can come: the measurement ends now, its values kept and written.
    KillTimer(kTimerReceiveTimeout);
    Com().m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    m_frame.FinishMeasurement();
    Changed();
}

void CDlgMeasureDiagram::OnMultiportWatch()
{
    if (!m_bMultiportReady) {
        m_nMultiportRetries = 0;
        PrepareSlaves();
        return;
    }
    // Ready already (a single shot that ended, or the panel shown again, set the slaves up since
    // the stop): with no set-up waiting for its answers there is nothing to watch, and nothing
    // went wrong to tell.
    if (!Com().IsPreparingSlaves()) {
        m_nMultiportRetries = 0;
        return;
    }
    ++m_nMultiportRetries;
    if (m_nMultiportRetries < 5) {
        SetTimer(kTimerMultiportWatch, 50);
        return;
    }
    AfxMessageBox("Protokollfehler erkannt. (002)");
    m_nMultiportRetries = 0;
}

bool CDlgMeasureDiagram::StartPollTimer(UINT periodMs)
{
    // The start sends the first request together with starting the ticks.
    m_nPollPeriodMs = periodMs;
    m_nLastPollRequestUs = NowUs();
    return m_pollTimer.Start(periodMs, &CDlgMeasureDiagram::PollCallback, reinterpret_cast<std::uintptr_t>(this),
                             TIME_PERIODIC);
}

void CDlgMeasureDiagram::StopPollTimer() { m_pollTimer.Stop(); }

// Runs on whatever thread the timer device ticks on: it only posts the tick to the panel's
// window, so the tick's work (the run-state bytes, the frame's flags, the controller, message
// boxes) is done on the GUI thread. A tick that is still waiting is not posted twice.
void CDlgMeasureDiagram::PollCallback(UINT, UINT, std::uintptr_t user, std::uintptr_t, std::uintptr_t)
{
    auto* panel = reinterpret_cast<CDlgMeasureDiagram*>(user);
    if (!panel) return;
    if (panel->m_bTickPosted.exchange(true)) return;
    panel->PostPollTick();
}

bool CDlgMeasureDiagram::PollPeriodPassed() const
{
    // A quarter of the period is left to the pace of the ticks and of the window's thread.
    const std::int64_t periodUs = static_cast<std::int64_t>(m_nPollPeriodMs) * 1000;
    return NowUs() - m_nLastPollRequestUs >= periodUs - periodUs / 4;
}

void CDlgMeasureDiagram::PollTick()
{
    // A tick that was on its way when the poll stopped asks the sensor for nothing more.
    if (!m_pollTimer.IsRunning()) return;
    CComPort& com = Com();
    // After a busy spell of the window's thread, or a late tick, two ticks come back to back;
    // the second would find the first's request unanswered only for want of time. A request is
    // judged once it has been out for a poll period: a tick before then sends and judges
    // nothing. The calibration's raw reading asks only once its last request was answered.
    if (com.m_iZMCOMConfgFlow != ZM_READ_RAW_CALIB_INIT) {
        if (!PollPeriodPassed()) return;
        m_nLastPollRequestUs = NowUs();
    }
    MeasureRunState& r = *m_psMsureDgrm;
    if (r.shared.bCtrlSwitchRequest == 1) {
        m_frame.ConfigureMovingAverages(2);
        SendControlSignal(0);
        r.shared.bCtrlSwitchRequest = 0;
        return;
    }
    if ((r.angleZero[0] == 1 || r.angleZero[1] == 1) && r.shared.bAngleZeroRequest == 1 && m_bAngleZeroRequest) {
        m_frame.ConfigureMovingAverages(3);
        com.COM_SendRestartWithCheck(1);
        r.angleZero = {0, 0};
        m_bAngleZeroRequest = 0;
        if (!IsRunning()) m_frame.SetAngleZeroOptions({1, 0});
        else m_frame.ResetAngleReference();
        return;
    }
    if (com.m_iZMCOMConfgFlow != ZM_READ_RAW_CALIB_INIT) {
        if (IsRs485Interface()) {
            BYTE& received = m_frame.Flag(FrameFlag::DataReceived);
            if (received != 1) {
                StopPollTimer();
                LangMessageBox(kTextNoValues);
                m_frame.BeginWaitCursorOnce();
                m_frame.Flag(FrameFlag::EndRequest) = 1;
                m_frame.ScanViewListItems(1);
                m_frame.EndWaitCursorOnce();
                return;
            }
            received = 0;
        }
        com.COM_ZMSingleShot();
        return;
    }
    BYTE& raw = m_frame.Flag(FrameFlag::RawRequest);
    if (raw == 1) {
        com.COM_SendValueRequest();
        raw = 0;
    }
}

}  // namespace measurement
