// Start and stop triggers, the two pass/fail conditions with their limits, and the paths of
// the add-on programs.

#include <cmath>

#include "environment/number_text.h"
#include "measurement/measure_rate_table.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_page.h"
#include "measurement/setup_numbers.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "res/string_table.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {

namespace {

constexpr std::int64_t kStartLeadSeconds = 15;
constexpr double kDigitalInputThreshold = 0.5;  // halfway between the input's two levels

}  // namespace

UINT CDlgMeasureAdjust::GetStartTriggerSourceTextId(int code)
{
    if (code == 0) return 5188;
    if (code >= 1 && code <= 4) return 5321 + static_cast<UINT>(code - 1);
    if (code == 5 || code == 6) return 5033;
    if (code == 7) return 5159;
    return 5129;
}

UINT CDlgMeasureAdjust::GetStopTriggerSourceTextId(int code)
{
    if (code == 0) return 5189;
    if (code >= 1 && code <= 6) return GetStartTriggerSourceTextId(code);
    if (code == 7) return 5160;
    if (code == 8) return 5161;
    return 5129;
}

// The text of a channel or power source code 1 to 6 with several sensors.
static CString SeveralSourceText(int code, UINT textId)
{
    if (code >= 1 && code <= 4) return LoadLangString(5111) + CString::Formatted(" %d", code);
    if (code == 5 || code == 6) return LoadLangString(5033) + CString::Formatted(" %d", code - 4);
    return LoadLangString(textId);
}

// Fills the start (or stop) trigger's source list with the fixed sources and the channel and
// power rows that are active, and selects the trigger's source. With no sensor connected every
// row counts as off, yet the trigger still holds the channel the user chose for it: a refill
// then (a language switch) keeps that channel's entry, so that the list goes on showing the
// choice, also once the sensor is back and until its rows are read.
bool CDlgMeasureAdjust::FillTriggerSourceList(bool start)
{
    const int id = start ? IDC_START_SOURCE : IDC_STOP_SOURCE;
    const int source = start ? m_setup.startSource : m_setup.stopSource;
    m_controls.ResetContent(id);
    const bool several = Several();
    const int kept = IsPanelSensorConnected() ? -1 : source;
    for (int code = 0; code <= (start ? 7 : 8); ++code) {
        if (code >= 1 && code <= 6 && !IsRowActive(code - 1) && code != kept) continue;
        const UINT textId = start ? GetStartTriggerSourceTextId(code) : GetStopTriggerSourceTextId(code);
        m_controls.AddItem(id, several ? SeveralSourceText(code, textId) : LoadLangString(textId), code);
    }
    m_controls.SelectByDatum(id, source);
    return true;
}

static bool FillDirection(PageControls& controls, int id, bool set, int direction)
{
    controls.ResetContent(id);
    controls.AddItem(id, LoadLangString(5162), 0);
    controls.AddItem(id, LoadLangString(5163), 1);
    controls.Show(id, set);
    controls.SelectByDatum(id, direction);
    return true;
}

bool CDlgMeasureAdjust::FillStartDirectionList()
{
    return FillDirection(m_controls, IDC_START_DIRECTION, m_setup.startSet, m_setup.startDirection);
}

bool CDlgMeasureAdjust::FillStopDirectionList()
{
    return FillDirection(m_controls, IDC_STOP_DIRECTION, m_setup.stopSet, m_setup.stopDirection);
}

bool CDlgMeasureAdjust::RefreshTriggerControls()
{
    const CMeasureSetup& s = m_setup;
    for (int id : {IDC_START_VALUE, IDC_START_VALUE_UNIT}) m_controls.Show(id, s.startSet);
    if (s.startSet) ShowStartTriggerValue();
    for (int id : {IDC_STOP_VALUE, IDC_STOP_VALUE_UNIT}) m_controls.Show(id, s.stopSet);
    if (s.stopSet) ShowStopTriggerValue();
    const std::int64_t earliest = platform::CalendarSeconds() + kStartLeadSeconds;
    if (s.startTime <= earliest) m_setup.startTime = earliest;
    const bool english = GetLanguage() == kEnglish;
    m_controls.SetText(IDC_START_TIME, english ? "MM'/'dd'/'yyyy' '     HH':'mm':'ss" : "dd'.'MM'.'yyyy' '     HH':'mm':'ss");
    m_controls.SetText(IDC_START_TIME_HINT, english ? "(MM/dd/yyyy   HH:mm:ss)" : "(TT.MM.JJJJ   HH:mm:ss)");
    m_controls.Show(IDC_START_TIME, s.startByDateTime);
    m_controls.Show(IDC_START_TIME_HINT, s.startByDateTime);
    for (int id : {IDC_DURATION_EDIT, IDC_DURATION_LABEL}) m_controls.Show(id, s.stopByDuration);
    if (s.stopByDuration) {
        ShowDuration();
        UpdateDurationLabel();
    }
    for (int id : {IDC_COUNT_EDIT, IDC_COUNT_LABEL}) m_controls.Show(id, s.stopByCount);
    if (s.stopByCount) {
        ShowPointCount();
        UpdatePointsLabel();
    }
    SetTriggerCaption(2, s.startSet);
    SetTriggerCaption(3, s.stopSet);
    SetTriggerCaption(4, s.startSet);
    SetTriggerCaption(5, s.stopSet);
    SetTriggerCaption(6, s.startSet);
    SetTriggerCaption(7, s.stopSet);
    bool ok = FillTriggerSourceList(true);
    ok = FillStartDirectionList() && ok;
    ok = FillTriggerSourceList(false) && ok;
    ok = FillStopDirectionList() && ok;
    return ok;
}

void CDlgMeasureAdjust::SetTriggerCaption(int kind, bool show)
{
    static const int kIds[8] = {0, 0, IDC_START_DIRECTION_CAPTION, IDC_STOP_DIRECTION_CAPTION, IDC_START_VALUE_UNIT,
                                IDC_STOP_VALUE_UNIT, IDC_START_VALUE_CAPTION, IDC_STOP_VALUE_CAPTION};
    if (kind < 2 || kind > 7) return;
    CString text;
    if (show) {
        if (kind <= 3) {
            text = LoadLangString(5156);
        } else if (kind <= 5) {
            const int source = kind == 4 ? m_setup.startSource : m_setup.stopSource;
            if (source >= 1 && source <= 6) text = UnitText(source <= 4 && Several() ? RealIndex(source - 1) : source - 1);
        } else {
            text = LoadLangString(5157);
        }
    }
    SetCaptionOrHide(kIds[kind], text);
}

void CDlgMeasureAdjust::SelectTriggerSource(bool start, int index)
{
    m_controls.Select(start ? IDC_START_SOURCE : IDC_STOP_SOURCE, index);
}

void CDlgMeasureAdjust::OnSourceChanged(bool start)
{
    const int id = start ? IDC_START_SOURCE : IDC_STOP_SOURCE;
    // The entry's datum is the source code, whatever position the entry has in the list.
    int s = static_cast<int>(m_controls.SelectedDatum(id, 0));
    const bool fixed = s == 0 || s == 7 || (!start && s == 8);
    // The source the trigger holds is taken again as it is: the list keeps it while its sensor
    // is gone or not yet read again, when its row counts as off.
    const int stored = start ? m_setup.startSource : m_setup.stopSource;
    if (!fixed && s != stored && !IsRowActive(s - 1)) {
        const CString text = BuildNotActiveText(s - 1, Several());
        const int index = Several() ? 0 : (s == 1 ? 2 : 1);
        SelectTriggerSource(start, index);
        s = static_cast<int>(m_controls.SelectedDatum(id, 0));
        AfxMessageBox(text);
    }
    if (start) {
        if (IMeasurePanel* panel = Panel()) {
            if (s == kStartBySystemTime) panel->SetAutoRepeat(false, false);
            else panel->SetAutoRepeat(panel->IsAutoRepeatChecked(), true);
        }
    }
    if (s == 0 || s != stored) SetTriggerField(start ? 0 : 1, s);
    FocusTriggerValue(start ? 0 : 1, s);
}

void CDlgMeasureAdjust::SetTriggerField(int kind, int value)
{
    CMeasureSetup& s = m_setup;
    const bool channelB = value == 2 && !Several();
    switch (kind) {
    case 0:
        s.startSource = value;
        if (value == 0) {
            s.startSet = false;
            s.startByDateTime = false;
        } else if (value == kStartBySystemTime) {
            s.startSet = false;
            s.startByDateTime = true;
            s.startTime = platform::CalendarSeconds() + kStartLeadSeconds;
        } else {
            s.startSet = true;
            if (!channelB) s.startDirection = 0;
            s.startByDateTime = false;
            s.startValue = 0.0;
            ShowStartTriggerValue();
        }
        if (s.startSet && s.startDirection < 0) s.startDirection = 0;
        break;
    case 1:
        s.stopSource = value;
        s.stopByDuration = s.stopByCount = false;
        if (value == 0) {
            s.stopSet = false;
        } else if (value == kStopByDuration) {
            s.stopSet = false;
            s.stopByDuration = true;
            s.duration = GetXAxisUnitFactor(s.xAxisUnitTextId);
            const double period = SetPeriod();
            s.count = period >= 0.000001 ? s.duration / period : 1.0;
        } else if (value == kStopByCount) {
            s.stopSet = false;
            s.stopByCount = true;
            s.count = 1.0;
        } else {
            s.stopSet = true;
            if (!channelB) s.stopDirection = 0;
            s.stopValue = 0.0;
        }
        if (s.stopSet && s.stopDirection < 0) s.stopDirection = 0;
        ApplyMeasuringTime();
        break;
    case 2: s.startDirection = value; break;
    case 3: s.stopDirection = value; break;
    default: return;
    }
    RefreshTriggerControls();
}

void CDlgMeasureAdjust::OnDirectionChanged(bool start)
{
    const int id = start ? IDC_START_DIRECTION : IDC_STOP_DIRECTION;
    const int stored = start ? m_setup.startDirection : m_setup.stopDirection;
    const int datum = static_cast<int>(m_controls.SelectedDatum(id, stored));
    if (datum != stored) SetTriggerField(start ? 2 : 3, datum);
    FocusTriggerValue(start ? 0 : 1, start ? m_setup.startSource : m_setup.stopSource);
}

void CDlgMeasureAdjust::FocusTriggerValue(int kind, int code)
{
    if (kind == 0 && (code == 1 || code == 2)) m_nFocusRequest = IDC_START_VALUE;
    else if (kind == 1 && (code == 1 || code == 2)) m_nFocusRequest = IDC_STOP_VALUE;
    else if (kind == 1 && code == kStopByDuration) m_nFocusRequest = IDC_DURATION_EDIT;
    else if (kind == 1 && code == kStopByCount) m_nFocusRequest = IDC_COUNT_EDIT;
}

void CDlgMeasureAdjust::ShowStartTriggerValue()
{
    // Source 2 on a digital input has a fixed threshold; on a device's second sensor it is the
    // user's to set. A device's first sensor connected alone for a moment (before its further
    // sensors are known, or given back by the calibration page) shows its own digital input
    // there: the value the user set for the second sensor comes back with it, and is what a
    // close then stores.
    const bool digitalInput = IsChannelBDigitalInput() && m_setup.startSource == 2;
    if (digitalInput) {
        if (m_setup.startValue != kDigitalInputThreshold) m_startValueBehindDigitalInput = m_setup.startValue;
        m_setup.startValue = kDigitalInputThreshold;
    } else if (m_startValueBehindDigitalInput) {
        if (m_setup.startSource == 2 && m_setup.startValue == kDigitalInputThreshold) m_setup.startValue = *m_startValueBehindDigitalInput;
        m_startValueBehindDigitalInput.reset();
    }
    m_controls.Enable(IDC_START_VALUE, !digitalInput);
    m_frame.SetStartTriggerThreshold(m_setup.startValue);
    m_controls.SetText(IDC_START_VALUE, FormatTrimmed(m_setup.startValue, m_setup.startExtra, GetLanguage()));
}

void CDlgMeasureAdjust::ShowStopTriggerValue()
{
    m_frame.SetStopTriggerThreshold(m_setup.stopValue);
    m_controls.SetText(IDC_STOP_VALUE, FormatTrimmed(m_setup.stopValue, m_setup.stopExtra, GetLanguage()));
}

// A trigger value is the number in the edit's text, whatever else the text holds ("," read as
// "."; a text without digits is 0), kept with the decimals typed.
static double TriggerValueOf(const CString& text)
{
    const double value = TextToDouble(text);
    return std::isfinite(value) ? value : 0.0;
}

void CDlgMeasureAdjust::OnStartValueChanged()
{
    const CString text = m_controls.Text(IDC_START_VALUE);
    m_setup.startValue = TriggerValueOf(text);
    m_setup.startExtra = static_cast<BYTE>(DecimalsOfText(text));
    m_frame.SetStartTriggerThreshold(m_setup.startValue);
}

void CDlgMeasureAdjust::OnStopValueChanged()
{
    const CString text = m_controls.Text(IDC_STOP_VALUE);
    m_setup.stopValue = TriggerValueOf(text);
    m_setup.stopExtra = static_cast<BYTE>(DecimalsOfText(text));
    m_frame.SetStopTriggerThreshold(m_setup.stopValue);
}

void CDlgMeasureAdjust::OnTriggerValueEdited(bool start)
{
    if (start && m_setup.startSet) ShowStartTriggerValue();
    if (!start && m_setup.stopSet) ShowStopTriggerValue();
}

std::int64_t CDlgMeasureAdjust::OnStartTimeChanged(std::int64_t chosen)
{
    if (chosen < 0) chosen = 0;
    const std::int64_t now = platform::CalendarSeconds();
    if (chosen <= now) chosen = now + kStartLeadSeconds;
    m_setup.startTime = chosen;
    return chosen;
}

void CDlgMeasureAdjust::OnLimitChanged(int k)
{
    if (k < 0 || k > 3) return;
    const CString text = m_controls.Text(kLimitEdit[k]);
    m_sLimitText[static_cast<std::size_t>(k)] = text;
    double value = 0.0;
    ParseUserNumber(text, value);
    m_setup.limitValue[static_cast<std::size_t>(k)] = value;
    DetermineIoNioConditions();
}

int CDlgMeasureAdjust::DetermineIoNioConditions()
{
    if (ActivePorts() < 1) return m_nIoNioConditions;
    for (int k = 0; k < 4; ++k) m_sLimitText[static_cast<std::size_t>(k)] = m_controls.Text(kLimitEdit[k]);
    auto has = [this](int k) {
        CString t = m_sLimitText[static_cast<std::size_t>(k)];
        t.Trim();
        return !t.IsEmpty() && t != "-";
    };
    const bool first = has(0) || has(1);
    const bool second = has(2) || has(3);
    m_nIoNioConditions = (first ? 1 : 0) + (second ? 2 : 0);
    return m_nIoNioConditions;
}

bool CDlgMeasureAdjust::IsIoNioConditionUndefined(int kind) const
{
    switch (kind) {
    case 0: return m_nIoNioConditions == 0;
    case 1: return m_nIoNioConditions == 0 || m_nIoNioConditions == 2;
    case 2: return m_nIoNioConditions == 0 || m_nIoNioConditions == 1;
    default: return true;
    }
}

void CDlgMeasureAdjust::OnConditionChannelChanged(int k)
{
    if (k < 0 || k > 1) return;
    const int id = kConditionCombo[k];
    int index = m_controls.Selection(id);
    // The entry's datum is the row it watches.
    const long long row = m_controls.SelectedDatum(id, -1);
    // Chosen as the sensors had just been read, before the page was refreshed for them, the entry
    // is one of the list of before, whose rows were all inactive while no sensor was there: the
    // page takes the sensors first and judges the choice by the rows they have.
    bool offered = true;
    if (index >= 0 && RefreshIfDue()) {
        index = m_controls.SelectByDatum(id, row);
        offered = index >= 0;
    }
    if (!offered || (index >= 0 && (row < 0 || row >= kRowCount || !IsRowActive(static_cast<int>(row))))) {
        m_controls.Select(id, -1);
        ClearIoNioCondition(k, true, true);
        AfxMessageBox(BuildNotActiveText(static_cast<int>(row), Several()));
        return;
    }
    UpdateIoNioLimitFields(k + 1);
    m_controls.SetText(kLimitEdit[2 * k], "");
    m_controls.SetText(kLimitEdit[2 * k + 1], "");
    if (index >= 0) {
        m_controls.Enable(kLimitEdit[2 * k], true);
        m_controls.Enable(kLimitEdit[2 * k + 1], true);
        m_controls.Check(kConditionCheck[k], true);
        m_controls.Show(kConditionCheck[k], true);
        m_frame.SetIoNioOutput(1);
    }
    m_iLimitedMeasurand[static_cast<std::size_t>(k)] = index >= 0 ? static_cast<int>(row) : -1;
    DetermineIoNioConditions();
    // Each of several sensors keeps the limits of one condition in its block (a power channel's
    // in the block of the pair's speed sensor), a single sensor one per channel, the other pair
    // watching the other one: two conditions kept in one place leave it the second only, which
    // the user learns now rather than after the next start.
    const int other = m_iLimitedMeasurand[static_cast<std::size_t>(1 - k)];
    const bool several = Several();
    auto keeper = [several](int measurand) { return !several || measurand < 4 ? measurand : (measurand == 4 ? 1 : 3); };
    if (index < 0 || other < 0 || keeper(other) != keeper(static_cast<int>(row))) return;
    const CString text = several ? CString::Formatted(LoadLangString(kTextOneConditionPerSensor).GetString(), keeper(other) + 1)
                                 : CString::Formatted(LoadLangString(kTextOneConditionPerChannel).GetString(), row == 0 ? "A" : "B");
    AfxMessageBox(text, platform::MB_ICONWARNING);
}

void CDlgMeasureAdjust::ClearIoNioCondition(int k, bool disable, bool byUser)
{
    if (k < 0 || k > 1) return;
    // The texts go with the fields: what the sensor is sent next is what the page shows.
    for (int j = 0; j < 2; ++j) {
        m_controls.SetText(kLimitEdit[2 * k + j], "");
        m_sLimitText[static_cast<std::size_t>(2 * k + j)] = CString();
        m_controls.Show(kLimitUnit[2 * k + j], false);
        if (disable) m_controls.Enable(kLimitEdit[2 * k + j], false);
    }
    m_nIoNioConditions &= ~(1 << k);
    if (disable) m_controls.Show(kConditionCheck[k], false);
    // Only the user's own clearing of a condition that watched a channel switches the pass/fail
    // output off. A refill clears conditions on its way (a search, a sensor lost and found,
    // rows that are briefly inactive) and sets up again what the sensors hold: it leaves the
    // storage mode the user chose on the documentation page.
    const bool watched = m_iLimitedMeasurand[static_cast<std::size_t>(k)] != -1;
    if (byUser && watched && !m_controls.IsChecked(kConditionCheck[1 - k])) m_frame.SetIoNioOutput(2);
    m_iLimitedMeasurand[static_cast<std::size_t>(k)] = -1;
}

void CDlgMeasureAdjust::UpdateIoNioLimitFields(int condition)
{
    for (int k = 0; k < 2; ++k) {
        if (condition != 0 && condition != k + 1) continue;
        const long long row = m_controls.SelectedDatum(kConditionCombo[k], -1);
        if (row < 0) {
            ClearIoNioCondition(k, false);
            continue;
        }
        const int channel = row < kSensorRows && Several() ? RealIndex(static_cast<int>(row)) : static_cast<int>(row);
        const CString unit = UnitText(channel);
        for (int j = 0; j < 2; ++j) {
            m_controls.SetText(kLimitUnit[2 * k + j], unit);
            m_controls.Show(kLimitUnit[2 * k + j], true);
        }
    }
}

void CDlgMeasureAdjust::FillIoNioChannelLists()
{
    const bool several = Several();
    for (int k = 0; k < 2; ++k) {
        const int id = kConditionCombo[k];
        m_controls.ResetContent(id);
        const int rows = several ? kSensorRows : 2;
        for (int r = 0; r < rows; ++r) {
            if (!IsRowActive(r)) continue;
            const CString text = several ? LoadLangString(5111) + CString::Formatted(" %d", r + 1)
                                         : LoadLangString(5320) + " " + CString(static_cast<char>('A' + r));
            m_controls.AddItem(id, text, r);
        }
        if (several)
            for (int g = 0; g < 2; ++g)
                if (GetDisplayFlag(g)) m_controls.AddItem(id, LoadLangString(5033) + CString::Formatted(" %d", g + 1), 4 + g);
        const int measurand = m_iLimitedMeasurand[static_cast<std::size_t>(k)];
        const bool has = measurand >= 0 && m_controls.SelectByDatum(id, measurand) >= 0;
        m_controls.Check(kConditionCheck[k], has);
        for (int j = 0; j < 2; ++j) {
            m_controls.Show(kLimitEdit[2 * k + j], true);
            m_controls.Enable(kLimitEdit[2 * k + j], has);
        }
    }
    const bool second = several || (IsRowActive(0) && IsRowActive(1));
    for (int ctl : {kConditionCheck[1], kConditionCombo[1], kLowerCaption[1], kUpperCaption[1], kLimitEdit[2], kLimitEdit[3]})
        m_controls.Show(ctl, second);
}

void CDlgMeasureAdjust::UpdateIoNioVisibility()
{
    const bool a = m_controls.IsChecked(kChannelButton[0]) || IsRowActive(0);
    const bool b = m_controls.IsChecked(kChannelButton[1]) || IsRowActive(1);
    if (!Several() && (!IsRowActive(0) || !IsRowActive(1))) {
        for (int ctl : {kConditionCheck[1], kConditionCombo[1], kLowerCaption[1], kUpperCaption[1], kLimitEdit[2], kLimitEdit[3],
                        kLimitUnit[2], kLimitUnit[3]})
            m_controls.Show(ctl, false);
        // A condition cleared shows no channel either: shown again (the row back on), or read as
        // the page's choice, its list would name a condition that is not there.
        ClearIoNioCondition(1, false);
        m_controls.Select(kConditionCombo[1], -1);
        const int watched = m_iLimitedMeasurand[0];
        if ((watched == 1 && !b) || (watched == 0 && !a)) ClearIoNioCondition(0, false), m_controls.Select(kConditionCombo[0], -1);
        // With no sensor there the lists offer no sensor's conditions any more.
        if (ActivePorts() < 1) m_nPortsShown = 0;
        return;
    }
    for (int ctl : {kConditionCheck[1], kConditionCombo[1], kLowerCaption[1], kUpperCaption[1], kLimitEdit[2], kLimitEdit[3]})
        m_controls.Show(ctl, true);
}

void CDlgMeasureAdjust::CopyUnitToIoNioLabels(int row)
{
    for (int k = 0; k < 2; ++k) {
        if (m_iLimitedMeasurand[static_cast<std::size_t>(k)] != row) continue;
        const int channel = row < kSensorRows && Several() ? RealIndex(row) : row;
        for (int j = 0; j < 2; ++j) m_controls.SetText(kLimitUnit[2 * k + j], UnitText(channel));
    }
}

// A browse control shows a path above 1023 characters shortened with "{...}": that text is
// no path, the full one stays.
static bool IsShortenedPath(const CString& path) { return path.Find("{...}") >= 0; }

// Browsed or typed, the path the field shows is the one that runs.
void CDlgMeasureAdjust::SetStartAddProgPath(const CString& path)
{
    if (m_bAddProgLock[0] || IsShortenedPath(path)) return;
    m_sStartAddProg = path;
    m_sShownStartProg = path;
    m_controls.SetText(kAddProgBrowse[0], path);
    KeepProfileValues();
}

void CDlgMeasureAdjust::SetStopAddProgPath(const CString& path)
{
    if (m_bAddProgLock[1] || IsShortenedPath(path)) return;
    m_sStopAddProg = path;
    m_sShownStopProg = path;
    m_controls.SetText(kAddProgBrowse[1], path);
    KeepProfileValues();
}

}  // namespace measurement
