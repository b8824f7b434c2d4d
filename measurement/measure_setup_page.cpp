// The set-up page's life cycle: construction, the first fill, the texts of the current
// language, showing and hiding, the page's timers and the profile values it keeps.

#include "measurement/measure_setup_page.h"

#include "measurement/measure_rate_table.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/setup_numbers.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "res/string_table.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {

namespace {

constexpr char kProfileSection[] = "DespiteReset";
constexpr char kStartProgKey[] = "PartOfMeasureStartAddProg";
constexpr char kStopProgKey[] = "PartOfMeasureStopAddProg";
constexpr char kSerialKey[] = "LastUsedSerialNo";
constexpr char kNotAvailable[] = "n.a.";
constexpr char kPowerSection[] = "MeasureSetup";
constexpr const char* kPowerDecimalsKey[2] = {"PowerDecimals1", "PowerDecimals2"};
constexpr const char* kPowerAxisKey[2] = {"PowerAxis1", "PowerAxis2"};

}  // namespace

CDlgMeasureAdjust::CDlgMeasureAdjust(IMeasureFrame& frame) : m_frame(frame), m_writer(frame)
{
    for (auto& sensor : m_nLowPassValue) sensor = {66666666, 66666666};
    m_setup.ResetChannelFlags();
    // The rate or reduction chosen, refused only once its write's pause was over: chosen again,
    // it is written again, as one refused at once.
    m_writer.OnRefusedAfterPause([this] { m_bUnlikeSensors = true; });
}

CDlgMeasureAdjust::~CDlgMeasureAdjust() = default;

bool CDlgMeasureAdjust::OnInitDialog()
{
    const int wrong = CountInconsistentRateCodes();
    for (int i = 0; i < wrong; ++i)
        AfxMessageBox("Error: the array of measure rates is inconsistance.\nThe application can't be used.",
                      platform::MB_ICONSTOP);
    m_controls.SetText(kScalingButton[0], "");
    return InitialFill();
}

bool CDlgMeasureAdjust::InitialFill()
{
    if (!m_bFirstFill) return true;
    if (!m_frame.IsStartupPending()) ArrangePage();
    m_nLanguage = GetLanguage();
    for (int r = 0; r < kSensorRows; ++r) m_controls.SetText(kRowCaption[r], "");
    m_controls.SetText(kChannelButton[2], "");
    m_controls.SetText(kChannelButton[3], "");
    m_frame.SetStartTriggerThreshold(-1000000.0);
    m_frame.SetStopTriggerThreshold(-1000000.0);
    m_sStartAddProg = platform::GetProfileString(kProfileSection, kStartProgKey, kNotAvailable);
    m_sStopAddProg = platform::GetProfileString(kProfileSection, kStopProgKey, kNotAvailable);
    for (int k = 0; k < 4; ++k) m_controls.SetText(kLimitEdit[k], "-");
    ResetSetup();
    m_nXAxisCode = m_setup.axis[0].source;
    // The accept button is never shown: every change is sent on its own; the test, "Y" and
    // add-on row buttons have no task.
    for (int id : {IDC_TEST_BUTTON, IDC_ACCEPT, IDC_Y_BUTTON, kAddProgButton[0], kAddProgButton[1]})
        m_controls.Show(id, false);
    m_controls.SetText(IDC_EXPAND, "+");
    // The power selectors belong to the expanded page. The power buttons come with a device's
    // sensors once they are read: with none there, no power can be computed.
    for (int g = 0; g < 2; ++g) {
        for (int id : {kTorqueSelector[g], kAngleSelector[g], kSpeedCaption[g], kAngleCaption[g], kOptionBox[g], kPowerButton[g]})
            m_controls.Show(id, false);
    }
    m_bFirstFill = false;
    return true;
}

void CDlgMeasureAdjust::ResetSetup()
{
    m_setup.ResetChannelFlags();
    ApplyAxisDefaults(-1);
    m_setup.xAxisUnitTextId = 5190;
    m_setup.samplePeriod = 0.001;
    m_setup.startValue = 0.0;
    m_setup.stopValue = 0.0;
    m_setup.duration = 1.0;
    m_setup.count = 1.0;
    ShowStartTriggerValue();
    ShowStopTriggerValue();
    ShowDuration();
    ShowPointCount();
}

bool CDlgMeasureAdjust::LoadLanguageTexts()
{
    m_nLanguage = GetLanguage();
    if (m_bExpanded) ToggleDetails();
    ArrangePage();
    m_controls.SetText(IDC_PAGE_FRAME, LoadLangString(5023));
    m_controls.SetText(IDC_CAPTION_MEASURED, LoadLangString(5149));
    m_controls.SetText(IDC_CAPTION_RATE, LoadLangString(5151));
    m_controls.SetText(IDC_CAPTION_DISPLAY, LoadLangString(5167));
    SetColumnCaptions();
    m_controls.SetText(IDC_LOWPASS_CAPTION, LoadLangString(5374));
    m_controls.SetText(IDC_DIAGRAM_FRAME, LoadLangString(5140));
    m_controls.SetText(IDC_TRIGGER_FRAME, LoadLangString(5152));
    m_controls.SetText(IDC_START_FRAME, LoadLangString(5153));
    m_controls.SetText(IDC_STOP_FRAME, LoadLangString(5154));
    m_controls.SetText(IDC_START_SOURCE_CAPTION, LoadLangString(5155) + ":");
    m_controls.SetText(IDC_STOP_SOURCE_CAPTION, LoadLangString(5155) + ":");
    m_controls.SetText(IDC_IONIO_FRAME, LoadLangString(5431));
    m_controls.SetText(kConditionCheck[0], LoadLangString(5443));
    m_controls.SetText(kConditionCheck[1], LoadLangString(5444));
    for (int k = 0; k < 2; ++k) {
        m_controls.SetText(kLowerCaption[k], LoadLangString(5434));
        m_controls.SetText(kUpperCaption[k], LoadLangString(5433));
    }
    m_controls.SetText(kAddProgCaption[0], LoadLangString(5461));
    m_controls.SetText(kAddProgCaption[1], LoadLangString(5462));
    for (int g = 0; g < 2; ++g) {
        m_controls.SetText(kSpeedCaption[g], m_nLanguage == kFrench ? CString("Vitesse") : LoadLangString(5032));
        m_controls.SetText(kAngleCaption[g], m_nLanguage == 0 ? CString("Winkel") : LoadLangString(5031) + " ");
        // The angle with option: the encoder's second-encoder mode.
        m_controls.SetText(kOptionBox[g], LoadLangString(5123) + " " + LoadLangString(5662));
        m_controls.SetText(kRowCaption[4 + g], LoadLangString(5033) + CString::Formatted("%d", g + 1));
        // The button that switches the power channel on names its row, as the channel buttons
        // name theirs.
        m_controls.SetText(kPowerButton[g], LoadLangString(5033) + CString::Formatted(" %d", g + 1));
        m_controls.SetText(kTorqueSelector[g], "T");
        m_controls.SetText(kAngleSelector[g], "A");
    }
    if (SensorCount() >= 0) {
        CheckSameSensorNow();
        // The channel flags hide the power buttons; the sensors show them again, as at the
        // refresh.
        SyncPowerSelectors();
        RefreshChannelRows();
        // The channel names the pass/fail conditions offer are texts too.
        FillIoNioChannelLists();
        UpdateIoNioLimitFields(0);
        FillAxisLists();
    } else {
        // No search has ended yet, or none found a port: the rows, axes and triggers still name
        // themselves in the language, as with no sensor connected, instead of showing the
        // form's placeholders.
        HideSensorControls();
        RefreshChannelRows();
        FillAxisLists();
    }
    ShowAddProgPaths();
    // A digital-input caption the sensor refresh left standing follows the language too.
    if (!m_controls.Text(IDC_DIGITAL_INPUT).IsEmpty()) m_controls.SetText(IDC_DIGITAL_INPUT, DigitalInputCaption());
    m_controls.SetText(IDC_REDUCTION_CAPTION, LoadLangString(5312));
    m_controls.SetText(IDC_ACCEPT, LoadLangString(5449));
    return true;
}

void CDlgMeasureAdjust::OnShowWindow(bool show)
{
    if (!show) {
        const int count = m_frame.AveragingCount();
        if (count <= 0 || count > 9999) {
            m_frame.SetAveragingCount(1);
            m_bReloadTexts = 1;
        }
        return;
    }
    if (m_frame.IsStartupPending()) return;
    if (IMeasurePanel* panel = Panel(); panel && panel->IsRunning()) panel->StopMeasurement();
    if (m_bReloadTexts) {
        LoadLanguageTexts();
        m_bReloadTexts = 0;
    }
    RecheckMeasureRateList();
    // Showing the page always shows its compact layout.
    if (m_bExpanded) ToggleDetails();
    m_bExpanded = 0;
}

void CDlgMeasureAdjust::CountActiveChannels()
{
    m_frame.SetMeasuredChannelCount(ActiveRowsAtoD());
}

void CDlgMeasureAdjust::ShowAddProgPaths()
{
    if (m_sStartAddProg != m_sShownStartProg) {
        m_bAddProgLock[0] = true;
        m_controls.SetText(kAddProgBrowse[0], m_sStartAddProg);
        m_sShownStartProg = m_sStartAddProg;
        m_bAddProgLock[0] = false;
    }
    if (m_sStopAddProg != m_sShownStopProg) {
        m_bAddProgLock[1] = true;
        m_controls.SetText(kAddProgBrowse[1], m_sStopAddProg);
        m_sShownStopProg = m_sStopAddProg;
        m_bAddProgLock[1] = false;
    }
}

void CDlgMeasureAdjust::ReadLastUsedSerial()
{
    if (m_bLastSerialRead) return;
    m_nLastUsedSerial = static_cast<DWORD>(platform::GetProfileInt(kProfileSection, kSerialKey, 0));
    m_bLastSerialRead = true;
}

// The sensor connected now, else the one connected last in this run (a sensor that has left
// before the program closes stays the one used last); 0 when none was, and the profile keeps
// the one of an earlier run.
DWORD CDlgMeasureAdjust::SerialUsedLast() const
{
    const CComPort& com = m_frame.Com();
    return com.m_nCountActivePorts >= 1 ? com.m_Sensor[0].m_sStatorHeader.nSerialNo : m_nSerialInUse;
}

void CDlgMeasureAdjust::KeepPowerDecimals(int group, int decimals) const
{
    if (group == 0 || group == 1) platform::WriteProfileInt(kPowerSection, kPowerDecimalsKey[group], decimals);
}

int CDlgMeasureAdjust::KeptPowerDecimals(int group) const
{
    const int decimals = group == 0 || group == 1 ? platform::GetProfileInt(kPowerSection, kPowerDecimalsKey[group], -1) : -1;
    return decimals >= 0 && decimals <= 4 ? decimals : -1;
}

// The source of each power's axis (none, or a power) while the power is computed; -1 leaves
// the axis to the power computed at the next start.
void CDlgMeasureAdjust::KeepPowerAxes() const
{
    if (!Several()) return;
    for (int g = 0; g < 2; ++g) {
        const int source = m_setup.axis[static_cast<std::size_t>(5 + g)].source;
        platform::WriteProfileInt(kPowerSection, kPowerAxisKey[g], IsRowActive(kSensorRows + g) ? source : -1);
    }
}

int CDlgMeasureAdjust::KeptPowerAxis(int group, int fallback) const
{
    const int source = group == 0 || group == 1 ? platform::GetProfileInt(kPowerSection, kPowerAxisKey[group], -1) : -1;
    // Only off or the group's own power: the other power may not be computed at this start.
    return source == 0 || source == 6 + group ? source : fallback;
}

void CDlgMeasureAdjust::KeepProfileValues() { m_frame.KeepProfileValues(m_sStartAddProg, m_sStopAddProg); }

void CDlgMeasureAdjust::WriteProfileValues() const
{
    platform::WriteProfileString(kProfileSection, kStartProgKey, m_sStartAddProg);
    platform::WriteProfileString(kProfileSection, kStopProgKey, m_sStopAddProg);
    if (const DWORD serial = SerialUsedLast()) platform::WriteProfileInt(kProfileSection, kSerialKey, static_cast<int>(serial));
}

// Expanded, the page shows the power selectors of each power channel that is shown, below the
// channel rows, which stay as they are: the page grows by them. The speed/angle choice of an
// encoder is there also while no power is computed (in angle mode none can be), so that the
// user can set the angle and come back to the speed.
bool CDlgMeasureAdjust::ToggleDetails()
{
    m_bExpanded = m_bExpanded ? 0 : 1;
    for (int g = 0; g < 2; ++g) {
        const bool show = m_bExpanded && GetDisplayFlag(g);
        const bool choice = show || (m_bExpanded && HasEncoder(g));
        for (int id : {kTorqueSelector[g], kAngleSelector[g], kSpeedCaption[g], kAngleCaption[g]}) m_controls.Show(id, choice);
        // The encoder's option belongs to the angle mode, expanded or not.
        m_controls.Show(kOptionBox[g], show || (HasEncoder(g) && IsSensorStateStarted(g)));
    }
    m_controls.SetText(IDC_EXPAND, m_bExpanded ? "-" : "+");
    UpdateExpandButton();
    return true;
}

// Without a power channel shown nor an encoder there are no details: the button rests (unless it
// must collapse the page).
void CDlgMeasureAdjust::UpdateExpandButton()
{
    m_controls.Enable(IDC_EXPAND, m_bExpanded || GetDisplayFlag(0) || GetDisplayFlag(1) || HasEncoder(0) || HasEncoder(1));
}

// The second sensor of group g is an encoder ('Y') that counts speed or angle.
bool CDlgMeasureAdjust::HasEncoder(int g) const
{
    const int s = 2 * g + 1;
    if (!Several() || !IsPanelSensorConnected() || s >= SensorCount() || s >= kMaxSensorPorts) return false;
    return Com().m_Sensor[static_cast<std::size_t>(s)].m_sRotorHeader.cTypeClass == 'Y';
}

void CDlgMeasureAdjust::ArrangePage()
{
    KillTimer(kTimerPowerSwitchEnd);
    m_bPageEnabled = true;
    m_controls.Show(IDC_EXPAND, true);
}

void CDlgMeasureAdjust::OnTimer(UINT_PTR id)
{
    m_bTimeXAxis = true;
    KillTimer(id);
    if (id == kTimerPowerSwitchEnd) {
        m_bPageEnabled = true;
        Changed();
        return;
    }
    if (id != kTimerRefresh) return;

    // A sensor read again (found after it was lost, or restarted) before the set-up the user
    // changed for it was written still holds the older triggers, limits and axes: the page
    // keeps the user's. (A power switch reads the sensors again with rules of its own.)
    const bool holding = !m_bPowerSwitching && HoldsSetupForConnectedSensor();
    // The sensors whole again (a device's every port, or an encoder back in its new mode): the
    // conditions the user set stay as the page showed them before, also those of a sensor that
    // was gone or restarting meanwhile.
    const bool whole = ActivePorts() >= std::max(1, holding && m_held.valid ? m_held.ports : 1) && !Com().m_bFurtherPortsPending;
    const bool keepConditions = (holding || m_bPowerSwitching) && whole && m_held.valid;
    // A device's first sensor back alone with its others still to come (as after a search) keeps
    // the device's triggers and conditions in the device's layout: read as a lone sensor's
    // channels A and B, its blocks give a trigger or conditions nobody set, or none where the
    // user set one on another sensor. They are read once the device is whole.
    const bool devicePending = Com().m_bFurtherPortsPending && ActivePorts() >= 1;
    CheckSameSensorNow();
    m_writer.SensorsRead();
    if (!holding && !devicePending) LoadTriggersFromSensors();
    ApplyMeasuringTime();
    const auto heldAxes = keepConditions && holding ? m_held.axis : m_setup.axis;
    LoadAxisAssignmentFromSensors();
    if (holding) {
        m_setup.axis = heldAxes;
        // The axes the user chose with other sensors there (sensor 1 on X over sensor 2, the
        // second one not found again) may draw nothing with the sensors found now.
        if (KeepAxesDrawing()) platform::ShowNotice(LoadLangString(kTextXAxisBackToTime), platform::MB_ICONINFORMATION);
        TickSensorsOnAxes();
    }
    m_bTimeXAxis = m_setup.axis[0].source == kAxisTime;
    SyncPowerSelectors();
    if (m_bTimeXAxis) SetTimeXAxis(0);
    else SetChannelXAxis(m_setup.axis[0].source - 2, 2);
    FillAxisLists();
    ShowReduction();
    RefreshChannelRows();
    const bool diagramActive = m_frame.ActiveViewKind() == 138;
    if (diagramActive) {
        m_frame.SetDisplayMode(3);
        // The panel shown while a device's sensors came back one by one hid its sensor boxes
        // when it counted one: once all are back, it shows a box for each.
        if (IMeasurePanel* panel = Panel()) {
            if (Several()) panel->RefreshSensorCheckBoxes();
            else panel->RefreshForDiagramView();
        }
    }
    CountActiveChannels();
    if (!Several()) {
        for (int g = 0; g < 2; ++g) {
            m_controls.Check(kPowerButton[g], false);
            m_setup.channel[static_cast<std::size_t>(4 + g)].active = 0;
        }
        ResetConnectionState();
    }
    m_frame.CopyPowerDisplayFlags();
    // A device whose sensors come back one by one after an encoder's switch keeps the page
    // disabled until the last is back (or the switch's time is over): the page of the first
    // alone is not the device's.
    // Nor are the conditions the user set before the switch: the sensors hold them only once
    // written, so they are not read from the first alone; the device whole, the held ones return.
    const bool switchPending = m_bPowerSwitching && !whole;
    if (!switchPending) ArrangePage();
    if (keepConditions) RestoreHeldConditions(), m_nPortsLoaded = ActivePorts();
    else if (!holding && !switchPending && !devicePending) LoadLimitsFromSensors(), m_nPortsLoaded = ActivePorts();
    if (!holding && !m_bPowerSwitching) m_nHeldForSerial = 0;
    m_nPortsShown = ActivePorts();
    FillIoNioChannelLists();
    DetermineIoNioConditions();
    UpdateIoNioLimitFields(0);
    if (holding) m_frame.WritePendingConfigToReturnedSensor();
    if (!diagramActive) HideChannelBars();
    m_frame.EndWaitCursorOnce();
    if (!switchPending) m_bPowerSwitching = false;
    HoldSetup();
    Changed();
}

bool CDlgMeasureAdjust::RefreshIfDue()
{
    if (!IsTimerArmed(kTimerRefresh)) return false;
    OnTimer(kTimerRefresh);
    return true;
}

// ---- Helpers shared by the page's files -------------------------------------------------------

int CDlgMeasureAdjust::ActivePorts() const { return Com().m_nCountActivePorts; }

int CDlgMeasureAdjust::SensorCount() const
{
    const int ports = ActivePorts();
    return ports < 0 ? -1 : ports;
}

int CDlgMeasureAdjust::RealIndex(int row) const
{
    const int index = Com().GetRealSensorIndex(row);
    return index >= 0 && index < kRowCount ? index : row;
}

SensorSetupFields CDlgMeasureAdjust::Sensor(int index) const
{
    if (index < 0 || index >= kMaxSensorPorts) return SensorSetupFields{};
    return ReadSensorSetupFields(Com().m_Sensor[static_cast<std::size_t>(index)]);
}

bool CDlgMeasureAdjust::IsPanelSensorConnected() const
{
    const IMeasurePanel* panel = Panel();
    return panel ? panel->IsSensorConnected() : ActivePorts() > 0;
}

bool CDlgMeasureAdjust::IsOneChannelSensor() const
{
    return !Several() && SensorCount() >= 1 && m_frame.DisplayValue(1, DisplayField::Available) == 0;
}

bool CDlgMeasureAdjust::IsChannelBDigitalInput() const
{
    return Com().DeviceSensorCount() == 1 && CComPort::IsDeviceCode5(Com().m_Sensor[0].m_sIdent);
}

bool CDlgMeasureAdjust::IsRowActive(int row) const
{
    return row >= 0 && row < kRowCount && m_setup.channel[static_cast<std::size_t>(row)].active != 0;
}

int CDlgMeasureAdjust::ActiveRows() const
{
    int n = 0;
    for (int r = 0; r < kRowCount; ++r) n += IsRowActive(r) ? 1 : 0;
    return n;
}

int CDlgMeasureAdjust::ActiveRowsAtoD() const
{
    int n = 0;
    for (int r = 0; r < kSensorRows; ++r) n += IsRowActive(r) ? 1 : 0;
    return n;
}

CString CDlgMeasureAdjust::UnitText(int channel) const
{
    const std::vector<DisplayUnit> units = m_frame.DisplayUnits(channel);
    const int unit = m_frame.DisplayValue(channel, DisplayField::Unit);
    if (unit < 0 || unit >= static_cast<int>(units.size())) return CString();
    return units[static_cast<std::size_t>(unit)].name;
}

CString CDlgMeasureAdjust::RowWord() const { return LoadLangString(Several() ? 5111 : 5320); }

void CDlgMeasureAdjust::SetCaptionOrHide(int id, const CString& text)
{
    m_controls.Show(id, !text.IsEmpty());
    if (!text.IsEmpty()) m_controls.SetText(id, text);
}

void CMeasureSetup::ResetChannelFlags()
{
    for (std::size_t r = 0; r < channel.size(); ++r) {
        channel[r] = ChannelFlags{};
        channel[r].enabled = r >= 4 ? 1 : 0;
    }
    channel[0].active = 1;
}

}  // namespace measurement
