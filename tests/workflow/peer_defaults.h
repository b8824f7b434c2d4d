#pragma once
// Neutral answers to every operation of the controller's peers, for test fakes. The interfaces
// (workflow/workflow_peers.h) give no bodies, so that the program's own windows must do each
// operation; a fake derives from the base of its interface here and overrides only what it
// records or answers otherwise.

#include "platform/wnd.h"
#include "workflow/workflow_peers.h"

namespace workflow_test {

class FrameDefaults : public workflow::IWorkflowFrame {
public:
    explicit FrameDefaults(CWnd& window) : m_window(window) {}
    CWnd& StepWindow() override { return m_window; }
    void BeginWaitCursorOnce() override {}
    void EndWaitCursorOnce() override {}
    void LoadWindowPlacement() override {}
    void SetWaitForReconnect(bool) override {}
    bool IsWaitingForReconnect() const override { return false; }
    void UpdateDisplayValues(int, int, const CSensorRecord*) override {}
    void StoreSensorDisplayValue(int) override {}
    void ConfigureMovingAverages(int) override {}
    workflow::DisplayChannelEntry* DisplayEntry(int) override { return nullptr; }
    workflow::DisplaySlotRecord* DisplaySlot(int) override { return nullptr; }
    int LogSwitch() const override { return 1; }
    void WriteLogFile(const CSensorRecord&, const CString&, const CString&) override {}
    void StartActivationCheck() override {}
    int MeasureRateIndex() const override { return 0; }
    int RateReduction() const override { return 1; }
    void ClearTriggerPressed() override {}
    void ClearTriggerEvaluation() override {}
    void ClearStreamTimeoutMark() override {}
    void HideSensorPages() override {}
    void MinimiseMainWindow() override {}
    void ExitApplication(int) override {}
    void SetSensorConnectedFlag() override {}
    void SensorConfigurationRead() override {}
    bool IsSensorConnected() const override { return true; }
    void ClearSensorConnectedFlag(bool) override {}
    void ShowSensorRestarting(bool) override {}
    void RefreshChannelViews(int) override {}
    bool IsMeasurementEnded() const override { return false; }
    bool IsDrained() const override { return false; }
    void SetDrained(bool) override {}
    bool IsTriggerStarted() const override { return false; }
    void SetAngleOffsetsZero() override {}
    void ClearMeasurementDisplayFlags() override {}
    void SetSensorTriggerFlags(int) override {}
    void ResetCalibRings() override {}
    void AddCalibValue(int, double) override {}
    bool GetCalibAverage(int, double& mean) const override
    {
        mean = 0.0;
        return false;
    }
    bool IsChannelViewVisible(int) const override { return false; }
    bool IsChannelInDiagram(int) const override { return false; }
    bool StoreSettingsBeforePortsClose(std::function<void()>) override { return false; }
    void StopRunningMeasurement() override {}
    void MeasurementEndsWithPorts() override {}
    bool IsShuttingDown() const override { return false; }

private:
    CWnd& m_window;
};

class ConnectionPageDefaults : public workflow::IConnectionPage {
public:
    void SetAllPortsEnabled(bool) override {}
    void UpdatePortList(bool) override {}
    bool IsUsbPortsOnly() const override { return false; }
    void DeleteAllItems() override {}
    void FillPortList(int, int, DWORD, COLORREF, const CString&) override {}
    int GetItemCount() const override { return 0; }
    CString GetItemText(int, int) const override { return CString(); }
    void SetItemText(int, int, const CString&) override {}
    void ReenableAfterBaudChange() override {}
    void ClearBaudChangeFlag() override {}
    void ClearBusyFlag() override {}
    bool IsRowMarked(int) const override { return false; }
    BYTE BaudCodeOfRate(int) const override { return 0; }
    void RefreshEnableColumn() override {}
    void FurtherPortsPendingChanged() override {}
    int CountSensorPorts() const override { return 0; }
    void SetTimer(UINT_PTR, UINT) override {}
    void KillTimer(UINT_PTR) override {}
};

class StartUpPageDefaults : public workflow::IStartUpPage {
public:
    void BeginSearchProgress(int) override {}
    void BeginPortProgress(int) override {}
    void StepSearchProgress(int) override {}
    void EndSearchProgress() override {}
    void FinishSearch() override {}
    void Hide() override {}
    bool IsSearchUsbOnly() const override { return false; }
    void SetShowProgressInList(bool) override {}
};

class MeasureControlPageDefaults : public workflow::IMeasureControlPage {
public:
    workflow::MeasureCtrlSettings* Settings() override { return &settings; }
    void SetTimer(UINT_PTR, UINT) override {}
    void KillTimer(UINT_PTR) override {}
    void ClearSensorDisplay() override {}
    void ResetAfterDisconnect() override {}
    void EndMeasurementOnLostSensor() override {}
    void CheckSensorVersion(int) override {}
    void UpdateControlLed() override {}
    void AutoStorageStep(int) override {}
    CString TraceButtonVisibility() const override { return CString(); }
    void ClearStartFlags() override {}
    void ClearMultiportFlag() override {}
    bool StartPollTimer(UINT) override { return true; }
    void StopPollTimer() override {}
    void SetSensorPresent(bool) override {}
    void HoldUntilConnected(bool) override {}
    void HoldWhileSetupWritten(bool) override {}
    void SendControlSignal(int) override {}
    void ShowControlState(bool) override {}
    void EndSingleShot() override {}
    void ClearRestartMarker() override {}
    void ShowStatusLine(const CString&) override {}
    void SetDiagnostic(workflow::MeasureDiagnostic, int, int) override {}
    bool IsOptionChecked() const override { return false; }

    workflow::MeasureCtrlSettings settings;
};

class MeasureSetupPageDefaults : public workflow::IMeasureSetupPage {
public:
    bool IsChannelASelected() const override { return true; }
    bool IsChannelBSelected() const override { return true; }
    void RefreshChannelRow(int) override {}
    void UpdateChannelCheckBox(int) override {}
    void CheckSameSensor() override {}
    bool IsChannelRowChanged(int) const override { return false; }
    std::array<DWORD, 2> FilterValues(int) const override { return {3000, 3000}; }
    double MeasuringIntervalSeconds() const override { return 1.0; }
    const workflow::MeasureSetupValues* WriteSetupValues() const override { return nullptr; }
    void ToggleBusyMarker() override {}
    bool ShowScalingValues(LONG, LONG) override { return false; }
};

class InformationPageDefaults : public workflow::IInformationPage {
public:
    void FillSensorInformation(int) override {}
    void SetSensorPresent(bool) override {}
    void SetTimer(UINT_PTR, UINT) override {}
};

class CalibrationPageDefaults : public workflow::ICalibrationPage {
public:
    void ShowControls(bool) override {}
    void AdvanceProgress(int) override {}
    void StartZeroPromptWait() override {}
    workflow::CalibrationPageFields Fields() const override { return {}; }
    bool CalculateCalibValues(bool, bool, int& errorMask) override
    {
        errorMask = 0;
        return false;
    }
    void ShowScaleWarning() override {}
    void CloseScaleValuePromptIfVisible() override {}
    void ReportCalibrationRefused(int) override {}
};

class DocumentationPageDefaults : public workflow::IDocumentationPage {
public:
    void SetMeasurementEndTime(std::int64_t) override {}
};

class DiagnosticPageDefaults : public workflow::IDiagnosticPage {
public:
    void DetectMultiport() override {}
    void RefreshDiagnosticList() override {}
};

class DiagramViewDefaults : public workflow::IDiagramView {
public:
    void StartGraph(bool) override {}
};

class SequencerDefaults : public workflow::IConfigWriteSequencer {
public:
    void RunStep(int) override {}
    bool Advance() override { return false; }
    void SetBlockText1(const CString&, int) override {}
    void SetBlockText2(const CString&, int) override {}
    void SetBlockText3(const CString&, int) override {}
    void AdvanceSlot() override {}
    void Start() override {}
};

}  // namespace workflow_test
