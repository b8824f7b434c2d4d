#include "measurement/measure_control_panel.h"

#include "environment/lang_ui.h"
#include "measurement/measure_control_ids.h"
#include "measurement/zm_state_names.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {
namespace {
// The buttons in the order of the run state's enable flags.
constexpr int kVisibleButtonIds[6] = {IDC_MC_START, IDC_MC_STOP, IDC_MC_SINGLE_SHOT, IDC_MC_TRIGGER, IDC_MC_CONTROL, IDC_MC_ANGLE_ZERO};
// Every button but Stop sends to the sensors: none may reach a sensor that restarts or is
// still being connected (its frame would go to a line in change, and the connection fail).
bool IsHeldUntilConnected(int button) { return button != kBtnStop; }

// What each state of the panel does to each button's enable flag.
enum ButtonMark : unsigned char { Off, On, Keep, Flip, WhileArmed, UnlessStreaming };
constexpr ButtonMark kButtonMarks[5][6] = {
    //                  Start Stop Single  Trigger     Control          Angle zero
    /* Idle */         {On,   Off, On,     On,         On,              Keep},
    /* Connected */    {On,   Off, On,     On,         On,              On},
    /* ArmedTrigger */ {On,   Off, Off,    On,         Flip,            Off},
    /* Running */      {Off,  On,  Off,    WhileArmed, UnlessStreaming, Off},
    /* Stopped */      {Keep, Off, Keep,   Off,        Off,             On},
};
}  // namespace

// The panel's window: its timers and the posted poll ticks.
class CDlgMeasureDiagram::PanelWindow : public CWnd {
public:
    PanelWindow(CDlgMeasureDiagram& panel, platform::MessageLoop& loop) : CWnd(loop), m_panel(panel) {}
    static constexpr UINT kMsgPollTick = WM_APP + 0x138;

protected:
    void OnTimer(UINT_PTR id) override { m_panel.OnTimer(id); }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kMsgPollTick) {
            m_panel.m_bTickPosted = false;
            m_panel.PollTick();
            return 0;
        }
        return CWnd::OnMessage(message, wParam, lParam);
    }

private:
    CDlgMeasureDiagram& m_panel;
};

CDlgMeasureDiagram::CDlgMeasureDiagram(IControlFrame& frame, IAddOnLauncher& launcher, platform::MessageLoop& loop)
    : m_frame(frame),
      m_launcher(launcher),
      m_window(std::make_unique<PanelWindow>(*this, loop)),
      m_psMsureDgrm(std::make_unique<MeasureRunState>())
{
}

CDlgMeasureDiagram::~CDlgMeasureDiagram() { m_pollTimer.Stop(); }

void CDlgMeasureDiagram::PostPollTick() { m_window->PostMessage(PanelWindow::kMsgPollTick); }

std::int64_t CDlgMeasureDiagram::NowUs() const { return m_window->loop().NowUs(); }

int CDlgMeasureDiagram::TakeFocusRequest()
{
    const int id = m_nFocusRequest;
    m_nFocusRequest = 0;
    return id;
}

CComPort& CDlgMeasureDiagram::Com() const { return m_frame.Com(); }

int CDlgMeasureDiagram::ActivePorts() const { return Com().m_nCountActivePorts; }

int CDlgMeasureDiagram::SensorCount() const
{
    const CComPort& com = Com();
    return com.m_nCountActivePorts > 0 ? com.m_nCountActivePorts : 0;
}

CString CDlgMeasureDiagram::GetZmCommandName(int code) { return measurement::GetZmCommandName(code); }

void CDlgMeasureDiagram::SetTimer(UINT_PTR id, UINT ms) { m_window->SetTimer(id, ms); }

void CDlgMeasureDiagram::KillTimer(UINT_PTR id) { m_window->KillTimer(id); }

void CDlgMeasureDiagram::SetStateIndicator(int state, const CString& caption)
{
    m_indicators.state = state;
    m_controls.SetText(IDC_MC_STATE_LED, caption);
}

bool CDlgMeasureDiagram::OnInitDialog()
{
    ApplyDeveloperView();
    // The picture control and the placement button only keep their places in the layout; they
    // have nothing to show.
    m_controls.Show(IDC_MC_PICTURE, false);
    m_controls.Show(IDC_MC_PLACEMENT, false);
    m_controls.Show(IDC_MC_ENCODER_WARNING, false);
    m_controls.Show(IDC_MC_FIXED_LIMIT, false);
    // The angle-zero options and the power boxes wait for a sensor they belong to.
    for (int k = 0; k < 2; ++k) {
        m_controls.Show(kAngleZeroOption[k], false);
        m_controls.Show(kPowerShowCheck[k], false);
    }
    ShowAroundTriggerPanel(false);
    Changed();
    return true;
}

void CDlgMeasureDiagram::OnShowWindow(bool show, int status)
{
    if (!show) return;
    const int sensors = SensorCount();
    if (status != 0) {
        if (m_frame.Flag(FrameFlag::ShuttingDown)) return;
        if (m_bTextsStale) {
            LoadLanguageTexts();
            m_bTextsStale = 0;
            if (m_frame.GetIoNioInputs().defined) m_frame.OnChannelView(6);
        }
        RefreshSensorChecks();
        if (sensors >= 1) m_frame.ArmFrameTimer(40, 50);
        if (sensors > 1 && !m_bMultiportReady) SetTimer(kTimerMultiportWatch, 1000);
    } else {
        const bool rateUnknown = m_controls.Text(IDC_MC_RATE).Find("n.a.") >= 0;
        if (rateUnknown || m_bTextsStale) {
            const CString before = m_controls.Text(IDC_MC_RATE);
            LoadLanguageTexts();
            m_bTextsStale = 0;
            // Ready only once set up: one that must wait is left to the stop's watch.
            if (sensors > 1 && (m_controls.Text(IDC_MC_RATE) != before || !m_bMultiportReady) && PrepareSlaves())
                m_bMultiportReady = 1;
        } else if (sensors > 1 && !m_bMultiportReady && PrepareSlaves()) {
            m_bMultiportReady = 1;
        }
    }
    m_controls.Show(IDC_MC_ENCODER_WARNING, false);
    CheckQuadratureEncoder();
    if (sensors >= 1) {
        LayoutAngleControls();
        // The set-up page hid the power views while it was shown.
        ShowPowerViewsAsChecked();
    }
    // Shown again while a measurement runs or a trigger waits (the set-up page, which changes
    // what the options are built from, stops both), the duration row stays as the start left it.
    if (!IsRunning() && !IsTriggerArmed()) BuildDurationOptions();
    Changed();
}

void CDlgMeasureDiagram::LoadLanguageTexts()
{
    m_nLanguage = GetLanguage();
    m_controls.SetText(IDC_MC_GROUP, LoadLangString(kTextGroup));
    m_controls.SetText(IDC_MC_START, LoadLangString(kTextStart));
    m_controls.SetText(IDC_MC_STOP, LoadLangString(kTextStop));
    m_controls.SetText(IDC_MC_SINGLE_SHOT, LoadLangString(kTextSingleShot));
    m_controls.SetText(IDC_MC_AUTO_REPEAT, LoadLangString(kTextAutoRepeat));
    m_controls.SetText(IDC_MC_CONTROL, LoadLangString(kTextControl));
    BuildSensorInfoText(m_bSensorActive ? m_nLanguage : -1);
    UpdateButtonStates();
    // The button states may still wait for a multiport device; the caption is a text all the same.
    ShowTriggerCaption();
    m_controls.SetText(IDC_MC_SENSOR_GROUP, LoadLangString(kTextShowSensors));
    TranslateDurationRow();
    ShowEncoderWarningText();
    m_controls.SetText(IDC_MC_PLACEMENT, CString());
    if (SensorCount() >= 1) LayoutAngleControls();
    Changed();
}

void CDlgMeasureDiagram::RefreshSensorChecks()
{
    const int sensors = SensorCount();
    if (sensors < 2) {
        m_controls.Show(IDC_MC_SENSOR_GROUP, false);
        for (int i = 0; i < 4; ++i) {
            m_controls.Show(kSensorCheck[i], false);
            m_controls.Check(kSensorCheck[i], false);
            ShowSensorInDiagram(i);
        }
    } else {
        m_controls.Show(IDC_MC_SENSOR_GROUP, true);
        const CMeasureSetup* setup = m_frame.SetupRecord();
        for (int i = 1; i <= 4; ++i) {
            const int id = kSensorCheck[i - 1];
            m_controls.Show(id, true);
            m_controls.SetText(id, LoadLangString(kTextSensorWord) + CString::Formatted(" %d", i));
            const bool active = setup && setup->channel[static_cast<std::size_t>(i - 1)].active != 0;
            const bool usable = i <= sensors && active;
            m_controls.Enable(id, usable);
            if (m_bKeepTicks) {
                if (!usable) m_controls.Check(id, false);
            } else {
                m_controls.Check(id, usable);
            }
            // The diagram shows the sensor's curve as the box says, not as it said before.
            ShowSensorInDiagram(i - 1);
        }
    }
    for (int k = 0; k < 2; ++k)
        m_controls.SetText(kPowerViewButton[k], LoadLangString(kTextPower) + (k == 0 ? " 1" : " 2"));
}

void CDlgMeasureDiagram::LayoutAngleControls()
{
    if (SensorCount() < 1 || !m_bMultiportReady) return;
    const bool option = IsFirstSensorSelected() || IsSecondSensorSelected();
    m_controls.SetText(kAngleZeroOption[0], option ? LoadLangString(kTextAngleAtStart) : CString("-"));
    m_controls.SetText(kAngleZeroOption[1], option ? LoadLangString(kTextAngleAtTrigger) : CString("--"));
    // A box captioned only with a dash would offer nothing to choose.
    for (int id : kAngleZeroOption) m_controls.Show(id, option);
    RefreshPowerChecks();
}

void CDlgMeasureDiagram::OnPaint(bool visible)
{
    if (!visible || m_frame.Flag(FrameFlag::ShuttingDown) || !m_frame.Flag(FrameFlag::LayoutPending)) return;
    RefreshSensorChecks();
    m_frame.Flag(FrameFlag::LayoutPending) = 0;
    Changed();
}

// The Trigger button says what a click does: switch an armed (or repeating) trigger off, else on.
void CDlgMeasureDiagram::ShowTriggerCaption()
{
    const MeasureRunState& r = *m_psMsureDgrm;
    const bool switchOff = IsTriggerArmed() || (r.triggerOn && m_controls.IsChecked(IDC_MC_AUTO_REPEAT));
    m_controls.SetText(IDC_MC_TRIGGER, LoadLangString(switchOff ? kTextTriggerOff : kTextTriggerOn));
}

void CDlgMeasureDiagram::SetButtons(PanelButtons state)
{
    auto& v = m_psMsureDgrm->sIsVisible;
    for (std::size_t b = 0; b < v.size(); ++b) {
        switch (kButtonMarks[static_cast<int>(state)][b]) {
        case Off: v[b] = 0; break;
        case On: v[b] = 1; break;
        case Keep: break;
        case Flip: v[b] = v[b] ? 0 : 1; break;
        case WhileArmed: v[b] = IsTriggerArmed() ? 1 : 0; break;
        case UnlessStreaming: v[b] = Com().m_bStreamingRate ? 0 : 1; break;
        }
    }
}

void CDlgMeasureDiagram::UpdateButtonStates()
{
    const int state = Com().m_iZMCOMConfgFlow;
    // The buttons wait while a device's sensor set changes, but never those of a measurement
    // that starts, runs or waits for its trigger: it is stopped with them.
    // Without an active sensor they are applied always: no button but Stop has anything to act
    // on then.
    const bool measuring = IsRunning() || IsTriggerArmed() || m_psMsureDgrm->sIsVisible[kBtnStop] != 0;
    if (m_bSensorActive && !measuring && !m_bMultiportReady &&
        !((SensorCount() >= 1 || state == ZM_STOP_MEASURE) && state != 31 && state != 49))
        return;
    ShowTriggerCaption();
    for (int b = 0; b < 6; ++b) EnableRunButton(b);
    int& trigger = TriggerIndicator();
    if (!IsTriggerArmed()) trigger = 0;
    else if (trigger != 1 && trigger != 2) trigger = 2;
    m_indicators.trigger = trigger;
    UpdateControlLed();
    m_indicators.busy = 0;
    Changed();
}

void CDlgMeasureDiagram::HoldUntilConnected(bool hold)
{
    const bool released = m_bHeldUntilConnected != 0 && !hold;
    m_bHeldUntilConnected = hold ? 1 : 0;
    if (released && m_bSensorActive) TakeRateOfConnectedSensors();
    // The held buttons follow at once, also in the steps of a connection in which the other
    // buttons keep their states (a device's sensor set still changing).
    RefreshHeldButtons();
}

// Sensors of a device taken apart (the calibration page works on one of them alone) are not
// all connected until they are given back.
bool CDlgMeasureDiagram::IsHeld() const
{
    // Also while a device's further sensors are still to be connected, whichever step (a
    // baud-rate change that ended meanwhile, say) released the hold before them.
    return m_bHeldUntilConnected || m_bHeldForSetupWrite || Com().m_bFurtherPortsPending || Com().IsPreparingSlaves() || m_frame.AreSensorsTakenApart();
}

void CDlgMeasureDiagram::RefreshHeldButtons()
{
    for (int b = 0; b < 6; ++b)
        if (IsHeldUntilConnected(b)) EnableRunButton(b);
    Changed();
}

void CDlgMeasureDiagram::HoldWhileSetupWritten(bool hold)
{
    m_bHeldForSetupWrite = hold;
    RefreshHeldButtons();
}

bool CDlgMeasureDiagram::PrepareSlaves()
{
    // Only a set-up written holds the buttons anew. One not written changes nothing: Start stays
    // as it is, off while the device's single shot or control switch still awaits its answers
    // (a measurement started then would take that step, and its watch would end the connection
    // under the running measurement).
    const bool written = Com().COM_4xS_SetSlaves();
    if (written) RefreshHeldButtons();
    return written;
}

void CDlgMeasureDiagram::EnableRunButton(int b)
{
    const bool held = IsHeld() && IsHeldUntilConnected(b);
    // Every button but Stop acts on the sensors: without an active one it waits, whatever a
    // measurement's end or an armed trigger set meanwhile.
    const bool acts = (b == kBtnStop || m_bSensorActive) && (b != kBtnAngleZero || CountsAngle());
    m_controls.Enable(kVisibleButtonIds[b], m_psMsureDgrm->sIsVisible[static_cast<std::size_t>(b)] != 0 && !held && acts);
}

const CSensorRecord& CDlgMeasureDiagram::SensorBehindPower(int k) const
{
    const CComPort& com = Com();
    const int sensor = ActivePorts() < 2 ? 0 : com.m_nRealSensorIndex[1][k == 0 ? 1 : 3];
    return com.m_Sensor[static_cast<std::size_t>(sensor >= 0 && sensor < kMaxSensorPorts ? sensor : 0)];
}

// The angle zero goes to the single sensor, or to the device's encoders whose angle channel is
// selected; a force or torque sensor, or an encoder counting the speed, has no angle.
bool CDlgMeasureDiagram::CountsAngle() const
{
    if (ActivePorts() < 2) return SensorBehindPower(0).m_sEncoder.cAngle != 0;
    return (IsFirstSensorSelected() && SensorBehindPower(0).m_sEncoder.cAngle != 0) ||
           (IsSecondSensorSelected() && SensorBehindPower(1).m_sEncoder.cAngle != 0);
}

void CDlgMeasureDiagram::UpdateControlLed()
{
    const int control = m_psMsureDgrm->shared.nControlState;
    m_indicators.run = control == 0 || control == 1 ? control : 0;
    Changed();
}

void CDlgMeasureDiagram::SetSensorCheck(int index, bool on)
{
    if (index >= 0 && index < 4) m_controls.Check(kSensorCheck[index], on);
    Changed();
}

void CDlgMeasureDiagram::ShowPowerCheck(int index, bool show)
{
    if (index >= 0 && index < 2) m_controls.Show(kPowerShowCheck[index], show);
    Changed();
}

void CDlgMeasureDiagram::SetPowerCheck(int index, bool on)
{
    if (index >= 0 && index < 2) m_controls.Check(kPowerShowCheck[index], on);
    Changed();
}

// A sensor's stored "shown in the diagram" bit ticks its box, and the diagram follows the box
// as it does after a click.
void CDlgMeasureDiagram::SetChannelSwitch(int sensor, bool on)
{
    if (sensor < 0 || sensor >= 4) return;
    SetSensorCheck(sensor, on);
    ShowSensorInDiagram(sensor);
    Changed();
}

void CDlgMeasureDiagram::ClearSwitches()
{
    for (int sensor = 0; sensor < 4; ++sensor) SetChannelSwitch(sensor, false);
    for (int k = 0; k < 2; ++k) SetPowerCheck(k, false);
}

// The option box that the rotor operation block keeps (its trigger flags' bit 1): the angle
// zero at the measurement start.
void CDlgMeasureDiagram::SetDiagramSwitch(bool on)
{
    m_controls.Check(kAngleZeroOption[0], on);
    Changed();
}

// The digital-input bit of an encoder (its trigger flags' bit 0) is the angle-zero option of
// the trigger's start event: the box, and the option flags, as a click on the box sets them.
void CDlgMeasureDiagram::SetDigitalInputBox(int which, bool checked)
{
    if (which < 0 || which > 1) return;
    m_controls.Check(kAngleZeroOption[which], checked);
    ApplyAngleZeroOption(which);
    Changed();
}

void CDlgMeasureDiagram::RefreshForDiagramView()
{
    RefreshSensorChecks();
    BuildDurationOptions();
    Changed();
}

void CDlgMeasureDiagram::SetAutoRepeat(bool checked, bool enabled)
{
    m_controls.Check(IDC_MC_AUTO_REPEAT, checked);
    m_controls.Enable(IDC_MC_AUTO_REPEAT, enabled);
    Changed();
}

CString CDlgMeasureDiagram::TraceButtonVisibility() const
{
    const auto& v = m_psMsureDgrm->sIsVisible;
    return CString::Formatted("{...}.pDlgMeasureDiagram->m_psMsureDgrm->bTrggrWasActiveLastTime = %d\n",
                              m_psMsureDgrm->bTrggrWasActiveLastTime) +
           CString::Formatted("\t\t\t sIsVisible.BtnMeasureStart   = %d\n\t\t\t sIsVisible.BtnMeasureStop    = %d\n"
                              "\t\t\t sIsVisible.BtnTrigger        = %d\n\t\t\t sIsVisible.BtnSingleShot     = %d\n"
                              "\t\t\t sIsVisible.BtnCtrl           = %d\n",
                              v[kBtnStart], v[kBtnStop], v[kBtnTrigger], v[kBtnSingleShot], v[kBtnCtrl]);
}

void CDlgMeasureDiagram::ClearStartFlags()
{
    m_bWarningShown = 0;
    m_bProtocolError = 0;
}

void CDlgMeasureDiagram::OnBnClickedTriggerAutoRepeat()
{
    if (m_controls.IsChecked(IDC_MC_AUTO_REPEAT) && m_frame.StorageMode(StorageKind::Diagram) == 2)
        LangMessageBox(kTextSameDiagramFile);
}

void CDlgMeasureDiagram::OnBnClickedSensorCheck(int index)
{
    if (index < 0 || index > 3) return;
    ShowSensorInDiagram(index);
}

void CDlgMeasureDiagram::ShowSensorInDiagram(int sensor)
{
    m_frame.SetSensorDisplayFlag(sensor, SensorCount() < 2 || m_controls.IsChecked(kSensorCheck[sensor]));
}

void CDlgMeasureDiagram::OnBnClickedBusyMarker()
{
    m_bMultiportReady = 1;
    m_indicators.busyShown = false;
    if (!PrepareSlaves()) RefreshHeldButtons();
}

void CDlgMeasureDiagram::EndSingleShot()
{
    m_indicators.busyShown = false;
    RefreshHeldButtons();
    m_bMultiportReady = 1;
    LayoutAngleControls();
    Changed();
}

void CDlgMeasureDiagram::SetControlState(int on)
{
    int& state = m_psMsureDgrm->shared.nControlState;
    const bool changed = state != on;
    state = on;
    if (changed) UpdateControlLed();
}

void CDlgMeasureDiagram::ShowAroundTriggerPanel(bool show)
{
    m_around.ShowPanel(show);
    Changed();
}

}  // namespace measurement
