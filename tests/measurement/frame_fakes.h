#pragma once
// The defaults of the test fakes of the interfaces through which the measurement pages reach
// the frame and each other. The interfaces are pure, so that the real frame cannot leave an
// operation out; a fake derives from the base here and overrides what its test looks at.
// Each base leaves pure what every fake must answer itself.

#include "measurement/channel_scaling_page.h"
#include "measurement/measure_control_frame.h"
#include "measurement/measure_frame.h"

namespace measurement_test {

class ControlFrameDefaults : public measurement::IControlFrame {
public:
    measurement::IoNioInputs GetIoNioInputs() const override { return {}; }
    CString AddOnProgramPath(bool) const override { return CString(); }
    bool CheckPowerUnits() const override { return true; }
    UINT MeasureRateTextId() const override { return 0; }
    CString SetupText(int) const override { return CString(); }
    int ValuesPerSet() const override { return 1; }

    bool IsBusy() const override { return false; }
    bool AreSensorsTakenApart() const override { return false; }
    void BeginWaitCursorOnce() override {}
    void EndWaitCursorOnce() override {}
    void SetStatusText(UINT) override {}
    int ActiveViewKind() const override { return 0; }
    void OnChannelView(int) override {}
    bool IsChannelViewShown(int) const override { return false; }
    void ConfigureMovingAverages(int) override {}
    void StoreTriggerModes() override {}
    void UpdateTriggerFlags() override {}
    void ScanViewListItems(int) override {}
    bool HandleKeyMessage(int, bool) override { return false; }
    void PostCloseMainWindow() override {}
    void ArmFrameTimer(UINT_PTR, UINT) override {}
    void WriteLogFile(const CString&) override {}
    void SetAngleZeroOptions(const std::array<BYTE, 2>&) override {}
    void ResetAngleReference() override {}
    void MarkConfigWritePending() override {}

    void OpenMeasValueFiles(int) override {}
    void MeasurementStopping() override {}
    void FinishMeasurement() override {}
    void FreeConvertList() override {}
    int StorageMode(measurement::StorageKind) const override { return 0; }
    void SetFirstRecordTime(std::int64_t) override {}
    void SetDocumentationRunning(bool) override {}

    void SetLight(int) override {}
    void DiagramSetRunState(int, int) override {}
    void DiagramStartGraph(bool) override {}
    void DiagramLoadChannelSetup() override {}
    int DiagramPointCount() const override { return 0; }
    void StoreDiagramAtEnd() override {}
    void SetSensorDisplayFlag(int, bool) override {}
    void SetStorageBusy(int, const std::array<BYTE, 6>&) override {}
    void EnableChannelValueButtons(bool) override {}
    void ClearChannelValueFields() override {}
    void MarkChannelsWaitingForFirstValue() override {}
    void UpdateDisplayValues(int, int) override {}
    void FillHysteresisChannel(int, measurement::HysteresisChannel&) const override {}
    CString ChannelRangeText(int, int) const override { return "n.a."; }

    void ShowCalibrationControls(bool) override {}
    void CloseCalibrationEndPrompt() override {}
    void MarkInformationRefresh() override {}
    void SetupCheckSameSensor() override {}
    void HideSetupSensorControls() override {}
};

class MeasurePanelDefaults : public measurement::IMeasurePanel {
public:
    void StopMeasurement() override {}
    void SetAutoRepeat(bool, bool) override {}
    bool IsAutoRepeatChecked() const override { return false; }
    void ClearSingleShotEnded() override {}
    void RefreshSensorCheckBoxes() override {}
    void MarkRateChanged() override {}
    void RelayoutDurationRow() override {}
    void SetPowerCheckBox(int, bool) override {}
    void SyncPowerChecks(int) override {}
    void SetChannelSwitch(int, bool) override {}
    void ClearSwitches() override {}
    void SetDiagramSwitch(bool) override {}
    void SetDigitalInputBox(int, bool) override {}
    void ArmTimer(UINT, UINT) override {}
    void CheckSensorVersion() override {}
    void RefreshForDiagramView() override {}
    void AngleSelectionChanged() override {}
};

class MeasureFrameDefaults : public measurement::IMeasureFrame {
public:
    bool IsStartupPending() const override { return false; }
    bool AreSensorsTakenApart() const override { return false; }
    void SetPowerMark(int, bool) override {}
    void SetStatusText(UINT) override {}
    void RefreshChannelViews(int) override {}
    void TareIfNotTared(int) override {}
    bool IsChannelBarVisible(int) const override { return false; }
    void ShowChannelBar(int, bool) override {}
    void UpdateDisplayValues(int, int, const CSensorRecord*) override {}
    void SetChannelSelection(const std::array<BYTE, 6>&) override {}
    void SetMeasureMode(int) override {}
    void SetDisplayMode(int) override {}
    int ActiveViewKind() const override { return 0; }
    void SetChannelFlag(int) override {}
    void CopyPowerDisplayFlags() override {}
    void SetEvaluationKind(int) override {}
    void SetIoNioOutput(int) override {}
    bool IsCommonFilter() const override { return false; }
    void SetPowerSettings(int, int, int, int, int) override {}
    void KeepProfileValues(const CString&, const CString&) override {}
    void MarkConfigWritePending() override {}
    bool IsConfigWritePending() const override { return false; }
    void WritePendingConfigToReturnedSensor() override {}
};

class ScalingHostDefaults : public measurement::IScalingHost {
public:
    bool IsReloadSuppressed() const override { return false; }
};

}  // namespace measurement_test
