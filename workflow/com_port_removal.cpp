// The port library reports a sensor port whose device went away (unplugged, or its line hung
// up) as event kEventDeviceRemoval. A connected sensor that is lost ends its measurement as a
// stop does, so that what was received stays in the curves and reaches the files, but the
// measurement is not judged: it never reached its planned end. Then the sensor counts as
// disconnected on every page, the user is told which one went away (and that a measurement
// was cut short), and a new search can connect it again. The port table follows the port list:
// the row of a port that left it goes at once, not only at the next search.

#include <algorithm>
#include <set>
#include <vector>

#include "platform/message_box.h"
#include "workflow/com_port.h"
#include "workflow/port_names.h"
#include "workflow/workflow_texts.h"

LRESULT CComPort::OnPortManagerNotify(WPARAM wParam, LPARAM)
{
    if (static_cast<DWORD>(wParam) & workflow::kEventDeviceRemoval) OnSensorPortRemoved(0);
    return 0;
}

LRESULT CComPort::OnFurtherPortNotify(int port, WPARAM wParam, LPARAM)
{
    if (static_cast<DWORD>(wParam) & workflow::kEventDeviceRemoval) OnSensorPortRemoved(port);
    return 0;
}

void CComPort::OnSensorPortRemoved(int port)
{
    if (m_nCountActivePorts < 1 || port < 0 || port >= kMaxSensorPorts) return;
    if (port > 0 && port >= m_nCountActivePorts) return;
    if (!m_pMainFrame || !m_pMainFrame->IsSensorConnected()) return;
    const unsigned serial = static_cast<unsigned>(m_Sensor[static_cast<std::size_t>(port)].m_sStatorHeader.nSerialNo);
    // A multiport device's ports each lead to a sensor of their own: name the one that went.
    const CString portName = PortNameOfSensor(port);
    // Only a measurement the control panel still runs is cut short. (The stream's own running
    // flag stays set after a stop until the next start.)
    const bool measuring = IsMeasurementRunning();

    // Nothing more can be written to the lost line: the stop must not wait for its answer, and
    // a configuration write sequence on it ends now.
    const int endedState = m_iZMCOMConfgFlow;
    // The other sensors of a multiport device are still there and may still stream.
    EndMeasurementWithoutLine(m_nCountActivePorts > 1);
    m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    m_pfnReplyHandler = nullptr;
    m_strReceiveCOM.Empty();

    if (m_pPortMan) m_pPortMan->SetOffLine();
    for (auto& further : m_pPortManOfPort)
        if (further) further->SetOffLine();
    DropRowsOfPortsGone();
    // The pages refill for no sensor from records already cleared: they must not take those for
    // the device's (a set-up page counting it still active would read its rate list from zeros
    // and drop the rate the user chose), so the device counts as gone before they are told.
    m_nCountActivePorts = 0;
    m_pMainFrame->ClearSensorConnectedFlag(true);
    COM_ShowSensorsDisconnected();
    EndDeviceRestart();
    EndWriteSequenceUnstored(endedState);
    if (m_pMainFrame->IsShuttingDown()) return;

    CString text;
    text.Format(workflow::WorkflowText(measuring ? workflow::kTextSensorLostMeasuring : workflow::kTextSensorLost).GetString(),
                serial, portName.GetString());
    AfxMessageBox(text);
}

void CComPort::EndMeasurementWithoutLine(bool stopOthers)
{
    m_bSensorEndedStream = 1;
    if (m_peers.measureControl) m_peers.measureControl->EndMeasurementOnLostSensor();
    m_bSensorEndedStream = 0;
    // Sensors still on a line get the stop signal, or the next search would find them streaming
    // and could not talk to them.
    if (stopOthers && m_bStreamingRate && m_bMeasureRunning) WriteStopSignal();
    m_bMeasureRunning = 0;
}

void CComPort::COM_ShowSensorsDisconnected()
{
    m_bReconnectionAwaited = 0;
    for (CPortRecord& rec : m_PortRec)
        if (rec.m_nState == kPortStateActive) rec.m_nState = kPortStateAvailable;
    if (m_peers.measureControl) {
        m_peers.measureControl->SetSensorPresent(false);
        m_peers.measureControl->ResetAfterDisconnect();
    }
    if (m_peers.information) {
        m_peers.information->SetSensorPresent(false);
        m_peers.information->FillSensorInformation(0);
    }
    if (m_peers.connection) m_peers.connection->UpdatePortList(false);
}

std::vector<CString> CComPort::DropRowsOfPortsGone()
{
    std::vector<CString> dropped;
    if (!m_pPortFactory) return dropped;
    std::set<int> listed;
    for (const workflow::PortListEntry& entry : m_pPortFactory->ListPorts()) listed.insert(workflow::ComPortNumber(entry.text));
    for (int row = kPortTableRows - 1; row >= 0; --row) {
        const CString name = m_PortRec[static_cast<std::size_t>(row)].m_strPortName;
        if (name.IsEmpty() || listed.count(workflow::ComPortNumber(name)) != 0) continue;
        DropPortRow(row);
        dropped.insert(dropped.begin(), name);
    }
    return dropped;
}

// The rows after it move up, in the previous table too, and every row number kept elsewhere
// follows its row; one that named the dropped row names none.
void CComPort::DropPortRow(int row)
{
    const int state = m_PortRec[static_cast<std::size_t>(row)].m_nState;
    if (state == kPortStateAvailable || state == kPortStateActive) --m_nSensorPortCount;
    for (auto* table : {&m_PortRec, &m_PortRecPrev}) {
        std::move(table->begin() + row + 1, table->end(), table->begin() + row);
        table->back() = CPortRecord();
    }
    if (row < m_nPortRecCount) --m_nPortRecCount;
    if (row < m_nRowCounter) --m_nRowCounter;
    std::vector<int*> rowNumbers = {&m_nActivePortRec, &m_nSelectedPortRec, &m_nLastActivatedRow, &m_nLastPortRec,
                                    &m_nKeepBaudRow};
    for (int& sensorRow : m_nPortRecOfSensor) rowNumbers.push_back(&sensorRow);
    for (int* number : rowNumbers) {
        if (*number == row) *number = -1;
        else if (*number > row) --*number;
    }
}
