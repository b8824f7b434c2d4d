#pragma once
// CDlgSensorConnection: the sensor connection page's logic. It keeps the port list (one row
// per row of the controller's port table), lets the user search, connect and disconnect, mark
// rows, restrict the search to USB ports and change the sensors' baud rate, and serves the
// controller as its connection page. The widget (SensorConnectionForm) only shows the list
// and forwards clicks.
//
// Timers of the page: 3 all sensors restarted after a baud-rate change, 7 the per-port step
// of a baud-rate change, 8 the probing's time-out (armed by the controller), 9 the wait of a
// baud-rate change for the end of the measurement it stopped.

#include <functional>
#include <set>

#include "sensor_admin/change_notice.h"
#include "platform/wnd.h"
#include "sensor_admin/port_list_model.h"
#include "workflow/com_port.h"
#include "workflow/workflow_peers.h"

namespace sensor_admin {

constexpr UINT_PTR kConnTimerRestarted = 3;
constexpr UINT_PTR kConnTimerPortLoop = workflow::kConnPageTimerPortLoop;        // 7
constexpr UINT_PTR kConnTimerProbeTimeout = workflow::kConnPageTimerProbeTimeout;  // 8
constexpr UINT_PTR kConnTimerMeasurementEnd = 9;
// How often the per-port step writes the baud code again before the change is given up.
constexpr int kBaudChangeRetries = 3;

class CDlgSensorConnection : public CWnd, public ChangeNotice, public workflow::IConnectionPage {
public:
    explicit CDlgSensorConnection(CComPort& com, platform::MessageLoop& loop = platform::MessageLoop::Current());

    // ---- The controller's view of the page ----------------------------------------------------
    void SetAllPortsEnabled(bool enabled) override;
    void UpdatePortList(bool select) override;
    // The search takes only the ports that held a sensor at the last search: while none did
    // (the first search of a session, the choice kept from the last one), it takes every port,
    // so that a kept choice never leaves the search without a port.
    bool IsUsbPortsOnly() const override;
    // The user's choice of USB ports only (1 on), also while a search after a baud-rate change
    // has set it aside: what the settings keep.
    int UsbPortsOnlyChoice() const { return m_nUsbPortsOnlyKept >= 0 ? m_nUsbPortsOnlyKept : m_nUsbPortsOnly; }
    void DeleteAllItems() override;
    void FillPortList(int row, int state, DWORD serial, COLORREF colour, const CString& text) override;
    int GetItemCount() const override { return m_list.GetItemCount(); }
    CString GetItemText(int row, int column) const override { return m_list.GetItemText(row, column); }
    void SetItemText(int row, int column, const CString& text) override;
    void ReenableAfterBaudChange() override;
    void ClearBaudChangeFlag() override { m_bBaudRateChange = 0; }
    void ClearBusyFlag() override;
    bool IsRowMarked(int row) const override { return m_list.IsMarked(row); }
    BYTE BaudCodeOfRate(int baud) const override;
    void RefreshEnableColumn() override;
    void FurtherPortsPendingChanged() override { Changed(); }
    int CountSensorPorts() const override;
    void SetTimer(UINT_PTR id, UINT ms) override { CWnd::SetTimer(id, ms); }
    void KillTimer(UINT_PTR id) override { CWnd::KillTimer(id); }

    // ---- What the user does ---------------------------------------------------------------------
    // A search, connect or disconnect that closes the sensor ports first stores the set-up
    // changes the sensors do not hold yet, as the program's close does (the page is busy
    // meanwhile; a refusal or silence is reported and the action goes on).
    // Closes the sensor ports and searches all ports anew; a sensor found is connected.
    void OnSearch();
    // Connects the sensor of the marked row (or the first one available); when it is one of
    // the sensors the last Disconnect took away, all of those come back.
    void OnConnect();
    // Closes every sensor port; the rows go back to "available".
    void OnDisconnect();
    void OnRowClicked(int row);
    // The row's enable check box: the port takes part in the search and numbering or not.
    void OnEnableChecked(int row, bool enabled);
    void OnUsbPortsOnly(bool on);
    // Writes the baud code of the rate to every connected sensor, then restarts them and
    // connects them again at the new rate. A measurement running on them is stopped first, as
    // Stop does, and the change waits for its end.
    bool OnChangeBaudRate(int baud);
    // The start-up search window reports the end of a search.
    void OnSearchEnded();
    // The page comes into view: ports whose devices have gone since the list was filled (a
    // device unplugged, a simulator ended) leave it, and the status line names them.
    void OnShown();

    // The rows' texts (status, range end) are written in the language of their day: a language
    // switch writes them anew from the port table, unless a search is filling them.
    void LoadLanguageTexts();

    // ---- State ----------------------------------------------------------------------------------
    static CString StatusTextOfState(int state);
    bool IsConnected() const;
    // The rate is the device's: it is changed on all its sensors at once, so not while some
    // of them are still being connected (they would keep the old one, and the steps that
    // connect them would cut across the change: it never ended, and the device stayed counted
    // as connected with none of its sensors active).
    bool CanChangeBaudRate() const;
    bool IsBusy() const { return m_bBusy; }
    bool AreButtonsEnabled() const { return m_bButtonsEnabled; }
    CPortListModel& List() { return m_list; }
    const CPortListModel& List() const { return m_list; }
    // The page changed what it shows.

    int m_nUsbPortsOnly = 0;       // 1: search and probe the sensors' USB ports only
    int m_nUsbPortsOnlyKept = -1;  // the user's choice while a search after a baud-rate change runs
    BYTE m_bBaudRateChange = 0;    // a baud-rate change is under way
    BYTE m_cNewBaudCode = 0;
    CString m_strStatusLine;       // the page's last result, shown under the list

protected:
    void OnTimer(UINT_PTR id) override;

private:
    // True while the write before the ports close runs; `then` goes on once it has ended.
    bool StoreBeforePortsClose(std::function<void()> then);
    void ClosePorts();
    void Search();
    void ConnectRow(int row);
    void DropSearchAfterRestart();
    CString RangeEndText(BYTE typeClass, double rangeEnd) const;
    void RememberMarks();
    void SetBusy(bool busy);
    bool WriteBaudRate(int baud);
    void EndBaudChange(UINT messageId, bool showBox);
    void HoldMeasuring(bool hold);
    CString SensorTypeOfRow(const CPortRecord& rec, int state) const;
    void DropPortsGone();

    CComPort& m_com;
    CPortListModel m_list;
    // The ports the user marked, by their list text: a refill of the list keeps the marks.
    std::set<CString> m_markedPorts;
    // The ports whose sensors were connected when the ports were last closed, by port text.
    std::set<CString> m_portsClosed;
    bool m_bBusy = false;
    bool m_bStoringBeforePortsClose = false;  // the set-up is written before the ports close
    bool m_bButtonsEnabled = true;
    int m_nBaudRetries = 0;
    int m_nBaudBeforeChange = -1;  // the sensors' ports' rate mark before the change
    int m_nBaudAfterStop = 0;      // the rate to change to once the stopped measurement has ended
    int m_nStopWaitMs = 0;
};

}  // namespace sensor_admin
