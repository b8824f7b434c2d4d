#include "views/channel_refresher.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "views/display_update.h"
#include "workflow/com_port.h"
#include "workflow/workflow_peers.h"

namespace views {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Torque channels give their range in cN·m; power is worked out in watts.
constexpr double kNewtonMetresPerCNm = 0.01;
constexpr double kRadPerSecondPerRpm = 2.0 * std::numbers::pi / 60.0;

bool IsShownPower(const DisplayTable& table) { return table.powerMark == 'P' || table.state == kChannelOn; }

}  // namespace

ChannelRefresher::ChannelRefresher(IViewsFrame& frame, platform::MessageLoop& loop)
    : m_frame(frame), m_throttle([this] { Repaint(); }, RepaintThrottle::kDefaultIntervalMs, loop)
{
}

ChannelScale ChannelRefresher::Scale(int channel) const
{
    ChannelScale scale;
    const DisplayTable* table = m_frame.Tables().Entry(channel);
    if (!table) return scale;
    double factor = 0.0;
    if (channel < kChannelP1) {
        const CComPort* com = m_frame.ComPort();
        if (!com || table->state != kChannelOn) return scale;
        factor = com->m_adScaleFactor[static_cast<std::size_t>(channel)];
    } else {
        if (!IsShownPower(*table)) return scale;
        factor = table->SelectedUnitFactor();
    }
    if (!std::isfinite(factor) || factor == 0.0) return scale;
    scale.usable = true;
    scale.factor = table->sign == 1 ? -factor : factor;
    return scale;
}

double ChannelRefresher::ShownValueOf(int channel) const
{
    const ChannelValues& values = Values(channel);
    return values.hasValue ? ShownValue(values.shownBase, values, Scale(channel)) : kNaN;
}

double ChannelRefresher::ShownMinimumOf(int channel) const { return ShownMinimum(Values(channel), Scale(channel)); }

double ChannelRefresher::ShownMaximumOf(int channel) const { return ShownMaximum(Values(channel), Scale(channel)); }

void ChannelRefresher::Tare(int channel)
{
    Values(channel).Tare();
    m_throttle.Request();
}

void ChannelRefresher::TareIfNotTared(int channel)
{
    if (!Values(channel).tared) Tare(channel);
}

void ChannelRefresher::ClearTare(int channel)
{
    Values(channel).ClearTare();
    m_throttle.Request();
}

void ChannelRefresher::ResetMinMax(int channel)
{
    Values(channel).ResetMinMax();
    m_throttle.Request();
}

void ChannelRefresher::ForgetMeasuredValues()
{
    for (ChannelValues& values : m_values) values.ForgetMeasured();
    m_rings.Reset();
    m_throttle.Request();
}

void ChannelRefresher::TakeSensor(const CComPort& com, int sensor, DWORD serial)
{
    bool changed = false;
    for (const SensorChannel& c : ChannelsOfSensor(com, sensor)) {
        const DisplayTable* table = m_frame.Tables().Entry(c.channel);
        // A channel the sensor does not have takes nothing from it.
        if (!table || table->unitIds.empty()) continue;
        const ChannelSource source{static_cast<std::int64_t>(serial), table->typeClass, table->unitIds.front(),
                                   table->nominalValue, table->divisor};
        ChannelSource& shown = m_sourceOfChannel[static_cast<std::size_t>(c.channel)];
        if (shown == source) continue;
        if (shown.serial >= 0) changed = true;
        shown = source;
        Values(c.channel).Reset();
    }
    if (!changed) return;
    for (int power : {kChannelP1, kChannelP2}) Values(power).Reset();
    m_throttle.Request();
}

void ChannelRefresher::ConfigureMovingAverages(int mode)
{
    m_rings.Configure(mode, m_frame.Tables());
    // Mode 0 starts a measurement: its minimum and maximum start with it.
    if (mode == 0) {
        for (ChannelValues& values : m_values) {
            values.minBase = std::numeric_limits<double>::infinity();
            values.maxBase = -std::numeric_limits<double>::infinity();
            values.firstValue = true;
        }
        m_throttle.Request();
    }
}

void ChannelRefresher::AttachDisplay(IChannelDisplay* display)
{
    if (display && std::find(m_displays.begin(), m_displays.end(), display) == m_displays.end())
        m_displays.push_back(display);
}

void ChannelRefresher::DetachDisplay(IChannelDisplay* display)
{
    m_displays.erase(std::remove(m_displays.begin(), m_displays.end(), display), m_displays.end());
}

bool ChannelRefresher::FeedsMeasurement(int reason) const
{
    if (reason == 0) return true;
    if (reason != 1) return false;
    // A single shot belongs to the measurement only while one runs (the polls of a slow rate).
    const workflow::MeasureCtrlSettings* settings = m_frame.MeasureSettings();
    return settings && settings->bRunning == 1;
}

void ChannelRefresher::ReadBaseValues(int reason, std::array<double, kChannelCount>& base,
                                      std::array<bool, kChannelCount>& has)
{
    base.fill(kNaN);
    has.fill(false);
    CComPort* com = m_frame.ComPort();
    if (!com) return;
    DisplayTables& tables = m_frame.Tables();
    std::array<double, kMaxSensorPorts> raw{};
    for (int c = 0; c < kMaxSensorPorts; ++c) raw[static_cast<std::size_t>(c)] = com->m_aiValue[static_cast<std::size_t>(c)];
    // A value answer carries channels A and B of a single sensor.
    if ((reason == 1 || reason == 2) && com->m_nCountActivePorts < 2) {
        raw[0] = com->m_sValueAnswer.nValueA;
        raw[1] = com->m_sValueAnswer.nValueB;
    }
    for (int c = 0; c < kMaxSensorPorts; ++c) {
        const DisplayTable* table = tables.Entry(c);
        if (!table || table->state != kChannelOn) continue;
        if (reason == 0) com->m_aiPrevValue[static_cast<std::size_t>(c)] = com->m_aiValue[static_cast<std::size_t>(c)];
        base[static_cast<std::size_t>(c)] = raw[static_cast<std::size_t>(c)];
        has[static_cast<std::size_t>(c)] = true;
    }
    // Power of a torque and a speed channel: torque (N·m) x angular speed (rad/s), in watts.
    for (int g = 0; g < 2; ++g) {
        const DisplayTable* power = tables.Entry(kChannelP1 + g);
        const DisplayTable* torque = tables.Entry(2 * g);
        const DisplayTable* speed = tables.Entry(2 * g + 1);
        if (!power || !IsShownPower(*power) || !torque || !speed) continue;
        // Without a per-count value (a divisor of 0 never gave one) there is no power to show.
        if (!std::isfinite(torque->perCount) || !std::isfinite(speed->perCount) || torque->perCount == 0.0 ||
            speed->perCount == 0.0)
            continue;
        const double nm = raw[static_cast<std::size_t>(2 * g)] * torque->perCount * kNewtonMetresPerCNm;
        const double rpm = raw[static_cast<std::size_t>(2 * g + 1)] * speed->perCount;
        const double watts = nm * rpm * kRadPerSecondPerRpm;
        if (!std::isfinite(watts)) continue;
        base[static_cast<std::size_t>(kChannelP1 + g)] = watts;
        has[static_cast<std::size_t>(kChannelP1 + g)] = true;
    }
}

void ChannelRefresher::RefreshChannelViews(int reason)
{
    if (reason == 0 && m_frame.IsMeasurementEnded()) return;
    CComPort* com = m_frame.ComPort();
    if (reason >= 3 || !com) {
        m_throttle.Request();
        return;
    }
    const workflow::MeasureCtrlSettings* settings = m_frame.MeasureSettings();
    if (settings && settings->cDecimation == 0) com->m_nDisplayCountdown = 0;
    const bool shown = reason != 0 || com->m_nDisplayCountdown <= 0;

    std::array<double, kChannelCount> base;
    std::array<bool, kChannelCount> has;
    ReadBaseValues(reason, base, has);

    ValueSet set;
    set.reason = reason;
    for (int c = 0; c < kChannelCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        ChannelValues& values = m_values[i];
        const ChannelScale scale = Scale(c);
        if (!has[i] || !scale.usable) {
            set.value[i] = kNaN;
            continue;
        }
        values.Add(m_rings.Smooth(c, base[i]));
        if (shown) {
            values.shownBase = values.base;
            values.firstValue = false;
        }
        // The curve and the evaluation get every value as measured, not smoothed.
        set.value[i] = ShownValue(base[i], values, scale);
        set.valid[i] = std::isfinite(set.value[i]);
    }
    ++m_sets;
    bool recorded = true;
    if (FeedsMeasurement(reason)) {
        // The trigger judges a set before it is drawn and written, so the set that crosses the
        // start level opens the recording and none behind the stop event enters it.
        if (m_evaluation) m_evaluation->EvaluateValueSet(set);
        recorded = !m_evaluation || m_evaluation->RecordsLastValueSet();
        if (recorded) {
            if (m_sink) m_sink->AddValueSet(set);
            m_frame.DocumentValueSet(set);
        }
    }
    // The controller's extremes, which the pass/fail verdict judges, take the recorded sets only.
    if (recorded)
        for (std::size_t i = 0; i < set.value.size(); ++i)
            if (set.valid[i]) {
                com->m_adMaxValue[0][i] = std::max(com->m_adMaxValue[0][i], set.value[i]);
                com->m_adMinValue[0][i] = std::min(com->m_adMinValue[0][i], set.value[i]);
            }
    if (shown) {
        ++m_shownSets;
        m_throttle.Request();
    } else if (m_sink && FeedsMeasurement(reason)) {
        // The curve grows with every set; its repaint shares the bounded rate.
        m_throttle.Request();
    }
}

void ChannelRefresher::Repaint()
{
    for (IChannelDisplay* display : m_displays) display->ShowValues();
    if (m_sink) m_sink->RepaintSamples();
}

}  // namespace views
