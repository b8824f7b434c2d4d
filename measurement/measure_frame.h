#pragma once
// What the measurement set-up page needs of the windows around it, each seen through the few
// operations it calls: the main frame (its run-time state, the six display tables, the wait
// cursor, the views) and the measurement control panel. CMainFrame implements IMeasureFrame;
// the control panel implements IMeasurePanel; tests use fakes. Operations with a body are
// optional for an implementer that has nothing to do there.

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
    virtual void StopMeasurement() {}
    virtual void SetAutoRepeat(bool /*checked*/, bool /*enabled*/) {}
    virtual bool IsAutoRepeatChecked() const { return false; }
    virtual void ClearSingleShotEnded() {}
    virtual void RefreshSensorCheckBoxes() {}
    virtual void MarkRateChanged() {}
    virtual void RelayoutDurationRow() {}
    virtual void SetPowerCheckBox(int /*group*/, bool /*checked*/) {}
    virtual void SetChannelSwitch(int /*sensor*/, bool /*on*/) {}
    virtual void ClearSwitches() {}
    virtual void SetDiagramSwitch(bool) {}
    virtual void SetDigitalInputBox(int /*which*/, bool /*checked*/) {}
    virtual void ArmTimer(UINT /*id*/, UINT /*ms*/) {}
    virtual void CheckSensorVersion() {}
    virtual void RefreshForDiagramView() {}
};

class IMeasureFrame {
public:
    virtual ~IMeasureFrame() = default;
    virtual CComPort& Com() = 0;
    virtual IMeasurePanel* Panel() = 0;
    // The views have not registered yet: the page skips its sensor work.
    virtual bool IsStartupPending() const { return false; }

    virtual int MeasureRateIndex() const = 0;
    virtual void SetMeasureRateIndex(int index) = 0;
    virtual int AveragingCount() const = 0;
    virtual void SetAveragingCount(int count) = 0;
    virtual int MeasuredChannelCount() const = 0;
    virtual void SetMeasuredChannelCount(int count) = 0;
    // Whole seconds, held by a 32-bit field.
    virtual void SetMeasuringDurationSeconds(std::int32_t seconds) = 0;
    virtual std::int32_t MeasuringDurationSeconds() const = 0;
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
    virtual void SetPowerMark(int /*channel*/, bool /*on*/) {}
    virtual void SetStatusText(UINT) {}

    // Views.
    virtual void RefreshChannelViews(int /*reason*/) {}
    virtual void TareIfNotTared(int /*channel*/) {}
    virtual bool IsChannelBarVisible(int /*bar*/) const { return false; }
    virtual void ShowChannelBar(int /*bar*/, bool /*show*/) {}
    virtual void UpdateDisplayValues(int /*sensor*/, int /*mode*/, const CSensorRecord* /*record*/) {}

    // Run-time state the page hands over.
    virtual void SetChannelSelection(const std::array<BYTE, 6>&) {}
    virtual void SetMeasureMode(int) {}
    virtual int MeasureMode() const { return 0; }
    virtual void SetDisplayMode(int) {}
    virtual int ActiveViewKind() const { return 0; }
    virtual void SetChannelFlag(int /*group*/) {}
    virtual void CopyPowerDisplayFlags() {}
    virtual void SetEvaluationKind(int) {}
    // The documentation's pass/fail output switch: 1 on, 2 off.
    virtual void SetIoNioOutput(int) {}
    virtual bool IsCommonFilter() const { return false; }
    virtual void SetPowerSettings(int /*group*/, int /*unit*/, int /*a*/, int /*b*/, int /*c*/) {}
    // The add-on paths and the serial number of the sensor in use, which the application
    // keeps in its profile at shut-down.
    virtual void KeepProfileValues(const CString& /*startProg*/, const CString& /*stopProg*/, DWORD /*serial*/) {}
};

}  // namespace measurement
