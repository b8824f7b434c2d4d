// What the sensors store of a measurement's set-up: the start and stop triggers, the diagram
// axes of their channels, the power display of a dual device, and the pass/fail limits.

#include "environment/number_text.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_page.h"
#include "measurement/setup_numbers.h"
#include "res/string_table.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace measurement {

bool CDlgMeasureAdjust::LoadTriggersFromSensors()
{
    CMeasureSetup& s = m_setup;
    const bool several = Several();
    const int sensors = std::max(0, SensorCount());
    // An encoder's mode switch restarts the sensors, whose blocks hold the triggers only once
    // the set-up is stored: the page keeps the triggers the user set. (A trigger on a power
    // channel the switch took away was switched off by it.)
    if (m_bPowerSwitching) return true;
    s.startSource = -1;
    s.startSet = false;
    s.startByDateTime = false;
    s.startDirection = -1;
    s.startValue = kNoValueFloat;
    s.stopSource = -1;
    s.stopDirection = -1;
    s.stopSet = s.stopByDuration = s.stopByCount = false;
    s.duration = 0.0;
    s.count = 0.0;
    auto channelSource = [&](int sensor, int kind, BYTE channelByte) {
        if (!several) return channelByte ? 2 : 1;
        if (kind == 1) return sensor < 2 ? 5 : 6;
        return RealIndex(sensor) + 1;
    };
    // A channel trigger's value is kept only by the sensor of that channel; the others hold the
    // no-value float, as every sensor does for a trigger switched off.
    bool startFound = false, stopFound = false, anyTriggerPart = false;
    for (int i = 0; i < sensors; ++i) {
        const SensorSetupFields f = Sensor(i);
        if (!f.hasTriggerPart) continue;
        anyTriggerPart = true;
        if (!startFound) {
            const int kind = f.StartKind();
            if ((kind == 0 || kind == 1) && f.startValueValid) {
                s.startSource = channelSource(i, kind, f.startChannel);
                s.startSet = true;
                s.startDirection = f.StartDirection();
                s.startValue = f.startValue;
                s.startExtra = f.startExtra;
                startFound = true;
            } else if (kind == 2) {
                s.startSource = kStartBySystemTime;
                s.startTime = static_cast<std::int64_t>(f.startWord);
                s.startByDateTime = true;
                startFound = true;
            } else if (kind == 3) {
                s.startSource = 0;
                startFound = true;
            }
        }
        if (!stopFound) {
            const int kind = f.StopKind();
            if ((kind == 0 || kind == 1) && f.stopValueValid) {
                s.stopSource = channelSource(i, kind, f.stopChannel);
                s.stopValue = f.stopValue;
                s.stopExtra = f.stopExtra;
                s.stopSet = true;
                s.stopDirection = f.StopDirection();
                stopFound = true;
            } else if (kind == 2) {
                s.stopSource = kStopByDuration;
                s.stopByDuration = true;
                s.duration = f.stopWordValid ? static_cast<double>(f.stopWord) : 0.0;
                stopFound = true;
            } else if (kind == 3) {
                if (f.stopWordValid) {
                    s.stopSource = kStopByCount;
                    s.stopByCount = true;
                    s.count = static_cast<double>(f.stopWord);
                } else {
                    s.stopSource = 0;
                }
                stopFound = true;
            }
        }
    }
    if (anyTriggerPart && !startFound) s.startSource = 0;
    if (anyTriggerPart && !stopFound) s.stopSource = 0;
    // The angle-zero options the panel stored: the diagram switch is the one of the
    // measurement start, an encoder's digital-input bit (while it counts the angle) the one of
    // the trigger's start event, which the panel puts into the option flag of each side.
    IMeasurePanel* panel = Panel();
    bool diagramSwitch = false;
    bool digitalInput = false;
    for (int i = 0; i < sensors; ++i) {
        const SensorSetupFields f = Sensor(i);
        diagramSwitch = diagramSwitch || f.DiagramSwitch();
        digitalInput = digitalInput || (f.typeCode == 9 && f.DigitalInputBit() && f.operatingMode != 3);
    }
    if (panel && digitalInput && !m_bPowerSwitching) panel->SetDigitalInputBox(1, true);
    if (panel && diagramSwitch && !m_bPowerSwitching) panel->SetDiagramSwitch(true);
    return true;
}

bool CDlgMeasureAdjust::LoadAxisAssignmentFromSensors()
{
    auto& axis = m_setup.axis;
    const bool several = Several();
    const int sensors = std::max(0, SensorCount());
    SetDisplayFlag(0, 1);
    SetDisplayFlag(1, 1);
    IMeasurePanel* panel = Panel();
    if (panel) panel->ClearSwitches();
    axis[0].source = kAxisTime;
    if (m_bPowerSwitching) {
        const int last = several ? 4 : 2;
        for (int k = 1; k <= last; ++k) axis[static_cast<std::size_t>(k)].source = IsRowActive(k - 1) ? k + 1 : 0;
        TickSensorsOnAxes();
        return false;
    }
    for (int k = 1; k < kAxisCount; ++k) axis[static_cast<std::size_t>(k)].source = 0;
    bool anyY = false;
    for (int i = 0; i < sensors; ++i) {
        const SensorSetupFields f = Sensor(i);
        if (!f.hasTriggerPart) continue;
        const int code = (several ? RealIndex(i) : 0) + 2;
        const int group = i < 2 ? 0 : 1;  // of a multiport device's power channels
        int place = SensorSetupFields::AxisOf(f.display);
        // Sensors that keep the same Y axis (alike blocks) each get one: a sensor whose axis an
        // earlier one took goes to the first free one of Y1 to Y4, so that none drops out.
        if (several && place >= 1 && place <= 4 && axis[static_cast<std::size_t>(place)].source != 0)
            for (int k = 1; k <= 4; ++k)
                if (axis[static_cast<std::size_t>(k)].source == 0) {
                    place = k;
                    break;
                }
        if (place == 7) {
            axis[2].source = 0;
        } else {
            axis[static_cast<std::size_t>(place)].source = code;
            anyY = anyY || place >= 1;
        }
        if (panel && SensorSetupFields::ShownIn(f.display)) panel->SetChannelSwitch(i, true);
        const bool torqueOfPair = several && f.kind == 'D' && i % 2 == 0 && i + 1 < sensors && Sensor(i + 1).kind == 'Y';
        const bool speedOfPair = several && f.kind == 'Y' && i % 2 == 1 && Sensor(i - 1).kind == 'D';
        const bool synchronised = Com().m_bDualDevice != 0;
        if (speedOfPair) {
            // The power bits of its pair, where the configuration write keeps them for every
            // torque and speed pair, combined device or not: bit 2 the power computed, bit 1
            // the control panel's power box.
            SetDisplayFlag(group, !synchronised && (f.display & 0x04) ? 0 : 1);
            const bool ticked = !synchronised && (f.display & 0x02);
            SetSensorExtraFlag(group, ticked ? 0 : 1);
            if (panel) panel->SetPowerCheckBox(group, ticked);
        } else if (several && f.combination && !torqueOfPair) {
            // (The torque sensor of a pair keeps its power unit in these bits.)
            const bool power1 = !synchronised && (f.display & 0x04);
            const bool power2 = !synchronised && (f.display & 0x02);
            SetDisplayFlag(0, power1 ? 0 : 1);
            SetDisplayFlag(1, power2 ? 0 : 1);
            if (panel) panel->SetPowerCheckBox(group, !synchronised && (f.display & 0x01));
        }
        if (several && f.kind == 'D' && (f.display2 & 0x80)) axis[static_cast<std::size_t>(5 + group)].source = KeptPowerAxis(group, 6 + group);
        if (several && f.kind == 'D') {
            const int unit = (f.display & 7) > 4 ? 0 : f.display & 7;
            m_frame.SetPowerSettings(group, unit, f.display2 & 1, (f.display2 >> 5) & 3, (f.display2 >> 1) & 15);
            // A power row that was in use when the set-up was stored comes back in the unit the
            // user chose for it, which the write keeps in bits 6 and 5 of the power byte; else
            // it starts in the power unit the sensor keeps (its display bits are a unit unless
            // they carry the power flags); the fifth code names no unit and gives the table's
            // first.
            const int power = kSensorRows + group;
            if (f.display2 & 0x80) {
                // So do its averaging (bits 4 to 1) and its sign (bit 0); its decimals the
                // settings file keeps.
                m_frame.SetDisplayValue(power, DisplayField::Unit, (f.display2 >> 5) & 3);
                const int averaging = (f.display2 >> 1) & 15;
                m_frame.SetDisplayValue(power, DisplayField::Averaging, averaging <= 9 ? averaging : 0);
                m_frame.SetDisplayValue(power, DisplayField::Sign, f.display2 & 1);
            } else if (!f.combination) {
                m_frame.SetDisplayValue(power, DisplayField::Unit, unit < 4 ? unit : 0);
            }
            if (const int decimals = KeptPowerDecimals(group); decimals >= 0)
                m_frame.SetDisplayValue(power, DisplayField::Decimals, decimals);
        }
        if (!several && !IsOneChannelSensor()) {
            // Channel B of a single sensor has its own display byte. A sensor with channel A
            // alone has none: a module of a multiport device keeps its power byte there, which
            // would put a channel it lacks on X.
            const int placeB = SensorSetupFields::AxisOf(f.display2);
            if (placeB != 7) {
                const int target = place == 7 ? 1 : placeB;
                axis[static_cast<std::size_t>(target)].source = 3;
                anyY = anyY || target >= 1;
            }
            const bool digitalOrCode5 = CComPort::IsDeviceCode5(Com().m_Sensor[0].m_sIdent) || f.typeCode != 9;
            if (panel && SensorSetupFields::ShownIn(f.display2) && digitalOrCode5) panel->SetChannelSwitch(1, true);
        }
    }
    if (!anyY && sensors > 0 && Com().m_bDualDevice) {
        for (int r = 0; r < kRowCount; ++r)
            if (IsRowActive(r)) axis[static_cast<std::size_t>(r + 1)].source = r + 2;
    }
    // The sensors of a device of which some are not connected now (refused, or their port not
    // listed) may keep a channel alone on X, or one not measured; a sensor fresh from the
    // factory may name no Y axis, or put every channel on X.
    KeepAxesDrawing();
    TickSensorsOnAxes();
    if (axis[0].source == kAxisTime && (several || (IsRowActive(0) && IsRowActive(1)))) return true;
    const int last = several ? m_frame.MeasuredChannelCount() : 2;
    if (last + 1 < kAxisCount && last >= 0) axis[static_cast<std::size_t>(last + 1)].shown = 0;
    return true;
}

bool CDlgMeasureAdjust::KeepAxesDrawing()
{
    auto& axis = m_setup.axis;
    // A channel on X is drawn against only when another measured channel goes over it: else
    // the measured ones are drawn over time.
    int measured = 0;
    for (int r = 0; r < kRowCount; ++r) measured += IsRowActive(r) ? 1 : 0;
    const bool xToTime = axis[0].source != kAxisTime && (!IsRowActive(axis[0].source - 2) || measured < 2);
    if (xToTime) axis[0].source = kAxisTime;
    // With no measured channel on a Y axis the diagram would stay empty while the points are
    // counted: Y1 shows the first measured channel that is not on X, as the page's own choice
    // of "none" leaves it.
    bool yMeasured = false;
    for (int k = 1; k < kAxisCount; ++k) {
        const int source = axis[static_cast<std::size_t>(k)].source;
        yMeasured = yMeasured || (source >= 2 && source != axis[0].source && IsRowActive(source - 2));
    }
    for (int r = 0; r < kRowCount && !yMeasured; ++r)
        if (IsRowActive(r) && r + 2 != axis[0].source) {
            axis[1].source = r + 2;
            yMeasured = true;
        }
    return xToTime;
}

// With several sensors the panel's sensor boxes decide which sensors' curves the diagram shows:
// a sensor the axes show has its box ticked, whatever its block kept, so that the diagram draws
// what the page shows.
void CDlgMeasureAdjust::TickSensorsOnAxes()
{
    IMeasurePanel* panel = Panel();
    if (!panel || !Several()) return;
    const int sensors = std::min(std::max(0, SensorCount()), kMaxSensorPorts);
    for (int i = 0; i < sensors; ++i) {
        const int code = RealIndex(i) + 2;
        for (const AxisAssignment& a : m_setup.axis)
            if (a.source == code) {
                panel->SetChannelSwitch(i, true);
                break;
            }
    }
}

bool CDlgMeasureAdjust::LoadLimitsFromSensors()
{
    if (m_bPowerSwitching) return true;
    m_iLimitedMeasurand = {-1, -1};
    m_limitSensor = {-1, -1};
    m_frame.SetEvaluationKind(2);
    const int sensors = std::max(0, SensorCount());
    auto take = [this](int slot, const SensorLimit& limit) {
        if (!limit.valid) return false;
        // With the decimals the sensor keeps for it, trailing zeros included ("10,50").
        m_sLimitText[static_cast<std::size_t>(slot)] = FormatDouble(limit.value, limit.decimals, GetLanguage());
        m_setup.limitValue[static_cast<std::size_t>(slot)] = limit.value;
        return true;
    };
    if (!Several()) {
        if (sensors < 1) return true;
        const SensorSetupFields f = Sensor(0);
        // Both limits are taken, whichever of them holds a value.
        const bool lowerA = take(0, f.limit[0]);
        const bool upperA = take(1, f.limit[1]);
        const bool first = lowerA || upperA;
        if (first) m_iLimitedMeasurand[0] = f.conditionSelector ? 1 : 0, m_limitSensor[0] = 0;
        if (m_setup.channel[1].selectable) {
            const bool lowerB = take(2, f.limit[2]);
            const bool upperB = take(3, f.limit[3]);
            const bool second = lowerB || upperB;
            if (second) m_iLimitedMeasurand[1] = f.conditionSelector ? 0 : 1, m_limitSensor[1] = 0;
        }
    } else {
        for (int i = 0; i < sensors; ++i) {
            const SensorSetupFields f = Sensor(i);
            const int slot = f.conditionSelector ? 1 : 0;
            if (m_iLimitedMeasurand[static_cast<std::size_t>(slot)] != -1) continue;
            const bool lower = take(2 * slot, f.limit[0]);
            const bool upper = take(2 * slot + 1, f.limit[1]);
            const bool valid = lower || upper;
            if (!valid) continue;
            m_frame.SetEvaluationKind(1);
            m_iLimitedMeasurand[static_cast<std::size_t>(slot)] = f.powerMeasurand ? (i < 2 ? 4 : 5) : RealIndex(i);
            m_limitSensor[static_cast<std::size_t>(slot)] = i;
        }
    }
    for (int k = 0; k < 4; ++k) m_controls.SetText(kLimitEdit[k], m_sLimitText[static_cast<std::size_t>(k)]);
    return true;
}

}  // namespace measurement
