// The controls of the channel rows: the four row combos, the channel buttons, the low-pass
// filters, the scaling buttons, and the power buttons with their torque/angle selectors.

#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_page.h"
#include "res/string_table.h"
#include "views/display_tables.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {

namespace {

constexpr unsigned kPowerSwitchMs = 15000;

}  // namespace

void CDlgMeasureAdjust::OnRowCombo(RowField field, int row)
{
    if (row < 0 || row >= kRowCount) return;
    static constexpr const int* kCombos[4] = {kDecimalsCombo, kUnitCombo, kAveragingCombo, kSignCombo};
    static constexpr DisplayField kFields[4] = {DisplayField::Decimals, DisplayField::Unit, DisplayField::Averaging,
                                                DisplayField::Sign};
    const int index = static_cast<int>(field);
    const int channel = row < kSensorRows && Several() ? RealIndex(row) : row;
    const int current = m_frame.DisplayValue(channel, kFields[index]);
    const long long datum = m_controls.SelectedDatum(kCombos[index][row], current);
    OnChannelRowChanged(field, channel, static_cast<int>(datum), current);
}

void CDlgMeasureAdjust::OnChannelRowChanged(RowField field, int c, int v, int u)
{
    if (v == u) return;
    m_frame.BeginWaitCursorOnce();
    switch (field) {
    case RowField::Decimals:
        m_frame.SetDisplayValue(c, DisplayField::Decimals, v);
        if (c >= kSensorRows) KeepPowerDecimals(c - kSensorRows, v);
        m_frame.RefreshChannelViews(3);
        break;
    case RowField::Unit: {
        m_frame.SetDisplayValue(c, DisplayField::Unit, v);
        const int port = c < kSensorRows ? c : 4;
        const UINT captionId = port < 4 ? 5321 + static_cast<UINT>(port) : 5033;
        const CString unit = UnitText(c);
        if (m_setup.startSource - 1 == c && GetStartTriggerSourceTextId(m_setup.startSource) == captionId)
            m_controls.SetText(IDC_START_VALUE_UNIT, unit);
        if (m_setup.stopSource - 1 == c && GetStopTriggerSourceTextId(m_setup.stopSource) == captionId)
            m_controls.SetText(IDC_STOP_VALUE_UNIT, unit);
        m_frame.TareIfNotTared(c);
        ShowInNewUnit(c);
        break;
    }
    case RowField::Averaging:
        m_frame.SetDisplayValue(c, DisplayField::Averaging, v);
        break;
    case RowField::Sign:
        m_frame.SetDisplayValue(c, DisplayField::Sign, v);
        m_frame.TareIfNotTared(c);
        break;
    }
    if (c >= kSensorRows) {
        // Power channels live only in the program.
        m_frame.EndWaitCursorOnce();
        return;
    }
    SendSoftwareConfig(Several() ? c : 0);
}

void CDlgMeasureAdjust::ShowInNewUnit(int c)
{
    // The scale factors follow the unit; the views and the pass/fail limits show it.
    Com().COM_ResetMeasureStatistics();
    m_frame.RefreshChannelViews(3);
    CopyUnitToIoNioLabels(c);
}

void CDlgMeasureAdjust::SendSoftwareConfig(int sensor)
{
    m_writer.CopyAndWrite(sensor);
    if (IMeasurePanel* panel = Panel()) panel->ClearSingleShotEnded();
}

// A start or stop trigger on a row that is switched off falls back to off, the first entry of
// its list, as if the user had chosen it there.
void CDlgMeasureAdjust::SwitchOffTriggersOn(int row)
{
    for (const bool start : {true, false}) {
        if ((start ? m_setup.startSource : m_setup.stopSource) != row + 1) continue;
        SelectTriggerSource(start, 0);
        OnSourceChanged(start);
    }
}

void CDlgMeasureAdjust::OnChannelButton(int r, bool send)
{
    if (r < 0 || r >= kSensorRows) return;
    auto& ch = m_setup.channel;
    // Refused while the sensors return (the user is told), the click is not taken: the button
    // shows the state the sensor keeps, so no trigger or condition is set on a channel that the
    // sensors, once back, report otherwise.
    if (send && !m_writer.MustWait() && m_writer.RefuseWhileSensorsReturn()) {
        m_controls.Check(kChannelButton[r], IsRowActive(r));
        return;
    }
    m_bChannelButtonBusy = true;
    IMeasurePanel* panel = Panel();
    if (panel) panel->RelayoutDurationRow();
    ch[static_cast<std::size_t>(r)].active = m_controls.IsChecked(kChannelButton[r]) ? 1 : 0;
    if (ActiveRowsAtoD() == 0) {
        // The last active channel cannot be switched off: channel A comes back on.
        m_controls.Check(kChannelButton[0], true);
        ch[0].active = 1;
        m_frame.SetDisplayValue(RealIndex(0), DisplayField::ChannelState, 1);
        for (int k = 1; k < kSensorRows; ++k) m_frame.SetDisplayValue(RealIndex(k), DisplayField::ChannelState, 2);
    } else {
        m_frame.SetDisplayValue(RealIndex(r), DisplayField::ChannelState, IsRowActive(r) ? 1 : 2);
    }
    // The rows are brought in line with the sensors below, before this click is written: a
    // write still waiting for the sensor would else give the row back the state it carries,
    // the one before the click (and a trigger the click switched off would stay off).
    if (send) m_writer.NoteChosenStates(Several() ? r : 0);
    if (m_bExpanded) ToggleDetails();

    if (!IsRowActive(r)) SwitchOffTriggersOn(r);
    FillTriggerSourceList(true);
    FillTriggerSourceList(false);

    int checked = 0;
    for (int k = 0; k < kSensorRows; ++k) checked += m_controls.IsChecked(kChannelButton[k]) ? 1 : 0;
    if (checked < 2) m_iLimitedMeasurand[1] = -1;
    CountActiveChannels();

    // A torque sensor followed by an angle sensor form a power group.
    CComPort& com = Com();
    auto kindOf = [&com](int sensor) -> BYTE {
        return sensor >= 0 && sensor < kMaxSensorPorts ? com.m_Sensor[static_cast<std::size_t>(sensor)].m_sRotorHeader.cTypeClass : 0;
    };
    const BYTE kind = kindOf(r);
    auto pairGroup = [&](int group, int first) {
        const bool both = m_controls.IsChecked(kChannelButton[first]) && m_controls.IsChecked(kChannelButton[first + 1]);
        UpdateActiveSensorSet(group, both ? 0 : 1);
        m_frame.SetChannelFlag(group);
    };
    if (kind == 'D' && r + 1 < kSensorRows && kindOf(r + 1) == 'Y') pairGroup(r / 2, r - r % 2);
    if (kind == 'Y') {
        SetSensorSelected(r / 2, IsRowActive(r) ? 0 : 1);
        if (r >= 1 && kindOf(r - 1) == 'D') pairGroup((r - 1) / 2, (r - 1) - (r - 1) % 2);
    }

    CheckSameSensorNow();
    SyncPowerSelectors();
    // A power is computed from both sensors of its group: one switched off takes the power's
    // row off too, and a trigger on it falls back to off, as when the power's button does it.
    for (int row = kSensorRows; row < kRowCount; ++row)
        if (!IsRowActive(row)) SwitchOffTriggersOn(row);
    ArrangePage();
    m_controls.SelectByDatum(kAxisCombo[0], kAxisTime);
    OnAxisChanged(0, true);
    if (send) m_writer.CopyAndWrite(Several() ? r : 0);
    ApplyMeasureMode();
    ClearIoNioCondition(0, false, true);
    ClearIoNioCondition(1, false, true);
    FillIoNioChannelLists();
    if (panel) {
        panel->ClearSingleShotEnded();
        panel->RefreshSensorCheckBoxes();
    }
    m_bChannelButtonBusy = false;
}

void CDlgMeasureAdjust::OnLowPassFilterChanged(int r)
{
    if (r < 0 || r >= kSensorRows) return;
    const long long code = m_controls.SelectedDatum(kLowPassCombo[r], -1);
    if (code < 0) return;
    const bool several = Several();
    int& stored = several ? m_nLowPassValue[static_cast<std::size_t>(r)][0] : m_nLowPassValue[0][static_cast<std::size_t>(r)];
    if (CKadmor_Send::EncodeRangeCode(static_cast<DWORD>(stored)) == code) return;
    if (m_writer.RefuseWhileSensorsReturn()) {
        // Not written: the row shows what the sensor keeps.
        m_controls.SelectByDatum(kLowPassCombo[r], CKadmor_Send::EncodeRangeCode(static_cast<DWORD>(stored)));
        return;
    }
    m_frame.BeginWaitCursorOnce();
    stored = static_cast<int>(CKadmor_Send::DecodeRangeCode(static_cast<int>(code)));
    if (several) m_nLowPassValue[static_cast<std::size_t>(r)][1] = stored;
    else if (m_frame.IsCommonFilter()) m_nLowPassValue[0][1] = stored;
    Com().COM_ZMCOMConfgSetNewLowPassFilter(several ? RealIndex(r) : 0);
}

void CDlgMeasureAdjust::OnScalingButton(int c)
{
    if (c < 0 || c >= kSensorRows) return;
    const bool several = Several();
    const int s = several ? c : 0;
    if (s >= kMaxSensorPorts) return;
    CSensorRecord& record = Com().m_Sensor[static_cast<std::size_t>(s)];
    CSensorSwConfig& sw = record.m_sSwConfig;
    if (!several && c == 1 && !sw.cScalingA) {
        sw.dScaleA = 0.0;
        sw.strUnitA = "n.a.";
    }
    const bool useB = record.KeepsScalingInB(!several && c == 1);
    const std::vector<DisplayUnit> units = m_frame.DisplayUnits(c);
    const int shown = m_frame.DisplayValue(c, DisplayField::ShownUnit);
    const bool inList = shown >= 0 && shown < static_cast<int>(units.size());
    const CString unitText = inList ? units[static_cast<std::size_t>(shown)].name : CString();
    const double unitFactor = inList ? units[static_cast<std::size_t>(shown)].factor : 0.0;
    ScalingResult result;
    if (!m_pScalingPage ||
        !m_pScalingPage->Run(c, unitText, unitFactor, useB ? sw.dScaleB : sw.dScaleA,
                             CSensorSwConfig::ShownUnit(useB ? sw.strUnitB : sw.strUnitA), result))
        return;
    m_frame.BeginWaitCursorOnce();
    const bool scaledBefore = useB ? sw.cScalingB : sw.cScalingA;
    if (!scaledBefore) CopyToSensorRecord(s);
    (useB ? sw.dScaleB : sw.dScaleA) = result.factor;
    (useB ? sw.strUnitB : sw.strUnitA) = result.unit;
    m_frame.TareIfNotTared(c);
    m_bScaled[static_cast<std::size_t>(c)] = 1;
    // The sensor is to show the channel in its own unit, the user's; the row selects it once the
    // sensor has confirmed the scaling.
    m_frame.SetDisplayValue(c, DisplayField::ShownUnit, m_frame.DisplayValue(c, DisplayField::OwnUnit));
    m_bResetUnit[static_cast<std::size_t>(c)] = true;
    m_writer.Write(s, !several && c == 1 ? 36 : 35);
    if (IMeasurePanel* panel = Panel()) {
        panel->ArmTimer(43, 500);
        panel->ClearSingleShotEnded();
    }
}

void CDlgMeasureAdjust::OnPowerButton(int g)
{
    if (g < 0 || g > 1) return;
    const int r = 4 + g;
    const bool on = m_controls.IsChecked(kPowerButton[g]);
    SetDisplayFlag(g, on ? 0 : 1);
    m_setup.channel[static_cast<std::size_t>(r)].active = on ? 1 : 0;
    m_frame.SetPowerMark(r, on);
    m_frame.SetChannelFlag(g);
    if (on) m_frame.SetDisplayUnits(r, PowerUnits());
    const bool anyPower = GetDisplayFlag(0) || GetDisplayFlag(1);
    for (int k = 0; k < 2; ++k) m_controls.Show(kOptionBox[k], anyPower && GetDisplayFlag(k));
    ApplyAxisDefaults(0);
    ApplyAxisDefaults(1);
    FillAxisLists();
    if (!on) SwitchOffTriggersOn(r);
    RefreshTriggerControls();
    FillIoNioChannelLists();
    if (m_bExpanded) ToggleDetails();
    // The power row is chosen like any other row from now on, and its details can be opened.
    ShowPowerRow(g);
    FillRowLists(r);
    UpdateExpandButton();
    if (IMeasurePanel* panel = Panel()) panel->SyncPowerChecks(g);
    KeepPowerAxes();
}

// The power units from watts, MW, kW, W and hp, and the entry that ends the list.
std::vector<DisplayUnit> CDlgMeasureAdjust::PowerUnits()
{
    std::vector<DisplayUnit> units;
    for (const views::UnitEntry& unit : views::PowerUnitList()) units.push_back({unit.textId, unit.text, unit.factor});
    return units;
}

void CDlgMeasureAdjust::ShowPowerRow(int g)
{
    const int r = kSensorRows + g;
    const bool shown = Several() && GetDisplayFlag(g);
    for (int id : {kDecimalsCombo[r], kUnitCombo[r], kAveragingCombo[r], kSignCombo[r]}) m_controls.Show(id, shown);
    // The power button beside it already names the row.
    m_controls.Show(kRowCaption[r], false);
}

void CDlgMeasureAdjust::OnPowerMode(int g, bool angle, bool forced)
{
    if (g < 0 || g > 1) return;
    if (!forced && ((angle && IsSensorStateStarted(g)) || (!angle && IsSensorStateStopped(g)))) return;
    if (RefuseEncoderModeWhileSensorsReturn(g)) return;
    m_bPowerSwitching = true;
    m_bPageEnabled = false;
    SetTimer(kTimerPowerSwitchEnd, kPowerSwitchMs);
    m_controls.Check(kTorqueSelector[g], !angle);
    m_controls.Check(kAngleSelector[g], angle);
    m_controls.Enable(kSpeedCaption[g], !angle);
    m_controls.Enable(kAngleCaption[g], angle);
    m_controls.Show(kOptionBox[g], angle);
    CComPort& com = Com();
    const int torqueSensor = 2 * g;
    const int s = 2 * g + 1;  // the group's angle-capable sensor
    if (s >= kMaxSensorPorts) return;
    const bool torqueKindD = com.m_Sensor[static_cast<std::size_t>(torqueSensor)].m_sRotorHeader.cTypeClass == 'D';
    m_controls.Show(kPowerButton[g], !angle && torqueKindD);
    CSensorRecord& record = com.m_Sensor[static_cast<std::size_t>(s)];
    record.m_sEncoder.cAngle = angle ? 1 : 0;
    com.SetZMCOMConfgFlow(49);
    m_frame.UpdateDisplayValues(s, 1, &record);
    if (IMeasurePanel* panel = Panel()) panel->CheckSensorVersion();
    RefreshChannelRows();
    if (angle) {
        if (m_frame.IsChannelBarVisible(4 + g)) m_frame.ShowChannelBar(4 + g, false);
        const bool option = m_controls.IsChecked(kOptionBox[g]);
        record.m_sStatorOperation.cEncoderMode = option ? 7 : 4;
        SetSensorStateStarted(g);
        m_controls.Check(kPowerButton[g], false);
        m_frame.SetChannelFlag(g);
        OnPowerButton(g);
    } else {
        record.m_sStatorOperation.cEncoderMode = 3;
        SetSensorStateStopped(g);
    }
    com.COM_ZMCOMConfgCnfgSensorStOperationBlockFor(s);
}

void CDlgMeasureAdjust::OnOptionBox(int g)
{
    if (g < 0 || g > 1) return;
    const int s = 2 * g + 1;
    if (RefuseEncoderModeWhileSensorsReturn(g)) return;
    Com().m_Sensor[static_cast<std::size_t>(s)].m_sStatorOperation.cEncoderMode = m_controls.IsChecked(kOptionBox[g]) ? 7 : 4;
    OnPowerMode(g, true, true);
}

bool CDlgMeasureAdjust::RefuseEncoderModeWhileSensorsReturn(int g)
{
    if (!m_writer.RefuseWhileSensorsReturn()) return false;
    // Not written: the selectors show the mode the encoder counts in.
    const bool angle = IsSensorStateStarted(g);
    m_controls.Check(kTorqueSelector[g], !angle);
    m_controls.Check(kAngleSelector[g], angle);
    m_controls.Check(kOptionBox[g], Com().m_Sensor[static_cast<std::size_t>(2 * g + 1)].m_sStatorOperation.cEncoderMode == 7);
    return true;
}

void CDlgMeasureAdjust::SyncPowerSelectors()
{
    if (!IsPanelSensorConnected()) return;
    CComPort& com = Com();
    const int sensors = std::max(0, SensorCount());
    for (int s = 1; s < sensors && s < kMaxSensorPorts; s += 2) {
        const int g = s / 2;
        const CSensorRecord& record = com.m_Sensor[static_cast<std::size_t>(s)];
        if (record.m_sRotorHeader.cTypeClass != 'Y') continue;
        const bool angle = record.m_sEncoder.cAngle != 0;
        const bool rowActive = IsRowActive(s);
        m_controls.Enable(kTorqueSelector[g], rowActive);
        m_controls.Enable(kAngleSelector[g], rowActive);
        m_controls.Check(kTorqueSelector[g], !angle);
        m_controls.Check(kAngleSelector[g], angle);
        m_controls.Show(kOptionBox[g], angle);
        if (angle) m_controls.Check(kOptionBox[g], record.m_sStatorOperation.cEncoderMode == 7);
        if (angle) SetSensorStateStarted(g);
        else SetSensorStateStopped(g);
        SetSensorSelected(g, rowActive ? 0 : 1);
        const bool torqueKindD = com.m_Sensor[static_cast<std::size_t>(s - 1)].m_sRotorHeader.cTypeClass == 'D';
        m_controls.Show(kPowerButton[g], !angle && torqueKindD);
        // The button and the power row show whether the power is computed, also when the
        // sensors said so (the row's axis is offered from it).
        m_controls.Check(kPowerButton[g], GetDisplayFlag(g));
        m_setup.channel[static_cast<std::size_t>(kSensorRows + g)].active = GetDisplayFlag(g) ? 1 : 0;
    }
    if (IMeasurePanel* panel = Panel()) panel->AngleSelectionChanged();
}

bool CDlgMeasureAdjust::CheckPowerUnits() const
{
    for (int g = 0; g < 2; ++g) {
        if (!GetDisplayFlag(g)) continue;
        for (int row : {2 * g, 2 * g + 1}) {
            const int channel = Several() ? RealIndex(row) : row;
            const int unit = m_frame.DisplayValue(channel, DisplayField::Unit);
            if (unit == m_frame.DisplayValue(channel, DisplayField::OwnUnit) || UnitText(channel).Find('[') >= 0) return false;
        }
    }
    return true;
}

void CDlgMeasureAdjust::HideChannelBars()
{
    for (int bar = 0; bar < kRowCount; ++bar)
        if (m_frame.IsChannelBarVisible(bar)) m_frame.ShowChannelBar(bar, false);
}

}  // namespace measurement
