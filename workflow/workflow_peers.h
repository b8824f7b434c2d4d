#pragma once
// The windows the controller talks to, each seen through the few operations it calls: the main
// frame, the sensor connection page, the start-up search, the measurement control and set-up
// pages, the sensor information, calibration and diagnostic pages, the diagram view, and the
// configuration-write sequencer. The application's windows implement these; tests use fakes.
// Every peer is optional: the controller skips what is not attached. Each operation is a duty of
// the implementer, so none has a body here: a window that leaves one out does not compile.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CWnd;
class CSensorRecord;

namespace workflow {

// One display-table entry of a channel (A, B, C, D, P1, P2) of the main frame.
struct DisplayChannelEntry {
    std::vector<UINT> unitIds;       // string ids of the selectable units
    std::vector<double> unitFactors; // their conversion factors
    int selectedUnit = 0;
    int divisor = 0;
    // The display bits and values of a power channel, carried by a dual device's rotor block.
    BYTE flagByte = 0;
    int secondValue = 0;
    int thirdValue = 0;
    double perCount = 1.0;           // written by the scale-factor computation
};

// One display record per sensor slot of the main frame.
struct DisplaySlotRecord {
    int channelPosition = 0;
    std::vector<double> rangeEnd;  // per channel position
    std::vector<CString> unitText; // per channel position
};

// The measurement control page's diagnostic fields per sensor.
enum class MeasureDiagnostic {
    MissingValueCount,
    IncompleteLineCount,  // -1 adds one
    RemainingLength,
    RecvBufferMaxLength,
    RecvBufferMaxLengthLast100,
    QueueMaxLength,
    QueueMaxLengthLast100,
};

// What the measurement set-up page holds for the configuration written before closing.
struct MeasureSetupValues {
    std::array<std::array<DWORD, 2>, 6> filter{};  // per channel: the two low-pass values
    int measurand1 = -1, measurand2 = -1;           // measurand of pass/fail condition 1 and 2
    std::array<CString, 4> limitText;               // lower 1, upper 1, lower 2, upper 2
    std::array<double, 4> limitValue{};
    bool singleLimitChecked = false, singleLimitVisible = false;
    int startKind = 0;
    double startLevel = 0.0;
    std::array<double, 2> startFurther{};
    int startOption = 0;
    int stopKind = 0;
    double stopLevel = 0.0;
    DWORD stopCount = 0;
    int stopOption = 0;
    BYTE optionByte = 0;  // decimals of the stop value (bits 5-3) and of the start value (2-0)
    std::array<double, 6> channelValue{};  // the first value of each channel's record
    std::array<int, 6> rowOfChannel{-1, -1, -1, -1, -1, -1};
    bool operator==(const MeasureSetupValues&) const = default;
};

// What the calibration page holds for the calibration steps.
struct CalibrationPageFields {
    int newValuesAccepted = 0;
    std::array<DWORD, 2> referenceValue{};  // channels A and B
    int inaccuracyMode = 0;                 // 0 change A, 1 change B, 2 delete A, 3 delete B
    int inaccuracyWriteAllowed = 0;
};

// The measurement control page's settings record.
struct MeasureCtrlSettings {
    BYTE bRunning = 0;       // 1 while a measurement runs
    BYTE bSecond = 0;
    int nCounter = 0;
    int nControlState = 0;   // 1: control signal on
    BYTE cDecimation = 0;
    BYTE bStoppedByUser = 0;
    BYTE bCtrlSwitchRequest = 0;
    BYTE bAngleZeroRequest = 0;
    BYTE bAngleChannelSwitch = 0;
    // The angle to be zeroed in a running stream: served (and cleared) by the stream's next
    // record, once the stream runs on every port.
    BYTE bStreamAngleZeroRequest = 0;
};

class IWorkflowFrame {
public:
    virtual ~IWorkflowFrame() = default;
    // The window whose one-shot timers carry the workflow's steps (see WorkflowTimerWindow).
    virtual CWnd& StepWindow() = 0;
    virtual void BeginWaitCursorOnce() = 0;
    virtual void EndWaitCursorOnce() = 0;
    virtual void LoadWindowPlacement() = 0;
    virtual void SetWaitForReconnect(bool wait) = 0;
    virtual bool IsWaitingForReconnect() const = 0;
    virtual void UpdateDisplayValues(int sensor, int mode, const CSensorRecord* record) = 0;
    virtual void StoreSensorDisplayValue(int sensor) = 0;
    virtual void ConfigureMovingAverages(int mode) = 0;
    // Display tables; null when the frame has none for that index.
    virtual DisplayChannelEntry* DisplayEntry(int channel) = 0;
    virtual DisplaySlotRecord* DisplaySlot(int slot) = 0;
    // Per-sensor log: written only while the switch is 0 (on).
    virtual int LogSwitch() const = 0;
    virtual void WriteLogFile(const CSensorRecord& sensor, const CString& title, const CString& body) = 0;
    virtual void StartActivationCheck() = 0;
    virtual int MeasureRateIndex() const = 0;
    // The samples the sensor averages into one set of a stream (the rate reduction), at least 1.
    virtual int RateReduction() const = 0;
    // Flags of the frame that a measurement start or stop clears.
    virtual void ClearTriggerPressed() = 0;
    virtual void ClearTriggerEvaluation() = 0;
    virtual void ClearStreamTimeoutMark() = 0;
    // Hides the connection, information, set-up and control pages (before a forced close).
    virtual void HideSensorPages() = 0;
    virtual void MinimiseMainWindow() = 0;
    // Ends the application with the given exit code (orderly, through the exit command).
    virtual void ExitApplication(int exitCode) = 0;
    virtual void SetSensorConnectedFlag() = 0;
    // Every port of a multiport device is active: the pages that take what each sensor keeps
    // read the sensors again (the set-up page's refresh).
    virtual void SensorConfigurationRead() = 0;
    virtual bool IsSensorConnected() const = 0;
    // No sensor is connected any more: lost (a new search may connect it again), or its port
    // closed by the user.
    virtual void ClearSensorConnectedFlag(bool lost) = 0;
    // The new-values entry: reason 0 a value set of a stream, 1 after a single shot, 2 after the
    // first values of a sensor. It reads m_aiValue and the display countdown.
    virtual void RefreshChannelViews(int reason) = 0;

    // ---- Measuring -----------------------------------------------------------------------------
    // Set when the measuring time is reached or a stop trigger fired; the parsers stop there.
    virtual bool IsMeasurementEnded() const = 0;
    // Set by the multiport merge when it dropped the rest of a stream after its end.
    virtual bool IsDrained() const = 0;
    virtual void SetDrained(bool drained) = 0;
    // The measurement was started by arming the trigger.
    virtual bool IsTriggerStarted() const = 0;
    virtual void SetAngleOffsetsZero() = 0;
    // The two flags of the frame's measurement display that a connect request clears once it
    // has chosen and opened the sensor's port.
    virtual void ClearMeasurementDisplayFlags() = 0;
    virtual void SetSensorTriggerFlags(int sensor) = 0;
    // The four smoothing rings of a user calibration: 0 raw A, 1 raw B, 2 value A, 3 value B.
    virtual void ResetCalibRings() = 0;
    virtual void AddCalibValue(int ring, double value) = 0;
    // False and 0.0 when the ring is empty.
    virtual bool GetCalibAverage(int ring, double& mean) const = 0;
    // Display bits of a channel (0 A .. 5 P2) for the rotor operation block.
    virtual bool IsChannelViewVisible(int channel) const = 0;
    virtual bool IsChannelInDiagram(int channel) const = 0;

    // ---- The set-up stored in the sensors --------------------------------------------------------
    // The sensors' ports are about to close (a new search): set-up changes they do not hold yet
    // are written first, as before the program closes. True when that write has started; then
    // `then` runs once it has ended, stored or not (a refusal or silence is reported as at
    // close). False when nothing is to be written: the caller goes on at once.
    virtual bool StoreSettingsBeforePortsClose(std::function<void()> then) = 0;
    // A running measurement is stopped as the control page's Stop stops it.
    virtual void StopRunningMeasurement() = 0;
    // The sensors' ports close under a running measurement: it does not go on, and what of it
    // is still to be written is written, and a refusal told, as for a finished one.
    virtual void MeasurementEndsWithPorts() = 0;
    // The program is closing: a sensor lost now is not reported, the user is leaving.
    virtual bool IsShuttingDown() const = 0;
    // A sensor restarts and the controller waits for its greeting: the status bar says so, and
    // afterwards shows again what it showed before.
    virtual void ShowSensorRestarting(bool restarting) = 0;
};

class IConnectionPage {
public:
    virtual ~IConnectionPage() = default;
    virtual void SetAllPortsEnabled(bool enabled) = 0;
    virtual void UpdatePortList(bool select) = 0;
    virtual bool IsUsbPortsOnly() const = 0;
    // The port list: one row per port-table row; column 0 the port, 4 the serial number,
    // 6 the status text.
    virtual void DeleteAllItems() = 0;
    virtual void FillPortList(int row, int state, DWORD serial, COLORREF colour, const CString& text) = 0;
    virtual int GetItemCount() const = 0;
    virtual CString GetItemText(int row, int column) const = 0;
    virtual void SetItemText(int row, int column, const CString& text) = 0;
    virtual void ReenableAfterBaudChange() = 0;
    virtual void ClearBaudChangeFlag() = 0;
    // The page's busy mark of a baud-rate or port-loop write.
    virtual void ClearBusyFlag() = 0;
    // A row the user selected in the port list (its background is other than white).
    virtual bool IsRowMarked(int row) const = 0;
    // The sensor's baud-rate code of a baud rate, as the page converts its baud-rate texts.
    virtual BYTE BaudCodeOfRate(int baud) const = 0;
    virtual void RefreshEnableColumn() = 0;
    // A device's further sensors are now awaited, or no longer: what the page offers follows.
    virtual void FurtherPortsPendingChanged() = 0;
    virtual int CountSensorPorts() const = 0;
    virtual void SetTimer(UINT_PTR id, UINT ms) = 0;
    virtual void KillTimer(UINT_PTR id) = 0;
};

class IStartUpPage {
public:
    virtual ~IStartUpPage() = default;
    virtual void BeginSearchProgress(int ports) = 0;
    virtual void BeginPortProgress(int port) = 0;
    virtual void StepSearchProgress(int step) = 0;
    virtual void EndSearchProgress() = 0;
    virtual void FinishSearch() = 0;
    virtual void Hide() = 0;
    virtual bool IsSearchUsbOnly() const = 0;
    virtual void SetShowProgressInList(bool show) = 0;
};

class IMeasureControlPage {
public:
    virtual ~IMeasureControlPage() = default;
    virtual MeasureCtrlSettings* Settings() = 0;
    virtual void SetTimer(UINT_PTR id, UINT ms) = 0;
    virtual void KillTimer(UINT_PTR id) = 0;
    virtual void ClearSensorDisplay() = 0;
    virtual void ResetAfterDisconnect() = 0;
    // The sensor's line is gone: a running measurement ends as a stop ends it, without
    // waiting for the sensor's answer.
    virtual void EndMeasurementOnLostSensor() = 0;
    virtual void CheckSensorVersion(int argument) = 0;
    virtual void UpdateControlLed() = 0;
    virtual void AutoStorageStep(int argument) = 0;
    virtual CString TraceButtonVisibility() const = 0;
    // The two start flags of the page, and the flag the multiport stop and reconnection clear.
    virtual void ClearStartFlags() = 0;
    virtual void ClearMultiportFlag() = 0;
    // The page's polling timer: its ticks ask for one value set each.
    virtual bool StartPollTimer(UINT periodMs) = 0;
    virtual void StopPollTimer() = 0;
    virtual void SetSensorPresent(bool present) = 0;
    // The sensors are being connected again (a baud-rate change, a restart of a device's
    // sensors): while held, Start, Trigger and Single shot wait. Their connection, or their
    // loss, ends the hold too.
    virtual void HoldUntilConnected(bool hold) = 0;
    // The set-up is being written into the sensors: a stream started meanwhile would take the
    // write's answers, so Start, Trigger and Single shot wait until it has ended.
    virtual void HoldWhileSetupWritten(bool hold) = 0;

    // ---- Measuring -----------------------------------------------------------------------------
    // Switches the control signal by the page's own state (1: plain send).
    virtual void SendControlSignal(int mode) = 0;
    virtual void ShowControlState(bool on) = 0;
    virtual void EndSingleShot() = 0;
    // The marker of a restart of all sensors that the page asked for.
    virtual void ClearRestartMarker() = 0;
    virtual void ShowStatusLine(const CString& text) = 0;
    virtual void SetDiagnostic(MeasureDiagnostic field, int sensor, int value) = 0;
    // The option check box that the rotor operation block carries.
    virtual bool IsOptionChecked() const = 0;
};

class IMeasureSetupPage {
public:
    virtual ~IMeasureSetupPage() = default;
    virtual bool IsChannelASelected() const = 0;
    virtual bool IsChannelBSelected() const = 0;
    virtual void RefreshChannelRow(int row) = 0;
    virtual void UpdateChannelCheckBox(int row) = 0;
    virtual void CheckSameSensor() = 0;
    // Channel rows changed since the last software-configuration write, and their filters.
    virtual bool IsChannelRowChanged(int row) const = 0;
    virtual std::array<DWORD, 2> FilterValues(int row) const = 0;
    // The measuring interval in seconds.
    virtual double MeasuringIntervalSeconds() const = 0;
    // Everything the configuration write before closing takes from the page; null: nothing.
    virtual const MeasureSetupValues* WriteSetupValues() const = 0;
    virtual void ToggleBusyMarker() = 0;
    // Hands a single shot's values to the channel scaling page; false when none is open.
    virtual bool ShowScalingValues(LONG valueA, LONG valueB) = 0;
};

class IInformationPage {
public:
    virtual ~IInformationPage() = default;
    virtual void FillSensorInformation(int sensor) = 0;
    virtual void SetSensorPresent(bool present) = 0;
    virtual void SetTimer(UINT_PTR id, UINT ms) = 0;
};

class ICalibrationPage {
public:
    virtual ~ICalibrationPage() = default;
    virtual void ShowControls(bool show) = 0;
    virtual void AdvanceProgress(int steps) = 0;
    // The zero-point prompt's wait (its timer 1, 500 ms).
    virtual void StartZeroPromptWait() = 0;
    virtual CalibrationPageFields Fields() const = 0;
    // The page's computation from the readings of the controller's acquisition record: stores
    // offset, gain-control and control codes there and returns success with its error bits.
    virtual bool CalculateCalibValues(bool firstSwitch, bool secondSwitch, int& errorMask) = 0;
    virtual void ShowScaleWarning() = 0;
    virtual void CloseScaleValuePromptIfVisible() = 0;
    // The computation refused the readings (its error bits): the page ends the calibration and
    // tells the user, once, what the readings showed.
    virtual void ReportCalibrationRefused(int errorMask) = 0;
};

class IDocumentationPage {
public:
    virtual ~IDocumentationPage() = default;
    // Seconds since 1970 at which a running stream broke.
    virtual void SetMeasurementEndTime(std::int64_t seconds) = 0;
};

class IDiagnosticPage {
public:
    virtual ~IDiagnosticPage() = default;
    // Fills the page's master/slave detector from the sensors found and groups them.
    virtual void DetectMultiport() = 0;
    // Shows the sensors found with what the last grouping found out about them.
    virtual void RefreshDiagnosticList() = 0;
};

class IDiagramView {
public:
    virtual ~IDiagramView() = default;
    virtual void StartGraph(bool restart) = 0;
};

// The configuration-write sequencer's entry points that the workflow uses.
class IConfigWriteSequencer {
public:
    virtual ~IConfigWriteSequencer() = default;
    virtual void RunStep(int mode) = 0;
    // Moves on to the next active port; false when all are done.
    virtual bool Advance() = 0;
    // Tables 1, 2 and 3 hold per sensor slot the kept texts of stator block 2, rotor block
    // 0x82 and rotor block 0x83 (a negative slot: the current one).
    virtual void SetBlockText1(const CString& text, int slot) = 0;
    virtual void SetBlockText2(const CString& text, int slot) = 0;
    virtual void SetBlockText3(const CString& text, int slot) = 0;
    // The current slot moves on by one (each stator header answer).
    virtual void AdvanceSlot() = 0;
    // A run from the first sensor on.
    virtual void Start() = 0;
};

struct WorkflowPeers {
    IWorkflowFrame* frame = nullptr;
    IConnectionPage* connection = nullptr;
    IStartUpPage* startUp = nullptr;
    IMeasureControlPage* measureControl = nullptr;
    IMeasureSetupPage* measureSetup = nullptr;
    IInformationPage* information = nullptr;
    ICalibrationPage* calibration = nullptr;
    IDiagnosticPage* diagnostic = nullptr;
    IDiagramView* diagram = nullptr;
    IConfigWriteSequencer* sequencer = nullptr;
    IDocumentationPage* documentation = nullptr;
};

// Timer ids the controller arms on the pages.
constexpr UINT_PTR kCtrlPageTimerSearch = 1;
constexpr UINT_PTR kCtrlPageTimerReceiveTimeout = 5;
constexpr UINT_PTR kCtrlPageTimerStatusWatch = 9;
// The diagnostic list's refresh after a start of initialisation: an id of its own, as timer 9
// watches the status answer.
constexpr UINT_PTR kCtrlPageTimerDiagnosticRefresh = 10;
constexpr UINT_PTR kCtrlPageTimerMultiportStop = 45;
constexpr UINT_PTR kConnPageTimerPortLoop = 7;
constexpr UINT_PTR kConnPageTimerProbeTimeout = 8;
// The information page fills itself from the sensor records.
constexpr UINT_PTR kInfoPageTimerFill = 53;

}  // namespace workflow
