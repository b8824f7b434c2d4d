// Probing of the ports found by the search: each row is opened at one baud rate after the
// other and asked for its long status; Ethernet module ports get longer waits.

#include <algorithm>

#include "platform/message_box.h"
#include "workflow/com_port.h"
#include "workflow/port_names.h"
#include "workflow/workflow_texts.h"

namespace {
const char kEthernetModuleText[] = "lantronix cpr port";
constexpr int kUnsettledBaud = 44444;
constexpr UINT kProbeStreamDrainMs = 100;
}  // namespace

bool CComPort::IsEthernetModuleRow(int row) const
{
    if (!ValidRow(row)) return false;
    CString lower = m_PortRec[static_cast<std::size_t>(row)].m_strPortName;
    lower.MakeLower();
    return lower.Find(kEthernetModuleText) >= 0;
}

bool CComPort::IsRowSkippedForUsbOnly(int row, const CString& lowerText) const
{
    const CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
    const bool usbOnlyShown = m_peers.connection && m_peers.connection->IsUsbPortsOnly();
    const bool usbOnlySearch = m_peers.startUp && m_peers.startUp->IsSearchUsbOnly();
    if (usbOnlyShown && rec.m_nSavedState != kPortStateAvailable && rec.m_nSavedState != kPortStateActive) return true;
    if (usbOnlySearch) {
        CString description = rec.m_strDescription;
        description.Trim();
        description.MakeLower();
        if (!COM_IsTessalineUsbPort(lowerText) && !COM_IsTessalineUsbPort(description)) return true;
    }
    return false;
}

void CComPort::COM_ProbeNextPort()
{
    m_probeStreamStop = ProbeStreamStop::NotStopped;
    const CString stateText = m_pPortMan ? m_pPortMan->GetStateText() : CString("OffLine");
    bool moveOn = (stateText == m_strPortState && m_BaudCandidates.empty()) || m_nProbeState == -2;
    if (m_pMainFrame && m_pMainFrame->IsWaitingForReconnect()) {
        moveOn = true;
        m_pMainFrame->SetWaitForReconnect(false);
    }
    if (m_bProbeNextRow) {
        moveOn = true;
        m_bProbeNextRow = 0;
    }

    const int row = moveOn && m_nRowCounter > 0 ? m_nRowCounter - 1 : m_nRowCounter;
    if (!ValidRow(row)) {
        // Nothing left to probe on a table that holds no such row.
        COM_EndSearch();
        m_nProbeState = -2;
        return;
    }
    CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
    CString lower = rec.m_strPortName;
    lower.Trim();
    lower.MakeLower();
    const bool skipped = IsRowSkippedForUsbOnly(row, lower);
    const bool ethernet = !skipped && lower.Find(kEthernetModuleText) >= 0;
    if (ethernet) m_bEthernetSeen = 1;

    int portNumber = -1;
    if (!skipped) {
        portNumber = workflow::ComPortNumber(rec.m_strPortName);
        if (workflow::ExtractComPortName(rec.m_strPortName).IsEmpty()) {
            if (m_pMainFrame) m_pMainFrame->SetWaitForReconnect(true);
            return;
        }
    }
    const bool markKnown = portNumber >= 0 && portNumber < static_cast<int>(m_nPortMark.size());

    if (!moveOn) {
        m_nProbeState = rec.m_nBaudRate;
        if ((m_nProbeState < 0 || m_nProbeState == kUnsettledBaud) && !m_BaudCandidates.empty()) {
            m_nBaudRate = m_BaudCandidates.front();
            if (m_pPortMan) m_pPortMan->SetOffLine();
            m_BaudCandidates.erase(m_BaudCandidates.begin());
            SetFrameTimer(kTimerProbeNextBaud, 100);
        } else {
            // Nine progress steps 20 ms apart, then 200 ms until the row is passed over: the
            // steps run on their own timer, the pass-over is due when it always was.
            StepProbeProgress(9);
            SetFrameTimer(kTimerProbePassOver, 9 * 20 + 200);
            m_nProbeState = -2;
        }
        return;
    }

    if (m_peers.connection) m_peers.connection->SetTimer(workflow::kConnPageTimerProbeTimeout, 80000);
    bool progressMoved = false;
    if (!skipped && m_nRowCounter > 0) {
        m_BaudCandidates.clear();
        // A kept baud rate (the sensor was just switched to it) is tried alone.
        const bool keptRate = m_nKeepBaud > 0 && row == m_nKeepBaudRow;
        if (keptRate) {
            m_BaudCandidates.push_back(m_nKeepBaud);
        } else if (markKnown && m_nPortMark[static_cast<std::size_t>(portNumber)] > 0) {
            m_BaudCandidates.push_back(m_nPortMark[static_cast<std::size_t>(portNumber)]);
        } else if (ethernet && !m_bReconnectPending) {
            if (m_peers.startUp) m_peers.startUp->BeginPortProgress(row);
            progressMoved = true;
            const bool usbOnlyShown = m_peers.connection && m_peers.connection->IsUsbPortsOnly();
            m_BaudCandidates.push_back(usbOnlyShown ? -1 : 115200);
        }
        if (!keptRate && (m_BaudCandidates.empty() || m_BaudCandidates.front() > 0)) {
            for (int baud : {115200, 230400})
                if (std::find(m_BaudCandidates.begin(), m_BaudCandidates.end(), baud) == m_BaudCandidates.end())
                    m_BaudCandidates.push_back(baud);
        }
        m_nBaudRate = m_BaudCandidates.front();
        m_BaudCandidates.erase(m_BaudCandidates.begin());
        m_nProbeState = -1;
    } else if (skipped) {
        if (rec.m_nState < 0) rec.m_nState = rec.m_nSavedState;
        m_nBaudRate = -1;
    }

    if (m_nRowCounter < 1) {
        COM_EndSearch();
        if (m_peers.connection) m_peers.connection->KillTimer(workflow::kConnPageTimerProbeTimeout);
        m_nProbeState = -2;
        return;
    }
    --m_nRowCounter;
    if (m_nBaudRate < 0) {
        SetFrameTimer(kTimerProbePassOver, 200);
        m_nProbeState = -2;
    } else {
        if (!progressMoved && m_peers.startUp) m_peers.startUp->BeginPortProgress(m_nRowCounter);
        COM_ProbeStep(1);
    }
    m_nKeepBaud = -1;
}

void CComPort::COM_ProbeStep(int phase)
{
    const int row = m_nRowCounter;
    if (!ValidRow(row)) return;
    CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
    if (rec.m_strPortName.IsEmpty()) rec.m_strPortName = m_PortRecPrev[static_cast<std::size_t>(row)].m_strPortName;
    if (rec.m_strPortName.IsEmpty()) {
        if (m_pMainFrame) m_pMainFrame->SetWaitForReconnect(true);
        return;
    }
    const bool ethernet = IsEthernetModuleRow(row);

    if (phase == 1) {
        if (rec.m_nState == kPortStateSelected) rec.m_nEnabled = 1;
        SetFrameTimer(kTimerProbeOpen, ethernet ? 100 : 5);
        return;
    }
    if (phase != 2) return;

    if (!(rec.m_nState == kPortStateSelected && rec.m_nEnabled != 1)) {
        // The port opens after its rest off-line; the request follows the open.
        if (COM_ActivatePort(row, [this, row](bool opened) { ContinueProbeAfterOpen(row, opened); })) return;
        rec.m_nState = kPortStateNotOpenable;
    }
    ArmProbeAnswerWait(row);
}

void CComPort::ContinueProbeAfterOpen(int row, bool opened)
{
    if (!opened) {
        m_PortRec[static_cast<std::size_t>(row)].m_nState = kPortStateNotOpenable;
        ArmProbeAnswerWait(row);
        return;
    }
    AskProbedRow(row);
}

void CComPort::ArmProbeAnswerWait(int row, UINT afterMs)
{
    const bool ethernet = IsEthernetModuleRow(row);
    if (ethernet) m_PortRecPrev[static_cast<std::size_t>(row)].m_nState = kPortStateAvailable;
    SetFrameTimer(kTimerProbeAnswerWait, afterMs + (ethernet ? 500 : 200));
}

void CComPort::COM_ProbeAnswerWaitExpired()
{
    if (m_iZMCOMConfgFlow == ZM_CHECK_IF_HMB_USB_KM2_CHECK_ADDRESSES) {
        // Bytes came, but no answer: a stream too slow to be recognised yet, or another device.
        // A stop signal costs a device that does not stream nothing, and a sensor that does
        // answers once it is stopped.
        if (m_probeStreamStop == ProbeStreamStop::NotStopped && !m_strProbeBytes.IsEmpty()) {
            StopProbedStream();
            return;
        }
        if (m_probeStreamStop == ProbeStreamStop::AskedAgain && HoldsValueRecords(m_strProbeBytes)) {
            PassOverStreamThatWillNotStop();
            return;
        }
    }
    COM_ProbeNextPort();
}

void CComPort::StopProbedStream()
{
    KillFrameTimer(kTimerProbeAnswerWait);
    m_probeStreamStop = ProbeStreamStop::Draining;
    m_strReceiveCOM.Empty();
    WriteStopSignalOnFirstPort();  // as a measurement ends, on the probed port alone
    const int row = m_nRowCounter;
    PauseThen(kTimerProbeStreamDrain, kProbeStreamDrainMs, [this, row] {
        // Anything that moved the probe on meanwhile (its time limit, a device change) wins.
        if (m_probeStreamStop != ProbeStreamStop::Draining || m_nRowCounter != row || !ValidRow(row)) return;
        m_probeStreamStop = ProbeStreamStop::AskedAgain;
        AskProbedRow(row);
    });
}

void CComPort::PassOverStreamThatWillNotStop()
{
    const CString port = COM_MakePortDisplayName(m_PortRec[static_cast<std::size_t>(m_nRowCounter)].m_strPortName);
    // Its stream must not reach the probe of the next port before this one is closed for it.
    if (m_pPortMan) m_pPortMan->SetOffLine();
    m_strReceiveCOM.Empty();
    m_strProbeBytes.Empty();
    // The sensor is on this port at this rate: the other rates would only find its stream again.
    m_BaudCandidates.clear();
    m_bProbeNextRow = 1;
    COM_ProbeNextPort();
    // Told once the probe has gone on, so that the search does not wait for the user.
    CString text;
    text.Format(workflow::WorkflowText(workflow::kTextStreamWillNotStop).GetString(), port.GetString());
    AfxMessageBox(text, platform::MB_ICONWARNING);
}

void CComPort::StepProbeProgress(int steps)
{
    if (m_peers.startUp) m_peers.startUp->StepSearchProgress(0);
    if (steps > 1) PauseThen(kTimerProbeProgress, 20, [this, steps] { StepProbeProgress(steps - 1); });
}

void CComPort::AskProbedRow(int row)
{
    m_iZMCOMConfgFlow = ZM_CHECK_IF_HMB_USB_KM2_CHECK_ADDRESSES;
    m_strReceiveCOM.Empty();
    // A request after a stop signal keeps what came before it: a slow stream shows as one.
    if (m_probeStreamStop == ProbeStreamStop::NotStopped) m_strProbeBytes.Empty();
    SetSensorAddress(1, 255);
    CString request;
    BuildStatusLongRequest(request);
    if (!WriteFirstPort(request)) {
        // No answer wait: it would start a second chain of steps beside the next row's.
        if (ValidRow(row)) m_PortRec[static_cast<std::size_t>(row)].m_nState = kPortStateNotOpenable;
        COM_ProbeNextPort();
        return;
    }
    if (IsEthernetModuleRow(row) && m_peers.startUp) m_peers.startUp->StepSearchProgress(0);
    // The answer wait (200 or 500 ms) has always begun 10 ms after the request: it ends when
    // it did, and an answer that comes sooner ends it as any answer does.
    ArmProbeAnswerWait(row, 10);
}

void CComPort::COM_EvaluateProbeAnswer(int sensor)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts || !ValidRow(m_nRowCounter)) return;
    CPortRecord& rec = m_PortRec[static_cast<std::size_t>(m_nRowCounter)];
    CSensorRecord& record = m_Sensor[static_cast<std::size_t>(sensor)];

    bool refused = false;
    if (m_peers.startUp && m_peers.startUp->IsSearchUsbOnly()) {
        CString lower = rec.m_strPortName;
        lower.Trim();
        lower.MakeLower();
        refused = !workflow::IsComPortText(rec.m_strPortName) || lower.Find("tessaline usb") < 0;
    }
    if (!refused && COM_IsAcceptedDeviceVersion(record.m_sIdent[kIdentStatorId], record.m_sIdent[kIdentStatorRevision],
                                                record.m_sIdent[kIdentOem])) {
        if (m_peers.startUp) m_peers.startUp->StepSearchProgress(0);
        rec.m_nState = kPortStateAvailable;
        ++m_nSensorPortCount;
        m_nAutoActivateRow = m_nRowCounter;
        m_strReceiveCOM.Empty();
        SendBlockRead(0x00);
        return;
    }

    // Of this sensor only its status answer was read: the rest of the record is what was read
    // from the sensor probed before, which its row must not show as this one's.
    const auto ident = record.m_sIdent;
    record.Reset();
    record.m_sIdent = ident;
    PassOverUnusableSensor(sensor);
}

void CComPort::PassOverUnusableSensor(int sensor)
{
    CPortRecord& rec = m_PortRec[static_cast<std::size_t>(m_nRowCounter)];
    if (rec.m_nState == kPortStateAvailable) {
        // Its status answer had made it a sensor port: the row the activation takes is the
        // sensor port probed before it (rows are probed from the last one up), if any.
        --m_nSensorPortCount;
        m_nAutoActivateRow = -1;
        for (int row = m_nRowCounter + 1; row < kPortTableRows && m_nAutoActivateRow < 0; ++row)
            if (m_PortRec[static_cast<std::size_t>(row)].m_nState == kPortStateAvailable) m_nAutoActivateRow = row;
    }
    rec.m_nState = kPortStateNotSupported;
    rec.m_Sensor = m_Sensor[static_cast<std::size_t>(sensor)];
    if (m_pMainFrame) m_pMainFrame->UpdateDisplayValues(sensor, 0, nullptr);
    if (m_nRowCounter < 1) COM_EndSearch();
    else COM_ProbeNextPort();
}

void CComPort::SendBlockRead(BYTE blockNumber)
{
    CString request;
    ReadConfig(&request, blockNumber);
    if (!WriteFirstPort(request)) return;
    m_cAwaitedRequest = 'D';  // a refusal names this block (GetBlockNumber)
    // An identification that stops half-way is noticed as its status request would be.
    if (m_iZMCOMConfgFlow == ZM_START_INIT) ArmIdentificationWatch();
}
