// Several connected sensors, one of them worked on alone through the first port (the user
// calibration of one of them), and the sensors connected together again afterwards. A sensor
// connected as one of several, or taken alone, takes its record from its port row without being
// read: what the controller has learnt of each connected sensor since (a block written, the
// sensor read again after its restart) goes back into its row whenever its port is let go.

#include "platform/wnd.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"
#include "workflow/workflow_texts.h"

void CComPort::KeepSensorRecordsInRows()
{
    for (int sensor = 0; sensor < m_nCountActivePorts && sensor < kMaxSensorPorts; ++sensor) {
        const int row = m_nPortRecOfSensor[static_cast<std::size_t>(sensor)];
        CPortRecord* rec = ValidRow(row) ? &m_PortRec[static_cast<std::size_t>(row)] : nullptr;
        if (rec && rec->m_nState == kPortStateActive) rec->m_Sensor = m_Sensor[static_cast<std::size_t>(sensor)];
    }
}

void CComPort::ReleaseFurtherPorts()
{
    // A manager the first port holds too stays open: it is the first port's to close.
    for (auto& port : m_pPortManOfPort) {
        if (port && port != m_pPortMan) port->SetOffLine();
        port.reset();
    }
}

void CComPort::ReopenFirstPortForOneSensor()
{
    m_nCountActivePorts = 1;
    COM_ResetRealSensorIndex();
    COM_SetupConnectedSensor();
    SetFrameTimer(kTimerAfterReconnect, 20);
    if (m_peers.measureControl) m_peers.measureControl->ClearMultiportFlag();
    if (m_pMainFrame) m_pMainFrame->BeginWaitCursorOnce();
}

bool CComPort::COM_TakeSensorAlone(int row)
{
    if (!ValidRow(row) || !m_peers.connection) return false;
    KeepSensorRecordsInRows();
    ReleaseFurtherPorts();
    // The first port is opened on the sensor's row alone; the other sensors wait, available.
    for (int r = 0; r < m_nPortRecCount && r < kPortTableRows; ++r) {
        CPortRecord& rec = m_PortRec[static_cast<std::size_t>(r)];
        if (r == row) rec.m_nState = kPortStateActive;
        else if (rec.m_nState == kPortStateActive) rec.m_nState = kPortStateAvailable;
    }
    m_peers.connection->UpdatePortList(false);
    const CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
    SetSensorAddress(rec.m_nAddress, 255);
    m_nActivePortRec = row;
    m_strOpenPortName = m_strActivePortName = rec.m_strPortName;
    m_nCurSensor = 0;
    // The device's sensors are apart now: nothing is started on them until the one taken
    // is connected again (and the others are given back).
    HoldMeasuringUntilConnected(true);
    ReopenFirstPortForOneSensor();
    return true;
}

void CComPort::COM_CloseSensorPorts()
{
    // A block written and not yet confirmed is not taken as the sensor's.
    RestoreKeptTextOfWrite();
    KeepSensorRecordsInRows();
    // Also a measurement whose stream has already broken (a slave's answer where the master's
    // was awaited) runs until it is ended: it ends with its ports, not with a time-out later.
    if (m_bMeasureRunning || IsMeasurementRunning()) {
        if (m_pMainFrame) m_pMainFrame->MeasurementEndsWithPorts();
        COM_StopMeasure();
    }
    // A connection still under way ends with its ports: the steps that would connect a
    // device's further sensors (or end one sensor's connection) after it are dropped, so that
    // nothing comes back connected that the user closed.
    EndIdentificationWatch();
    KillFrameTimer(kTimerConnectNext);
    KillFrameTimer(kTimerFurtherPort);
    KillFrameTimer(kTimerAfterReconnect);
    SetFurtherPortsPending(false);
    m_bOpenedAloneBySearch = 0;
    // Every sensor port is closed; a manager held in two places is closed once.
    if (m_pPortMan) m_pPortMan->SetOffLine();
    ReleaseFurtherPorts();
    m_strOpenPortName.Empty();
    m_strActivePortName.Empty();
    m_strLastPortName.Empty();
    m_nCountActivePorts = 0;
    m_pfnReplyHandler = nullptr;
    m_strReceiveCOM.Empty();
    SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    ResetConnectionState();
    if (m_pMainFrame) m_pMainFrame->ClearSensorConnectedFlag(false);
    COM_ShowSensorsDisconnected();
}

void CComPort::COM_ConnectRows(int row, const std::vector<int>& further)
{
    if (!ValidRow(row)) return;
    std::vector<int> available;
    for (int r : further)
        if (r != row && ValidRow(r) && m_PortRec[static_cast<std::size_t>(r)].m_nState == kPortStateAvailable)
            available.push_back(r);
    m_strLastPortName = m_PortRec[static_cast<std::size_t>(row)].m_strPortName;
    m_bReconnectPending = available.empty() ? 0 : 1;
    COM_ConnectSensor(0, 3);
    m_bReconnectPending = 0;
    // The connect request has listed the rows anew: the further ports' steps take these too.
    if (m_peers.connection)
        for (int r : available) m_peers.connection->SetItemText(r, 6, workflow::WorkflowText(workflow::kTextPortActive));
}
