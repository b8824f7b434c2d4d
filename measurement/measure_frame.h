#pragma once
// What the measurement set-up page needs of the windows around it, each seen through the few
// operations it calls: the main frame (its run-time state, the six display tables, the wait
// cursor, the views) and the measurement control panel. CMainFrame implements IMeasureFrame;
// the control panel implements IMeasurePanel; tests use fakes. Every operation is pure: an
// implementer that leaves one out does not compile.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CComPort;
class CSensorRecord;

namespace measurement {

// Fields of a channel's display table (one per channel A, B, C, D, P1, P2).
enum class DisplayField {
    Decimals,      // 0 to 4
    Unit,          // chosen unit index into the unit list
    Averaging,     // n selects 2^n values
    Sign,          // 0 "+", 1 "-"
    ChannelState,  // 1 on, 2 off, 3 absent
    ShownUnit,     // the unit shown while the channel has a user scaling
    OwnUnit,       // the sensor's own unit index
    Available,     // the channel exists on its sensor (non-zero)
};

struct DisplayUnit {
    int code = -1;   // negative: the end of the list
    CString name;
    double factor = 0.0;
};

// The measurement control panel as the set-up page uses it.
class IMeasurePanel {
public:
    virtual ~IMeasurePanel() = default;
    virtual bool IsRunning() const = 0;
    // The panel knows of at least one connected sensor.
    virtual bool IsSensorConnected() const = 0;
    virtual void StopMeasurement() = 0;
    virtual void SetAutoRepeat(bool checked, bool enabled) = 0;
    virtual bool IsAutoRepeatChecked() const = 0;
    // The mark a single shot of several sensors leaves when it has ended.
    virtual void ClearSingleShotEnded() = 0;
    virtual void RefreshSensorCheckBoxes() = 0;
    virtual void MarkRateChanged() = 0;
    virtual void RelayoutDurationRow() = 0;
    virtual void SetPowerCheckBox(int group, bool checked) = 0;
    // The user switched a power on or off: the panel's power boxes follow its display flag.
    virtual void SyncPowerChecks(int group) = 0;
    // What the sensors keep of the panel: a sensor's channel shown in the diagram (its sensor
    // check box), the option box the rotor operation block carries (the angle zero at the
    // measurement start) and the digital input's box (box 1: the angle zero at the trigger's
    // start event). ClearSwitches unticks the sensor boxes and the two power boxes before the
    // sensors are read again.
    virtual void SetChannelSwitch(int sensor, bool on) = 0;
    virtual void ClearSwitches() = 0;
    virtual void SetDiagramSwitch(bool on) = 0;
    virtual void SetDigitalInputBox(int which, bool checked) = 0;
    virtual void ArmTimer(UINT id, UINT ms) = 0;
    virtual void CheckSensorVersion() = 0;
    // The diagram is the active view: the panel refills what depends on the channels shown.
    virtual void RefreshForDiagramView() = 0;
    // The encoders whose angle channel is selected have changed: the angle zero follows.
    virtual void AngleSelectionChanged() = 0;
};

class IMeasureFrame {
public:
    virtual ~IMeasureFrame() = default;
    virtual CComPort& Com() = 0;
    virtual IMeasurePanel* Panel() = 0;
    // The views have not registered yet: the page skips its sensor work.
    virtual bool IsStartupPending() const = 0;
    // A sensor of the connection is worked on alone (the calibration page) until it is given
    // back: the connection's records and ports are that sensor's meanwhile.
    virtual bool AreSensorsTakenApart() const = 0;

    virtual int MeasureRateIndex() const = 0;
    virtual void SetMeasureRateIndex(int index) = 0;
    virtual int AveragingCount() const = 0;
    virtual void SetAveragingCount(int count) = 0;
    virtual int MeasuredChannelCount() const = 0;
    virtual void SetMeasuredChannelCount(int count) = 0;
    // Whole seconds, held by a 32-bit field.
    virtual void SetMeasuringDurationSeconds(std::int32_t seconds) = 0;
    // The copies the trigger evaluation compares with.
    virtual void SetStartTriggerThreshold(double value) = 0;
    virtual void SetStopTriggerThreshold(double value) = 0;

    virtual void BeginWaitCursorOnce() = 0;
    virtual void EndWaitCursorOnce() = 0;

    // Display tables.
    virtual int DisplayValue(int channel, DisplayField field) const = 0;
    virtual void SetDisplayValue(int channel, DisplayField field, int value) = 0;
    virtual std::vector<DisplayUnit> DisplayUnits(int channel) const = 0;
    virtual void SetDisplayUnits(int channel, const std::vector<DisplayUnit>& units) = 0;
    virtual void SetPowerMark(int channel, bool on) = 0;
    virtual void SetStatusText(UINT textId) = 0;

    // Views.
    virtual void RefreshChannelViews(int reason) = 0;
    virtual void TareIfNotTared(int channel) = 0;
    virtual bool IsChannelBarVisible(int bar) const = 0;
    virtual void ShowChannelBar(int bar, bool show) = 0;
    virtual void UpdateDisplayValues(int sensor, int mode, const CSensorRecord* record) = 0;

    // Run-time state the page hands over.
    virtual void SetChannelSelection(const std::array<BYTE, 6>& selection) = 0;
    virtual void SetMeasureMode(int mode) = 0;
    virtual void SetDisplayMode(int mode) = 0;
    virtual int ActiveViewKind() const = 0;
    virtual void SetChannelFlag(int group) = 0;
    virtual void CopyPowerDisplayFlags() = 0;
    virtual void SetEvaluationKind(int kind) = 0;
    // The documentation's pass/fail output switch: 1 on, 2 off.
    virtual void SetIoNioOutput(int value) = 0;
    virtual bool IsCommonFilter() const = 0;
    virtual void SetPowerSettings(int group, int unit, int a, int b, int c) = 0;
    // The add-on paths, which the control panel runs at a measurement's start and after its stop.
    virtual void KeepProfileValues(const CString& startProg, const CString& stopProg) = 0;
    // The user changed what the sensors keep of the set-up (limits, triggers, filters, channel
    // rows, power channels): it is stored in them before the program closes or their ports do.
    virtual void MarkConfigWritePending() = 0;
    virtual bool IsConfigWritePending() const = 0;
    // The sensor read now is one that was lost while the write was pending: the write goes to
    // it as soon as the controller has ended the conversation it holds now (the connection, a
    // measurement), as the close would send it. A sensor that was not lost (restarted, or one
    // that refused the write) gets it at the close.
    virtual void WritePendingConfigToReturnedSensor() = 0;
};

}  // namespace measurement
