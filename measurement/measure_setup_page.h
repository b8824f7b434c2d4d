#pragma once
// CDlgMeasureAdjust: the logic of the measurement set-up page. It holds every choice of a
// measurement (channel rows, measure rate, averaging, low-pass filters, units, axes, triggers,
// pass/fail limits, add-on programs) in its CMeasureSetup, refills its controls from the
// connected sensors, and sends what the sensors must know as their software configuration.
//
// It is plain C++: its controls are the data of PageControls, which the widget shell
// (MeasureSetupWidget) copies onto the Qt form; the shell turns the user's clicks, selections
// and edits into the handlers below. Timers (the refresh 18, the end of a power switch 56, the
// replay of postponed writes) run on the page's own window of the message loop.
//
// The operations are spread over one source file per job:
//   measure_setup_page.cpp      life cycle, texts, timers, profile values
//   measure_setup_load.cpp      refill from the sensors: rates, channel rows, filters
//   measure_setup_sensor_data.cpp  triggers, axes and limits stored in the sensors
//   measure_setup_axes.cpp      diagram axes
//   measure_setup_rate.cpp      measure rate, reduction, duration and point count
//   measure_setup_rows.cpp      the row controls, channel, scaling and power buttons
//   measure_setup_triggers.cpp  triggers, pass/fail conditions, add-on program paths
//   software_config_write.cpp   copying the display tables and writing block 3

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "measurement/measure_control_frame.h"
#include "measurement/measure_frame.h"
#include "measurement/measure_setup_record.h"
#include "measurement/page_controls.h"
#include "measurement/sensor_setup_fields.h"
#include "measurement/software_config_write.h"
#include "platform/cstring.h"
#include "platform/wnd.h"
#include "workflow/workflow_peers.h"

namespace measurement {

// What the channel scaling page returns on OK.
struct ScalingResult {
    double factor = 1.0;
    CString unit;
};

// The channel scaling page as the set-up page opens it.
class IScalingPage {
public:
    virtual ~IScalingPage() = default;
    // Opens the page modally; false when it was cancelled.
    virtual bool Run(int channel, const CString& unitText, double unitFactor, double scaleValue,
                     const CString& scaleUnit, ScalingResult& result) = 0;
    // The values of a single shot the open page asked for; false when no page is open.
    virtual bool ShowMeasuredValue(LONG valueA, LONG valueB) = 0;
};

// Row kinds of the row-change handler.
enum class RowField { Decimals = 0, Unit = 1, Averaging = 2, Sign = 3 };

class CDlgMeasureAdjust : public CWnd, public workflow::IMeasureSetupPage {
public:
    explicit CDlgMeasureAdjust(IMeasureFrame& frame);
    ~CDlgMeasureAdjust() override;

    PageControls& Controls() { return m_controls; }
    const PageControls& Controls() const { return m_controls; }
    CMeasureSetup& Setup() { return m_setup; }
    const CMeasureSetup& Setup() const { return m_setup; }
    SoftwareConfigWriter& Writer() { return m_writer; }
    bool IsWritePausing() const { return m_writer.IsPausing(); }
    void SetScalingPage(IScalingPage* page) { m_pScalingPage = page; }
    // Called after the page changed its controls on its own (a timer, a call of the
    // controller), so that the shell shows them.
    void SetChangedCallback(std::function<void()> callback) { m_onChanged = std::move(callback); }

    // ---- Life cycle (set-up page) --------------------------------------------------------------
    bool OnInitDialog();
    bool InitialFill();
    bool LoadLanguageTexts();
    void ResetSetup();
    void OnShowWindow(bool show);
    void CountActiveChannels();
    void ShowAddProgPaths();
    bool ToggleDetails();
    void UpdateExpandButton();
    bool HasEncoder(int group) const;
    void ArrangePage();
    bool IsPageEnabled() const { return m_bPageEnabled; }
    // Writes the add-on paths and the serial number of the sensor in use into the profile
    // (section "DespiteReset"); the application calls it at shut-down.
    void WriteProfileValues() const;

    // ---- Loading from the sensors --------------------------------------------------------------
    bool CheckSameSensorNow();
    bool FillMeasureRateList();
    void RecheckMeasureRateList();
    bool NormaliseChannelFlags();
    // "(digital input)" in the current language: the sensor's channel B is its digital input.
    static CString DigitalInputCaption();
    void ApplyMeasureMode();
    bool RefreshChannelRows();
    void ApplyRowAvailability(int control, int row, int kind);
    void SetColumnCaptions();
    bool RefreshChannelRowNow(int row);
    // After a change of a channel's unit.
    void ShowInNewUnit(int channel);
    bool FillDecimalsList(int row);
    bool FillUnitList(int row);
    bool FillAveragingList(int row);
    bool FillSignList(int row);
    // The four lists above; false when one of them could not be filled.
    bool FillRowLists(int row);
    bool UpdateScalingButton(int row);
    bool FillLowPassFilterList(int row);
    void FillLowPassFilterLists();
    bool LoadTriggersFromSensors();
    bool RefreshTriggerControls();
    bool FillTriggerSourceList(bool start);
    bool LoadAxisAssignmentFromSensors();
    // Puts X back to time where it shows a channel not measured or measured alone, and the first
    // measured channel not on X on Y1 where no Y axis shows one, so that the diagram draws what
    // a measurement counts. True when X had to go back to time.
    bool KeepAxesDrawing();
    bool LoadLimitsFromSensors();

    // ---- Axes ---------------------------------------------------------------------------------
    bool ApplyAxisDefaults(int mode);
    bool SetTimeXAxis(int mode);
    bool SetTimeXAxisSingle();
    bool SetTimeXAxisMulti(int mode);
    bool SetChannelXAxis(int xRow, int mode);
    bool FillAxisLists();
    bool FillAxisList(int axis);
    void OnAxisChanged(int axis, bool forced);
    void AssignAxis(int axis, int source);
    void SetAxisCaption(int axis, bool show);
    int FindRowOfChannel(int channel) const;
    static UINT GetAxisSourceTextId(int code);

    // ---- Measure rate, reduction, duration, point count ----------------------------------------
    void OnMeasureRateChanged();
    void ApplyMeasureRate(int index);
    void OnReductionChanged();
    void OnDurationChanged();
    void OnPointCountChanged();
    void ShowDuration();
    void ShowPointCount();
    void ShowReduction();
    void UpdateReductionAvailability();
    void UpdateDurationLabel();
    void UpdatePointsLabel();
    // The main frame's measuring time from the stop trigger: the duration, or the time the
    // number of measurements takes; none for any other stop.
    void ApplyMeasuringTime();
    // Channels in the point budget: at least one.
    int BudgetChannels() const;
    // Seconds between two value sets at the frame's rate and reduction.
    double SetPeriod() const;
    // Every sensor takes the rate and the reduction (the software configuration, code 37).
    // False when none is given them: refused while they return, or no sensor active.
    bool WriteEverySensor();

    // ---- Channel rows and power -----------------------------------------------------------------
    void OnChannelRowChanged(RowField field, int channel, int value, int current);
    // The combo handlers: read the selected datum of the row's combo.
    void OnRowCombo(RowField field, int row);
    void OnChannelButton(int row, bool send);
    void OnLowPassFilterChanged(int row);
    void OnScalingButton(int channel);
    void OnPowerButton(int group);
    void OnPowerMode(int group, bool angle, bool forced);
    void OnOptionBox(int group);
    // A new encoder mode is not written while the sensors restart or are being connected.
    bool RefuseEncoderModeWhileSensorsReturn(int group);
    void SyncPowerSelectors();
    // Shows the row of power channel g (0 P1, 1 P2) while that power channel is shown.
    void ShowPowerRow(int g);
    static std::vector<DisplayUnit> PowerUnits();
    bool CheckPowerUnits() const;
    // The sensor has gone: the controls that described it (its digital input's caption, its
    // low-pass filters) are emptied and hidden until a sensor is read again.
    void HideSensorControls();
    void HideChannelBars();
    static int GetAveragingCount(int index);
    static UINT GetSignTextId(int sign);

    // ---- Triggers, pass/fail, add-on programs -----------------------------------------------
    bool FillStartDirectionList();
    bool FillStopDirectionList();
    void OnSourceChanged(bool start);
    void SetTriggerField(int kind, int value);
    void OnDirectionChanged(bool start);
    void FocusTriggerValue(int kind, int code);
    void ShowStartTriggerValue();
    void ShowStopTriggerValue();
    void OnStartValueChanged();
    void OnStopValueChanged();
    // The user has left the value's edit: it shows the value the trigger takes from it.
    void OnTriggerValueEdited(bool start);
    // The picker's choice, seconds since 1970 (before 1900 the picker reports -1); returns the
    // start time taken, at least 15 s ahead, which the picker then shows.
    std::int64_t OnStartTimeChanged(std::int64_t chosen);
    void SetTriggerCaption(int kind, bool show);
    void OnLimitChanged(int index);
    int DetermineIoNioConditions();
    bool IsIoNioConditionUndefined(int kind) const;
    void OnConditionChannelChanged(int condition);
    // byUser: the user's own action, which may switch the pass/fail output off.
    void ClearIoNioCondition(int condition, bool disable, bool byUser = false);
    void UpdateIoNioLimitFields(int condition);
    void FillIoNioChannelLists();
    void UpdateIoNioVisibility();
    void CopyUnitToIoNioLabels(int row);
    void SetStartAddProgPath(const CString& path);
    void SetStopAddProgPath(const CString& path);
    static UINT GetStartTriggerSourceTextId(int code);
    static UINT GetStopTriggerSourceTextId(int code);
    // What the control panel's pass/fail check takes from the page.
    IoNioInputs GetIoNioInputs() const;
    // The control that a trigger choice wants the caret in (0 none); the shell takes it.
    int TakeFocusRequest()
    {
        const int id = m_nFocusRequest;
        m_nFocusRequest = 0;
        return id;
    }

    // ---- What the user does ------------------------------------------------------------------
    // Runs the handler of one action of the user; when the action changed what the sensors keep
    // of the set-up, the frame marks the configuration write due.
    void OnUserAction(const std::function<void()>& handler);

    // ---- Accept -------------------------------------------------------------------------------
    void OnBnClickedAccept();
    // Copies the display tables into the sensor's record (the frame's SetSensorTriggerFlags).
    void CopyToSensorRecord(int sensor);

    // ---- workflow::IMeasureSetupPage -------------------------------------------------------------
    bool IsChannelASelected() const override { return m_setup.channel[0].active != 0; }
    bool IsChannelBSelected() const override { return m_setup.channel[1].active != 0; }
    void RefreshChannelRow(int row) override
    {
        RefreshChannelRowNow(row);
        Changed();
    }
    void UpdateChannelCheckBox(int row) override
    {
        UpdateScalingButton(row);
        Changed();
    }
    void CheckSameSensor() override
    {
        CheckSameSensorNow();
        Changed();
    }
    bool IsChannelRowChanged(int channel) const override;
    std::array<DWORD, 2> FilterValues(int channel) const override;
    double MeasuringIntervalSeconds() const override { return m_setup.samplePeriod; }
    const workflow::MeasureSetupValues* WriteSetupValues() const override;
    void ToggleBusyMarker() override { m_bBusyMarker = !m_bBusyMarker; }
    bool ShowScalingValues(LONG valueA, LONG valueB) override
    {
        return m_pScalingPage && m_pScalingPage->ShowMeasuredValue(valueA, valueB);
    }

    // Window timers: 18 refresh, 56 end of a power switch.
    void OnTimer(UINT_PTR id) override;
    // The sensors were read a moment ago and the page is not yet refreshed for them: it is now,
    // so that what is taken from the page (a choice, the set-up written) is the sensors'. True
    // when it was due.
    bool RefreshIfDue();

private:
    friend class SoftwareConfigWriter;
    // What the configuration write stores of the page, with the power and option flags of the
    // connection state that go into the same blocks.
    struct KeptInSensors {
        workflow::MeasureSetupValues values;
        std::array<bool, 8> flags{};
        bool operator==(const KeptInSensors&) const = default;
    };
    // The pass/fail conditions and the axes as the page last showed them with all of its
    // sensors there (after the user's last change, or after a whole refresh). A refresh while
    // some of the sensors are gone, or restart, empties what they alone offer; once they are
    // back the page shows these again where it keeps the user's set-up.
    struct HeldSetup {
        std::array<int, 2> measurand{-1, -1};
        std::array<CString, 4> limitText;
        std::array<double, 4> limitValue{};
        std::array<AxisAssignment, kAxisCount> axis{};
        int ports = 0;  // the sensors there when it was held
        int shownPorts = 0;  // the sensors whose set-up the page showed then
        bool valid = false;
    };
    void HoldSetup();
    void RestoreHeldConditions();
    workflow::MeasureSetupValues SetupValuesNow() const;
    KeptInSensors KeptInSensorsNow() const;
    // The sensor read now is the one the user changed the set-up for, and the change has not
    // been written to it: its blocks still hold the older triggers, limits and axes.
    bool HoldsSetupForConnectedSensor() const;
    void KeepProfileValues();
    // The decimals of a power row: the sensors keep its unit, averaging and sign in the power
    // byte but have no room for them, so the settings file keeps them.
    void KeepPowerDecimals(int group, int decimals) const;
    int KeptPowerDecimals(int group) const;
    // Whether a computed power shows on its own axis: the sensors' one bit for it means the
    // power computed, so the settings file keeps the user's axis choice.
    void KeepPowerAxes() const;
    int KeptPowerAxis(int group, int fallback) const;
    void ReadLastUsedSerial();
    DWORD SerialUsedLast() const;
    void Changed()
    {
        if (m_onChanged) m_onChanged();
    }
    CComPort& Com() const { return m_frame.Com(); }
    IMeasurePanel* Panel() const { return m_frame.Panel(); }
    int ActivePorts() const;
    bool Several() const { return ActivePorts() >= 2; }
    // A single sensor whose channel layout names channel A alone (a module of a multiport
    // device among them): it has no channel B.
    bool IsOneChannelSensor() const;
    // Channel B is the sensor's digital input only when that sensor is the whole device: of a
    // device it is the second sensor, also while that one is still connecting.
    bool IsChannelBDigitalInput() const;
    int LineBaudRate() const;
    int SensorCount() const;
    int RealIndex(int row) const;
    SensorSetupFields Sensor(int index) const;
    bool IsPanelSensorConnected() const;
    bool IsRowActive(int row) const;
    void TickSensorsOnAxes();
    int ActiveRowsAtoD() const;
    int ActiveRows() const;
    CString UnitText(int channel) const;
    CString RowWord() const;
    void SendSoftwareConfig(int sensor);
    void SelectTriggerSource(bool start, int index);
    void SwitchOffTriggersOn(int row);
    void SetCaptionOrHide(int id, const CString& text);
    struct RowTarget {
        int channel = -1;     // display table of the row
        bool fill = false;    // the row is filled at all
        bool available = false;
    };
    RowTarget TargetOfRow(int row) const;
    bool PrepareRowCombo(int id, const RowTarget& target);

    IMeasureFrame& m_frame;
    PageControls m_controls;
    CMeasureSetup m_setup;
    SoftwareConfigWriter m_writer;
    IScalingPage* m_pScalingPage = nullptr;
    std::function<void()> m_onChanged;

    bool m_bFirstFill = true;
    int m_nIoNioConditions = 0;
    int m_nFocusRequest = 0;
    int m_nXAxisCode = kAxisTime;
    bool m_bPowerSwitching = false;
    int m_nLanguage = 1000;
    int m_bReloadTexts = 0;
    std::array<int, 2> m_iLimitedMeasurand{-1, -1};
    std::array<int, 2> m_limitSensor{-1, -1};  // the sensor each condition was read from
    int m_nPortsLoaded = INT32_MAX;            // the sensors whose conditions the page last loaded (none yet: no fewer than any)
    int m_nPortsShown = 0;                     // the sensors the page's condition lists were last refreshed for
    std::array<CString, 4> m_sLimitText;
    CString m_sStartAddProg, m_sStopAddProg;
    CString m_sShownStartProg, m_sShownStopProg;
    std::array<bool, 2> m_bAddProgLock{};
    int m_iSensorMode = 0;
    bool m_bHideUnavailable = true;
    bool m_bHideRowsBeyondSensors = false;
    bool m_bMultiTimeAxis = true;
    bool m_bTimeXAxis = false;
    bool m_bKeepAxisSources = true;
    std::array<std::array<int, 2>, 4> m_nLowPassValue{};
    int m_bExpanded = 0;
    std::array<bool, 4> m_bLowPassAvailable{true, true, true, true};
    std::array<bool, 6> m_bResetUnit{};
    std::array<BYTE, 4> m_bScaled{};
    bool m_bChannelButtonBusy = false;
    bool m_bBusyMarker = false;
    bool m_bPageEnabled = true;
    bool m_bRereadPointCount = false;
    bool m_bLastSerialRead = false;
    bool m_bSeveralSeen = false;  // several sensors were connected: saved row states return
    // The rate and reduction shown are not known to be the sensors' (they go into the same
    // block): a sensor read keeps another rate, or their write was refused as the sensors returned.
    bool m_bUnlikeSensors = false;
    DWORD m_nLastUsedSerial = 0;  // as the profile named it at the start
    DWORD m_nSerialInUse = 0;     // the sensor connected last in this run
    DWORD m_nHeldForSerial = 0;   // the sensor the user changed the set-up for since its load
    mutable workflow::MeasureSetupValues m_writeValues;
    HeldSetup m_held;
    // The start value the user set on a device's second sensor while the first, connected
    // alone, showed its digital input's fixed threshold in its place.
    std::optional<double> m_startValueBehindDigitalInput;
};

}  // namespace measurement
