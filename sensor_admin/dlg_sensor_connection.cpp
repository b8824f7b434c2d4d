#include "sensor_admin/dlg_sensor_connection.h"

#include <vector>

#include "platform/message_box.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "workflow/connection_state.h"
#include "workflow/workflow_texts.h"

namespace sensor_admin {

namespace {
constexpr UINT kMeasurementEndPollMs = 100;
constexpr int kMeasurementEndLimitMs = 10000;
}  // namespace

CDlgSensorConnection::CDlgSensorConnection(CComPort& com, platform::MessageLoop& loop) : CWnd(loop), m_com(com) {}

// ---- The controller's view of the page ---------------------------------------------------------

void CDlgSensorConnection::SetAllPortsEnabled(bool enabled)
{
    for (CPortRecord& rec : m_com.m_PortRec) rec.m_nEnabled = enabled ? 1 : 0;
    for (CPortRecord& rec : m_com.m_PortRecPrev) rec.m_nEnabled = enabled ? 1 : 0;
}

CString CDlgSensorConnection::StatusTextOfState(int state)
{
    switch (state) {
    case kPortStateActive: return workflow::WorkflowText(workflow::kTextPortActive);
    case kPortStateAvailable: return workflow::WorkflowText(workflow::kTextPortAvailable);
    case kPortStateNotOpenable: return LoadLangString(kTextStateNotOpenable);
    case kPortStateNotSupported: return LoadLangString(kTextStateNotSupported);
    case kPortStateSelected: return LoadLangString(kTextStateSelected);
    // A port on which no sensor answered (yet).
    case kPortStateFound: return workflow::WorkflowText(workflow::kTextNotAvailable);
    default: return CString();
    }
}

CString CDlgSensorConnection::SensorTypeOfRow(const CPortRecord& rec, int state) const
{
    // Only a row on which a sensor answered has a type to show.
    if (state != kPortStateAvailable && state != kPortStateActive && state != kPortStateNotSupported) return CString();
    const auto& id = rec.m_Sensor.m_sIdent;
    CString name;
    m_com.GetStatorTypeName(name, id[kIdentStatorId], id[kIdentStatorRevision], id[kIdentHmbUsb],
                            id[kIdentNoDigitalInput], GetLanguage());
    return name;
}

void CDlgSensorConnection::RememberMarks()
{
    m_markedPorts.clear();
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        if (m_list.IsMarked(row)) m_markedPorts.insert(m_list.GetItemText(row, kColumnPort));
}

void CDlgSensorConnection::DeleteAllItems()
{
    RememberMarks();
    m_list.DeleteAllItems();
    Changed();
}

// The range end is given in the base unit of the sensor's measurand (cN·m for torque): it is
// shown in the unit the other pages show it in. An encoder's, or one of a measurand the value
// formatting does not know, stays the bare number.
CString CDlgSensorConnection::RangeEndText(BYTE typeClass, double rangeEnd) const
{
    CString number, unit;
    if (typeClass != 'Y' && m_com.FormatMagnitude(rangeEnd, typeClass, GetLanguage(), number, unit))
        return number + " " + unit;
    return CString::Formatted("%g", rangeEnd);
}

void CDlgSensorConnection::LoadLanguageTexts()
{
    if (!m_bBusy && m_list.GetItemCount() > 0) UpdatePortList(false);
}

void CDlgSensorConnection::FillPortList(int row, int state, DWORD serial, COLORREF colour, const CString& text)
{
    if (row < 0 || row >= kPortTableRows) return;
    const CPortRecord& rec = m_com.m_PortRec[static_cast<std::size_t>(row)];
    // A refill keeps the user's marks.
    const bool marked = m_list.IsMarked(row) || m_markedPorts.count(text) > 0;
    PortListRow& r = m_list.Row(row);
    r.cell[kColumnPort] = text;
    r.cell[kColumnSensorType] = SensorTypeOfRow(rec, state);
    const bool answered = !r.cell[kColumnSensorType].IsEmpty();
    const double rangeEnd = rec.m_Sensor.m_sRotorHeader.dFullScaleA;
    r.cell[kColumnRangeEnd] = answered && rangeEnd > 0.0 ? RangeEndText(rec.m_Sensor.m_sRotorHeader.cTypeClass, rangeEnd) : CString();
    r.cell[kColumnAddress] = answered ? CString::Formatted("%d", rec.m_nAddress) : CString();
    r.cell[kColumnSerial] = answered ? (serial ? CString::Formatted("%u", serial) : LoadLangString(kTextNotAvailableShort))
                                     : CString();
    r.cell[kColumnBaudRate] = rec.m_nBaudRate > 0 ? CString::Formatted("%d", rec.m_nBaudRate) : CString();
    r.cell[kColumnStatus] = StatusTextOfState(state);
    r.checked = rec.m_nEnabled > 0;
    r.cell[kColumnEnabled] = r.checked ? LoadLangString(kTextEnabledMark) : CString();
    r.text = colour == kColourWhite ? kColourBlack : colour;
    r.background = marked ? kColourSelected : kColourWhite;
    r.state = state;
    Changed();
}

void CDlgSensorConnection::SetItemText(int row, int column, const CString& text)
{
    m_list.SetItemText(row, column, text);
    Changed();
}

void CDlgSensorConnection::UpdatePortList(bool select)
{
    RememberMarks();
    m_list.DeleteAllItems();
    for (int row = 0; row < kPortTableRows; ++row) {
        const CPortRecord& rec = m_com.m_PortRec[static_cast<std::size_t>(row)];
        if (rec.m_strPortName.IsEmpty()) break;
        FillPortList(row, rec.m_nState, rec.m_Sensor.m_sStatorHeader.nSerialNo, kColourWhite,
                     m_com.COM_MakePortDisplayName(rec.m_strPortName));
    }
    RefreshEnableColumn();
    if (select) {
        // The sensor's own USB port is the one a user means first.
        for (int row = 0; row < m_list.GetItemCount(); ++row) {
            CString lower = m_com.m_PortRec[static_cast<std::size_t>(row)].m_strPortName;
            lower.MakeLower();
            if (CComPort::COM_IsTessalineUsbPort(lower)) {
                m_list.SetMark(row, true);
                break;
            }
        }
    }
    Changed();
}

void CDlgSensorConnection::RefreshEnableColumn()
{
    for (int row = 0; row < m_list.GetItemCount() && row < kPortTableRows; ++row) {
        const bool enabled = m_com.m_PortRec[static_cast<std::size_t>(row)].m_nEnabled > 0;
        PortListRow& r = m_list.Row(row);
        r.checked = enabled;
        r.cell[kColumnEnabled] = enabled ? LoadLangString(kTextEnabledMark) : CString();
    }
    Changed();
}

int CDlgSensorConnection::CountSensorPorts() const
{
    int count = 0;
    for (const CPortRecord& rec : m_com.m_PortRec) {
        if (rec.m_strPortName.IsEmpty()) continue;
        CString lower = rec.m_strPortName + " " + rec.m_strDescription;
        lower.MakeLower();
        if (CComPort::COM_IsTessalineUsbPort(lower)) ++count;
    }
    return count;
}

BYTE CDlgSensorConnection::BaudCodeOfRate(int baud) const
{
    switch (baud) {
    case 230400: return 2;
    case 115200: return 1;
    default: return 1;  // the sensors' default line
    }
}

void CDlgSensorConnection::ReenableAfterBaudChange()
{
    // The user's choice of USB ports only comes back once the search after a change has ended.
    if (m_nUsbPortsOnlyKept >= 0) {
        m_nUsbPortsOnly = m_nUsbPortsOnlyKept;
        m_nUsbPortsOnlyKept = -1;
    }
    // A change still flagged when the start-up ends has not reached the sensors.
    if (m_bBaudRateChange) {
        m_bBaudRateChange = 0;
        m_strStatusLine = LoadLangString(kTextBaudChangeFailed);
        AfxMessageBox(m_strStatusLine, platform::MB_ICONWARNING);
    }
    SetBusy(false);
}

void CDlgSensorConnection::ClearBusyFlag()
{
    // The controller ends a step of the page that failed: the sensors keep their line.
    SetBusy(false);
    HoldMeasuring(false);
}

void CDlgSensorConnection::SetBusy(bool busy)
{
    m_bBusy = busy;
    m_bButtonsEnabled = !busy;
    Changed();
}

// ---- What the user does ------------------------------------------------------------------------

bool CDlgSensorConnection::IsConnected() const
{
    for (const CPortRecord& rec : m_com.m_PortRec)
        if (rec.m_nState == kPortStateActive) return true;
    return false;
}

bool CDlgSensorConnection::CanChangeBaudRate() const
{
    return !m_bBusy && IsConnected() && !m_com.m_bFurtherPortsPending;
}

void CDlgSensorConnection::OnRowClicked(int row)
{
    m_list.ToggleMark(row);
    Changed();
}

void CDlgSensorConnection::OnEnableChecked(int row, bool enabled)
{
    if (row < 0 || row >= m_list.GetItemCount() || row >= kPortTableRows) return;
    m_com.m_PortRec[static_cast<std::size_t>(row)].m_nEnabled = enabled ? 1 : 0;
    m_com.m_PortRecPrev[static_cast<std::size_t>(row)].m_nEnabled = enabled ? 1 : 0;
    RefreshEnableColumn();
}

bool CDlgSensorConnection::IsUsbPortsOnly() const
{
    if (m_nUsbPortsOnly != 1) return false;
    for (const CPortRecord& rec : m_com.m_PortRec)
        if (rec.m_nSavedState == kPortStateAvailable || rec.m_nSavedState == kPortStateActive) return true;
    return false;
}

void CDlgSensorConnection::OnUsbPortsOnly(bool on)
{
    m_nUsbPortsOnly = on ? 1 : 0;
    Changed();
}

bool CDlgSensorConnection::StoreBeforePortsClose(std::function<void()> then)
{
    if (!IsConnected() || m_com.m_pMainFrame == nullptr) return false;
    const bool started = m_com.m_pMainFrame->StoreSettingsBeforePortsClose([this, then = std::move(then)] {
        m_bStoringBeforePortsClose = false;
        SetBusy(false);
        then();
    });
    if (started) SetBusy(true), m_bStoringBeforePortsClose = true;
    return started;
}

// The sensors back from a restart are searched for a moment later (kConnTimerRestarted). A
// search, connection or disconnection of the user's that takes their ports first (also once
// the set-up has been stored before it) ends that wait: a second search beside it would probe
// ports the first is probing, and take an answer of one for a row of the other: a row the
// table does not hold, a sensor without a serial number.
void CDlgSensorConnection::DropSearchAfterRestart() { CWnd::KillTimer(kConnTimerRestarted); }

void CDlgSensorConnection::OnDisconnect()
{
    if (m_bBusy || StoreBeforePortsClose([this] { ClosePorts(); })) return;
    ClosePorts();
}

void CDlgSensorConnection::ClosePorts()
{
    DropSearchAfterRestart();
    m_portsClosed.clear();
    for (const CPortRecord& rec : m_com.m_PortRec)
        if (rec.m_nState == kPortStateActive) m_portsClosed.insert(rec.m_strPortName);
    m_com.COM_CloseSensorPorts();
    m_strStatusLine.Empty();
    // Also when this page is not the one the controller tells.
    UpdatePortList(false);
}

void CDlgSensorConnection::OnShown() { DropPortsGone(); }

// Only a port with a sensor connected on it reports its device's removal; the others would
// stay offered as the search left them until the next search. Nothing is dropped while a
// sensor is connected or a search probes the ports (its time-out armed).
void CDlgSensorConnection::DropPortsGone()
{
    if (m_bBusy || IsConnected() || IsTimerArmed(kConnTimerProbeTimeout)) return;
    CString gone;
    for (const CString& name : m_com.DropRowsOfPortsGone())
        gone += (gone.IsEmpty() ? CString() : CString(", ")) + m_com.COM_MakePortDisplayName(name);
    if (gone.IsEmpty()) return;
    m_strStatusLine.Format(LoadLangString(kTextPortsGone).GetString(), gone.GetString());
    UpdatePortList(false);
}

void CDlgSensorConnection::OnConnect()
{
    if (m_bBusy) return;
    DropPortsGone();
    int row = m_list.FirstMarked();
    // A sensor the version check refused, chosen by the user, is named so when nothing else is
    // there to connect: the user has chosen a port, and none is to be chosen in its place.
    const bool refusedChosen = row >= 0 && m_com.m_PortRec[static_cast<std::size_t>(row)].m_nState == kPortStateNotSupported;
    if (row < 0 || m_com.m_PortRec[static_cast<std::size_t>(row)].m_nState != kPortStateAvailable) {
        // Without a marked row the first available sensor is meant.
        row = -1;
        for (int r = 0; r < m_list.GetItemCount(); ++r)
            if (m_com.m_PortRec[static_cast<std::size_t>(r)].m_nState == kPortStateAvailable) {
                row = r;
                break;
            }
    }
    if (row < 0) {
        m_strStatusLine = LoadLangString(refusedChosen ? kTextSensorNotSupported : kTextSelectPortFirst);
        AfxMessageBox(m_strStatusLine, refusedChosen ? platform::MB_ICONWARNING : platform::MB_ICONINFORMATION);
        Changed();
        return;
    }
    if (StoreBeforePortsClose([this, row] { ConnectRow(row); })) return;
    ConnectRow(row);
}

void CDlgSensorConnection::ConnectRow(int row)
{
    DropSearchAfterRestart();
    if (IsConnected()) ClosePorts();
    const CString port = m_com.m_PortRec[static_cast<std::size_t>(row)].m_strPortName;
    // The sensors closed together come back together: the chosen one is identified, the others
    // follow on their own ports as further sensors do.
    std::vector<int> further;
    for (int r = 0; m_portsClosed.count(port) != 0 && r < m_list.GetItemCount() && r < kPortTableRows; ++r)
        if (m_portsClosed.count(m_com.m_PortRec[static_cast<std::size_t>(r)].m_strPortName) != 0) further.push_back(r);
    m_strStatusLine.Empty();
    m_com.COM_ConnectRows(row, further);
    Changed();
}

void CDlgSensorConnection::OnSearch()
{
    if (m_bBusy || StoreBeforePortsClose([this] { Search(); })) return;
    Search();
}

void CDlgSensorConnection::Search()
{
    DropSearchAfterRestart();
    if (IsConnected()) ClosePorts();
    m_portsClosed.clear();  // the search connects every sensor it finds
    m_strStatusLine.Empty();
    SetBusy(true);
    m_com.m_bConnectRequested = 1;
    m_com.COM_SearchComPorts(4);
}

bool CDlgSensorConnection::OnChangeBaudRate(int baud)
{
    if (!CanChangeBaudRate()) return false;
    // Of several sensors, each takes the code into its own stator operation block: one whose
    // block could not be read gets none, and the change is not made.
    if (const int sensor = m_com.m_nCountActivePorts > 1 ? m_com.SensorWithoutStatorOperationBlock() : -1; sensor >= 0) {
        m_strStatusLine.Format(LoadLangString(kTextBaudChangeNoBlock).GetString(),
                               m_com.COM_MakePortDisplayName(m_com.PortNameOfSensor(sensor)).GetString());
        AfxMessageBox(m_strStatusLine, platform::MB_ICONWARNING);
        Changed();
        return false;
    }
    // The write takes the sensors' lines from the stream and they leave for the new rate: a
    // measurement running on them ends first, as Stop ends it, and the change waits until its
    // last sets are in, or they would be lost unseen.
    if (m_com.IsMeasurementRunning() && m_com.m_pMainFrame) {
        m_nBaudAfterStop = baud;
        m_nStopWaitMs = 0;
        SetBusy(true);
        HoldMeasuring(true);
        m_com.m_pMainFrame->StopRunningMeasurement();
        CWnd::SetTimer(kConnTimerMeasurementEnd, kMeasurementEndPollMs);
        return true;
    }
    return WriteBaudRate(baud);
}

bool CDlgSensorConnection::WriteBaudRate(int baud)
{
    m_cNewBaudCode = BaudCodeOfRate(baud);
    m_bBaudRateChange = 1;
    m_nBaudRetries = 0;
    SetBusy(true);
    // The sensors leave their line and are searched for and connected again at the new rate:
    // nothing may be started on them until then.
    HoldMeasuring(true);
    // The sensors of a multiport device are written port by port and restarted by the page. A
    // single sensor is written on the first port: the controller restarts it once it has
    // acknowledged the code and searches the ports anew, which finds it at its new rate.
    const bool written = m_com.m_nCountActivePorts > 1 ? m_com.COM_ZMCOMConfgSetStatorOperationFromDialog(m_cNewBaudCode)
                                                        : m_com.COM_ZMCOMConfgSetNewBaudrate(0, m_cNewBaudCode);
    if (!written) {
        EndBaudChange(kTextBaudChangeFailed, true);
        return false;
    }
    // The search that finds the sensors again asks at the new rate first (the old one and the
    // others follow, should a sensor not have taken it).
    m_nBaudBeforeChange = m_com.COM_MarkSensorPortsAt(baud);
    return true;
}

void CDlgSensorConnection::OnSearchEnded()
{
    if (!m_bBaudRateChange) SetBusy(false);
}

void CDlgSensorConnection::HoldMeasuring(bool hold)
{
    if (workflow::IMeasureControlPage* control = m_com.Peers().measureControl) control->HoldUntilConnected(hold);
}

void CDlgSensorConnection::EndBaudChange(UINT messageId, bool showBox)
{
    CWnd::KillTimer(kConnTimerPortLoop);
    m_bBaudRateChange = 0;
    // The change has not reached the sensors: they stay connected at their old rate.
    HoldMeasuring(false);
    if (m_nBaudBeforeChange > 0) m_com.COM_MarkSensorPortsAt(m_nBaudBeforeChange);
    m_nBaudBeforeChange = -1;
    m_strStatusLine = LoadLangString(messageId);
    // The step of the change awaits no answer any more.
    const int flow = m_com.GetZMCOMConfgFlow();
    if (flow == ZM_PORT_LOOP_STATOR_OPERATION || flow == ZM_CNFG_SET_NEW_BAUDRATE) m_com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    if (m_com.m_pMainFrame) m_com.m_pMainFrame->EndWaitCursorOnce();
    SetBusy(false);
    if (showBox) AfxMessageBox(m_strStatusLine, platform::MB_ICONWARNING);
}

void CDlgSensorConnection::OnTimer(UINT_PTR id)
{
    CWnd::KillTimer(id);
    switch (id) {
    case kConnTimerPortLoop:
        // Every sensor acknowledged: the restart follows, unless the controller has already
        // sent it. Acknowledgements still missing: the baud code is written again, a few times.
        if (m_com.GetZMCOMConfgFlow() != ZM_PORT_LOOP_STATOR_OPERATION) break;
        if (m_com.m_nPortLoop >= m_com.m_nCountActivePorts) {
            if (!m_com.COM_ZMRestartSensorAfterInit()) EndBaudChange(kTextBaudChangeFailed, true);
        } else if (++m_nBaudRetries <= kBaudChangeRetries) {
            if (!m_com.COM_ZMCOMConfgSetStatorOperationFromDialog(m_cNewBaudCode))
                EndBaudChange(kTextBaudChangeFailed, true);
        } else {
            EndBaudChange(kTextBaudChangeFailed, true);
        }
        break;
    case kConnTimerRestarted:
        // The sensors back from a restart (an encoder's mode switched) while the set-up is
        // stored before the user's search, connection or disconnection: that action, once the
        // write has ended, takes their ports itself. A search now would probe beside it, and
        // an answer of one would be taken for a row of the other.
        if (m_bStoringBeforePortsClose) break;
        // The sensors run at their new rate: the ports are searched and connected again, every
        // port, since a sensor behind an Ethernet module may come back on a row that held none;
        // the user's choice of USB ports only is kept aside until the search has ended.
        m_bBaudRateChange = 0;
        SetBusy(false);
        m_nUsbPortsOnlyKept = m_nUsbPortsOnly;
        m_nUsbPortsOnly = 0;
        // The sensors have left their old rate: their ports are closed without another write.
        Search();
        m_strStatusLine = LoadLangString(kTextBaudChangeDone);
        break;
    case kConnTimerMeasurementEnd:
        // Lost meanwhile: there is nothing to change. A stream that never falls silent is not
        // waited for past the limit.
        if (!IsConnected()) {
            SetBusy(false);
            HoldMeasuring(false);
        } else if (!m_com.IsStreamEnded() && (m_nStopWaitMs += kMeasurementEndPollMs) < kMeasurementEndLimitMs) {
            CWnd::SetTimer(kConnTimerMeasurementEnd, kMeasurementEndPollMs);
        } else {
            WriteBaudRate(m_nBaudAfterStop);
        }
        break;
    case kConnTimerProbeTimeout:
        // The probing went on too long: no further row is tried.
        m_com.m_BaudCandidates.clear();
        m_com.m_nRowCounter = 0;
        m_com.m_bProbeNextRow = 1;
        m_strStatusLine = LoadLangString(kTextSearchTookTooLong);
        SetBusy(false);
        AfxMessageBox(m_strStatusLine, platform::MB_ICONWARNING);
        break;
    default:
        break;
    }
    Changed();
}

}  // namespace sensor_admin
