// The port library reports a sensor port whose device went away (unplugged, or its line hung
// up) as event kEventDeviceRemoval. A connected sensor that is lost ends its measurement as a
// stop does, so that what was received stays in the curves and reaches the files, but the
// measurement is not judged: it never reached its planned end. Then the sensor counts as
// disconnected on every page, the user is told which one went away (and that a measurement
// was cut short), and a new search can connect it again.

#include "platform/message_box.h"
#include "workflow/com_port.h"
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
    const bool measuring = m_bMeasureRunning != 0;

    // Nothing more can be written to the lost line: the stop must not wait for its answer.
    m_bSensorEndedStream = 1;
    if (m_peers.measureControl) m_peers.measureControl->EndMeasurementOnLostSensor();
    m_bSensorEndedStream = 0;
    m_bMeasureRunning = 0;
    m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    m_pfnReplyHandler = nullptr;
    m_strReceiveCOM.Empty();

    if (m_pPortMan) m_pPortMan->SetOffLine();
    for (auto& further : m_pPortManOfPort)
        if (further) further->SetOffLine();
    COM_ShowSensorsDisconnected();
    m_nCountActivePorts = 0;
    m_pMainFrame->ClearSensorConnectedFlag();

    CString text;
    text.Format(workflow::WorkflowText(measuring ? workflow::kTextSensorLostMeasuring : workflow::kTextSensorLost).GetString(),
                serial, portName.GetString());
    AfxMessageBox(text);
}

void CComPort::COM_ShowSensorsDisconnected()
{
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
