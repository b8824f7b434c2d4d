#pragma once
// What the set-up page reads of a sensor, gathered from the sensor's record and the blocks it
// kept: identity, filters, the trigger part and display bits of the rotor operation block, and
// the pass/fail limits of the stator operation block (with the second condition of a single
// sensor spread over the stator operation, user calibration and rotor operation blocks).
//
// The record decodes only what the connection needs, so the set-up page takes the rest from
// the kept 40-byte block frames itself. A block that was never read gives no trigger, no
// display bits and no limits.

#include <array>
#include <cstdint>

#include "platform/win_types.h"

class CSensorRecord;

namespace measurement {

struct SensorLimit {
    double value = 0.0;
    bool valid = false;
    BYTE decimals = 0;
};

struct SensorSetupFields {
    DWORD serial = 0;
    int typeCode = 0;
    int versionCode = 0;
    int secondIdent = 0;
    BYTE combination = 0;       // the display bits carry the power flags
    BYTE userScaling = 0;       // 1: the user may scale the channels
    std::array<BYTE, 2> scalingPresent{};
    std::array<int, 2> lowPass{66666666, 66666666};
    BYTE kind = 0;              // 'Y' angle or speed encoder, 'D' torque
    BYTE angleMode = 0;
    BYTE option = 0;
    BYTE operatingMode = 0;     // 3 torque, 4 angle, 7 angle with option

    // Rotor operation block, as the configuration write stores it (sensors in the field hold
    // that layout): trigger byte 7-6 stop kind (0 channel, 1 power, 2 duration, 3 count or
    // none), 5 stop direction, 4-3 start kind (0 channel, 1 power, 2 system time, 3 none),
    // 2 start direction, 1 diagram switch, 0 digital input.
    bool hasTriggerPart = false;
    BYTE triggerByte = 0;
    BYTE display = 0xE0;        // 7-5 axis (7 none), 3 shown, 2-0 power flags or power unit
    BYTE display2 = 0xE0;       // channel B of a single sensor; the power byte of a multiport sensor
    double startValue = 0.0;
    bool startValueValid = false;
    DWORD startWord = 0;        // the start time of a start by system time, seconds since 1970
    double stopValue = 0.0;
    bool stopValueValid = false;
    DWORD stopWord = 0xFFFFFFFF;
    bool stopWordValid = false; // a duration or count: neither all ones nor the no-value float
    // Byte 22: decimals of the stop value (7-5) and of the start value (4-2), the channel of the
    // stop (1) and of the start (0): 0 channel A, else B.
    BYTE startExtra = 3, stopExtra = 3;
    BYTE startChannel = 0, stopChannel = 0;

    // Limits: lower and upper of condition 1 (first pair) and of the single sensor's
    // condition 2 (second pair).
    std::array<SensorLimit, 4> limit{};
    BYTE conditionSelector = 0;
    BYTE powerMeasurand = 0;

    int StartKind() const { return (triggerByte >> 3) & 3; }
    int StopKind() const { return (triggerByte >> 6) & 3; }
    int StartDirection() const { return (triggerByte >> 2) & 1; }
    int StopDirection() const { return (triggerByte >> 5) & 1; }
    bool DiagramSwitch() const { return (triggerByte & 0x02) != 0; }
    bool DigitalInputBit() const { return (triggerByte & 0x01) != 0; }
    static int AxisOf(BYTE displayByte) { return (displayByte >> 5) & 7; }
    static bool ShownIn(BYTE displayByte) { return (displayByte & 0x08) != 0; }
};

SensorSetupFields ReadSensorSetupFields(const CSensorRecord& record);

}  // namespace measurement
