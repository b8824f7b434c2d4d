// Measure rate, rate reduction, measuring duration and number of measurements: the budget of
// 40,000,000 points that bounds them, and the two labels that show each in terms of the other.
//
// The budget's arithmetic counts at least one channel and a reduction of at least one, so that
// a page with no channel selected or a reduction of 0 never divides by zero; the whole seconds
// handed to the main frame are computed in 64 bits and held at the 32-bit field's limits.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "measurement/measure_rate_table.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_page.h"
#include "measurement/setup_numbers.h"
#include "measurement/trigger_evaluation.h"
#include "res/string_table.h"
#include "workflow/com_port.h"

namespace measurement {

namespace {

constexpr double kPointBudget = 4e7;
constexpr long long kPointBudgetWhole = 40000000;

}  // namespace

int CDlgMeasureAdjust::BudgetChannels() const
{
    const int channels = m_frame.MeasuredChannelCount();
    return channels < 1 ? 1 : channels;
}

double CDlgMeasureAdjust::SetPeriod() const { return GetSetPeriod(m_frame.MeasureRateIndex(), m_frame.AveragingCount()); }

void CDlgMeasureAdjust::OnMeasureRateChanged()
{
    const int index = static_cast<int>(m_controls.SelectedDatum(IDC_RATE_COMBO, m_frame.MeasureRateIndex()));
    if (index == m_frame.MeasureRateIndex() && !m_bUnlikeSensors) return;
    ApplyMeasureRate(index);
}

void CDlgMeasureAdjust::ApplyMeasureRate(int index)
{
    m_frame.SetMeasureRateIndex(index);
    m_setup.samplePeriod = GetSamplePeriod(index);
    m_setup.xAxisUnitTextId = XAxisUnitTextIdOfRate(index);
    if (IMeasurePanel* panel = Panel()) panel->MarkRateChanged();
    const int channels = BudgetChannels();
    if (channels * m_setup.duration / m_setup.samplePeriod >= kPointBudget)
        m_setup.duration = static_cast<double>(kPointBudgetWhole / channels) * m_setup.samplePeriod;
    ApplyMeasuringTime();
    ShowDuration();
    UpdateDurationLabel();
    UpdatePointsLabel();
    UpdateReductionAvailability();
    // Refused while the sensors return, the rate shown is not the one they keep: chosen again,
    // it is written (or refused and told again), not taken for the one they have.
    m_bUnlikeSensors = !WriteEverySensor();
}

bool CDlgMeasureAdjust::WriteEverySensor()
{
    const int sensors = ActivePorts();
    // With their ports closed for the search that connects them again, the sensors are told
    // nothing: the user is, as while they restart.
    if (sensors < 1) m_writer.RefuseWhileSensorsReturn();
    bool sent = sensors >= 1;
    for (int i = 0; i < sensors && i < kMaxSensorPorts; ++i) {
        CopyToSensorRecord(i);
        sent = m_writer.WriteAfterPause(i, 37) && sent;
    }
    if (IMeasurePanel* panel = Panel()) panel->ClearSingleShotEnded();
    return sent;
}

void CDlgMeasureAdjust::ShowDuration()
{
    const double factor = GetXAxisUnitFactor(m_setup.xAxisUnitTextId);
    const CString text = CString::Formatted("%0.4f", m_setup.duration / factor);
    m_controls.SetText(IDC_DURATION_EDIT, TrimZeros(LocalizeSeparator(text, GetLanguage())));
}

void CDlgMeasureAdjust::ShowPointCount()
{
    const CString text = CString::Formatted("%f", m_setup.count);
    m_controls.SetText(IDC_COUNT_EDIT, TrimZeros(LocalizeSeparator(text, GetLanguage())));
}

void CDlgMeasureAdjust::ShowReduction()
{
    m_controls.SetText(IDC_REDUCTION_EDIT, CString::Formatted("%d", m_frame.AveragingCount()));
    UpdateReductionAvailability();
}

// Only a streaming sensor averages its sets by the reduction; at the polled rates each poll
// brings one set whatever the reduction says, so the reduction rests there (its value is kept
// for a faster rate chosen later).
void CDlgMeasureAdjust::UpdateReductionAvailability()
{
    const int rate = m_frame.MeasureRateIndex();
    const bool streamed = GetSetPeriod(rate, 2) != GetSetPeriod(rate, 1);
    for (int id : {IDC_REDUCTION_CAPTION, IDC_REDUCTION_EDIT, IDC_REDUCTION_UNIT}) m_controls.Enable(id, streamed);
}

void CDlgMeasureAdjust::UpdateDurationLabel()
{
    const int channels = BudgetChannels();
    CString points;
    CString upper;
    if (m_setup.duration <= 0.0) {
        points = " (0";
    } else {
        double count = m_setup.duration / SetPeriod();
        if (channels * count >= 39999999.0) {
            count = static_cast<double>(kPointBudgetWhole / channels);
            points = CString::Formatted(" (%d %s", static_cast<int>(count / 1000000),
                                        GetLanguage() == kEnglish ? "millions" : "Mio.");
            upper = LoadLangString(5435);
        } else {
            points = CString::Formatted(" (%lli", static_cast<long long>(count));
        }
    }
    m_controls.SetText(IDC_DURATION_LABEL,
                       LoadLangString(static_cast<UINT>(m_setup.xAxisUnitTextId)) + points + " " + LoadLangString(5193) + upper + ")");
}

void CDlgMeasureAdjust::UpdatePointsLabel()
{
    const double factor = GetXAxisUnitFactor(m_setup.xAxisUnitTextId);
    const double value = m_setup.count * SetPeriod() / factor;
    CString text = LocalizeSeparator(CString::Formatted("%0.4f", value), GetLanguage());
    if (!text.IsEmpty() && text.ByteAt(0) != '0') {
        const int separator = text.Find(DecimalSeparator(GetLanguage()));
        if (separator >= 0 && separator <= 3) text = text.Left(5);
        else if (separator == 4) text = text.Left(4);
        else if (separator > 4) text = text.Left(separator);
    }
    double typed = 0.0;
    ParseUserNumber(m_controls.Text(IDC_COUNT_EDIT), typed);
    const bool atLimit = typed >= static_cast<double>(kPointBudgetWhole / BudgetChannels());
    m_controls.SetText(IDC_COUNT_LABEL, LoadLangString(5193) + " (" + text + " " +
                                            LoadLangString(static_cast<UINT>(m_setup.xAxisUnitTextId)) +
                                            (atLimit ? LoadLangString(5435) : CString()) + ")");
}

void CDlgMeasureAdjust::OnReductionChanged()
{
    const CString typed = m_controls.Text(IDC_REDUCTION_EDIT);
    if (typed.IsEmpty()) return;
    double value = 0.0;
    ParseUserNumber(typed, value);
    long long count = static_cast<long long>(value);
    if (count < 1) {
        count = 1;
        m_controls.SetText(IDC_REDUCTION_EDIT, CString::Formatted("%lli", count));
    }
    if (count > 9999) count = 9999;
    // One refused as the sensors returned, typed again, is written again (or refused and told
    // again): the page showing it does not make it theirs.
    const bool changed = count != m_frame.AveragingCount() || m_bUnlikeSensors;
    m_frame.SetAveragingCount(static_cast<int>(count));
    m_controls.SetText(IDC_REDUCTION_UNIT, LoadLangString(count < 2 ? 5362 : 5313));
    UpdatePointsLabel();
    UpdateDurationLabel();
    // The sensor reduces its stream itself: it takes the new reduction at once, and the
    // measuring time counts the sets it will send.
    if (!changed) return;
    ApplyMeasuringTime();
    m_bUnlikeSensors = !WriteEverySensor();
}

void CDlgMeasureAdjust::OnDurationChanged()
{
    const CString typed = m_controls.Text(IDC_DURATION_EDIT);
    if (typed.IsEmpty()) return;
    const double factor = GetXAxisUnitFactor(m_setup.xAxisUnitTextId);
    const double channels = BudgetChannels();
    const double period = SetPeriod();
    double value = 0.0;
    ParseUserNumber(typed, value);
    const double whole = std::trunc(value);
    if (factor * whole * channels / period + 0.1 >= kPointBudget) {
        const double limit = std::trunc(kPointBudget / channels * period / factor);
        m_controls.SetText(IDC_DURATION_EDIT, CString::Formatted("%lld", static_cast<long long>(limit)));
        value = limit;
    }
    if (value <= 0.0) {
        value = 1.0;
        m_controls.SetText(IDC_DURATION_EDIT, "1");
    }
    m_setup.duration = factor * value;
    m_setup.count = period >= 0.000001 ? m_setup.duration / period : 1.0;
    m_bRereadPointCount = false;
    UpdateDurationLabel();
    ApplyMeasuringTime();
}

void CDlgMeasureAdjust::OnPointCountChanged()
{
    const CString typed = m_controls.Text(IDC_COUNT_EDIT);
    if (typed.IsEmpty()) return;
    double value = 0.0;
    ParseUserNumber(typed, value);
    const long long maximum = kPointBudgetWhole / BudgetChannels();
    if (static_cast<long long>(value) > maximum) {
        value = static_cast<double>(maximum);
        m_controls.SetText(IDC_COUNT_EDIT, CString::Formatted("%lld", maximum));
    }
    // A measurement stops after one value set at the least, as after one second at the least;
    // no count is "never".
    if (value < 1.0) {
        value = 1.0;
        m_controls.SetText(IDC_COUNT_EDIT, "1");
    }
    m_setup.count = value;
    m_bRereadPointCount = false;
    UpdatePointsLabel();
    ApplyMeasuringTime();
}

void CDlgMeasureAdjust::ApplyMeasuringTime()
{
    // A stop by duration ends after the sets that time holds at the rate and reduction of now.
    const double period = SetPeriod();
    if (m_setup.stopSource == kStopByDuration && period >= 0.000001) m_setup.count = m_setup.duration / period;
    // The trigger's own rule: whole seconds, rounded up, held at the 32-bit field's limits.
    const std::int32_t seconds = StopDurationSeconds(m_setup.stopSource, m_setup.duration, m_setup.count, period);
    m_frame.SetMeasuringDurationSeconds(std::max(seconds, 0));
}

}  // namespace measurement
