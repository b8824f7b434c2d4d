#pragma once
// The start and stop triggers of a measurement, evaluated for every new channel value: a
// start or stop by a channel's (or a power's) value crossing its level after it was first on
// the far side by the hysteresis, a start at a planned system time, and a stop when the
// diagram has recorded its point limit (stop by measuring duration or piece count). The
// evaluation decides; the control panel acts on the events it reports.

#include <array>
#include <cstdint>

#include "platform/win_types.h"

namespace measurement {

// Trigger sources: 0 off, 1..4 channel A..D, 5 and 6 power 1 and 2, 7 system time (start) or
// measuring duration (stop), 8 piece count (stop). 1002: channel B of a device of several
// sensors, the first channel of the second sensor.
constexpr int kTriggerOff = 0;
constexpr int kTriggerTime = 7;
constexpr int kTriggerCount = 8;
constexpr int kTriggerSecondSensorB = 1002;
constexpr double kNoHysteresis = -6.66666;

// The trigger fields the main frame keeps.
struct TriggerState {
    int startSource = kTriggerOff, stopSource = kTriggerOff;
    double startValue = 0.0, stopValue = 0.0;
    int startDirection = 0, stopDirection = 0;  // 0 rising, 1 falling
    double startHysteresis = kNoHysteresis, stopHysteresis = kNoHysteresis;
    BYTE startArmed = 0, stopArmed = 0;
    BYTE recording = 0;
    BYTE firstValue = 0;
    BYTE stoppedByEvent = 0;
    double valueAtArming = 0.0, valueAtStart = 0.0, valueAtStop = 0.0;
    std::int64_t startTime = 0, plannedEndTime = 0;
    std::int32_t durationSeconds = 0;
    int referenceChannel = 0;
    int sampleCounter = 0;
    std::int64_t plannedStartTime = 0;  // start source 7
    // The diagram's point limit of a stop by duration or count; below 1: no limit.
    int pointLimit = 0;
};

// What the evaluation reports to the panel and asks of the diagram.
class ITriggerActions {
public:
    virtual ~ITriggerActions() = default;
    virtual void OnStartEvent(int channel, double value) = 0;
    virtual void OnStopEvent(int channel, double value) = 0;
    // Points the diagram has recorded.
    virtual int PointsRecorded() const = 0;
    // Seconds since 1970.
    virtual std::int64_t Now() const = 0;
    // The around-trigger display; only called when the evaluation is asked to show it.
    virtual void ShowAroundTrigger(int panel, int direction, double actual, char op, char sign, double given,
                                   double hysteresis, bool armed) = 0;
};

enum class TriggerEvent { None, Start, Stop };

// One channel value (channel 0-based). Nothing happens unless the trigger is armed. The start
// and stop events only report; the caller's actions set the recording flag.
TriggerEvent EvaluateMeasureTriggers(TriggerState& state, bool triggerArmed, int channel, double value,
                                     bool showAround, ITriggerActions& actions);

// What the hysteresis of a source depends on, per channel A..D and power 1, 2 (index source-1;
// for 1002 the entry of channel B as carried by the second sensor).
struct HysteresisChannel {
    bool unitIsAdu = false;
    double range = 0.0;       // range value of the channel on its sensor
    double countValue = 0.0;  // the channel's count value C of the selected unit
    double percent = 0.0;     // the selected unit's percentage P
};

struct HysteresisInputs {
    int connectedSensors = 1;
    bool firstIsDeviceCode5 = false;
    std::array<HysteresisChannel, 6> channel{};
    HysteresisChannel secondSensorB;
    // Sensor selected for display (-1 not selected) and then started (1) or not (0).
    int firstSensorSelected = -1;
    int secondSensorSelected = -1;
};

double ComputeHysteresis(int source, bool start, const HysteresisInputs& in);

// |R| x P x 0.01, scaled by 25000 / C only for 0 < C < 19000.
double RangeHysteresis(const HysteresisChannel& channel);

struct CMeasureSetup;

// The set-up page's two trigger modes (sources) with their levels, start direction and planned
// start time, copied into the frame's trigger fields.
void CopyTriggerModes(const CMeasureSetup& setup, TriggerState& s);
// The armed bytes from the sources: a channel source (1 to 4) waits for a value on the far side
// of its level first (0), every other source needs none (1).
void DeriveTriggerArming(TriggerState& s);

// The measuring duration in whole seconds of a stop by duration (7) or count (8); -1 for other
// sources.
std::int32_t StopDurationSeconds(int stopSource, double durationSeconds, double pieceCount, double interval);

// The diagram's point limit at arming: count -> the piece count, duration -> duration / interval
// rounded up plus one; 0 (no limit) for other sources, a count below 1 or a bad interval.
int DiagramPointLimit(int stopSource, double durationSeconds, double pieceCount, double interval);

}  // namespace measurement
