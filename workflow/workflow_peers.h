#pragma once
// The windows the controller talks to, each seen through the few operations it calls: the main
// frame, the sensor connection page, the start-up search, the measurement control and set-up
// pages, the sensor information, calibration and diagnostic pages, the diagram view, and the
// configuration-write sequencer. The application's windows implement these; tests use fakes.
// Every peer is optional: the controller skips what is not attached.

#include <cstdint>
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
    double perCount = 1.0;           // written by the scale-factor computation
};

// One display record per sensor slot of the main frame.
struct DisplaySlotRecord {
    int channelPosition = 0;
    std::vector<double> rangeEnd;  // per channel position
    std::vector<CString> unitText; // per channel position
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
    virtual void RefreshChannelViews(int reason) = 0;
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
    virtual void RefreshEnableColumn() = 0;
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
};

class IMeasureControlPage {
public:
    virtual ~IMeasureControlPage() = default;
    virtual MeasureCtrlSettings* Settings() = 0;
    virtual void SetTimer(UINT_PTR id, UINT ms) = 0;
    virtual void KillTimer(UINT_PTR id) = 0;
    virtual void ClearSensorDisplay() = 0;
    virtual void ResetAfterDisconnect() = 0;
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
};

class IMeasureSetupPage {
public:
    virtual ~IMeasureSetupPage() = default;
    virtual bool IsChannelASelected() const = 0;
    virtual bool IsChannelBSelected() const = 0;
    virtual void RefreshChannelRow(int row) = 0;
    virtual void UpdateChannelCheckBox(int row) = 0;
    virtual void CheckSameSensor() = 0;
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
};

class IDiagnosticPage {
public:
    virtual ~IDiagnosticPage() = default;
    // Fills the page's master/slave detector from the sensors found and groups them.
    virtual void DetectMultiport() = 0;
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
    // Tables 1 to 3 hold per sensor the kept texts of stator block 2, rotor block 0x82 and
    // rotor block 0x83.
    virtual void SetBlockText(int table, int sensor, const CString& text) = 0;
    // The current slot moves on by one (each stator header answer).
    virtual void AdvanceSlot() = 0;
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
};

// Timer ids the controller arms on the pages.
constexpr UINT_PTR kCtrlPageTimerSearch = 1;
constexpr UINT_PTR kCtrlPageTimerReceiveTimeout = 5;
constexpr UINT_PTR kCtrlPageTimerStatusWatch = 9;
constexpr UINT_PTR kCtrlPageTimerMultiportStop = 45;
constexpr UINT_PTR kConnPageTimerPortLoop = 7;
constexpr UINT_PTR kConnPageTimerProbeTimeout = 8;

}  // namespace workflow
