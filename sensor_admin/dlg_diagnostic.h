#pragma once
// CDlgDiagnostic: the diagnostic page's logic. It groups the sensors found on the ports into
// multiport devices (its CMasterSlaveDetector, run during the frame's timer-14 step), lists the
// sensors with their device, position and role (COM_RefreshDiagnosticList), asks the connected
// sensor for its status by hand (workflow state 14), and shows the workflow state by name.

#include <functional>
#include <vector>

#include "sensor_admin/change_notice.h"
#include "platform/wnd.h"
#include "workflow/com_port.h"
#include "workflow/master_slave_detector.h"
#include "workflow/workflow_peers.h"

namespace sensor_admin {

constexpr UINT_PTR kDiagTimerState = 1;
constexpr UINT kDiagStatePeriodMs = 500;
constexpr UINT_PTR kDiagTimerStatusWait = 2;
constexpr UINT kDiagStatusWaitMs = 1000;

struct DiagnosticRow {
    CString port;
    DWORD serial = 0;
    int position = 0;
    int count = 0;
    int role = CMasterSlaveDetector::kRoleNone;
    int group = -1;  // index of the device group, -1 for a sensor of its own
};

class CDlgDiagnostic : public CWnd, public ChangeNotice, public workflow::IDiagnosticPage {
public:
    explicit CDlgDiagnostic(CComPort& com, platform::MessageLoop& loop = platform::MessageLoop::Current());

    void DetectMultiport() override;
    void RefreshDiagnosticList() override { COM_RefreshDiagnosticList(); }
    // Rebuilds the sensor list from the detector's table and groups.
    void COM_RefreshDiagnosticList();
    // Asks the connected sensor for its long status; the answer is shown when it comes.
    bool OnStatusRequest();
    // The page is shown: the workflow state is followed while it is.
    void OnShowPage(bool shown);

    CString WorkflowStateText() const;
    const std::vector<DiagnosticRow>& Rows() const { return m_rows; }
    CString m_strStatusLine;

protected:
    void OnTimer(UINT_PTR id) override;

private:
    void ShowStatusAnswer();

    CComPort& m_com;
    CMasterSlaveDetector m_detector;
    std::vector<DiagnosticRow> m_rows;
    int m_nShownState = -1;
};

}  // namespace sensor_admin
