// The developer view's receive diagnostics and value-loss test, the measuring-duration options,
// and the angle and power options of the control panel.

#include <cmath>
#include <cstdlib>

#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_panel.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {

namespace {

// Value sets the curve store holds at most.
constexpr long long kStorageLimit = 40000000;

int NiceMinutes(int m)
{
    if (m >= 43200) return 43200;
    if (m >= 36000) return 36000;
    if (m >= 28800) return 28800;
    if (m >= 21600) return 21600;
    if (m >= 14400) return 14400;
    if (m >= 11520) return 11520;
    if (m >= 1440) return m / 1440 * 1440;
    if (m >= 1200) return 1200;
    if (m >= 960) return 960;
    if (m >= 720) return 720;
    if (m >= 600) return 600;
    if (m >= 480) return 480;
    if (m >= 60) return m / 60 * 60;
    if (m >= 20) return m / 10 * 10;
    if (m >= 15) return 15;
    if (m >= 12) return 12;
    if (m >= 10) return 10;
    if (m >= 8) return 8;
    return m;
}

CString DurationText(long long number, UINT unit)
{
    const CString lead = number < 10 ? "  " : number < 100 ? " " : "";
    return lead + CString::Formatted("%3lld %s", number, LoadLangString(unit).GetString());
}

}  // namespace

// ---- Receive counters ------------------------------------------------------------------------

void CDlgMeasureDiagram::SetDiagnostic(workflow::MeasureDiagnostic field, int sensor, int value)
{
    if (sensor < 0 || sensor > 3) return;
    const auto f = static_cast<std::size_t>(field);
    int& slot = m_aiDiagnostic[f][static_cast<std::size_t>(sensor)];
    const int id = kDiagnosticBase[f] + sensor;
    bool show = true;
    switch (field) {
    case workflow::MeasureDiagnostic::MissingValueCount: slot = value >= 0 ? value : slot + 1; break;
    case workflow::MeasureDiagnostic::IncompleteLineCount:
        slot = value >= 0 ? value : slot + 1;
        if (slot >= 1000 && slot <= m_nLastShownIncomplete + 9) show = false;
        else m_nLastShownIncomplete = slot;
        break;
    case workflow::MeasureDiagnostic::RemainingLength:
    case workflow::MeasureDiagnostic::RecvBufferMaxLength: slot = value; break;
    case workflow::MeasureDiagnostic::RecvBufferMaxLengthLast100:
    case workflow::MeasureDiagnostic::QueueMaxLengthLast100:
        show = slot != value;
        slot = value;
        break;
    case workflow::MeasureDiagnostic::QueueMaxLength: {
        const int before = slot;
        if (value < 0) slot = 0;
        else if (value > slot) slot = value;
        show = slot != before || m_controls.Text(id).IsEmpty();
        break;
    }
    }
    if (show) m_controls.SetText(id, CString::Formatted("%d", slot));
}

void CDlgMeasureDiagram::SetStorageStepCount(int count)
{
    m_controls.SetText(IDC_MC_STEP_COUNT, CString::Formatted("%d", count));
}

void CDlgMeasureDiagram::ShowDiagnosticsArea(bool show)
{
    for (int id : kDiagnosticLabels) m_controls.Show(id, show);
    for (int id : kSensorCheck) m_controls.Show(id, show && SensorCount() >= 2);
    for (int base : kDiagnosticBase)
        for (int s = 0; s < 4; ++s) m_controls.Show(base + s, show);
    m_controls.Show(IDC_MC_STEP_COUNT, show);
    m_controls.Show(IDC_MC_VALUE_SETS, show);
    m_controls.Show(IDC_MC_VALUE_SETS_LABEL, show);
    for (int id = 1770; id <= 1779; ++id) m_controls.Show(id, show);
    m_controls.Show(IDC_MC_GAP_FIRST, show);
    for (int id : kGapLabels) m_controls.Show(id, show);
    // The state indicator stays on the panel for every user.
    m_controls.Show(IDC_MC_STATE_LED, true);
    Changed();
}

void CDlgMeasureDiagram::OnValueLossSwitch(int id)
{
    const bool one = m_controls.IsChecked(IDC_MC_ONE_GAP);
    const bool two = m_controls.IsChecked(IDC_MC_TWO_GAPS);
    if (id == IDC_MC_LOSS_TEST) {
        const bool on = m_controls.IsChecked(IDC_MC_LOSS_TEST);
        Com().m_bSyncTestMode = on ? 1 : 0;
        if (!on) {
            m_controls.Check(IDC_MC_ONE_GAP, false);
            OnValueLossSwitch(IDC_MC_ONE_GAP);
            m_controls.Check(IDC_MC_TWO_GAPS, false);
            OnValueLossSwitch(IDC_MC_TWO_GAPS);
            m_controls.Enable(IDC_MC_GAP_FIRST, false);
        }
        m_controls.Enable(IDC_MC_ONE_GAP, on);
        m_controls.Enable(IDC_MC_TWO_GAPS, on);
    } else if (id == IDC_MC_ONE_GAP) {
        if (one) m_controls.Check(IDC_MC_TWO_GAPS, false);
        m_controls.Enable(kGapField[0], one);
        m_controls.Enable(kGapField[1], one);
        for (int k = 2; k < 6; ++k) m_controls.Enable(kGapField[k], false);
        m_controls.Enable(IDC_MC_GAP_FIRST, m_controls.IsChecked(IDC_MC_ONE_GAP) || m_controls.IsChecked(IDC_MC_TWO_GAPS));
    } else if (id == IDC_MC_TWO_GAPS) {
        if (two) m_controls.Check(IDC_MC_ONE_GAP, false);
        for (int k = 2; k < 6; ++k) m_controls.Enable(kGapField[k], two);
        m_controls.Enable(kGapField[0], false);
        m_controls.Enable(kGapField[1], false);
        m_controls.Enable(IDC_MC_GAP_FIRST, m_controls.IsChecked(IDC_MC_ONE_GAP) || m_controls.IsChecked(IDC_MC_TWO_GAPS));
    }
    Changed();
}

// ---- Measuring duration ----------------------------------------------------------------------

void CDlgMeasureDiagram::FillDurationList(const std::vector<std::pair<CString, long long>>& entries, int selection)
{
    m_controls.ResetContent(IDC_MC_DURATION_COMBO);
    for (const auto& [text, datum] : entries) m_controls.AddItem(IDC_MC_DURATION_COMBO, text, datum);
    m_controls.Select(IDC_MC_DURATION_COMBO, selection);
}

void CDlgMeasureDiagram::BuildDurationOptions()
{
    m_controls.Show(IDC_MC_FIXED_LIMIT, false);
    const CMeasureSetup* setup = m_frame.SetupRecord();
    m_dInterval = setup ? m_frame.SetPeriodSeconds() : 1.0;
    const int perSet = m_frame.ValuesPerSet();
    // No values per set or no interval: nothing to divide by, no options.
    if (perSet <= 0 || !(m_dInterval > 0.0) || !std::isfinite(m_dInterval)) {
        m_controls.ResetContent(IDC_MC_DURATION_COMBO);
        m_nDurationOptions = 0;
        m_nSelectedValueSets = 0;
        m_controls.SetText(IDC_MC_VALUE_SETS, "0");
        RestoreDurationSelection();
        return;
    }
    const long long sets = kStorageLimit / perSet;
    long long minutes = 0;
    for (int n = 0; n <= 4 && minutes == 0; ++n) {
        minutes = static_cast<long long>(static_cast<double>(sets >> (4 - n)) * m_dInterval / 60.0);
        m_nDurationOptions = 5 - n;
    }
    if (minutes < 2) minutes = 1;
    const int nice = NiceMinutes(static_cast<int>(std::min<long long>(minutes, 1LL << 30)));
    std::vector<long long> option(static_cast<std::size_t>(m_nDurationOptions));
    for (int i = m_nDurationOptions - 1, m = nice; i >= 0; --i, m *= 2) option[static_cast<std::size_t>(i)] = m;

    std::vector<std::pair<CString, long long>> entries;
    for (std::size_t i = 0; i < option.size(); ++i) {
        const long long m = option[i];
        const long long valueSets = static_cast<long long>(static_cast<double>(m) * 60.0 / m_dInterval);
        CString text;
        if (m < 60) text = DurationText(m, kTextMinutes);
        else if (m < 1440) text = DurationText(m / 60, m < 120 ? kTextHour : kTextHours);
        else text = DurationText(m / 1440, m < 2880 ? kTextDay : kTextDays);
        entries.push_back({text, valueSets});
        if (valueSets < 10) break;
    }
    FillDurationList(entries, 0);
    m_nSelectedValueSets = entries.empty() ? 0 : static_cast<int>(entries[0].second);
    m_controls.SetText(IDC_MC_VALUE_SETS, CString::Formatted("%d", m_nSelectedValueSets));
    std::array<BYTE, 6> flags{};
    if (setup)
        for (std::size_t c = 0; c < flags.size(); ++c) flags[c] = setup->channel[c].active;
    m_frame.SetStorageBusy(m_nSelectedValueSets, flags);
    RestoreDurationSelection();
}

void CDlgMeasureDiagram::OnDurationSelected()
{
    m_nSelectedValueSets = static_cast<int>(m_controls.SelectedDatum(IDC_MC_DURATION_COMBO, 0));
    m_controls.SetText(IDC_MC_VALUE_SETS, CString::Formatted("%d", m_nSelectedValueSets));
    std::array<BYTE, 6> flags{};
    if (const CMeasureSetup* setup = m_frame.SetupRecord())
        for (std::size_t c = 0; c < flags.size(); ++c) flags[c] = setup->channel[c].active;
    m_frame.SetStorageBusy(m_nSelectedValueSets, flags);
    Changed();
}

void CDlgMeasureDiagram::ShowDurationCaption()
{
    m_controls.SetText(IDC_MC_DURATION_GROUP, LoadLangString(kTextDuration) + " / " + LoadLangString(kTextTimeLimit));
}

void CDlgMeasureDiagram::RestoreDurationSelection()
{
    ShowDurationCaption();
    if (m_controls.Selection(IDC_MC_DURATION_COMBO) >= 0)
        m_nSelectedValueSets = static_cast<int>(m_controls.SelectedDatum(IDC_MC_DURATION_COMBO, 0));
    m_controls.SetText(IDC_MC_VALUE_SETS, CString::Formatted("%d", m_nSelectedValueSets));
    m_controls.Show(IDC_MC_FIXED_LIMIT, false);
    m_controls.Show(IDC_MC_DURATION_COMBO, true);
    m_controls.Enable(IDC_MC_DURATION_COMBO, true);
}

// A language switch re-words the duration row and leaves it as it stands: a measurement that
// runs or a trigger that waits keeps its duration locked, and an armed stop limit stays shown.
void CDlgMeasureDiagram::TranslateDurationRow()
{
    TranslateDurationOptions();
    if (m_controls.IsShown(IDC_MC_FIXED_LIMIT)) {
        ShowStopLimit();
    } else if (IsRunning() || IsTriggerArmed()) {
        ShowDurationCaption();
    } else {
        RestoreDurationSelection();
    }
}

void CDlgMeasureDiagram::ShowStopLimit()
{
    const TriggerState& t = m_frame.Triggers();
    if (t.stopSource != kTriggerTime && t.stopSource != kTriggerCount) return;
    m_controls.SetText(IDC_MC_DURATION_GROUP, LoadLangString(kTextTimer));
    m_controls.Show(IDC_MC_FIXED_LIMIT, true);
    const CMeasureSetup* setup = m_frame.SetupRecord();
    if (t.stopSource == kTriggerCount) {
        const double count = setup ? setup->count : 0.0;
        const int pieces = count >= 0.0 && count < 2e9 ? static_cast<int>(count) : 0;
        m_nSelectedValueSets = pieces + 1;
        m_controls.SetText(IDC_MC_VALUE_SETS, CString::Formatted("%d", pieces));
        const CString label = m_frame.SetupText(1149);
        const int open = label.Find('(');
        const int close = label.Find(')', open + 1);
        m_controls.SetText(IDC_MC_FIXED_LIMIT, open >= 0 && close > open ? label.Mid(open + 1, close - open - 1) : label);
    } else {
        const CString label = m_frame.SetupText(1147);
        const int open = label.Find('(');
        CString number = open >= 0 ? label.Mid(open + 1) : CString();
        const int blank = number.Find(' ');
        if (blank >= 0) number = number.Left(blank);
        m_nSelectedValueSets = std::atoi(number.GetString()) + 1;
        m_controls.SetText(IDC_MC_VALUE_SETS, number);
        // The duration as the set-up page's field shows it, in the unit of its x axis.
        const UINT unit = setup ? static_cast<UINT>(setup->xAxisUnitTextId) : 5190;
        m_controls.SetText(IDC_MC_FIXED_LIMIT, m_frame.SetupText(1146) + " " + LoadLangString(unit));
    }
    m_controls.Show(IDC_MC_DURATION_COMBO, false);
}

bool CDlgMeasureDiagram::TranslateDurationOptions()
{
    const int count = m_controls.Count(IDC_MC_DURATION_COMBO);
    std::vector<std::pair<CString, long long>> entries;
    for (int i = 0; i < count; ++i) {
        CString text = m_controls.EntryText(IDC_MC_DURATION_COMBO, i);
        text.Trim();
        if (text.Find('.') >= 0 || text.Find(',') >= 0) {
            AfxMessageBox("Error. Duration option (" + text + ") is not an integer.");
            return false;
        }
        int digits = 0;
        while (digits < text.GetLength() && text[digits] >= '0' && text[digits] <= '9') ++digits;
        const int n = std::atoi(text.Left(digits).GetString());
        CString word = text.Mid(digits);
        word.Trim();
        word = word.Left(3);
        word.MakeLower();
        UINT unit = 0;
        if (word == "tag" || word == "day" || word == "jou" || word == "d\xED" "a") unit = n > 1 ? kTextDays : kTextDay;
        else if (word == "stu" || word == "hou" || word == "heu" || word == "hor") unit = n > 1 ? kTextHours : kTextHour;
        else if (word == "min") unit = kTextMinutes;
        if (unit == 0) {
            AfxMessageBox("Error. Duration option (" + text + ") is not plaan plausible.");
            return false;
        }
        const CString number = text.Left(digits);
        const CString padded = CString(' ', number.GetLength() < 3 ? 3 - number.GetLength() : 0) + number;
        entries.push_back({padded + " " + LoadLangString(unit), m_controls[IDC_MC_DURATION_COMBO].entries[static_cast<std::size_t>(i)].datum});
    }
    FillDurationList(entries, m_controls.Selection(IDC_MC_DURATION_COMBO));
    return true;
}

void CDlgMeasureDiagram::ShowStatusLine(const CString& text)
{
    m_controls.SetText(IDC_MC_STOP_REASON, text);
    Changed();
}

// ---- Angle and power -------------------------------------------------------------------------

void CDlgMeasureDiagram::OnAngleZero()
{
    if (IsHeld()) return;
    MeasureRunState& r = *m_psMsureDgrm;
    if (IsRunning()) {
        r.angleZero = {1, 1};
        RequestAngleZero();
    } else {
        Com().m_nRecordCount = 0;
        m_frame.ConfigureMovingAverages(1);
        Com().COM_SendRestartWithCheck(1);
    }
    m_bAngleZeroed = 1;
    SetTimer(kTimerSingleShotAngle, 500);
}

void CDlgMeasureDiagram::OnAngleZeroOption(int k)
{
    ApplyAngleZeroOption(k);
    m_frame.MarkConfigWritePending();
}

// The sensors keep the option of the measurement start as the panel's option box (their
// trigger flags' bit 1, written from the box itself) and the option of the trigger's start
// event as the option flag of each side (bit 0), which an encoder's stored bit sets again.
void CDlgMeasureDiagram::ApplyAngleZeroOption(int k)
{
    if (k != 1) return;
    const int inverted = m_controls.IsChecked(kAngleZeroOption[1]) ? 0 : 1;
    SetSensorOption(0, inverted);
    SetSensorOption(1, inverted);
}

void CDlgMeasureDiagram::PrepareAngleZeroRequests(bool atTriggerStart)
{
    MeasureRunState& r = *m_psMsureDgrm;
    const CComPort& com = Com();
    const bool asked = m_controls.IsChecked(kAngleZeroOption[atTriggerStart ? 1 : 0]);
    for (int k = 0; k < 2; ++k) {
        const bool selected = k == 0 ? IsFirstSensorSelected() : IsSecondSensorSelected();
        if (!selected) {
            r.angleZero[static_cast<std::size_t>(k)] = 0;
            continue;
        }
        const BYTE kind = SensorBehindPower(k).m_sEncoder.cAngle;
        r.encoderKind[static_cast<std::size_t>(k)] = kind;
        r.angleZero[static_cast<std::size_t>(k)] = kind != 0 && asked ? 1 : 0;
    }
    if (r.angleZero[0] != 1 && r.angleZero[1] != 1) return;
    // A polled measurement zeroes the angle with its first tick; a stream with its first record
    // once it runs on every port (the sensors acknowledge between two records).
    if (com.m_bStreamingRate) r.shared.bStreamAngleZeroRequest = 1;
    else RequestAngleZero();
}

void CDlgMeasureDiagram::RequestAngleZero()
{
    m_bAngleZeroRequest = 1;
    m_psMsureDgrm->shared.bAngleZeroRequest = 1;
}

// A rotor of type 20 is built to be read by an encoder that counts the angle: its power
// channel cannot be measured while its quadrature encoder is set to the speed. The panel names
// the encoder's sensor and refuses to start or arm the trigger until it is set right.
void CDlgMeasureDiagram::CheckQuadratureEncoder()
{
    const CMeasureSetup* setup = m_frame.SetupRecord();
    int applies = 0;
    for (int k = 1; k >= 0; --k) {
        const bool selected = k == 0 ? IsFirstSensorSelected() : IsSecondSensorSelected();
        if (!selected) continue;
        const CSensorRecord& record = SensorBehindPower(k);
        const std::size_t entry = ActivePorts() >= 2 ? static_cast<std::size_t>(2 * k + 1) : 0;
        if (record.m_sEncoder.cAngle == 0 && record.m_sIdent[kIdentRotorId] == kRotorTypeAngleEncoder && setup &&
            setup->channel[entry].active)
            applies = k == 0 ? 2 : 4;
    }
    m_nQuadratureSensor = applies;
    SetOperationBlocked(applies != 0);
    if (applies) {
        SetTimer(kTimerEncoderWarning, 100);
        ShowEncoderWarningText();
    } else {
        KillTimer(kTimerEncoderWarning);
        m_controls.Show(IDC_MC_ENCODER_WARNING, false);
    }
}

void CDlgMeasureDiagram::ShowEncoderWarningText()
{
    m_controls.SetText(IDC_MC_ENCODER_WARNING,
                       CString::Formatted(LoadLangString(kTextEncoderWarning).GetString(), m_nQuadratureSensor));
}

// The box's tick is the power's extra flag, which the configuration write keeps in the display
// bits of the power's encoder: an unticked box stays so at the next start.
void CDlgMeasureDiagram::OnPowerShowCheck(int k)
{
    SetGlobalSwitch(1);
    const int v = GetDisplayFlag(k) ? k : 1 - k;
    m_frame.OnChannelView(4 + v);
    SetGlobalSwitch(0);
    if (k >= 0 && k < 2) SetSensorExtraFlag(v, m_controls.IsChecked(kPowerShowCheck[k]) ? 0 : 1);
    m_frame.MarkConfigWritePending();
}

void CDlgMeasureDiagram::SyncPowerChecks(int k)
{
    if (k < 0 || k > 1) return;
    SetSensorExtraFlag(k, GetDisplayFlag(k) ? 0 : 1);
    RefreshPowerChecks();
    if (!AreBothDisplayFlagsSet()) {
        SetPowerCheck(0, GetDisplayFlag(k) || GetDisplayFlag(1 - k));
        SetPowerCheck(1, GetSensorExtraFlag(1));
    } else {
        SetPowerCheck(k, GetDisplayFlag(k));
        SetPowerCheck(1 - k, GetSensorExtraFlag(1 - k));
    }
    ShowPowerViewsAsChecked();
}

// The channel view of each power follows the box that says it is displayed, as after a click on
// the box: the first box stands for the one power computed, or for power 1 when both are.
void CDlgMeasureDiagram::ShowPowerViewsAsChecked()
{
    const bool both = AreBothDisplayFlagsSet();
    for (int k = 0; k < 2; ++k) {
        const bool wanted = GetDisplayFlag(k) && m_controls.IsChecked(kPowerShowCheck[both ? k : 0]);
        if (m_frame.IsChannelViewShown(4 + k) == wanted) continue;
        SetGlobalSwitch(1);
        m_frame.OnChannelView(4 + k);
        SetGlobalSwitch(0);
    }
}

// The power boxes offer what the set-up computes: the first box stands for the one power shown,
// or for power 1 when both are; the second box is there only while both are. Each power is
// computed with the speed of an encoder of the device, and its box names that encoder, the
// first or the second, so that a device with two tells them apart.
void CDlgMeasureDiagram::RefreshPowerChecks()
{
    const bool both = AreBothDisplayFlagsSet();
    const auto caption = [](int k) {
        return LoadLangString(kTextPowerDisplay) + " (" + LoadLangString(kTextQuadratureEncoder) + " " +
               LoadLangString(k == 0 ? kTextFirst : kTextSecond) + ")";
    };
    m_controls.SetText(kPowerShowCheck[0], caption(both || GetDisplayFlag(0) ? 0 : 1));
    m_controls.SetText(kPowerShowCheck[1], caption(1));
    ShowPowerCheck(0, GetDisplayFlag(0) || GetDisplayFlag(1));
    ShowPowerCheck(1, both);
}

}  // namespace measurement
