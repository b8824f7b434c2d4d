#pragma once
// CDlgStartUp: the window that shows the sensor search at start-up (and at every search the
// connection page starts): the overall progress with 29 steps per port, the port being probed,
// optionally a progress cell in the connection page's list, and a closing text when no sensor
// was found. It closes itself when the search ends.

#include <functional>

#include "sensor_admin/change_notice.h"
#include "platform/wnd.h"
#include "workflow/workflow_peers.h"

namespace sensor_admin {

class CDlgSensorConnection;

constexpr int kStepsPerPort = 29;
constexpr UINT_PTR kStartUpTimerClose = 1;
constexpr UINT kStartUpCloseDelayMs = 2000;

class CDlgStartUp : public CWnd, public ChangeNotice, public workflow::IStartUpPage {
public:
    explicit CDlgStartUp(CDlgSensorConnection* connection = nullptr,
                         platform::MessageLoop& loop = platform::MessageLoop::Current());

    void BeginSearchProgress(int ports) override;
    void BeginPortProgress(int port) override;
    void StepSearchProgress(int step) override;
    void EndSearchProgress() override;
    void FinishSearch() override;
    void Hide() override;
    bool IsSearchUsbOnly() const override { return m_bSearchUsbOnly != 0; }
    void SetShowProgressInList(bool show) override { m_bShowProgressInList = show; }

    // The window is shown when a search begins.
    void Show();
    bool IsVisible() const { return m_bVisible; }
    bool IsProgressVisible() const { return m_bProgressVisible; }
    // Overall progress in percent, and the current port's.
    int Percent() const;
    int PortPercent() const;
    // The text under the progress: searching, or the closing text.
    CString StatusText() const;
    bool IsFinished() const { return m_bFinished; }

    BYTE m_bSearchUsbOnly = 0;

protected:
    void OnTimer(UINT_PTR id) override;

private:
    void SetListProgress(int row, int percent);

    CDlgSensorConnection* m_pConnection;
    bool m_bVisible = false;
    bool m_bProgressVisible = false;
    bool m_bShowProgressInList = false;
    bool m_bFinished = false;
    int m_nPorts = 0;
    int m_nSteps = 0;
    int m_nPortSteps = 0;
    int m_nCurrentPort = -1;
};

}  // namespace sensor_admin
