// Refilling the set-up page from the connected sensors: the sensor in use, the measure rates
// the line and the sensor can carry, which channel rows exist, the row combos, the scaling
// buttons and the low-pass filters.

#include <algorithm>
#include <optional>

#include "measurement/measure_rate_table.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_page.h"
#include "platform/profile.h"
#include "res/string_table.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {

namespace {

constexpr int kFastLine = 230400;
constexpr int kNoFilter = 66666666;
constexpr int kRangeValues[4] = {30, 300, 1000, 3000};
constexpr UINT kTextDigitalInput = 5559;  // "(digital input)" under the channel rows

}  // namespace

bool CDlgMeasureAdjust::CheckSameSensorNow()
{
    if (m_frame.IsStartupPending()) return true;
    ReadLastUsedSerial();
    m_iSensorMode = Sensor(RealIndex(0)).serial == m_nLastUsedSerial ? 1 : 2;
    if (ActivePorts() >= 1) m_nSerialInUse = Com().m_Sensor[0].m_sStatorHeader.nSerialNo;
    KeepProfileValues();
    m_setup.samplePeriod = GetSamplePeriod(m_frame.MeasureRateIndex());
    // The rates a line carries depend on how many channels are measured, so the rows are
    // brought in line with the sensor first.
    const bool normalised = NormaliseChannelFlags();
    const bool result = FillMeasureRateList() && normalised;
    FillLowPassFilterLists();
    return result;
}

bool CDlgMeasureAdjust::FillMeasureRateList()
{
    CComPort& com = Com();
    // With several sensors the first connected sensor decides.
    const SensorSetupFields sensor = Sensor(Several() ? RealIndex(0) : 0);
    const bool fastLine = LineBaudRate() == kFastLine;
    const bool oneOfAB = (IsRowActive(0) ? 1 : 0) + (IsRowActive(1) ? 1 : 0) == 1;
    int first;
    if (sensor.typeCode == 4 || (sensor.typeCode == 5 && sensor.versionCode < 5)) first = kRate10PerSecond;
    else if ((Several() || oneOfAB) && !sensor.combination) first = fastLine ? 0 : 1;
    else first = fastLine ? 1 : 2;
    // Several sensors stream together down to 20/sec; a device whose sensors cannot stream
    // keeps the rates at which each of them is polled.
    int last = Several() && first <= kRate20PerSecond ? kRate20PerSecond : kRate1PerMinute;
    int rate = m_frame.MeasureRateIndex();
    // With no sensor connected the record read is no sensor's (a search that found none leaves
    // only the type of the port listed last in it): the list cannot say what the sensor will
    // carry, and the rate the user chose stays, offered and selected, until a sensor is read.
    // So while a device is connected sensor by sensor: its first sensor alone is listed as a
    // single sensor, whose list and stored rate are not the whole device's; so is the first
    // sensor the calibration page has alone until it gives the device back.
    const bool deviceIncomplete = com.m_bFurtherPortsPending != 0 || m_frame.AreSensorsTakenApart();
    if ((ActivePorts() < 1 || deviceIncomplete) && rate >= 0 && rate < kRate1PerHour) {
        first = std::min(first, rate);
        last = std::max(last, rate);
    }

    m_controls.ResetContent(IDC_RATE_COMBO);
    for (int index = first; index <= last; ++index)
        m_controls.AddItem(IDC_RATE_COMBO, LoadLangString(GetMeasureRateTextId(index)), index);
    // A sensor just read brings the rate it stores (the records hold the frame's rate from then
    // on): the page shows it and every later write keeps it, as long as the line and the sensor
    // carry it.
    const int deciding = Several() ? RealIndex(0) : 0;
    const CSensorSwConfig& stored = com.m_Sensor[static_cast<std::size_t>(deciding < kMaxSensorPorts ? deciding : 0)].m_sSwConfig;
    // Unless the user chose another for it that it was gone to take, or that waits still to be
    // written: that one is written now.
    const bool chosenForIt = ActivePorts() >= 1 && m_writer.WritesWaitFor(com.m_Sensor[0].m_sStatorHeader.nSerialNo);
    // Nor while no sensor is connected: a record a search read meanwhile is no sensor's yet.
    const bool adopt = ActivePorts() >= 1 && !chosenForIt && !deviceIncomplete;
    if (adopt && stored.cReadMark && stored.cValid && stored.nByte32 != rate && m_controls.HasDatum(IDC_RATE_COMBO, stored.nByte32)) {
        rate = stored.nByte32;
        m_frame.SetMeasureRateIndex(rate);
    }
    // So does the reduction it stores: the sensor reduces its stream by it from its first set on.
    if (adopt && stored.cReadMark && stored.cValid && stored.nSetupCount >= 1 && stored.nSetupCount <= 9999)
        m_frame.SetAveragingCount(stored.nSetupCount);
    if (!m_controls.HasDatum(IDC_RATE_COMBO, rate)) {
        rate = first;
        m_frame.SetMeasureRateIndex(rate);
    }
    // The sensor keeps a rate the page does not show (it is not offered here): the rate shown is
    // written once the user chooses it, though it is the one shown already.
    if (stored.cReadMark && stored.cValid && stored.nByte32 != rate) m_bUnlikeSensors = true;
    for (int s = 0; s < kMaxSensorPorts; ++s) com.m_Sensor[static_cast<std::size_t>(s)].m_sSwConfig.nByte32 = rate;
    m_controls.SelectByDatum(IDC_RATE_COMBO, rate);
    m_setup.xAxisUnitTextId = XAxisUnitTextIdOfRate(rate);
    m_setup.samplePeriod = GetSamplePeriod(rate);
    UpdateReductionAvailability();
    return true;
}

// A single sensor's line, or the slowest line of a device's sensors.
int CDlgMeasureAdjust::LineBaudRate() const { return Several() ? Com().m_nDefaultBaudRate : Com().m_nBaudRate; }

void CDlgMeasureAdjust::RecheckMeasureRateList()
{
    if (LineBaudRate() == kFastLine && m_controls.Count(IDC_RATE_COMBO) > 0 &&
        m_controls[IDC_RATE_COMBO].entries.front().datum != 0)
        FillMeasureRateList();
}

void CDlgMeasureAdjust::HideSensorControls()
{
    m_controls.SetText(IDC_DIGITAL_INPUT, CString());
    m_controls.Show(IDC_LOWPASS_CAPTION, false);
    for (int id : kLowPassCombo) m_controls.Show(id, false);
    for (int id : kPowerButton) m_controls.Show(id, false);
    Changed();
}

CString CDlgMeasureAdjust::DigitalInputCaption() { return LoadLangString(kTextDigitalInput); }

bool CDlgMeasureAdjust::NormaliseChannelFlags()
{
    auto& ch = m_setup.channel;
    const bool several = Several();
    const int sensors = std::max(0, SensorCount());
    const bool oneChannel = IsOneChannelSensor();

    if (!several && ActiveRowsAtoD() > 0) {
        m_controls.SetText(kChannelButton[0], LoadLangString(5321));
        m_controls.SetText(kChannelButton[1], LoadLangString(5322));
    }
    // Several sensors have no digital input among their rows: a caption set while the device's
    // first sensor stood alone goes.
    if (several || ActiveRowsAtoD() > 0)
        m_controls.SetText(IDC_DIGITAL_INPUT, IsChannelBDigitalInput() ? DigitalInputCaption() : CString());
    std::array<BYTE, 6> selection{};
    if (!IsPanelSensorConnected()) {
        if (!m_bSeveralSeen)
            for (auto& row : ch) row.savedActive = row.active;
        for (std::size_t r = 0; r < ch.size(); ++r) {
            ch[r].active = 0;
            ch[r].enabled = 0;
            ch[r].selectable = r < 2 ? 1 : 0;
            ch[r].present = 1;
        }
        m_frame.SetChannelSelection(selection);
        if (!several) m_frame.SetMeasureMode(0);
    } else if (!several && !oneChannel) {
        if (m_bSeveralSeen) {
            ch[0].active = ch[0].savedActive;
            ch[1].active = ch[1].savedActive;
            m_bSeveralSeen = false;
        } else {
            ch[0].savedActive = ch[0].active;
            ch[1].savedActive = ch[1].active;
        }
        for (std::size_t r = 2; r < ch.size(); ++r) ch[r].active = ch[r].savedActive = 0;
        if (ActiveRowsAtoD() == 0) ch[0].active = 1;
        for (std::size_t r = 0; r < kSensorRows; ++r) {
            ch[r].enabled = ch[r].selectable = r < 2 ? 1 : 0;
            ch[r].present = 1;
        }
    } else {
        for (int r = 0; r < kRowCount; ++r) {
            ChannelFlags& f = ch[static_cast<std::size_t>(r)];
            f.enabled = several && r < sensors ? 1 : 0;
            f.selectable = r == 0 || (several && (r < sensors || (r < 4 && !m_bHideRowsBeyondSensors))) ? 1 : 0;
            f.present = 1;
        }
        if (oneChannel) ch[1].active = ch[1].savedActive = 0;
        if (several) {
            if (!m_bSeveralSeen) {
                for (auto& row : ch) row.savedActive = row.active;
            } else {
                for (auto& row : ch) row.active = row.savedActive;
            }
            m_bSeveralSeen = true;
        } else {
            m_frame.SetMeasureMode(1);
        }
        for (int r = 0; r < kRowCount; ++r) selection[static_cast<std::size_t>(r)] = ch[static_cast<std::size_t>(r)].active;
        m_frame.SetChannelSelection(selection);
    }

    // Which channels the sensors have.
    if (IsPanelSensorConnected()) {
        const int present = several ? 4 : oneChannel ? 1 : 2;
        std::array<int, kSensorRows> state{};
        for (int r = 0; r < present; ++r) {
            const int table = several ? RealIndex(r) : r;
            // A sensor read again before the user's on or off reached it reports its older state:
            // the row keeps the user's, which the write still waiting for it carries.
            const std::optional<int> chosen = m_writer.ChosenChannelState(table);
            state[static_cast<std::size_t>(r)] = chosen ? *chosen : m_frame.DisplayValue(table, DisplayField::ChannelState);
        }
        for (int r = 0; r < kSensorRows; ++r) {
            m_frame.SetDisplayValue(several ? RealIndex(r) : r, DisplayField::ChannelState, 3);
            ch[static_cast<std::size_t>(r)].active = 0;
            m_controls.Check(kChannelButton[r], false);
        }
        for (int r = 0; r < present && (!several || r < sensors); ++r) {
            const int s = state[static_cast<std::size_t>(r)];
            m_frame.SetDisplayValue(several ? RealIndex(r) : r, DisplayField::ChannelState, s);
            const bool active = oneChannel || s == 0 || s == 1;
            ch[static_cast<std::size_t>(r)].active = active ? 1 : 0;
            m_controls.Check(kChannelButton[r], active);
        }
    }
    ch[4].active = GetDisplayFlag(0) ? 1 : 0;
    ch[5].active = GetDisplayFlag(1) ? 1 : 0;
    // The measuring mode and the channels measured follow the rows as the sensors left them.
    ApplyMeasureMode();
    for (int r = 0; r < kSensorRows; ++r) {
        m_controls.Enable(kChannelButton[r], ch[static_cast<std::size_t>(r)].enabled != 0);
        m_controls.Show(kChannelButton[r], ch[static_cast<std::size_t>(r)].selectable != 0);
    }
    for (int g = 0; g < 2; ++g) m_controls.Show(kPowerButton[g], ch[static_cast<std::size_t>(4 + g)].selectable != 0 && several);
    UpdateIoNioVisibility();
    // The trigger sources offer the rows as they are now: a row gone (no sensor while a search
    // runs, a power no longer computed) offered still would be refused once chosen, and the
    // trigger moved to a source the user never chose.
    FillTriggerSourceList(true);
    FillTriggerSourceList(false);
    return true;
}

void CDlgMeasureAdjust::ApplyMeasureMode()
{
    std::array<BYTE, 6> selection{};
    if (!Several()) {
        const bool a = IsRowActive(0), b = IsRowActive(1);
        if (!a && b) {
            m_frame.SetMeasureMode(2);
            selection[1] = 1;
        } else if (a && !b) {
            m_frame.SetMeasureMode(1);
            selection[0] = 1;
        } else if (a && b) {
            m_frame.SetMeasureMode(m_setup.axis[1].source == 3 ? 4 : 3);
            selection[0] = selection[1] = 1;
            m_frame.SetMeasuredChannelCount(2);
        }
    } else {
        for (int r = 0; r < kRowCount; ++r) selection[static_cast<std::size_t>(r)] = IsRowActive(r) ? 1 : 0;
    }
    m_frame.SetChannelSelection(selection);
}

void CDlgMeasureAdjust::ApplyRowAvailability(int control, int row, int kind)
{
    const ChannelFlags& f = m_setup.channel[static_cast<std::size_t>(row)];
    if (!Several()) {
        m_controls.Show(control, f.selectable != 0);
        m_controls.Enable(control, f.selectable != 0 && kind != 16);
        return;
    }
    if (row >= SensorCount()) {
        const bool hide = m_bHideRowsBeyondSensors || kind == 128;
        m_controls.Show(control, !hide);
        m_controls.Enable(control, false);
    } else {
        m_controls.Show(control, true);
        m_controls.Enable(control, true);
    }
}

void CDlgMeasureAdjust::SetColumnCaptions()
{
    m_controls.SetText(IDC_CAPTION_DECIMALS, LoadLangString(5136));
    m_controls.SetText(IDC_CAPTION_UNIT, LoadLangString(5137));
    m_controls.SetText(IDC_CAPTION_AVERAGE, LoadLangString(5138));
    m_controls.SetText(IDC_CAPTION_SIGN, LoadLangString(5255));
    m_controls.SetText(IDC_CAPTION_SCALING, LoadLangString(5341));
}

bool CDlgMeasureAdjust::RefreshChannelRows()
{
    const bool several = Several();
    m_controls.Show(kChannelButton[2], several);
    m_controls.Show(kChannelButton[3], several);
    const CString base = RowWord() + " ";
    const bool oneChannel = !several && m_frame.DisplayValue(1, DisplayField::Available) == 0;
    for (int r = 0; r < kSensorRows; ++r) {
        m_controls.SetText(kChannelButton[r],
                           several ? base + CString::Formatted("%d", r + 1) : base + CString(static_cast<char>('A' + r)));
        m_controls.SetText(kRowCaption[r], base + CString::Formatted("%d", r + 1));
        ApplyRowAvailability(kChannelButton[r], r, oneChannel ? 16 : 68);
        ApplyRowAvailability(kLowPassCombo[r], r, 68);
        if (!m_bLowPassAvailable[static_cast<std::size_t>(r)]) m_controls.Show(kLowPassCombo[r], false);
    }
    m_controls.Show(IDC_LOWPASS_CAPTION, m_controls.IsShown(kLowPassCombo[0]));
    for (int r = 0; r < kSensorRows; ++r) {
        for (int id : {kRowCaption[r], kDecimalsCombo[r], kUnitCombo[r], kAveragingCombo[r], kSignCombo[r], kScalingButton[r]})
            ApplyRowAvailability(id, r, 0);
        // The channel button beside it already names the row.
        m_controls.Show(kRowCaption[r], false);
    }
    for (int g = 0; g < 2; ++g) ShowPowerRow(g);
    UpdateExpandButton();
    bool ok = true;
    for (int r = 0; r < kRowCount; ++r) {
        ok = FillRowLists(r) && ok;
        if (r < kSensorRows) UpdateScalingButton(r);
    }
    RefreshTriggerControls();
    UpdateIoNioLimitFields(0);
    return ok;
}

CDlgMeasureAdjust::RowTarget CDlgMeasureAdjust::TargetOfRow(int row) const
{
    RowTarget t;
    const bool several = Several();
    const bool power = row >= kSensorRows;
    t.channel = power ? row : (several ? RealIndex(row) : row);
    t.fill = power ? SensorCount() >= 1 || !several : (!several || row < SensorCount());
    t.available = power || m_frame.DisplayValue(t.channel, DisplayField::Available) != 0;
    return t;
}

// Empties a row combo and says whether it is to be filled: an unavailable channel's combo is
// hidden (or only disabled), an available one enabled and shown.
bool CDlgMeasureAdjust::PrepareRowCombo(int id, const RowTarget& t)
{
    m_controls.ResetContent(id);
    if (!t.fill) return false;
    if (!t.available) {
        if (m_bHideUnavailable) m_controls.Show(id, false);
        else m_controls.Enable(id, false);
        return false;
    }
    m_controls.Enable(id, true);
    if (!m_bHideUnavailable) m_controls.Show(id, true);
    return true;
}

bool CDlgMeasureAdjust::FillRowLists(int row)
{
    bool ok = FillDecimalsList(row);
    ok = FillUnitList(row) && ok;
    ok = FillAveragingList(row) && ok;
    return FillSignList(row) && ok;
}

bool CDlgMeasureAdjust::FillDecimalsList(int row)
{
    const int id = kDecimalsCombo[row];
    const RowTarget t = TargetOfRow(row);
    if (!PrepareRowCombo(id, t)) return true;
    for (int d = 0; d <= 4; ++d) m_controls.AddItem(id, CString::Formatted("%d", d), d);
    m_controls.SelectByDatum(id, m_frame.DisplayValue(t.channel, DisplayField::Decimals));
    return true;
}

bool CDlgMeasureAdjust::FillAveragingList(int row)
{
    const int id = kAveragingCombo[row];
    const RowTarget t = TargetOfRow(row);
    if (!PrepareRowCombo(id, t)) return true;
    for (int n = 0; n <= 9; ++n) m_controls.AddItem(id, CString::Formatted("%d", GetAveragingCount(n)), n);
    m_controls.SelectByDatum(id, m_frame.DisplayValue(t.channel, DisplayField::Averaging));
    return true;
}

bool CDlgMeasureAdjust::FillSignList(int row)
{
    const int id = kSignCombo[row];
    const RowTarget t = TargetOfRow(row);
    if (!PrepareRowCombo(id, t)) return true;
    for (int s = 0; s <= 1; ++s) m_controls.AddItem(id, LoadLangString(GetSignTextId(s)), s);
    m_controls.SelectByDatum(id, m_frame.DisplayValue(t.channel, DisplayField::Sign));
    return true;
}

bool CDlgMeasureAdjust::FillUnitList(int row)
{
    const int id = kUnitCombo[row];
    const RowTarget t = TargetOfRow(row);
    if (!PrepareRowCombo(id, t)) return true;
    if (row >= kSensorRows) {
        // A power channel is computed in watts and shown in one of the power units, in the
        // language shown now.
        const std::vector<DisplayUnit> units = PowerUnits();
        for (std::size_t k = 0; k < units.size() && units[k].code >= 0; ++k)
            m_controls.AddItem(id, units[k].name, static_cast<long long>(k));
        m_frame.SetDisplayUnits(t.channel, units);
    } else {
        const std::vector<DisplayUnit> units = m_frame.DisplayUnits(t.channel);
        const int own = m_frame.DisplayValue(t.channel, DisplayField::OwnUnit);
        for (std::size_t k = 0; k < units.size() && units[k].code >= 0; ++k) {
            if (static_cast<int>(k) == own) {
                if (units[k].factor != 0.0) m_controls.AddItem(id, "[" + units[k].name + "]", static_cast<long long>(k));
            } else {
                m_controls.AddItem(id, units[k].name, static_cast<long long>(k));
            }
        }
    }
    int chosen = m_frame.DisplayValue(t.channel, DisplayField::Unit);
    if (m_bResetUnit[static_cast<std::size_t>(row)]) {
        chosen = m_frame.DisplayValue(t.channel, DisplayField::OwnUnit);
        m_bResetUnit[static_cast<std::size_t>(row)] = false;
    }
    if (!m_controls.HasDatum(id, chosen)) chosen = 0;
    m_frame.SetDisplayValue(t.channel, DisplayField::Unit, chosen);
    m_controls.SelectByDatum(id, chosen);
    return true;
}

bool CDlgMeasureAdjust::RefreshChannelRowNow(int row)
{
    if (row < 0 || row >= kRowCount) return false;
    const bool scalingConfirmed = m_bResetUnit[static_cast<std::size_t>(row)];
    if (scalingConfirmed && row < kSensorRows) {
        // The sensor has taken the row's new scaling: its display values come from the sensor
        // again, with its own unit's new text and factor.
        const int sensor = Several() ? row : 0;
        m_frame.UpdateDisplayValues(sensor, 1, &Com().m_Sensor[static_cast<std::size_t>(sensor)]);
    }
    const int channel = row < kSensorRows && Several() ? RealIndex(row) : row;
    const UINT captionId = row < kSensorRows ? 5321 + row : 5033;
    const CString unit = UnitText(channel);
    if (GetStartTriggerSourceTextId(m_setup.startSource) == captionId && m_setup.startSource == row + 1)
        m_controls.SetText(IDC_START_VALUE_UNIT, unit);
    if (GetStopTriggerSourceTextId(m_setup.stopSource) == captionId && m_setup.stopSource == row + 1)
        m_controls.SetText(IDC_STOP_VALUE_UNIT, unit);
    const bool filled = FillUnitList(row);
    // Shown in its own unit from now on.
    if (scalingConfirmed) ShowInNewUnit(row);
    return filled;
}

bool CDlgMeasureAdjust::UpdateScalingButton(int row)
{
    if (row < 0 || row >= kSensorRows) return false;
    const int id = kScalingButton[row];
    const bool several = Several();
    if ((several && row >= SensorCount()) || (!several && row >= 2)) {
        m_controls.SetText(id, "");
        m_controls.Enable(id, false);
        return true;
    }
    const int sensor = several ? RealIndex(row) : 0;
    const int channel = several ? RealIndex(row) : row;
    const SensorSetupFields f = Sensor(sensor);
    const bool available = m_frame.DisplayValue(channel, DisplayField::Available) != 0;
    const bool active = f.userScaling == 1 && available;
    m_controls.Enable(id, active);
    if (!active) return true;
    const BYTE scaled = f.scalingPresent[static_cast<std::size_t>(several ? 0 : row)];
    const std::vector<DisplayUnit> units = m_frame.DisplayUnits(channel);
    const int own = m_frame.DisplayValue(channel, DisplayField::OwnUnit);
    const double ownFactor = own >= 0 && own < static_cast<int>(units.size()) ? units[static_cast<std::size_t>(own)].factor : 0.0;
    m_controls.SetText(id, LoadLangString(!scaled || ownFactor == 0.0 ? 5346 : 5296));
    return true;
}

bool CDlgMeasureAdjust::FillLowPassFilterList(int row)
{
    if (row < 0 || row >= kSensorRows) return false;
    if (!IsPanelSensorConnected()) return false;
    const bool several = Several();
    bool available = false;
    int value = kNoFilter;
    if (several) {
        // A row beyond the device's sensors has no sensor whose filter it could set.
        if (row >= SensorCount()) available = false;
        else if (GetConnectedSensorCount() == 0) available = true;
        else if (row == 0 || row == 2) available = true;
        else if (row == 1) available = !IsFirstSensorConnected();
        else available = !IsSecondSensorConnected();
        const SensorSetupFields f = Sensor(RealIndex(row));
        m_nLowPassValue[static_cast<std::size_t>(row)] = f.lowPass;
        value = f.lowPass[0];
    } else {
        const SensorSetupFields f = Sensor(0);
        if (f.typeCode == 5) {
            if (f.secondIdent == 0) available = row < 2 && f.versionCode > 6;
            else available = row == 0 && f.versionCode > 12;
        }
        if (row < 2) {
            m_nLowPassValue[0][static_cast<std::size_t>(row)] = f.lowPass[static_cast<std::size_t>(row)];
            value = f.lowPass[static_cast<std::size_t>(row)];
        }
    }
    m_bLowPassAvailable[static_cast<std::size_t>(row)] = available;
    const int id = kLowPassCombo[row];
    m_controls.Show(id, available);
    if (row == 0) m_controls.Show(IDC_LOWPASS_CAPTION, available);
    m_controls.ResetContent(id);
    if (!available) return true;
    for (int code = 0; code < 4; ++code)
        m_controls.AddItem(id, CString::Formatted("%d ", kRangeValues[code]) + LoadLangString(5375), code);
    m_controls.SelectByDatum(id, CKadmor_Send::EncodeRangeCode(static_cast<DWORD>(value)));
    return true;
}

void CDlgMeasureAdjust::FillLowPassFilterLists()
{
    if (ActivePorts() < 1) return;
    for (int r = 0; r < kSensorRows; ++r) FillLowPassFilterList(r);
}

int CDlgMeasureAdjust::GetAveragingCount(int index) { return index >= 1 && index <= 9 ? 1 << index : 1; }

UINT CDlgMeasureAdjust::GetSignTextId(int sign) { return sign == 1 ? 5254 : 5253; }

}  // namespace measurement
