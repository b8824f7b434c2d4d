#pragma once
// A test bench for the controller: a virtual-time loop, the controller with its step window,
// fakes of the frame and the pages that record what the controller asks of them, a port
// factory bound to simulated sensors, and a message-box recorder.

#include <map>
#include <memory>
#include <vector>

#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/wnd.h"
#include "tests/workflow/peer_defaults.h"
#include "tests/workflow/sim_sensor_port.h"
#include "workflow/workflow.h"

namespace workflow_test {

// A page's timers: one-shot, and each firing goes to onTimer.
class PageTimers : public CWnd {
public:
    std::function<void(UINT_PTR)> onTimer;
    std::vector<std::pair<UINT_PTR, UINT>> armed;
    void Arm(UINT_PTR id, UINT ms)
    {
        armed.push_back({id, ms});
        SetTimer(id, ms);
    }

protected:
    void OnTimer(UINT_PTR id) override
    {
        KillTimer(id);
        if (onTimer) onTimer(id);
    }
};

class FakeFrame : public FrameDefaults {
public:
    explicit FakeFrame(CWnd& window) : FrameDefaults(window) { entries.resize(6); slots.resize(4); }
    void BeginWaitCursorOnce() override { waitCursor = true; }
    void EndWaitCursorOnce() override { waitCursor = false; }
    void LoadWindowPlacement() override { ++placementLoads; }
    void SetWaitForReconnect(bool wait) override { reconnect = wait; }
    bool IsWaitingForReconnect() const override { return reconnect; }
    void UpdateDisplayValues(int sensor, int mode, const CSensorRecord*) override { displayUpdates.push_back({sensor, mode}); }
    void StoreSensorDisplayValue(int sensor) override { storedDisplay.push_back(sensor); }
    void ConfigureMovingAverages(int mode) override { averageModes.push_back(mode); }
    workflow::DisplayChannelEntry* DisplayEntry(int channel) override
    {
        return channel >= 0 && channel < 6 ? &entries[static_cast<std::size_t>(channel)] : nullptr;
    }
    workflow::DisplaySlotRecord* DisplaySlot(int slot) override
    {
        return slot >= 0 && slot < 4 ? &slots[static_cast<std::size_t>(slot)] : nullptr;
    }
    int LogSwitch() const override { return logSwitch; }
    void WriteLogFile(const CSensorRecord&, const CString& title, const CString& body) override { logs.push_back(title + "|" + body); }
    void StartActivationCheck() override { ++activationChecks; }
    int MeasureRateIndex() const override { return rateIndex; }
    int RateReduction() const override { return 1; }
    void HideSensorPages() override { pagesHidden = true; }
    void MinimiseMainWindow() override { minimised = true; }
    void ExitApplication(int code) override { exitCodes.push_back(code); }
    void SetSensorConnectedFlag() override { sensorConnected = true; }
    // The new-values entry records every set with the countdown it saw.
    void RefreshChannelViews(int reason) override
    {
        if (reason == 0 && measurementEnded) return;
        if (!com) return;
        refreshes.push_back({reason, com->m_aiValue, com->m_nDisplayCountdown, com->GetZMCOMConfgFlow()});
        if (copyPrevious) com->m_aiPrevValue = com->m_aiValue;
        if (endAfterRefreshes >= 0 && static_cast<int>(refreshes.size()) >= endAfterRefreshes) measurementEnded = true;
    }
    // The values of the stream refreshes (reason 0), channel by channel.
    std::vector<LONG> StreamValues(int channel) const
    {
        std::vector<LONG> values;
        for (const Refresh& r : refreshes)
            if (r.reason == 0) values.push_back(r.value[static_cast<std::size_t>(channel)]);
        return values;
    }
    bool IsMeasurementEnded() const override { return measurementEnded; }
    bool IsDrained() const override { return drained; }
    void SetDrained(bool on) override { drained = on; }
    bool IsTriggerStarted() const override { return triggerStarted; }
    void SetAngleOffsetsZero() override { ++angleZeroes; }
    void ClearMeasurementDisplayFlags() override { ++displayFlagClears; }
    void SetSensorTriggerFlags(int sensor) override { triggerFlagSensors.push_back(sensor); }
    void ResetCalibRings() override
    {
        for (auto& ring : rings) ring.clear();
        ++ringResets;
    }
    void AddCalibValue(int ring, double value) override { rings[static_cast<std::size_t>(ring)].push_back(value); }
    bool GetCalibAverage(int ring, double& mean) const override
    {
        const auto& values = rings[static_cast<std::size_t>(ring)];
        mean = 0.0;
        if (values.empty()) return false;
        for (double v : values) mean += v;
        mean /= static_cast<double>(values.size());
        return true;
    }
    bool IsChannelViewVisible(int channel) const override { return channel >= 0 && channel < 6 && viewVisible[static_cast<std::size_t>(channel)]; }
    bool IsChannelInDiagram(int channel) const override { return channel >= 0 && channel < 6 && inDiagram[static_cast<std::size_t>(channel)]; }

    struct Refresh {
        int reason;
        std::array<LONG, 4> value;
        int countdown;
        int state;
    };
    CComPort* com = nullptr;
    std::vector<Refresh> refreshes;
    bool copyPrevious = true;     // as the frame does for the channels it shows
    int endAfterRefreshes = -1;   // the measuring time ends with this many refreshes
    bool measurementEnded = false;
    bool drained = false;
    bool triggerStarted = false;
    int angleZeroes = 0;
    int displayFlagClears = 0;
    int ringResets = 0;
    std::vector<int> triggerFlagSensors;
    std::array<std::vector<double>, 4> rings;
    std::array<bool, 6> viewVisible{};
    std::array<bool, 6> inDiagram{};

    bool waitCursor = false;
    bool reconnect = false;
    int placementLoads = 0;
    int logSwitch = 1;
    int rateIndex = 6;
    int activationChecks = 0;
    bool pagesHidden = false;
    bool minimised = false;
    bool sensorConnected = false;
    std::vector<int> exitCodes;
    std::vector<std::pair<int, int>> displayUpdates;
    std::vector<int> storedDisplay;
    std::vector<int> averageModes;
    std::vector<CString> logs;
    std::vector<workflow::DisplayChannelEntry> entries;
    std::vector<workflow::DisplaySlotRecord> slots;
};

class FakeConnectionPage : public ConnectionPageDefaults {
public:
    void UpdatePortList(bool) override { ++listUpdates; }
    bool IsUsbPortsOnly() const override { return usbOnly; }
    void DeleteAllItems() override { rows.clear(); }
    void FillPortList(int row, int state, DWORD serial, COLORREF, const CString& text) override
    {
        if (static_cast<int>(rows.size()) <= row) rows.resize(static_cast<std::size_t>(row) + 1);
        auto& r = rows[static_cast<std::size_t>(row)];
        r[0] = text;
        r[4] = CString::Formatted("%u", serial);
        r[6] = state == kPortStateActive ? workflow::WorkflowText(workflow::kTextPortActive)
               : state == kPortStateAvailable ? workflow::WorkflowText(workflow::kTextPortAvailable) : CString();
    }
    int GetItemCount() const override { return static_cast<int>(rows.size()); }
    CString GetItemText(int row, int column) const override
    {
        if (row < 0 || row >= GetItemCount() || column < 0 || column > 6) return CString();
        return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
    void SetItemText(int row, int column, const CString& text) override
    {
        if (row >= 0 && row < GetItemCount() && column >= 0 && column <= 6)
            rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
    }
    void ClearBaudChangeFlag() override { ++baudFlagClears; }
    int CountSensorPorts() const override { return GetItemCount(); }
    void ClearBusyFlag() override { ++busyClears; }
    bool IsRowMarked(int row) const override { return row >= 0 && row < 256 && marked[static_cast<std::size_t>(row)]; }
    BYTE BaudCodeOfRate(int baud) const override { return baud == 230400 ? 2 : 1; }
    int busyClears = 0;
    std::array<bool, 256> marked{};
    void SetTimer(UINT_PTR id, UINT ms) override { timers.Arm(id, ms); }
    void KillTimer(UINT_PTR id) override { timers.KillTimer(id); }

    bool usbOnly = false;
    int listUpdates = 0;
    int baudFlagClears = 0;
    std::vector<std::array<CString, 7>> rows;
    PageTimers timers;
};

class FakeStartUpPage : public StartUpPageDefaults {
public:
    void BeginSearchProgress(int ports) override { searchPorts = ports; }
    void BeginPortProgress(int port) override { portProgress.push_back(port); }
    void StepSearchProgress(int) override { ++steps; }
    void EndSearchProgress() override { ++progressEnds; }
    void FinishSearch() override { ++finished; }
    void Hide() override { hidden = true; }
    bool IsSearchUsbOnly() const override { return usbOnly; }

    bool usbOnly = false;
    int searchPorts = -1;
    std::vector<int> portProgress;
    int steps = 0;
    int progressEnds = 0;
    int finished = 0;
    bool hidden = false;
};

class FakeMeasureControlPage : public MeasureControlPageDefaults {
public:
    void SetTimer(UINT_PTR id, UINT ms) override { timers.Arm(id, ms); }
    void KillTimer(UINT_PTR id) override { timers.KillTimer(id); }
    void ClearSensorDisplay() override { ++displayClears; }
    void CheckSensorVersion(int argument) override { versionChecks.push_back(argument); }
    void UpdateControlLed() override { ++ledUpdates; }
    void AutoStorageStep(int argument) override { storageSteps.push_back(argument); }
    CString TraceButtonVisibility() const override { return "buttons"; }
    bool StartPollTimer(UINT periodMs) override
    {
        pollPeriods.push_back(periodMs);
        polling = true;
        return true;
    }
    void StopPollTimer() override
    {
        ++pollStops;
        polling = false;
    }
    bool polling = false;
    void SetSensorPresent(bool present) override { sensorPresent = present; }
    void SendControlSignal(int mode) override
    {
        controlSends.push_back(mode);
        if (onSendControl) onSendControl();
    }
    std::function<void()> onSendControl;
    void ShowControlState(bool on) override { shownControl = on; }
    void EndSingleShot() override { ++singleShotEnds; }
    void ClearRestartMarker() override { ++restartMarkerClears; }
    void ShowStatusLine(const CString& text) override { statusLines.push_back(text); }
    void SetDiagnostic(workflow::MeasureDiagnostic field, int sensor, int value) override
    {
        auto& slot = diagnostics[static_cast<std::size_t>(field)][static_cast<std::size_t>(sensor)];
        slot = value == -1 && field == workflow::MeasureDiagnostic::IncompleteLineCount ? slot + 1 : value;
    }
    bool IsOptionChecked() const override { return optionChecked; }

    std::vector<int> controlSends;
    bool shownControl = false;
    int singleShotEnds = 0;
    int restartMarkerClears = 0;
    std::vector<CString> statusLines;
    std::array<std::array<int, 4>, 7> diagnostics{};
    bool optionChecked = false;
    PageTimers timers;
    int displayClears = 0;
    int ledUpdates = 0;
    int pollStops = 0;
    bool sensorPresent = false;
    std::vector<int> versionChecks;
    std::vector<int> storageSteps;
    std::vector<UINT> pollPeriods;
    int ArmedCount(UINT_PTR id) const
    {
        int n = 0;
        for (const auto& entry : timers.armed) n += entry.first == id ? 1 : 0;
        return n;
    }
};

class FakeMeasureSetupPage : public MeasureSetupPageDefaults {
public:
    bool IsChannelASelected() const override { return channelA; }
    bool IsChannelBSelected() const override { return channelB; }
    void RefreshChannelRow(int row) override { refreshedRows.push_back(row); }
    void UpdateChannelCheckBox(int row) override { checkBoxes.push_back(row); }
    void CheckSameSensor() override { ++sameSensorChecks; }
    bool IsChannelRowChanged(int row) const override { return row >= 0 && row < 6 && changedRows[static_cast<std::size_t>(row)]; }
    std::array<DWORD, 2> FilterValues(int row) const override { return filters[static_cast<std::size_t>(row < 0 || row > 5 ? 0 : row)]; }
    double MeasuringIntervalSeconds() const override { return interval; }
    const workflow::MeasureSetupValues* WriteSetupValues() const override { return &values; }
    void ToggleBusyMarker() override { ++busyToggles; }
    bool ShowScalingValues(LONG a, LONG b) override
    {
        scalingValues.push_back({a, b});
        return true;
    }

    std::array<bool, 6> changedRows{};
    std::array<std::array<DWORD, 2>, 6> filters{};
    double interval = 1.0;
    workflow::MeasureSetupValues values;
    int busyToggles = 0;
    std::vector<std::pair<LONG, LONG>> scalingValues;
    bool channelA = true;
    bool channelB = true;
    std::vector<int> refreshedRows;
    std::vector<int> checkBoxes;
    int sameSensorChecks = 0;
};

class FakeInformationPage : public InformationPageDefaults {
public:
    void FillSensorInformation(int sensor) override { filled.push_back(sensor); }
    void SetSensorPresent(bool present) override { sensorPresent = present; }
    void SetTimer(UINT_PTR id, UINT ms) override { timers.Arm(id, ms); }
    std::vector<int> filled;
    bool sensorPresent = false;
    PageTimers timers;
};

class FakeCalibrationPage : public CalibrationPageDefaults {
public:
    void ShowControls(bool show) override { controlsShown = show; }
    void AdvanceProgress(int steps) override { progress += steps; }
    void StartZeroPromptWait() override { ++zeroPromptWaits; }
    workflow::CalibrationPageFields Fields() const override { return fields; }
    bool CalculateCalibValues(bool first, bool second, int& errorMask) override
    {
        computations.push_back({first, second});
        errorMask = errorMasks.empty() ? 0 : errorMasks.front();
        if (!errorMasks.empty()) errorMasks.erase(errorMasks.begin());
        const bool ok = results.empty() ? true : results.front();
        if (!results.empty()) results.erase(results.begin());
        return ok;
    }
    void ShowScaleWarning() override { ++scaleWarnings; }
    void CloseScaleValuePromptIfVisible() override { ++promptCloses; }
    void ReportCalibrationRefused(int errorMask) override { refusals.push_back(errorMask); }
    workflow::CalibrationPageFields fields;
    std::vector<int> refusals;
    std::vector<std::pair<bool, bool>> computations;
    std::vector<int> errorMasks;
    std::vector<bool> results;
    int scaleWarnings = 0;
    int promptCloses = 0;
    bool controlsShown = true;
    int progress = 0;
    int zeroPromptWaits = 0;
};

// Groups the sensors of the port rows the way the diagnostic page does.
class FakeDiagnosticPage : public DiagnosticPageDefaults {
public:
    explicit FakeDiagnosticPage(CComPort& com) : m_com(com) {}
    void DetectMultiport() override
    {
        detector.Reset();
        int n = 0;
        for (int row = 0; row < kPortTableRows && n < CMasterSlaveDetector::kMaxEntries; ++row) {
            const CPortRecord& rec = m_com.m_PortRec[static_cast<std::size_t>(row)];
            if (rec.m_strPortName.IsEmpty()) break;
            if (rec.m_nState != kPortStateAvailable && rec.m_nState != kPortStateActive) continue;
            auto& entry = detector.m_Entry[static_cast<std::size_t>(n++)];
            entry.id = static_cast<BYTE>(row);
            entry.port = rec.m_strPortName;
            entry.serial = rec.m_Sensor.m_sStatorHeader.nSerialNo;
            entry.position = rec.m_Sensor.m_sStatorHeader.cModuleIndex;
            entry.count = rec.m_Sensor.m_sStatorHeader.cModuleCount;
        }
        detector.m_nCount = n;
        detector.Detect();
        ++runs;
    }
    CMasterSlaveDetector detector;
    int runs = 0;

private:
    CComPort& m_com;
};

class FakeDocumentationPage : public DocumentationPageDefaults {
public:
    void SetMeasurementEndTime(std::int64_t seconds) override { endTimes.push_back(seconds); }
    std::vector<std::int64_t> endTimes;
};

class FakeSequencer : public SequencerDefaults {
public:
    void RunStep(int mode) override { modes.push_back(mode); }
    bool Advance() override
    {
        if (advanceResults.empty()) return false;
        const bool result = advanceResults.front();
        advanceResults.erase(advanceResults.begin());
        return result;
    }
    void SetBlockText1(const CString&, int sensor) override { texts.push_back({1, sensor}); }
    void SetBlockText2(const CString&, int sensor) override { texts.push_back({2, sensor}); }
    void SetBlockText3(const CString&, int sensor) override { texts.push_back({3, sensor}); }
    void AdvanceSlot() override { ++slotAdvances; }
    std::vector<int> modes;
    std::vector<bool> advanceResults;
    std::vector<std::pair<int, int>> texts;
    int slotAdvances = 0;
};

// A sensor the controller accepts: supported stator type and revision.
sim::SensorConfig AcceptedSensor(std::uint32_t serial = 100001);

struct Bench {
    Bench();
    ~Bench();

    // A sensor on its own port "COMn <description>".
    sim::SimDevice& AddSensor(const CString& comName, const sim::SensorConfig& config,
                              const CString& description = "Tessaline USB sensor interface Port", int baudRate = 0);
    // A multiport device on consecutive ports from firstCom.
    sim::SimDevice& AddDevice(int firstCom, const std::vector<sim::SensorConfig>& configs);
    // Runs the loop until the controller rests after a connection, at most maxMs.
    bool RunUntilConnected(std::int64_t maxMs = 20000);
    // Runs the loop a millisecond at a time for ms (or until done holds) and returns the longest
    // time it stood still in one turn: a handler that waits inside itself moves virtual time on
    // by its whole wait.
    std::int64_t LongestHoldMs(std::int64_t ms, const std::function<bool()>& done = nullptr);
    // Searches every port added and waits until the controller rests with all found ports
    // activated: true when it did.
    bool SearchUntilAllActive();
    // A sensor on COM3, searched for and connected: true when the connection came.
    bool ConnectSensor(const sim::SensorConfig& config);
    // Gives the controller its fake pages with `mainFrame` as the frame (the bench's own fake
    // frame unless a test brings another).
    void WirePeers(workflow::IWorkflowFrame& mainFrame);

    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope{&boxes};
    // The simulated sensors outlive the ports that lead to them.
    std::vector<std::unique_ptr<sim::SimDevice>> devices;
    SimPortFactory ports;
    CComPort com{&ports};
    workflow::WorkflowTimerWindow window{com, loop};
    FakeFrame frame{window};
    FakeConnectionPage connection;
    FakeStartUpPage startUp;
    FakeMeasureControlPage control;
    FakeMeasureSetupPage setup;
    FakeInformationPage information;
    FakeCalibrationPage calibration;
    FakeDiagnosticPage diagnostic{com};
    FakeSequencer sequencer;
    FakeDocumentationPage documentation;
};

}  // namespace workflow_test
