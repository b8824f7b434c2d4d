// The diagram axes of the set-up page: which source each of X and Y1 to Y6 shows, which
// sources each axis combo offers, and the axis captions.

#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_page.h"
#include "measurement/setup_numbers.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {

namespace {

void ClearOffers(AxisAssignment& a) { a.offers.fill(0); }

}  // namespace

bool CDlgMeasureAdjust::ApplyAxisDefaults(int mode)
{
    if (mode == 0) return true;
    auto& x = m_setup.axis[0];
    if (mode == 1 && ((Several() && m_bMultiTimeAxis) || m_iSensorMode != 1)) x.source = kAxisTime;
    if (x.source == kAxisTime) return SetTimeXAxis(0);
    if (x.source < 2 || x.source > 7) {
        x.source = kAxisTime;
        return SetTimeXAxis(mode == 1 ? 1 : 0);
    }
    return SetChannelXAxis(x.source - 2, mode == 1 ? 1 : 0);
}

bool CDlgMeasureAdjust::SetTimeXAxis(int mode)
{
    if (SensorCount() >= 2) return SetTimeXAxisMulti(mode);
    if (SensorCount() >= 1) return SetTimeXAxisSingle();
    return mode == 0 || mode == 1 ? SetTimeXAxisSingle() : false;
}

bool CDlgMeasureAdjust::SetTimeXAxisSingle()
{
    auto& ax = m_setup.axis;
    const bool a = IsRowActive(0), b = IsRowActive(1);
    ax[0].shown = ax[1].shown = (a || b) ? 1 : 0;
    ax[2].shown = (a && b) ? 1 : 0;
    for (int k = 3; k < kAxisCount; ++k) ax[static_cast<std::size_t>(k)].shown = 0;
    if (!a && !b) {
        for (auto& axis : ax) axis.source = 0;
    } else if (a && !b) {
        ax[0].source = kAxisTime;
        ax[1].source = 2;
        ax[2].source = 0;
    } else if (b && !a) {
        ax[0].source = kAxisTime;
        ax[1].source = 3;
        ax[2].source = 0;
    }
    for (auto& axis : ax) ClearOffers(axis);
    const bool xTime = ax[0].source == kAxisTime;
    for (int k = 1; k <= 2; ++k)
        if (xTime && a && b) ax[static_cast<std::size_t>(k)].offers[0] = 1;
    ax[0].offers[kAxisTime] = 1;
    for (int code = 2; code <= 3; ++code) {
        const bool on = code == 2 ? a : b;
        if (!on) continue;
        if (a && b) ax[0].offers[static_cast<std::size_t>(code)] = 1;
        if (ax[0].source != code && ax[2].source != code) ax[1].offers[static_cast<std::size_t>(code)] = 1;
        if (ax[0].source != code && ax[1].source != code) ax[2].offers[static_cast<std::size_t>(code)] = 1;
    }
    return true;
}

bool CDlgMeasureAdjust::SetTimeXAxisMulti(int)
{
    auto& ax = m_setup.axis;
    if (ActiveRowsAtoD() == 0) {
        AfxMessageBox("one channel must be active! - Error");
        return false;
    }
    const int active = ActiveRows();
    ax[0].shown = 1;
    for (int k = 1; k < kAxisCount; ++k) ax[static_cast<std::size_t>(k)].shown = IsRowActive(k - 1) ? 1 : 0;
    if (!m_bKeepAxisSources) {
        ax[0].source = kAxisTime;
        for (int k = 1; k < kAxisCount; ++k) ax[static_cast<std::size_t>(k)].source = IsRowActive(k - 1) ? k + 1 : 0;
    }
    for (auto& axis : ax) ClearOffers(axis);
    ax[0].offers[kAxisTime] = 1;
    for (int k = 1; k < kAxisCount; ++k) {
        if (!IsRowActive(k - 1)) continue;
        AxisAssignment& y = ax[static_cast<std::size_t>(k)];
        if (active > 1) ax[0].offers[static_cast<std::size_t>(k + 1)] = 1;
        // Its own source: the channel it keeps (where the sensors placed one), else its row's.
        const int own = y.source >= 2 && y.source < kSourceCodes ? y.source : k + 1;
        y.offers[static_cast<std::size_t>(own)] = 1;
        if (active > 1) y.offers[0] = 1;
    }
    m_bKeepAxisSources = false;
    return true;
}

bool CDlgMeasureAdjust::SetChannelXAxis(int xRow, int mode)
{
    auto& ax = m_setup.axis;
    const int active = ActiveRows();
    if (mode == 1) {
        if (active == 1) return SetTimeXAxis(0);
        return true;
    }
    if (xRow < 0 || xRow >= kRowCount) return SetTimeXAxis(0);
    ax[0].shown = 1;
    ax[0].source = xRow + 2;
    ClearOffers(ax[0]);
    ax[0].offers[kAxisTime] = 1;
    for (int r = 0; r < kRowCount; ++r)
        if (IsRowActive(r)) ax[0].offers[static_cast<std::size_t>(r + 2)] = 1;
    int yCount = ActiveRowsAtoD() - (xRow < kSensorRows ? 1 : 0);
    if (yCount < 0) yCount = 0;
    std::array<bool, kSourceCodes> used{};
    used[static_cast<std::size_t>(ax[0].source)] = true;
    int k = 1;
    for (; k <= yCount && k <= 4; ++k) {
        AxisAssignment& y = ax[static_cast<std::size_t>(k)];
        y.shown = 1;
        ClearOffers(y);
        y.offers[0] = 1;
        for (int r = 0; r < kSensorRows; ++r)
            if (IsRowActive(r) && r != xRow) y.offers[static_cast<std::size_t>(r + 2)] = 1;
        if (mode != 2) {
            y.source = 0;
            for (int r = 0; r < kSensorRows; ++r) {
                if (IsRowActive(r) && !used[static_cast<std::size_t>(r + 2)]) {
                    y.source = r + 2;
                    used[static_cast<std::size_t>(r + 2)] = true;
                    break;
                }
            }
        }
    }
    for (; k <= 4; ++k) {
        AxisAssignment& y = ax[static_cast<std::size_t>(k)];
        y.shown = 0;
        y.source = 0;
        ClearOffers(y);
    }
    for (int g = 0; g < 2; ++g) {
        AxisAssignment& y = ax[static_cast<std::size_t>(5 + g)];
        y.shown = GetDisplayFlag(g) && ax[0].source != 6 + g ? 1 : 0;
        ClearOffers(y);
        if (!y.shown) continue;
        y.offers[0] = 1;
        if (g == 0) y.offers[6] = 1;
        y.offers[7] = 1;
    }
    return true;
}

bool CDlgMeasureAdjust::FillAxisLists()
{
    m_controls.SetText(IDC_REDUCTION_UNIT, LoadLangString(m_frame.AveragingCount() <= 1 ? 5362 : 5313));
    SetAxisCaption(0, true);
    FillAxisList(0);
    int yAxes;
    if (Several()) {
        yAxes = 6;
    } else {
        const bool bVisible = m_controls.IsShown(kChannelButton[1]) && m_setup.channel[1].selectable;
        yAxes = bVisible ? 2 : 1;
        if (bVisible && (!IsRowActive(0) || !IsRowActive(1))) --yAxes;
    }
    for (int k = 1; k <= yAxes; ++k) {
        SetAxisCaption(k, m_setup.axis[static_cast<std::size_t>(k)].shown != 0);
        FillAxisList(k);
    }
    for (int k = yAxes + 1; k < kAxisCount; ++k) {
        if (yAxes >= 3 && k <= 2) continue;
        m_controls.ResetContent(kAxisCombo[k]);
        m_controls.Show(kAxisCombo[k], false);
        m_controls.Show(kAxisCaption[k], false);
    }
    return true;
}

bool CDlgMeasureAdjust::FillAxisList(int axisIndex)
{
    if (SensorCount() < 0) return true;
    const AxisAssignment& axis = m_setup.axis[static_cast<std::size_t>(axisIndex)];
    const int id = kAxisCombo[axisIndex];
    m_controls.ResetContent(id);
    if (!axis.shown) {
        m_controls.Show(id, false);
        m_controls.Show(kAxisCaption[axisIndex], false);
        return true;
    }
    m_controls.Show(id, true);
    const bool several = Several();
    const int lastCode = several ? 7 : 3;
    for (int code = 0; code <= lastCode; ++code) {
        if (!axis.offers[static_cast<std::size_t>(code)]) continue;
        CString text;
        if (!several || code <= 1) {
            text = LoadLangString(GetAxisSourceTextId(code));
        } else if (code <= 5) {
            const UINT word = GetLanguage() == kFrench && !GetDisplayFlag(0) ? 5328 : 5111;
            text = CString::Formatted("%s %d", LoadLangString(word).GetString(), code - 1);
        } else {
            text = CString::Formatted("P %d", code - 5);
        }
        m_controls.AddItem(id, text, code);
    }
    m_controls.SelectByDatum(id, axis.source);
    return true;
}

void CDlgMeasureAdjust::OnAxisChanged(int a, bool forced)
{
    if (a < 0 || a >= kAxisCount) return;
    auto& ax = m_setup.axis;
    const int v = static_cast<int>(m_controls.SelectedDatum(kAxisCombo[a], ax[static_cast<std::size_t>(a)].source));
    IMeasurePanel* panel = Panel();
    if (v == ax[static_cast<std::size_t>(a)].source && !forced) {
        FillAxisLists();
        if (panel) panel->RefreshSensorCheckBoxes();
        return;
    }
    if (Several() && a == 0 && v == kAxisTime) {
        ax[0].source = kAxisTime;
        ax[0].shown = 1;
        ClearOffers(ax[0]);
        ax[0].offers[kAxisTime] = 1;
        // A channel on X needs another one over it: with one measured channel X is time.
        if (ActiveRows() > 1)
            for (int r = 0; r < kRowCount; ++r)
                if (IsRowActive(r)) ax[0].offers[static_cast<std::size_t>(r + 2)] = 1;
        for (int k = 1; k < kAxisCount; ++k) {
            AxisAssignment& y = ax[static_cast<std::size_t>(k)];
            const bool on = IsRowActive(k - 1);
            y.source = on ? k + 1 : 0;
            ClearOffers(y);
            y.offers[0] = 1;
            if (on) y.offers[static_cast<std::size_t>(k + 1)] = 1;
        }
    } else {
        AssignAxis(a, v);
    }
    FillAxisLists();
    // The panel's boxes follow the axes: the diagram draws the sensor the user puts on one.
    TickSensorsOnAxes();
    if (panel) panel->RefreshSensorCheckBoxes();
    KeepPowerAxes();
}

void CDlgMeasureAdjust::AssignAxis(int a, int v)
{
    auto& ax = m_setup.axis;
    AxisAssignment& axis = ax[static_cast<std::size_t>(a)];
    const int previous = axis.source;
    axis.source = v;
    if (a == 0) {
        m_nXAxisCode = v;
        if (v == kAxisTime) SetTimeXAxis(0);
        else SetChannelXAxis(v - 2, 0);
        if (ax[1].source == 0 && ax[2].source == 0) ax[1].source = 2;
        return;
    }
    if (!Several()) {
        AxisAssignment& partner = ax[a == 1 ? 2 : 1];
        if (v == 2 || v == 3) {
            const int other = v == 2 ? 3 : 2;
            partner.offers[static_cast<std::size_t>(v)] = 0;
            partner.offers[static_cast<std::size_t>(other)] = 1;
            if (previous == 0) axis.offers[static_cast<std::size_t>(other)] = 0;
        } else {
            partner.offers[2] = partner.offers[3] = 1;
            if (previous >= 0 && previous < kSourceCodes) axis.offers[static_cast<std::size_t>(previous)] = 1;
            if (axis.source == 0 && partner.source == 0) {
                // Y1 takes channel A, or channel B while A is on X: a Y axis showing X's own
                // channel draws nothing.
                ax[1].source = 0;
                AssignAxis(1, ax[0].source == 2 && IsRowActive(1) ? 3 : 2);
                return;
            }
        }
        if (IsRowActive(0) && IsRowActive(1)) m_frame.SetMeasureMode(ax[1].source == 3 && ax[2].source == 2 ? 4 : 3);
        return;
    }
    m_nXAxisCode = v;
    std::array<bool, 9> used{};
    used[0] = true;
    if (ax[0].source >= 0 && ax[0].source < 9) used[static_cast<std::size_t>(ax[0].source)] = true;
    int from = -1;
    for (int k = 1; k < a; ++k) {
        const int s = ax[static_cast<std::size_t>(k)].source;
        if (s >= 0 && s < 9) used[static_cast<std::size_t>(s)] = true;
        if (from < 0 && s == v) from = k;
    }
    if (v >= 0 && v < 9) used[static_cast<std::size_t>(v)] = true;
    if (from < 0) from = a + 1;
    int inUse = m_frame.MeasuredChannelCount() + (IsRowActive(4) ? 1 : 0) + (IsRowActive(5) ? 1 : 0) -
                (ax[0].source != kAxisTime ? 1 : 0);
    if (inUse >= kAxisCount) inUse = kAxisCount - 1;
    auto firstFree = [&](int exclude) {
        for (int code = 2; code <= 8; ++code) {
            const int row = code - 2;
            if (row < kRowCount && IsRowActive(row) && !used[static_cast<std::size_t>(code)] && code != exclude) return code;
        }
        return 0;
    };
    for (int k = from; k <= inUse; ++k) {
        if (k == a) continue;
        AxisAssignment& y = ax[static_cast<std::size_t>(k)];
        if (y.source == 0) continue;
        const int code = firstFree(-1);
        y.source = code;
        if (code) used[static_cast<std::size_t>(code)] = true;
    }
    bool anySource = false;
    for (int k = 1; k <= m_frame.MeasuredChannelCount() && k < kAxisCount; ++k)
        anySource = anySource || ax[static_cast<std::size_t>(k)].source != 0;
    if (!anySource) {
        used.fill(false);
        ax[1].source = firstFree(ax[0].source);
    }
}

namespace {

// X and Y1 to Y4 have consecutive caption texts; Y5 and Y6 sit apart because
// the ids after Y4 already name control-panel texts.
UINT AxisCaptionTextId(int axisIndex)
{
    constexpr UINT kIds[7] = {5550, 5551, 5552, 5553, 5554, 5557, 5558};
    return kIds[axisIndex];
}

} // namespace

void CDlgMeasureAdjust::SetAxisCaption(int axisIndex, bool show)
{
    CString text;
    if (show) {
        const bool power = GetDisplayFlag(0) || GetDisplayFlag(1);
        if (axisIndex == 0 || !power || axisIndex > 4) {
            text = LoadLangString(AxisCaptionTextId(axisIndex)) + ":";
        } else if (axisIndex == 1) {
            text = "Y-" + LoadLangString(5545) + " 1:";
        } else {
            text = CString::Formatted("%d:", axisIndex);
        }
    }
    SetCaptionOrHide(kAxisCaption[axisIndex], text);
}

int CDlgMeasureAdjust::FindRowOfChannel(int channel) const
{
    const int last = Several() ? 4 : 2;
    for (int k = 0; k <= last; ++k)
        if (m_setup.axis[static_cast<std::size_t>(k)].source - 2 == channel) return k;
    return -1;
}

UINT CDlgMeasureAdjust::GetAxisSourceTextId(int code)
{
    if (code == 0) return 5158;
    if (code == 1) return 5256;
    if (code >= 2 && code <= 5) return 5321 + static_cast<UINT>(code - 2);
    return 5129;
}

}  // namespace measurement
