// Search of the COM ports and the connect request.

#include "platform/wnd.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"
#include "workflow/port_names.h"

using workflow::IsComPortText;

void CComPort::COM_SearchComPorts(int mode)
{
    COM_AttachMainFrame();
    if (!m_pMainFrame) return;
    if (mode == 4 && m_peers.connection) m_peers.connection->SetAllPortsEnabled(true);
    m_pMainFrame->BeginWaitCursorOnce();

    if (m_bDelayedSearch == 1) {
        if (m_peers.measureControl) m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerSearch, 2500);
        m_bDelayedSearch = 0;
        return;
    }

    m_bReconnectionAwaited = 1;
    const std::vector<workflow::PortListEntry> entries =
        m_pPortFactory ? m_pPortFactory->ListPorts() : std::vector<workflow::PortListEntry>{};
    m_nRowCounter = 0;
    m_nSensorPortCount = 0;
    // The device is searched for afresh: the steps that would still group the further ports of
    // a connection under way are dropped, or they would count its sensors anew in the middle of
    // the search. Nothing is started on it until the search has connected it again.
    if (m_bFurtherPortsPending) {
        KillFrameTimer(kTimerConnectNext);
        KillFrameTimer(kTimerFurtherPort);
        HoldMeasuringUntilConnected(true);
    }
    SetFurtherPortsPending(false);
    m_bOpenedAloneBySearch = 0;

    for (CPortRecord& row : m_PortRec) row.ClearForSearch();
    m_nLastPortRec = -1;

    m_strPortState = m_pPortMan ? m_pPortMan->GetStateText() : CString("OffLine");
    if (!m_pPortMan || m_strPortState != m_strKnownPortName || m_pPortMan == m_pPortManOfPort[0]) {
        // One owner per manager: the old first manager is closed and released here, also
        // when it was not the multiport slot 0 manager.
        if (m_pPortMan) m_pPortMan->SetOffLine();
        m_pPortManOfPort[0].reset();
        m_pPortMan.reset();
        COM_CreatePortManager(m_pMainFrame->StepWindow());
        m_bReopenAfterSearch = 1;
    }

    const bool usbOnlyShown = m_peers.connection && m_peers.connection->IsUsbPortsOnly();
    const bool usbOnlySearch = m_peers.startUp && m_peers.startUp->IsSearchUsbOnly();
    const int entryCount = static_cast<int>(entries.size()) < kPortTableRows ? static_cast<int>(entries.size())
                                                                                : kPortTableRows;
    for (int i = 0; i < entryCount && m_nRowCounter < kPortTableRows; ++i) {
        CString text = entries[static_cast<std::size_t>(i)].text;
        if (!IsComPortText(text)) continue;
        text.Trim();
        CString lower = text;
        lower.MakeLower();
        const int saved = m_PortRec[static_cast<std::size_t>(i)].m_nSavedState;
        CString lowerDescription = entries[static_cast<std::size_t>(i)].description;
        lowerDescription.Trim();
        lowerDescription.MakeLower();
        const bool skipShown = usbOnlyShown && saved != kPortStateAvailable && saved != kPortStateActive;
        const bool skipSearch = usbOnlySearch && !COM_IsTessalineUsbPort(lower) &&
                                !COM_IsTessalineUsbPort(lowerDescription);
        if (!skipShown && !skipSearch) {
            CPortRecord& row = m_PortRec[static_cast<std::size_t>(m_nRowCounter)];
            row.m_nState = kPortStateFound;
            row.m_strPortName = text;
            row.m_strDescription = entries[static_cast<std::size_t>(i)].description;
        }
        ++m_nRowCounter;
    }

    if (m_peers.connection) m_peers.connection->UpdatePortList(true);

    if (m_strPortState != m_strKnownPortName) {
        for (int row = 0; row < kPortTableRows; ++row)
            if (!m_strKnownPortName.IsEmpty() && m_PortRec[static_cast<std::size_t>(row)].m_strPortName == m_strKnownPortName)
                m_nLastPortRec = row;
    }

    m_nCurSensor = 0;
    m_nPortRecCount = m_nRowCounter;

    if (m_nRowCounter == 0) {
        m_pfnAfterSearch = &CComPort::COM_EndSearch;
    } else {
        COM_NumberPorts(m_nPortRecCount, 0);
        if (m_peers.startUp) m_peers.startUp->BeginSearchProgress(m_nPortRecCount);
        m_pfnAfterSearch = &CComPort::COM_ProbeNextPort;
        m_abWorkArea.fill(0);
    }
    (this->*m_pfnAfterSearch)();
}

bool CComPort::COM_IsTessalineUsbPort(const CString& lowerDescription)
{
    return lowerDescription.Find("tessaline usb") >= 0;
}

void CComPort::COM_EndSearch()
{
    if (m_peers.startUp) m_peers.startUp->BeginPortProgress(m_nRowCounter);
    if (m_peers.connection) m_peers.connection->KillTimer(workflow::kConnPageTimerProbeTimeout);

    if (m_nSensorPortCount >= 1 || m_bEthernetSeen) {
        if (m_bSearchBusy) {
            m_bSearchBusy = 0;
            m_bEndOfSearchCompanion = 0;
            if (m_peers.startUp) m_peers.startUp->Hide();
            if (m_pMainFrame) m_pMainFrame->LoadWindowPlacement();
        }
    } else {
        // No connection follows that would rebuild the list: it shows now what the probing
        // found on each port, a sensor the version check refused among them.
        if (m_peers.connection) m_peers.connection->UpdatePortList(false);
        if (m_peers.startUp) m_peers.startUp->FinishSearch();
        if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
        EndDeviceRestart();
    }
    SetFrameTimer(kTimerSearchEnd, 100);
}

void CComPort::COM_ConnectSensor(int sensor, int mode)
{
    ResetConnectionState();
    if (mode != 3) {
        if (!m_bSearchBusy) {
            m_bConnectRequested = 1;
            COM_SearchComPorts(0);
        }
        return;
    }

    COM_CopyPortTableToPrevious();
    // The search has ended: the sensors' identification and the further ports take over.
    m_bReconnectionAwaited = 0;
    if (m_bSearchBusy) return;
    m_bConnectRequested = 1;
    COM_AttachMainFrame();
    if (m_iZMCOMConfgFlow == ZM_START_INIT || !m_pMainFrame) return;

    m_nSelectedPortRec = -1;
    auto firstAvailableRow = [this]() {
        for (int row = 0; row < kPortTableRows; ++row)
            if (m_PortRec[static_cast<std::size_t>(row)].m_nState == kPortStateAvailable) return row;
        return -1;
    };

    int code = 9;
    if (m_nSensorPortCount == 1 || (m_nSensorPortCount > 1 && COM_CheckSameDeviceSerial())) {
        m_nSelectedPortRec = firstAvailableRow();
        code = 4;
    } else if (m_strLastPortName.IsEmpty() && (m_strOpenPortName.IsEmpty() || m_strOpenPortName == m_strPortState)) {
        if (m_nSensorPortCount == 0) {
            code = 0;
        } else {
            code = 10;
            m_nSelectedPortRec = firstAvailableRow();
        }
    } else if (!m_strOpenPortName.IsEmpty() && m_strOpenPortName != m_strPortState) {
        if (!m_strKnownPortName.IsEmpty() && m_strKnownPortName != m_strPortState) {
            m_nSelectedPortRec = m_nLastPortRec;  // -1 when the search did not find it
            code = 2;
        } else {
            code = 6;
            for (int row = 0; row < kPortTableRows; ++row) {
                const CString& name = m_PortRec[static_cast<std::size_t>(row)].m_strPortName;
                if (name.IsEmpty()) {
                    m_strOpenPortName = m_strPortState;
                    break;
                }
                if (name == m_strOpenPortName) {
                    m_nSelectedPortRec = row;
                    code = 2;
                    break;
                }
            }
        }
    } else if (!m_strLastPortName.IsEmpty() && m_strLastPortName != m_strPortState) {
        code = 7;
        for (int row = 0; row < kPortTableRows; ++row) {
            const CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
            if (rec.m_strPortName.IsEmpty()) {
                m_strOpenPortName = m_strPortState;
                m_strLastPortName = m_strPortState;
                break;
            }
            if (rec.m_strPortName == m_strLastPortName && rec.m_nState == kPortStateAvailable) {
                m_nSelectedPortRec = row;
                code = 1;
                break;
            }
        }
    } else {
        code = m_strLastPortName == m_strPortState ? 8 : 9;
    }
    m_strLastComparedPort = m_strPortState;

    const bool openSelected = code == 1 || code == 2 || code == 10 || (code == 4 && !(!m_strActivePortName.IsEmpty() && IsLastPortMissing()));
    if (openSelected) {
        // A rule may name no row (the known port was not found again): then nothing opens.
        if (ValidRow(m_nSelectedPortRec)) {
            CPortRecord& row = m_PortRec[static_cast<std::size_t>(m_nSelectedPortRec)];
            row.m_nState = COM_PrepareSensorSetup(sensor, row.m_strPortName, m_nSelectedPortRec, row.m_nState);
        }
    } else if (code == 6) {
        m_nCountActivePorts = 0;
        if (m_peers.information) m_peers.information->FillSensorInformation(0);
        m_pMainFrame->EndWaitCursorOnce();
    } else if (code == 7 || code == 9) {
        m_pMainFrame->EndWaitCursorOnce();
    } else if (code == 8) {
        // The sensor's port is the one used last and still open: close it and search again.
        SetFrameTimer(kTimerCloseFirstPort, 100);
    }
    // No sensor is opened: a device's restart that waited for this connection has ended.
    if (code != 8 && !(openSelected && ValidRow(m_nSelectedPortRec))) EndDeviceRestart();

    m_strLastPortName.Empty();
    if (m_peers.connection) {
        workflow::IConnectionPage& page = *m_peers.connection;
        page.DeleteAllItems();
        for (int row = 0; row < kPortTableRows; ++row) {
            CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
            if (rec.m_strPortName.IsEmpty()) break;
            m_Sensor[0].m_sIdent[kIdentStatorId] = rec.m_Sensor.m_sIdent[kIdentStatorId];
            page.FillPortList(row, rec.m_nState, rec.m_Sensor.m_sStatorHeader.nSerialNo, 0xFFFFFF,
                              COM_MakePortDisplayName(rec.m_strPortName));
        }
        if (ValidRow(m_nSelectedPortRec))
            m_Sensor[0].m_sIdent[kIdentStatorId] =
                m_PortRec[static_cast<std::size_t>(m_nSelectedPortRec)].m_Sensor.m_sIdent[kIdentStatorId];
    }
    if (m_pPortMan && m_pPortMan->GetStateText() == m_strPortState && m_nSensorPortCount < 2 && m_peers.measureControl)
        m_peers.measureControl->ResetAfterDisconnect();
    m_bConnectSequence = 0;

    if (m_peers.connection) m_peers.connection->ReenableAfterBaudChange();

    if (m_nSensorPortCount >= 2) {
        if (m_nMultiportReconnect == 2) {
            m_bOpenedAloneBySearch = 1;
            ReopenFirstPortForOneSensor();
        } else if (m_nMultiportReconnect == 0) {
            const bool stateChanged = m_pPortMan && m_pPortMan->GetStateText() != m_strPortState;
            if (m_bReconnectPending || (m_bReopenAfterSearch && (stateChanged || IsAnyPortWithModuleIndex()))) {
                AwaitFurtherPorts();
                SetFrameTimer(kTimerConnectNext, 20);
            }
        }
    }
    m_pMainFrame->ClearMeasurementDisplayFlags();
}
