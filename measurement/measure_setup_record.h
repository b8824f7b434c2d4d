#pragma once
// CMeasureSetup: every choice of a measurement that the set-up page holds and that the diagram
// view and the control panel read: six channel rows, the x-axis unit and sample period, the
// seven diagram axes, the start and stop triggers and the four pass/fail limit values.

#include <array>
#include <cstdint>

#include "platform/win_types.h"

namespace measurement {

constexpr int kRowCount = 6;     // A, B, C, D, P1, P2
constexpr int kSensorRows = 4;   // A to D
constexpr int kAxisCount = 7;    // X, Y1 .. Y6
constexpr int kSourceCodes = 8;  // axis source codes 0 .. 7

// Axis source codes: 0 none, 1 time, 2..5 channel A..D (sensor 1..4), 6 power P1, 7 power P2.
constexpr int kAxisNone = 0;
constexpr int kAxisTime = 1;

// Trigger source codes (start: 7 system time; stop: 7 duration, 8 count).
constexpr int kSourceOff = 0;
constexpr int kStartBySystemTime = 7;
constexpr int kStopByDuration = 7;
constexpr int kStopByCount = 8;

// The largest single-precision value: a limit or trigger value that is not set.
constexpr double kNoValueFloat = 3.4028234663852886e+38;

struct ChannelFlags {
    BYTE active = 0;      // measured and shown
    BYTE savedActive = 0; // kept while several sensors are connected
    BYTE enabled = 0;     // the row's channel button can be used
    BYTE selectable = 0;  // the row's controls are shown
    BYTE present = 0;
};

struct AxisAssignment {
    int source = kAxisNone;
    BYTE shown = 0;
    std::array<BYTE, kSourceCodes> offers{};
};

struct CMeasureSetup {
    std::array<ChannelFlags, kRowCount> channel{};
    int xAxisUnitTextId = 5190;
    double samplePeriod = 0.001;
    std::array<AxisAssignment, kAxisCount> axis{};

    double startValue = 0.0;
    std::int64_t startTime = 0;
    int startSource = -1;
    bool startByDateTime = false;
    int startDirection = -1;
    bool startSet = false;
    BYTE startExtra = 0;  // decimals of the start value text

    double stopValue = 0.0;
    double duration = 1.0;
    double count = 1.0;
    int stopSource = -1;
    bool stopByDuration = false;
    bool stopByCount = false;
    int stopDirection = -1;
    bool stopSet = false;
    BYTE stopExtra = 0;

    std::array<double, 4> limitValue{};  // lower 1, upper 1, lower 2, upper 2

    // Row A active, everything else inactive; P1 and P2 enabled.
    void ResetChannelFlags();
};

}  // namespace measurement
