#pragma once
// What the measurement control panel needs of the windows around it, each seen through the few
// operations it calls: the main frame's run-time flags and trigger fields, the set-up page's
// record and texts, the diagram, the status light, the channel views, the documentation and
// the other pages. CMainFrame implements IControlFrame; tests use fakes. Operations with a body
// are optional for an implementer that has nothing to do there.

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
    virtual TriggerState& Triggers() = 0;
    // Seconds since 1970.
    virtual std::int64_t Now() const = 0;

    // ---- The set-up page ----
    virtual const CMeasureSetup* SetupRecord() const = 0;
    virtual IoNioInputs GetIoNioInputs() const { return {}; }
    virtual CString AddOnProgramPath(bool /*start*/) const { return CString(); }
    virtual bool CheckPowerUnits() const { return true; }
    virtual UINT MeasureRateTextId() const { return 0; }
    // The texts the stop-limit display copies: the count label, the duration label, the
    // duration field and the duration unit.
    virtual CString SetupText(int /*controlId*/) const { return CString(); }
    // Values per value set (storage budget) and the six channel flags of the set-up.
    virtual int ValuesPerSet() const { return 1; }

    // ---- Main frame ----
    virtual bool IsBusy() const { return false; }  // the wait cursor is shown
    virtual void BeginWaitCursorOnce() {}
    virtual void EndWaitCursorOnce() {}
    virtual void SetStatusText(UINT /*textId*/) {}
    virtual int ActiveViewKind() const { return 0; }
    virtual void OnChannelView(int /*index*/) {}
    virtual void ConfigureMovingAverages(int /*mode*/) {}
    virtual void UpdateTriggerFlags() {}
    virtual void ScanViewListItems(int /*which*/) {}
    virtual void PostCloseMainWindow() {}
    virtual void ArmFrameTimer(UINT_PTR /*id*/, UINT /*ms*/) {}
    virtual void WriteLogFile(const CString& /*event*/) {}
    // The frame's copies of the two angle-zero options, and its angle reference value.
    virtual void SetAngleZeroOptions(const std::array<BYTE, 2>& /*options*/) {}
    virtual void ResetAngleReference() {}

    // ---- Documentation ----
    virtual void OpenMeasValueFiles(int /*reserved*/) {}
    virtual void FinishMeasurement() {}
    virtual void FreeConvertList() {}
    virtual int StorageMode(StorageKind) const { return 0; }
    virtual void SetFirstRecordTime(std::int64_t /*seconds*/) {}
    virtual void SetDocumentationRunning(bool /*flag*/, bool /*second*/) {}

    // ---- Views ----
    virtual void SetLight(int /*state*/) {}
    virtual void DiagramSetRunState(int /*state*/, int /*value*/) {}
    virtual void DiagramStartGraph(bool /*startNow*/) {}
    virtual void DiagramLoadChannelSetup() {}
    virtual int DiagramPointCount() const { return 0; }
    virtual void StoreDiagramAtEnd() {}
    virtual void SetSensorDisplayFlag(int /*sensor*/, bool /*shown*/) {}
    virtual void SetStorageBusy(int /*valueSets*/, const std::array<BYTE, 6>& /*channels*/) {}
    virtual void EnableChannelValueButtons(bool /*enable*/) {}
    virtual void ClearChannelValueFields() {}
    virtual void MarkChannelsWaitingForFirstValue() {}
    virtual void UpdateDisplayValues(int /*sensor*/, int /*mode*/) {}
    // The unit's count value and percentage of a channel's selected unit (the display table).
    virtual void FillHysteresisChannel(int /*channel*/, HysteresisChannel& /*channel*/) const {}
    // The range value of a channel of a sensor, formatted in its unit.
    virtual CString ChannelRangeText(int /*sensor*/, int /*channel*/) const { return "n.a."; }

    // ---- Other pages ----
    virtual void ShowCalibrationControls(bool /*show*/) {}
    virtual void CloseCalibrationEndPrompt() {}
    virtual void MarkInformationRefresh() {}
    virtual void SetupCheckSameSensor() {}
    virtual void HideSetupSensorControls() {}
};

}  // namespace measurement
