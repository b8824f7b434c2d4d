#include "measurement/trigger_evaluation.h"

#include "measurement/measure_setup_record.h"

#include <cmath>
#include <limits>

namespace measurement {

namespace {

// The level test of one trigger. Returns true when the event occurs.
inline bool CrossLevel(int direction, double v, double level, double hysteresis, BYTE& armed)
{
    if (direction == 0) {
        if (v <= level - hysteresis) armed = 1;
        return armed && v >= level;
    }
    if (direction == 1) {
        if (v >= level + hysteresis) armed = 1;
        return armed && v <= level;
    }
    return false;
}

// The level test of the start (which 0) or the stop trigger (1), shown around the trigger when
// asked and the direction has a level.
bool CrossLevelShown(int which, int direction, double v, double level, double hysteresis, BYTE& armed, bool showAround,
                     ITriggerActions& actions)
{
    const bool fired = CrossLevel(direction, v, level, hysteresis, armed);
    if (showAround && (direction == 0 || direction == 1))
        actions.ShowAroundTrigger(which, direction, v, direction == 0 ? '<' : '>', direction == 0 ? '-' : '+', level,
                                  hysteresis, armed != 0);
    return fired;
}

void TakeFirstValue(TriggerState& s, double v)
{
    if (!s.firstValue) return;
    s.valueAtArming = v;
    s.sampleCounter = 0;
    s.firstValue = 0;
}

}  // namespace

void CopyTriggerModes(const CMeasureSetup& setup, TriggerState& s)
{
    s.startSource = setup.startSource;
    s.stopSource = setup.stopSource;
    s.startValue = setup.startValue;
    s.stopValue = setup.stopValue;
    s.startDirection = setup.startDirection;
    s.plannedStartTime = setup.startTime;
}

void DeriveTriggerArming(TriggerState& s)
{
    auto channelSource = [](int source) { return source >= 1 && source <= 4; };
    s.startArmed = channelSource(s.startSource) ? 0 : 1;
    s.stopArmed = channelSource(s.stopSource) ? 0 : 1;
}

TriggerEvent EvaluateMeasureTriggers(TriggerState& s, bool triggerArmed, int channel, double v, bool showAround,
                                     ITriggerActions& actions)
{
    if (!triggerArmed) return TriggerEvent::None;
    const int n = channel + 1;
    if (s.startSource == n && !s.recording) {
        TakeFirstValue(s, v);
        if (CrossLevelShown(0, s.startDirection, v, s.startValue, s.startHysteresis, s.startArmed, showAround, actions)) {
            actions.OnStartEvent(channel, v);
            return TriggerEvent::Start;
        }
        return TriggerEvent::None;
    }
    if (s.stopSource == n && s.recording) {
        if (CrossLevelShown(1, s.stopDirection, v, s.stopValue, s.stopHysteresis, s.stopArmed, showAround, actions)) {
            actions.OnStopEvent(channel, v);
            return TriggerEvent::Stop;
        }
        return TriggerEvent::None;
    }
    if (s.startSource == kTriggerOff && !s.recording && channel == s.referenceChannel) {
        if (s.firstValue) s.valueAtStart = v;
        TakeFirstValue(s, v);
        return TriggerEvent::None;
    }
    if (s.startSource == kTriggerTime && !s.recording && channel == s.referenceChannel) {
        TakeFirstValue(s, v);
        if (actions.Now() >= s.plannedStartTime) {
            actions.OnStartEvent(channel, v);
            return TriggerEvent::Start;
        }
        return TriggerEvent::None;
    }
    if ((s.stopSource == kTriggerTime || s.stopSource == kTriggerCount) && s.recording) {
        // The diagram's own limit, fixed at arming; none below one point.
        if (s.pointLimit >= 1 && actions.PointsRecorded() >= s.pointLimit) {
            actions.OnStopEvent(channel, v);
            return TriggerEvent::Stop;
        }
    }
    return TriggerEvent::None;
}

double RangeHysteresis(const HysteresisChannel& c)
{
    double h = std::fabs(c.range) * c.percent * 0.01;
    if (c.countValue > 0.0 && c.countValue < 19000.0) h *= 25000.0 / c.countValue;
    return std::isfinite(h) ? h : 0.0;
}

double ComputeHysteresis(int s, bool start, const HysteresisInputs& in)
{
    const double adu = start ? 300.1 : 300.2;
    if (s == 2 && in.connectedSensors <= 1) {
        if (in.firstIsDeviceCode5) return 0.0;
        const HysteresisChannel& b = in.channel[1];
        return b.unitIsAdu ? adu : RangeHysteresis(b);
    }
    if (s == 2) s = kTriggerSecondSensorB;
    const bool channelSource = (s >= 1 && s <= 6) || s == kTriggerSecondSensorB;
    if (!channelSource) return kNoHysteresis;
    const HysteresisChannel& c = s == kTriggerSecondSensorB ? in.secondSensorB : in.channel[static_cast<std::size_t>(s - 1)];
    if (c.unitIsAdu) return adu;
    if (s == kTriggerSecondSensorB && in.firstSensorSelected >= 0) return in.firstSensorSelected == 1 ? 1.0 : 20.0;
    if (s == 4 && in.secondSensorSelected >= 0) return in.secondSensorSelected == 1 ? 1.0 : 20.0;
    if (s < 5 || s == kTriggerSecondSensorB) return RangeHysteresis(c);
    return 0.5;
}

std::int32_t StopDurationSeconds(int stopSource, double duration, double count, double interval)
{
    double seconds = -1.0;
    if (stopSource == kTriggerTime) seconds = duration + 0.999999;
    else if (stopSource == kTriggerCount) seconds = count * interval + 0.999999;
    else return -1;
    if (!std::isfinite(seconds) || seconds < 0.0) return 0;
    if (seconds > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(seconds);
}

int DiagramPointLimit(int stopSource, double duration, double count, double interval)
{
    double limit = 0.0;
    if (stopSource == kTriggerCount) {
        limit = count;
    } else if (stopSource == kTriggerTime) {
        if (!(interval > 0.0)) return 0;
        limit = std::trunc(duration / interval + 0.999999) + 1.0;
    } else {
        return 0;
    }
    if (!std::isfinite(limit) || limit < 1.0) return 0;
    if (limit > static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(limit);
}

}  // namespace measurement
