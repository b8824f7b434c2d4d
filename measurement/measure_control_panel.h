#pragma once
// CDlgMeasureDiagram: the logic of the measurement control panel. From here the user starts,
// stops, triggers and single-shots a measurement and switches the sensor's control signal; the
// panel evaluates the triggers on every value set, judges the result against the pass/fail
// conditions at the end, runs the add-on programs, watches the reception, paces the poll of
// slow measurements, shows the sensor's state and, in the developer view, the receive
// diagnostics.
//
// It is plain C++: its controls are the data of PageControls, which the widget shell
// (MeasureControlWidget) copies onto the Qt form. Timers run on the panel's own window of the
// message loop; the multimedia timer's ticks are posted to that window, so every step runs on
// the GUI thread.
//
// The operations are spread over one source file per job:
//   measure_control_panel.cpp        life cycle, texts, showing, button states, check boxes
//   measure_control_start_stop.cpp   start, stop, trigger, control signal, single shot
//   measure_control_end.cpp          end of a measurement, add-on programs, pass/fail verdict
//   measure_control_timers.cpp       the panel's timers, receive time-out, multiport watch, poll
//   measure_control_sensor_state.cpp sensor state display and developer view
//   measure_control_diagnostics.cpp  receive counters, value-loss test, duration, angle, power
//   measure_control_triggers.cpp     trigger evaluation per value set, hysteresis, point limit

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "documentation/documentation_peers.h"
#include "measurement/add_on_program.h"
#include "measurement/around_trigger_monitor.h"
#include "measurement/measure_control_frame.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_frame.h"
#include "measurement/page_controls.h"
#include "measurement/pass_fail_evaluation.h"
#include "measurement/trigger_evaluation.h"
#include "platform/cstring.h"
#include "platform/wnd.h"
#include "views/views_frame.h"
#include "workflow/poll_timer.h"
#include "workflow/workflow_peers.h"

class CSensorRecord;

namespace measurement {

// The panel's run-state record. The part the workflow controller reads is its settings record:
// running, trigger armed (bSecond), trigger indicator state (nCounter), control state,
// trigger stopped by user, control pending (bCtrlSwitchRequest) and the angle-zero confirmation
// (bAngleZeroRequest).
struct MeasureRunState {
    workflow::MeasureCtrlSettings shared;
    BYTE bTrggrWasActiveLastTime = 0;
    BYTE triggerOn = 0;
    // Zero the angle of encoder 1 / 2 at this start: what the angle-zero options ask of the
    // start that is taking place (the measurement's start or the trigger's start event).
    std::array<BYTE, 2> angleZero{};
    std::array<BYTE, 2> encoderKind{};
    // Enable flags: Start, Stop, Single shot, Trigger, Control, angle zero.
    std::array<BYTE, 6> sIsVisible{};
};

enum VisibleButton : int { kBtnStart = 0, kBtnStop, kBtnSingleShot, kBtnTrigger, kBtnCtrl, kBtnAngleZero };
// The states of the panel that set the buttons' enable flags: nothing running (after a
// measurement, or with a sensor just connected, when the angle can be zeroed before the first
// measurement as after every stop), a trigger armed, a measurement running, one stopping.
enum class PanelButtons : int { Idle, Connected, ArmedTrigger, Running, Stopped };

// The indicator states the shell draws.
struct IndicatorStates {
    int run = 0;
    int trigger = 0;
    int busy = 0;
    bool busyShown = false;
    int state = 0;
};

class CDlgMeasureDiagram : public workflow::IMeasureControlPage,
                           public IMeasurePanel,
                           public documentation::IControlPanelEnd,
                           public views::IValueEvaluation,
                           private ITriggerActions {
public:
    explicit CDlgMeasureDiagram(IControlFrame& frame, IAddOnLauncher& launcher = DesktopLauncher(),
                                platform::MessageLoop& loop = platform::MessageLoop::Current());
    ~CDlgMeasureDiagram() override;

    PageControls& Controls() { return m_controls; }
    const PageControls& Controls() const { return m_controls; }
    MeasureRunState& Record() { return *m_psMsureDgrm; }
    const MeasureRunState& Record() const { return *m_psMsureDgrm; }
    const IndicatorStates& Indicators() const { return m_indicators; }
    void SetChangedCallback(std::function<void()> callback) { m_onChanged = std::move(callback); }
    // The control to take the focus (0 none); the shell takes it.
    int TakeFocusRequest();

    // ---- Life cycle, texts, showing ----
    bool OnInitDialog();
    void OnShowWindow(bool show, int status);
    void LoadLanguageTexts();
    void RefreshSensorChecks();
    void LayoutAngleControls();
    void OnPaint(bool visible);
    // Every key is offered to the frame's key handling first; true when the frame took it.
    bool OfferKeyToFrame(int virtualKey, bool keyDown) { return m_frame.HandleKeyMessage(virtualKey, keyDown); }
    void UpdateButtonStates();
    // Sets the buttons' enable flags of a state; UpdateButtonStates applies them.
    void SetButtons(PanelButtons state);
    void ShowTriggerCaption();
    void UpdateControlLed() override;
    void SetSensorCheck(int index, bool on);
    void ShowPowerCheck(int index, bool show);
    void SetPowerCheck(int index, bool on);
    void ShowPowerViewsAsChecked();
    static CString GetZmCommandName(int code);

    // ---- Buttons ----
    void OnBnClickedStart();
    void StartMeasurement();
    void OnBnClickedStop();
    void OnBnClickedTrigger();
    void OnBnClickedControl();
    void OnBnClickedSingleShot();
    void OnBnClickedBusyMarker();
    void OnBnClickedTriggerAutoRepeat();
    void OnBnClickedSensorCheck(int index);
    void OnBnClickedPlacement() {}
    void SendControlSignal(int mode) override;
    void SetControlState(int on);
    void EndSingleShot() override;

    // ---- End of a measurement ----
    void RunStopAddProgram() override;
    void ResetButtonsAfterMeasurement() override;
    void AfterMeasurement(int flag) override;
    // Judges the latest value record against the set-up's conditions; false when none is set.
    bool EvaluatePassFail();
    const IoNioVerdict& LastVerdict() const { return m_verdict; }
    bool HasVerdict() const { return m_bHasVerdict; }
    // The conditions and limit texts the last verdict was judged by.
    const IoNioInputs& LastIoNioInputs() const { return m_lastIoNioInputs; }

    // ---- Timers and poll ----
    void OnTimer(UINT_PTR id);
    static void PollCallback(UINT timerId, UINT message, std::uintptr_t user, std::uintptr_t dw1, std::uintptr_t dw2);
    void PollTick();

    // ---- Sensor state and developer view ----
    void CheckSensorVersion(int code) override;
    void ShowSensorActive();
    void ClearSensorDisplay() override;
    void ResetAfterDisconnect() override;
    void EndMeasurementOnLostSensor() override;
    static CString BuildVersionRefusal(const CSensorRecord& sensor, int kind);
    void BuildSensorInfoText(int language);
    void TakeRateOfConnectedSensors();
    void ApplyDeveloperView();
    static bool IsDeveloperUser(const CString& userName);

    // ---- Diagnostics and options ----
    void SetDiagnostic(workflow::MeasureDiagnostic field, int sensor, int value) override;
    void SetStorageStepCount(int count);
    void ShowDiagnosticsArea(bool show);
    void OnValueLossSwitch(int id);
    void BuildDurationOptions();
    void OnDurationSelected();
    void RestoreDurationSelection();
    void ShowDurationCaption();
    void ShowStopLimit();
    bool TranslateDurationOptions();
    void TranslateDurationRow();
    void OnAngleZero();
    // The user ticks or unticks an angle-zero option: 0 at the measurement start, 1 at the
    // trigger's start event. It is stored in the sensors at close.
    void OnAngleZeroOption(int k);
    // What the option's box says, into the connection state (also when the sensors' stored
    // option ticks the box).
    void ApplyAngleZeroOption(int k);
    // The start asks the selected encoders counting the angle to be zeroed when the option of
    // that start is ticked: a polled measurement with its first poll, a stream once it runs.
    void PrepareAngleZeroRequests(bool atTriggerStart);
    void CheckQuadratureEncoder();
    void OnPowerShowCheck(int k);
    // The power 1 / power 2 view buttons toggle the channel view of that power channel.
    void OnPowerViewButton(int k) { m_frame.OnChannelView(4 + k); }
    void SyncPowerChecks(int k) override;

    // ---- Triggers ----
    void ComputeTriggerHysteresis();
    // The trigger's buttons and the diagram's point limit at arming.
    void SetArmedTriggerButtons();
    void EvaluateMeasureTriggers(int channel, double value);
    void EvaluateValueSet(const views::ValueSet& set) override;
    bool RecordsLastValueSet() const override { return m_bRecordLastSet; }
    void ShowAroundTriggerPanel(bool show);

    // ---- workflow::IMeasureControlPage ----
    workflow::MeasureCtrlSettings* Settings() override { return &m_psMsureDgrm->shared; }
    void SetTimer(UINT_PTR id, UINT ms) override;
    void KillTimer(UINT_PTR id) override;
    void AutoStorageStep(int argument) override { AfterMeasurement(argument); }
    CString TraceButtonVisibility() const override;
    void ClearStartFlags() override;
    void ClearMultiportFlag() override { m_bMultiportReady = 0; }
    bool StartPollTimer(UINT periodMs) override;
    void StopPollTimer() override;
    void SetSensorPresent(bool present) override { m_bSensorActive = present ? 1 : 0; }
    void HoldUntilConnected(bool hold) override;
    void HoldWhileSetupWritten(bool hold) override;
    void ShowControlState(bool on) override { SetControlState(on ? 1 : 0); }
    // Nothing of the panel waits for the restart of all sensors, so it keeps no marker to clear.
    void ClearRestartMarker() override {}
    void ShowStatusLine(const CString& text) override;
    bool IsOptionChecked() const override { return m_controls.IsChecked(kAngleZeroOption[0]); }

    // ---- IMeasurePanel (the set-up page) ----
    bool IsRunning() const override { return m_psMsureDgrm->shared.bRunning == 1; }
    bool IsSensorConnected() const override { return m_bSensorActive != 0; }
    void StopMeasurement() override { OnBnClickedStop(); }
    void SetAutoRepeat(bool checked, bool enabled) override;
    bool IsAutoRepeatChecked() const override { return m_controls.IsChecked(IDC_AUTO_REPEAT_ID); }
    // A single shot of several sensors ends with the multiport-ready flag set; a change the
    // set-up page wrote into the sensors clears it, so the slaves are set up again.
    void ClearSingleShotEnded() override { m_bMultiportReady = 0; }
    void RefreshSensorCheckBoxes() override { RefreshSensorChecks(); Changed(); }
    void MarkRateChanged() override { m_bTextsStale = 1; }
    void RelayoutDurationRow() override { BuildDurationOptions(); Changed(); }
    void SetPowerCheckBox(int group, bool checked) override
    {
        SetPowerCheck(group, checked);
        ShowPowerViewsAsChecked();
    }
    void ArmTimer(UINT id, UINT ms) override { SetTimer(id, ms); }
    void CheckSensorVersion() override { CheckSensorVersion(0); }
    void SetChannelSwitch(int sensor, bool on) override;
    void ClearSwitches() override;
    void SetDiagramSwitch(bool on) override;
    void SetDigitalInputBox(int which, bool checked) override;
    void RefreshForDiagramView() override;
    void AngleSelectionChanged() override
    {
        EnableRunButton(kBtnAngleZero);
        Changed();
    }

    int ProgressPosition() const { return m_nProgress; }

private:
    static constexpr int IDC_AUTO_REPEAT_ID = 1341;
    class PanelWindow;
    friend class PanelWindow;

    // ITriggerActions
    void OnStartEvent(int channel, double value) override;
    void OnStopEvent(int channel, double value) override;
    int PointsRecorded() const override { return m_frame.DiagramPointCount(); }
    std::int64_t Now() const override { return m_frame.Now(); }
    void ShowAroundTrigger(int panel, int direction, double actual, char op, char sign, double given,
                           double hysteresis, bool armed) override;

    void Changed()
    {
        if (m_onChanged) m_onChanged();
    }
    CComPort& Com() const;
    int SensorCount() const;
    int ActivePorts() const;
    bool IsTriggerArmed() const { return m_psMsureDgrm->shared.bSecond != 0; }
    void SetTriggerArmed(bool on) { m_psMsureDgrm->shared.bSecond = on ? 1 : 0; }
    int& TriggerIndicator() { return m_psMsureDgrm->shared.nCounter; }
    void SetStateIndicator(int state, const CString& caption);
    // The diagram shows a sensor's curve by its box; with fewer than two sensors there is no box
    // to choose with, and every curve the axes carry is shown.
    void ShowSensorInDiagram(int sensor);
    void SetRunningButtons();
    void OnReceiveTimeout();
    void OnMultiportWatch();
    void SetProgress(int position);
    void StepProgress();
    bool IsRs485Interface() const;
    // Whether the last request the poll sent has been out for its poll period.
    bool PollPeriodPassed() const;
    void RunAddOnProgram(bool start);
    void PostPollTick();
    // A button of the run state's enable flags as they and the hold until connected say; the
    // angle zero only while a sensor it goes to counts an angle.
    void EnableRunButton(int b);
    // Start, Trigger and Single shot wait while the sensors are being connected, and while the
    // slaves' acknowledgements of their set-up are awaited.
    bool IsHeld() const;
    void RefreshHeldButtons();
    // The device's slaves are set up; the held buttons wait for their acknowledgements. False
    // when it must wait (the stream of a stop still coming, a measurement running).
    bool PrepareSlaves();
    // The sensor behind power k (0 or 1): the single sensor, or the device's encoder of group k.
    const CSensorRecord& SensorBehindPower(int k) const;
    bool CountsAngle() const;
    std::int64_t NowUs() const;  // on the panel's loop (virtual in tests)
    void FillDurationList(const std::vector<std::pair<CString, long long>>& entries, int selection);
    // While set, Start, Trigger, Control and Single shot do nothing.
    void SetOperationBlocked(bool blocked) { m_bOperationBlocked = blocked ? 1 : 0; }
    void ShowEncoderWarningText();
    void RefreshPowerChecks();
    // The next poll tick zeroes the angle: the panel's request and the record's confirmation.
    void RequestAngleZero();

    IControlFrame& m_frame;
    IAddOnLauncher& m_launcher;
    std::unique_ptr<PanelWindow> m_window;
    PageControls m_controls;
    AroundTriggerMonitor m_around{m_controls};
    IndicatorStates m_indicators;
    std::function<void()> m_onChanged;
    int m_nFocusRequest = 0;

    int m_bFirstInit = 1;
    int m_bGraphStart = 1;
    std::unique_ptr<MeasureRunState> m_psMsureDgrm;
    int m_bTextsStale = 0;
    CMultimediaTimer m_pollTimer{0};
    std::atomic<bool> m_bTickPosted{false};
    UINT m_nPollPeriodMs = 0;
    std::int64_t m_nLastPollRequestUs = 0;  // when the start or a tick last sent to the sensor
    CString m_sNotAvailable = "n.a.";
    BYTE m_bProtocolError = 0;
    BYTE m_bWarningShown = 0;
    BYTE m_bSensorActive = 0;
    BYTE m_bOperationBlocked = 0;
    BYTE m_bHeldUntilConnected = 0;  // while set, every button but Stop does nothing
    bool m_bHeldForSetupWrite = false;
    BYTE m_bMultiportReady = 0;
    int m_nProgressBase = 0;
    int m_nProgress = 0;
    BYTE m_bTriggerCycle = 1;
    BYTE m_bAngleZeroRequest = 0;
    std::array<std::array<int, 4>, 7> m_aiDiagnostic{};
    int m_nRestartAttempts = 0;
    int m_nLanguage = -1;
    BYTE m_bStarted = 0;
    std::array<BYTE, 2> m_bPassFail{1, 1};
    BYTE m_bUserArming = 1;
    bool m_bDeveloperView = false;
    BYTE m_bControlBusy = 0;
    BYTE m_bKeepTicks = 1;
    int m_nMultiportRetries = 0;

    IoNioVerdict m_verdict;
    bool m_bHasVerdict = false;
    // The sensor was lost or fell silent while measuring: the measurement ended before its
    // planned end.
    bool m_bCutShort = false;
    IoNioInputs m_lastIoNioInputs;
    // A trigger's stop event ended the recording; the sets still arriving are not recorded.
    bool m_bPastStopEvent = false;
    bool m_bRecordLastSet = true;

    // Diagnostics and options.
    int m_nLastShownIncomplete = 0;
    int m_nDurationOptions = 0;
    int m_nSelectedValueSets = 0;
    double m_dInterval = 1.0;
    BYTE m_bAngleZeroed = 0;
    int m_nQuadratureSensor = 0;  // the sensor the warning names, 0 while none is named
};

}  // namespace measurement
