#pragma once
// What the measurement control panel needs of the windows around it, each seen through the few
// operations it calls: the main frame's run-time flags and trigger fields, the set-up page's
// record and texts, the diagram, the status light, the channel views, the documentation and
// the other pages. CMainFrame implements IControlFrame; tests use fakes. Every operation is pure:
// an implementer that leaves one out does not compile, so nothing the panel asks for is
// silently dropped.

#include <array>
#include <cstdint>

#include "measurement/measure_setup_record.h"
#include "measurement/trigger_evaluation.h"
#include "platform/cstring.h"
#include "platform/win_types.h"

class CComPort;

namespace measurement {

// One-byte flags of the main frame that the panel reads and writes.
enum class FrameFlag {
    TriggerCycle,
    WaitingForStart,
    StartPending,
    ProtocolError,
    MultiportGap,
    ThirdStop,         // the stop flag a start clears besides stopped-by-event and the gap
    ClosePending,      // a close of the main window waits for the measurement's end
    CloseAfterWrite,
    EndMarker,         // end-of-measurement marker: the buttons stay as they are
    EndRequest,
    DataReceived,      // a value arrived since the last poll tick
    RawRequest,        // the calibration's raw reading asks for one value
    LayoutPending,
    ShuttingDown,
    Count
};

// Automatic storage of the documentation: 0 off, 1 indexed file name, 2 constant file name.
enum class StorageKind { Values, IoNio, Diagram };

// What the pass/fail check takes from the set-up page.
struct IoNioInputs {
    bool defined = false;              // at least one condition is set
    int conditions = 0;                // bit 0 condition 1, bit 1 condition 2
    std::array<int, 2> measurand{-1, -1};
    std::array<CString, 4> limitText;  // lower 1, upper 1, lower 2, upper 2
};

class IControlFrame {
public:
    virtual ~IControlFrame() = default;
    virtual CComPort& Com() = 0;
    virtual BYTE& Flag(FrameFlag flag) = 0;
    // The frame's trigger fields, which the set-up page's channel selection also writes.
    virtual TriggerState& Triggers() = 0;
    // Seconds since 1970.
    virtual std::int64_t Now() const = 0;

    // ---- The set-up page ----
    virtual const CMeasureSetup* SetupRecord() const = 0;
    virtual IoNioInputs GetIoNioInputs() const = 0;
    virtual CString AddOnProgramPath(bool start) const = 0;
    // False when a power channel is shown whose torque or speed row is in a scaled unit.
    virtual bool CheckPowerUnits() const = 0;
    virtual UINT MeasureRateTextId() const = 0;
    // Seconds between two value sets as they arrive: the rate's period, times the reduction
    // the sensor averages a streamed set over.
    virtual double SetPeriodSeconds() const = 0;
    // The text of a control of the set-up page; the stop-limit display copies the count label,
    // the duration label, the duration field and the duration unit.
    virtual CString SetupText(int controlId) const = 0;
    // Values per value set (storage budget) and the six channel flags of the set-up.
    virtual int ValuesPerSet() const = 0;

    // ---- Main frame ----
    virtual bool IsBusy() const = 0;  // the wait cursor is shown
    // Sensors of the device connected apart, to be connected together again.
    virtual bool AreSensorsTakenApart() const = 0;
    virtual void BeginWaitCursorOnce() = 0;
    virtual void EndWaitCursorOnce() = 0;
    virtual void SetStatusText(UINT textId) = 0;
    virtual int ActiveViewKind() const = 0;
    virtual void OnChannelView(int index) = 0;
    virtual bool IsChannelViewShown(int index) const = 0;
    virtual void ConfigureMovingAverages(int mode) = 0;
    // The set-up page's trigger modes into the frame's trigger fields, with their armed bytes.
    virtual void StoreTriggerModes() = 0;
    // The armed bytes from the trigger fields' sources.
    virtual void UpdateTriggerFlags() = 0;
    virtual void ScanViewListItems(int which) = 0;
    // The frame's key handling, offered every key of the panel first; true when it took the key.
    virtual bool HandleKeyMessage(int virtualKey, bool keyDown) = 0;
    virtual void PostCloseMainWindow() = 0;
    virtual void ArmFrameTimer(UINT_PTR id, UINT ms) = 0;
    virtual void WriteLogFile(const CString& event) = 0;
    // The frame's copies of the two angle-zero options, and its angle reference value.
    virtual void SetAngleZeroOptions(const std::array<BYTE, 2>& options) = 0;
    virtual void ResetAngleReference() = 0;
    // The user changed what the sensors keep of the panel (the angle-zero options): it is
    // stored in them before the program closes or their ports do.
    virtual void MarkConfigWritePending() = 0;

    // ---- Documentation ----
    virtual void OpenMeasValueFiles(int reserved) = 0;
    // The stop is under way; the measurement's end (FinishMeasurement) comes with its last sets.
    virtual void MeasurementStopping() = 0;
    virtual void FinishMeasurement() = 0;
    virtual void FreeConvertList() = 0;
    // The automatic storage mode of a kind as it counts now: 0 off, 1 indexed, 2 constant name.
    virtual int StorageMode(StorageKind kind) const = 0;
    // The time of the measurement's first record, in seconds since 1970.
    virtual void SetFirstRecordTime(std::int64_t seconds) = 0;
    // Parks (flag false) or restores (flag true) the automatic-storage box of the documentation.
    virtual void SetDocumentationRunning(bool flag) = 0;

    // ---- Views ----
    virtual void SetLight(int state) = 0;
    virtual void DiagramSetRunState(int state, int value) = 0;
    virtual void DiagramStartGraph(bool startNow) = 0;
    virtual void DiagramLoadChannelSetup() = 0;
    virtual int DiagramPointCount() const = 0;
    virtual void StoreDiagramAtEnd() = 0;
    virtual void SetSensorDisplayFlag(int sensor, bool shown) = 0;
    virtual void SetStorageBusy(int valueSets, const std::array<BYTE, 6>& channels) = 0;
    // The three value buttons (minimum, maximum, tare) of every channel view.
    virtual void EnableChannelValueButtons(bool enable) = 0;
    // Every channel view shows "---" in its four value fields until a sensor is active again.
    virtual void ClearChannelValueFields() = 0;
    virtual void MarkChannelsWaitingForFirstValue() = 0;
    virtual void UpdateDisplayValues(int sensor, int mode) = 0;
    // The range, count value and percentage of a channel's selected unit (the display tables),
    // which the trigger hysteresis is computed from.
    virtual void FillHysteresisChannel(int channel, HysteresisChannel& entry) const = 0;
    // The range value of a channel of a sensor, formatted in its unit.
    virtual CString ChannelRangeText(int sensor, int channel) const = 0;

    // ---- Other pages ----
    virtual void ShowCalibrationControls(bool show) = 0;
    virtual void CloseCalibrationEndPrompt() = 0;
    virtual void MarkInformationRefresh() = 0;
    virtual void SetupCheckSameSensor() = 0;
    // The set-up page's controls that only a connected sensor needs.
    virtual void HideSetupSensorControls() = 0;
};

}  // namespace measurement
