#pragma once
// CDlgSensorCalibration: the sensor calibration page's logic. It runs a user calibration
// through its prompts (zero point with control signal, then scale value), computes the new
// calibration from the controller's acquisition (CalcualteCalibValues) and lets the
// controller write it; it switches the stored user calibration on and off and changes or
// deletes a channel's measuring inaccuracy.
//
// While a calibration runs the page sets the controller's connection override (2), so that
// the sensor's restart reconnects it as a single sensor.
//
// With several sensors connected the page works on one of them, the one the user chooses
// ("Sensor 1" ...; the first at first), taken alone through the first port once their
// connection has completed. When the page is left and that sensor is at rest, every sensor
// connected before is connected again. A phase that stops making progress
// (the sensor left) brings the page back to idle with a message; the acquisition record is
// reset so that no late answer can lead to a write. A step the controller ended itself (a
// refused block, a silent sensor), with a message of its own, ends it without a second one.

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "sensor_admin/change_notice.h"
#include "platform/wnd.h"
#include "sensor_admin/calib_computation.h"
#include "sensor_admin/calib_prompts.h"
#include "workflow/com_port.h"
#include "workflow/workflow_peers.h"

namespace sensor_admin {

constexpr UINT_PTR kCalibTimerWatch = 2;
constexpr UINT kCalibWatchPeriodMs = 100;
// Armed while several sensors are to be taken one alone, or to be connected together again.
constexpr UINT_PTR kCalibTimerSensors = 3;
constexpr int kCalibStallMs = 3000;
constexpr int kCalibAnswersPerPhase = 300;
constexpr int kConnectionOverrideCalibration = 2;
// The controller's request that the ports of a multiport device be reopened for one sensor.
constexpr int kMultiportReconnectForOneSensor = 2;

class CDlgSensorCalibration : public CWnd, public ChangeNotice, public workflow::ICalibrationPage {
public:
    enum class Activity { Idle, ZeroPrompt, Acquiring, ScalePrompt, Writing, BlockStep };

    explicit CDlgSensorCalibration(CComPort& com, platform::MessageLoop& loop = platform::MessageLoop::Current());

    // ---- The controller's view of the page ----------------------------------------------------
    void ShowControls(bool show) override;
    void AdvanceProgress(int steps) override;
    void StartZeroPromptWait() override { m_zeroPrompt.StartWaitTimer(); }
    workflow::CalibrationPageFields Fields() const override { return m_fields; }
    bool CalculateCalibValues(bool first, bool second, int& errorMask) override
    {
        return CalcualteCalibValues(first, second, errorMask);
    }
    void ShowScaleWarning() override { m_endPrompt.ShowWarning(); }
    void CloseScaleValuePromptIfVisible() override { m_endPrompt.CloseIfVisible(); }
    void ReportCalibrationRefused(int errorMask) override;

    bool CalcualteCalibValues(bool firstSwitch, bool secondSwitch, int& errorMask);

    // ---- What the user does ---------------------------------------------------------------------
    bool OnStartCalibration();
    bool OnActivateUserCalibration();
    bool OnDeactivateUserCalibration();
    // Changes (modes 0, 1) or deletes (modes 2, 3) a channel's measuring inaccuracy; a delete
    // writes no inaccuracy, whatever the field still holds.
    bool OnWriteInaccuracy(double percent);
    // The reference values of channels A and B as the user entered them; none: the field is
    // empty, and the calibration does not start.
    void SetReferenceValues(std::optional<DWORD> a, std::optional<DWORD> b);
    // What a reference field holds as the user types it: whole counts that the block's 16-bit
    // word can hold. A refused text is not taken; the status line says why.
    enum class ReferenceEntry { Empty, Counts, Separator, TooLarge };
    static ReferenceEntry CheckReferenceText(const CString& text);
    void OnReferenceRefused(ReferenceEntry why);
    // The inaccuracy mode (0 change A, 1 change B, 2 delete A, 3 delete B) and the write-allowed
    // tick; both go back to change A, not allowed, when another sensor is chosen.
    void SetInaccuracyMode(int mode) { m_fields.inaccuracyMode = mode; }
    void SetInaccuracyWriteAllowed(bool allowed) { m_fields.inaccuracyWriteAllowed = allowed ? 1 : 0; }
    // Ends a running calibration; nothing is written.
    void Cancel();

    // ---- Steps of the prompts -------------------------------------------------------------------
    void OnZeroAcquisitionStarted();
    void OnZeroPhaseDone();
    void OnScaleAcquisitionStarted();
    void OnScalePromptClosed(bool byUser);
    void AcceptNewValues() { m_fields.newValuesAccepted = 1; }

    // ---- State ----------------------------------------------------------------------------------
    Activity CurrentActivity() const { return m_activity; }
    bool AreControlsVisible() const { return m_bControlsVisible; }
    int ProgressPercent() const;
    CDlgCalibMsgGetValueZero& ZeroPrompt() { return m_zeroPrompt; }
    CDlgCalibMsgGetValueEnd& EndPrompt() { return m_endPrompt; }
    bool IsSensorPresent() const;
    // Channel B's inaccuracy can be changed or deleted: the sensor has that channel.
    bool OffersChannelB() const { return !m_com.m_Sensor[0].HasChannelAOnly(); }
    // Channel B is calibrated, and its reference asked for: the sensor measures on it (it is
    // neither a one-channel sensor nor one whose channel B is a digital input).
    bool CalibratesChannelB() const { return OffersChannelB() && !CComPort::IsDeviceCode5(m_com.m_Sensor[0].m_sIdent); }
    // The calibration state the sensor reported: 1 none, 2 factory, 3 user.
    BYTE SensorCalibrationState() const { return m_com.m_Sensor[0].m_sIdent[kIdentCalibration]; }
    // The sensor's user-calibration block holds a calibration that switching on can put in
    // force: a user block with content, whose check words are right or were falsified by a
    // switching off. An erased block (all 0xFF or 0x00) or one whose check words are otherwise
    // wrong holds none, whatever calibration state the sensor reports.
    bool HoldsUserCalibration() const;
    // The page is shown or hidden: while shown, a reconnection completes as for one sensor, and
    // shown with several sensors connected, the one chosen is taken alone; hidden, those
    // sensors are connected together again.
    void OnShowPage(bool shown);
    // Of several sensors connected when the page took one alone: their number (0 with one
    // sensor), and the one the page works on (0 to 3).
    int SensorCount() const { return static_cast<int>(m_sensorPorts.size()); }
    int Sensor() const;
    // The user chooses the sensor to work on: it is taken alone in place of the one before.
    void OnSensorChosen(int sensor);
    CString m_strStatusLine;

protected:
    void OnTimer(UINT_PTR id) override;

private:
    void SetActivity(Activity activity);
    void Finish(UINT messageId, bool box);
    void Finish(const CString& message, bool box);
    void AbortSensorLeft(bool box = true);
    // The sensors' connection has ended its steps: no restart, search or further port awaited.
    bool AreSensorsAtRest() const;
    // Each true when done (or nothing to do), false to be tried again on timer 3.
    bool TakeOneOfSeveral();
    bool ConnectSensorsAgain();
    bool AdoptSensorsOpenedBySearch();
    bool TakeSensor(int sensor);
    int RowOfPort(const CString& port) const;
    std::array<CalibChannelInput, 2> Inputs() const;
    const RotorCalib& CalibrationInForce() const;

    CComPort& m_com;
    workflow::CalibrationPageFields m_fields;
    CDlgCalibMsgGetValueZero m_zeroPrompt;
    CDlgCalibMsgGetValueEnd m_endPrompt;
    Activity m_activity = Activity::Idle;
    bool m_bControlsVisible = true;
    int m_nProgress = 0;
    int m_nWatchedProgress = 0;
    int m_nWatchedState = -1;
    int m_nQuietMs = 0;
    // The controller's counts of refused and unanswered steps when the activity began.
    int m_nRefusedWrites = 0;
    int m_nUnansweredSteps = 0;
    int m_nLastErrorMask = 0;
    std::array<bool, 2> m_bReferenceGiven{};
    bool m_bShown = false;
    // The ports of the sensors connected when one of them was taken alone, in sensor order.
    std::vector<CString> m_sensorPorts;
    int m_nSensor = 0;
};

}  // namespace sensor_admin
