#pragma once
// CDlgSensorInformationHmb: the sensor information page's logic. It shows what the controller
// knows of a sensor (see sensor_information_rows.h), reads the sensor again on request, and
// stores the measurement set-up in the sensor (the configuration write, state 53).
//
// With several sensors connected the page shows one of them at a time, the one the user
// chooses; "Read again" reads that one on its own port, and the settings are stored in all.
//
// Timer 53 (armed by the controller when a connection or a read ends) fills the page. A read or a
// write that stops making progress (the sensor left) brings the page back to idle with a
// message; the controller is put back to rest, so no later answer continues a half-done write.
// A step the controller ended itself (a refused block, a silent sensor), with a message of its
// own, ends the page's activity without a second one.

#include <functional>
#include <vector>

#include "sensor_admin/change_notice.h"
#include "platform/wnd.h"
#include "sensor_admin/sensor_information_rows.h"
#include "workflow/com_port.h"
#include "workflow/workflow_peers.h"

namespace sensor_admin {

constexpr UINT_PTR kInfoTimerFill = workflow::kInfoPageTimerFill;
constexpr UINT_PTR kInfoTimerWatch = 2;
constexpr UINT kInfoWatchPeriodMs = 100;
// A read or write without any progress for this long has lost its sensor.
constexpr int kInfoStallMs = 3000;

class CDlgSensorInformationHmb : public CWnd, public ChangeNotice, public workflow::IInformationPage {
public:
    enum class Activity { Idle, Reading, Writing };

    explicit CDlgSensorInformationHmb(CComPort& com, platform::MessageLoop& loop = platform::MessageLoop::Current());

    void FillSensorInformation(int sensor) override;
    void SetSensorPresent(bool present) override;
    void SetTimer(UINT_PTR id, UINT ms) override { CWnd::SetTimer(id, ms); }

    // The measurand text of a measuring channel (A to D: with one sensor its channels A and B,
    // with several sensors sensor n's channel); kind and the two last arguments are kept for
    // the callers' form and not used.
    CString FormatChannelValue(CString& result, int kind, int channel, int, int) const;

    // What the user does.
    bool OnReadAgain();
    bool OnStoreSettings();
    void OnSensorChosen(int sensor);

    // The sensors the user can choose from: every sensor of several connected, else the one.
    int SensorCount() const;

    // The control panel's version check asks for a refill when the page is next filled.
    void SetRefresh() { m_bRefresh = true; }
    bool IsRefreshPending() const { return m_bRefresh; }
    bool IsSensorPresent() const { return m_bSensorPresent; }
    Activity CurrentActivity() const { return m_activity; }
    const std::vector<InfoRow>& Rows() const { return m_rows; }
    int Sensor() const { return m_nSensor; }
    CString m_strStatusLine;

protected:
    void OnTimer(UINT_PTR id) override;

private:
    void Begin(Activity activity);
    void Finish(UINT messageId);
    void Abort();
    bool IsReportedByController() const;
    // The port the shown sensor answers on; null without one.
    const std::shared_ptr<workflow::ISensorPort>& SensorPort() const;

    CComPort& m_com;
    std::vector<InfoRow> m_rows;
    int m_nSensor = 0;
    bool m_bSensorPresent = false;
    bool m_bRefresh = false;
    Activity m_activity = Activity::Idle;
    int m_nLastState = -1;
    int m_nQuietMs = 0;
    // The controller's counts of refused and unanswered steps when the activity began.
    int m_nRefusedWrites = 0;
    int m_nUnansweredSteps = 0;
};

}  // namespace sensor_admin
