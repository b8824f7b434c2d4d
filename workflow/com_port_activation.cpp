// Opening sensor ports: the first port manager, the probe's reopening of a row, the connect
// sequence's set-up, and one further manager per port of a multiport device.

#include "platform/wnd.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"
#include "workflow/workflow_texts.h"

using workflow::LineSettings;

namespace {

LineSettings SensorLine(int baud)
{
    LineSettings settings;
    settings.baudRate = baud;
    return settings;
}

}  // namespace

void CComPort::COM_CreatePortManager(CWnd& window)
{
    SetSensorAddress(1, 255);
    m_pPortMan = MakePort(window, workflow::kMsgFirstPortEvent, workflow::kMsgFirstPortData);
    if (!m_pPortMan) return;
    m_pPortMan->SetEventMask(0, workflow::kEventDeviceArrival | workflow::kEventDeviceRemoval);
    m_pPortMan->SetOffLine();
    m_strPortState = m_pPortMan->GetStateText();
    COM_AttachMainFrame();
    m_pPortMan->SetLineSettings(SensorLine(m_nBaudRate));
}

bool CComPort::COM_SetPortBaudRate(int baud, int& out)
{
    if (baud != 115200 && baud != 230400) return false;
    out = baud;
    return true;
}

bool CComPort::COM_ActivatePort(int row, std::function<void(bool)> opened)
{
    if (!ValidRow(row)) return false;
    m_nActivePortRec = row;
    CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
    COM_SetPortBaudRate(rec.m_nBaudRate, m_nBaudRate);
    SetSensorAddress(rec.m_nAddress, 255);
    if (!m_pPortMan) {
        if (!StepWindow()) return false;
        COM_CreatePortManager(*StepWindow());
        if (!m_pPortMan) return false;
    }
    m_pPortMan->SetLineSettings(SensorLine(m_nBaudRate));
    if (rec.m_strPortName.IsEmpty()) rec.m_strPortName = m_PortRecPrev[static_cast<std::size_t>(row)].m_strPortName;
    m_pPortMan->SetOffLine();
    PauseThen(kTimerPortOpenPause, 100, [this, row, opened = std::move(opened)] { OpenActivatedPort(row, 1, opened); });
    return true;
}

void CComPort::OpenActivatedPort(int row, int attempt, const std::function<void(bool)>& opened)
{
    const CString name = m_PortRec[static_cast<std::size_t>(row)].m_strPortName;
    if (!m_pPortMan) {
        opened(false);
        return;
    }
    if (m_pPortMan->OpenPort(name)) {
        opened(true);
        return;
    }
    // A port that did not open (another program holds it) is let go after the port library's
    // pause; the thread does not wait for it, the loop does.
    if (attempt < 2) {
        PauseThen(kTimerPortOpenPause, workflow::kFailedOpenPauseMs + 100,
                  [this, row, attempt, opened] { OpenActivatedPort(row, attempt + 1, opened); });
        return;
    }
    PauseThen(kTimerPortOpenPause, workflow::kFailedOpenPauseMs, [opened] { opened(false); });
}

int CComPort::COM_PrepareSensorSetup(int sensor, const CString& portName, int row, int state)
{
    if (!ValidRow(row)) return state;
    m_nActivePortRec = row;
    if (state == kPortStateNotOpenable || state == kPortStateNotSupported) return state;

    CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
    COM_SetPortBaudRate(rec.m_nBaudRate, m_nBaudRate);
    SetSensorAddress(rec.m_nAddress, 255);
    if (!m_pPortMan && StepWindow()) COM_CreatePortManager(*StepWindow());
    if (!m_pPortMan) return kPortStateNotOpenable;
    m_pPortMan->SetLineSettings(SensorLine(m_nBaudRate));
    if (!m_pPortMan->OpenPort(portName)) return kPortStateNotOpenable;

    m_strOpenPortName = portName;
    if (!m_strKnownPortName.IsEmpty() && m_strOpenPortName == m_strKnownPortName && sensor >= 0 &&
        sensor < kMaxSensorPorts && ValidRow(m_nSelectedPortRec)) {
        CSensorRecord& record = m_Sensor[static_cast<std::size_t>(sensor)];
        record = m_PortRec[static_cast<std::size_t>(m_nSelectedPortRec)].m_Sensor;
        if (m_pMainFrame) m_pMainFrame->UpdateDisplayValues(sensor, 1, &record);
        if (m_peers.measureControl) m_peers.measureControl->CheckSensorVersion(0);
    } else {
        COM_StartInitStep();
    }
    m_nCurSensor = 0;
    m_strActivePortName = rec.m_strPortName;
    if (sensor >= 0 && sensor < kMaxSensorPorts) m_nPortRecOfSensor[static_cast<std::size_t>(sensor)] = row;
    return kPortStateActive;
}

bool CComPort::COM_StartInitStep() { return COM_ZMStartInit(); }

CString CComPort::PortNameOfSensor(int sensor) const
{
    if (sensor >= 0 && sensor < kMaxSensorPorts) {
        const int row = m_nPortRecOfSensor[static_cast<std::size_t>(sensor)];
        if (ValidRow(row) && !m_PortRec[static_cast<std::size_t>(row)].m_strPortName.IsEmpty())
            return m_PortRec[static_cast<std::size_t>(row)].m_strPortName;
    }
    return m_strActivePortName.IsEmpty() ? m_strOpenPortName : m_strActivePortName;
}

void CComPort::OpenSensorPort(workflow::ISensorPort& port, const CPortRecord& row)
{
    port.SetOffLine();
    port.SetLineSettings(SensorLine(row.m_nBaudRate));
}

void CComPort::COM_SetupConnectedSensor()
{
    m_pPortManOfPort[0].reset();
    ResetConnectionState();
    if (!m_peers.connection) return;
    const CString active = workflow::WorkflowText(workflow::kTextPortActive);
    const CString available = workflow::WorkflowText(workflow::kTextPortAvailable);
    const int rows = m_nPortRecCount < kPortTableRows ? m_nPortRecCount : kPortTableRows;

    for (int row = 0; row < rows; ++row) {
        CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
        const CString status = m_peers.connection->GetItemText(row, 6);
        if (status == available) {
            rec.m_nState = kPortStateAvailable;
            continue;
        }
        if (status != active) continue;

        if (!m_pPortMan && StepWindow()) COM_CreatePortManager(*StepWindow());
        if (!m_pPortMan) return;
        OpenSensorPort(*m_pPortMan, rec);
        if (!m_pPortMan->OpenPort(rec.m_strPortName)) {
            // A port that did not open holds no connected sensor.
            rec.m_nState = kPortStateNotOpenable;
            continue;
        }
        rec.m_nState = kPortStateActive;
        m_Sensor[0] = rec.m_Sensor;
        // Not read again: its blocks are those the search read from it.
        TakeKeptBlocksOf(m_Sensor[0]);
        m_nPortRecOfSensor[0] = row;
        const int current = m_nCurSensor >= 0 && m_nCurSensor < kMaxSensorPorts ? m_nCurSensor : 0;
        if (m_pMainFrame) m_pMainFrame->UpdateDisplayValues(current, 1, &m_Sensor[static_cast<std::size_t>(current)]);
        COM_CalcScaleFactors(current);
        if (m_peers.measureControl) m_peers.measureControl->CheckSensorVersion(0);
        HandOverBlockTexts(0, m_Sensor[0]);
        if (m_Sensor[0].m_bConnected) {
            SetFirstSensorConnected();
            m_Sensor[0].m_sRotorHeader.cTypeClass = 'Y';
        }
    }
}

void CComPort::COM_CompleteSensorSetup(int sensor, CWnd& window)
{
    const CString active = workflow::WorkflowText(workflow::kTextPortActive);
    const CString available = workflow::WorkflowText(workflow::kTextPortAvailable);
    const int rows = m_nPortRecCount < kPortTableRows ? m_nPortRecCount : kPortTableRows;

    for (int row = m_nLastActivatedRow + 1; row >= 0 && row < rows; ++row) {
        m_pPortMan.reset();
        CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
        const CString status = m_peers.connection ? m_peers.connection->GetItemText(row, 6) : CString();
        const bool autoActivate = m_nAutoActivateRow > 255;
        if (status != active && !(status == available && autoActivate)) {
            if (status == available) rec.m_nState = kPortStateAvailable;
            continue;
        }
        const int slot = m_nCountActivePorts < 0 ? 0 : m_nCountActivePorts;
        if (slot >= kMaxSensorPorts || sensor < 0 || sensor >= kMaxSensorPorts) break;

        std::shared_ptr<workflow::ISensorPort> port =
            MakePort(window, workflow::kMsgFurtherPortEvent + slot, workflow::kMsgFurtherPortData + slot);
        if (autoActivate && m_peers.connection) m_peers.connection->SetItemText(row, 6, active);
        if (!port) break;
        OpenSensorPort(*port, rec);
        // Each sensor of the device has a line of its own that can go away.
        port->SetEventMask(0, workflow::kEventDeviceRemoval);
        if (!port->OpenPort(rec.m_strPortName)) {
            // Not opened: not connected and not counted; the next row may still be taken.
            rec.m_nState = kPortStateNotOpenable;
            m_nLastActivatedRow = row;
            continue;
        }
        m_pPortManOfPort[static_cast<std::size_t>(slot)] = port;
        rec.m_nState = kPortStateActive;
        CSensorRecord& record = m_Sensor[static_cast<std::size_t>(sensor)];
        record = rec.m_Sensor;
        m_nPortRecOfSensor[static_cast<std::size_t>(sensor)] = row;
        HandOverBlockTexts(sensor, record);
        // The activation opens the device's first port again: its encoder, already counted when
        // that port was set up, counts once (else a lone encoder would pass for two).
        if (m_nCountActivePorts <= 0) ResetConnectionState();
        if (record.m_bConnected) {
            if (GetConnectedSensorCount() == 0) SetFirstSensorConnected();
            else SetSecondSensorConnected();
            record.m_sRotorHeader.cTypeClass = 'Y';
        }

        // The port counts before the displays and the control page look at it: they lay out
        // and name as many sensors as there are active ports, this one included (counted after
        // them, the last sensor of a device would never be shown or logged as connected).
        m_nLastActivatedRow = row;
        m_nCountActivePorts = slot + 1;
        // A sensor connected anew has not been made a slave by this program yet.
        m_bSlavesSetUp = 0;
        if (m_nCountActivePorts < 2) {
            m_strOpenPortName = rec.m_strPortName;
            m_nActivePortRec = row;
            m_nDefaultBaudRate = rec.m_nBaudRate;
        } else if (rec.m_nBaudRate < m_nDefaultBaudRate) {
            m_nDefaultBaudRate = rec.m_nBaudRate;
        }
        if (m_pMainFrame) m_pMainFrame->UpdateDisplayValues(sensor, 1, &record);
        if (m_peers.measureControl) m_peers.measureControl->CheckSensorVersion(0);
        break;
    }
    if (m_nCurSensor + 1 < 4) SetFrameTimer(kTimerFurtherPort, 100);
}

CString CComPort::COM_MakePortDisplayName(const CString& portText) const
{
    const int blank = portText.Find(' ');
    CString name = blank < 0 ? portText : portText.Left(blank);
    CString description = blank < 0 ? CString() : portText.Mid(blank + 1);
    name.Trim();
    description.Trim();
    CString lower = description;
    lower.MakeLower();
    if (lower.Find(m_strUsbPortTextLower) >= 0) description = "Tessaline USB";
    return description + "   [" + name + "]";
}

CString CComPort::COM_ParsePortDisplayName(const CString& listText) const
{
    CString text = listText;
    text.Replace('[', ' ');
    text.Replace(']', ' ');
    const int com = text.Find("COM");
    CString description = com < 0 ? text : text.Left(com);
    CString name = com < 0 ? CString() : text.Mid(com);
    description.Trim();
    name.Trim();
    if (description == "Tessaline USB") description = m_strUsbPortText;
    return name + "   " + description;
}
