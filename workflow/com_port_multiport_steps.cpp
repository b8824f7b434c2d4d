// Steps that address every sensor of a multiport device, port by port: the slave set-up, one
// value from every port, the channel assignment, a new baud code, the restart and the angle
// zero. Each writes one request per port; the measurement-mode receive path counts the answers.

#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"
#include "workflow/workflow_texts.h"

namespace {


constexpr UINT kSlavesPreparedMs = 1250;

// The slave set-up frame: 'Z' to address 0x01 0xFF with the data 0x04 'A', start bytes doubled.
CString SlaveSetupFrame()
{
    const BYTE head[] = {0x02, 'Z', 0x01, 0xFF, 0x02, 0x04, 'A'};
    CString frame(head, static_cast<int>(sizeof head));
    AppendFrameSums(frame);
    StuffStx(frame);
    return frame;
}

}  // namespace

std::shared_ptr<workflow::ISensorPort>& CComPort::ManagerOfSensor(int sensor)
{
    if (m_nCountActivePorts > 1 && sensor >= 0 && sensor < kMaxSensorPorts)
        return m_pPortManOfPort[static_cast<std::size_t>(sensor)];
    return m_pPortMan;
}

bool CComPort::COM_4xS_SetSlaves()
{
    // A measurement that runs, or whose stream still comes in after its stop, has its slaves
    // following already: a set-up written now would take over the stream's step and empty the
    // ports' buffers, and the sets on their way would be lost (and the set-up's answers mixed
    // with them). Its stop ends their following, and the next start sets them up again. Nor
    // while another step awaits its sensor's answer (the set-up stored before a search, a block
    // written): the slaves' set-up would take its step, its answer would go unheard, and the
    // connection would be ended as unstable; the panel's watch sets them up once it is over.
    if (m_iZMCOMConfgFlow == ZM_TRIGGER_ACTIV || m_iZMCOMConfgFlow == ZM_4xS_START_SSOSM || IsMeasurementRunning() ||
        IsStopTailComing() || AreSensorsReturning() || m_nAnswerWatchMs != 0)
        return false;
    WriteSlaveSetUp();
    return true;
}

void CComPort::WriteSlaveSetUp()
{
    const CString frame = SlaveSetupFrame();
    SetCommand('Z');
    m_nSlaveAcks = 0;
    m_nSlaveAckPorts = 0;
    m_bSlavesSetUp = 0;
    m_bSlaveSetUpAwaited = 1;
    // The set-up ends any stream before it: its answers are no records (the developer's
    // value-loss test would number them as such).
    m_bStreamStarted = 0;
    m_iZMCOMConfgFlow = ZM_4xS_SET_234_TO_SLAVE;
    for (int port = 0; port < kMaxSensorPorts; ++port) EmptyRecvBuffer(port);
    for (int port = 1; port < m_nCountActivePorts && port < kMaxSensorPorts; ++port)
        WriteOn(m_pPortManOfPort[static_cast<std::size_t>(port)], frame);
    SetFrameTimer(kTimerSlavesPrepared, kSlavesPreparedMs);
    if (m_pMainFrame) m_pMainFrame->SetDrained(false);
}

void CComPort::COM_ShowSensorsNotPreparedMessage()
{
    if (!IsPreparingSlaves()) return;
    m_bSlaveSetUpAwaited = 0;
    if (m_nStartAfterSlaves == 0 && m_peers.measureControl) m_peers.measureControl->EndSingleShot();
    // A device of fewer sensors has no slaves to prepare (and no number word to name them).
    if (m_nCountActivePorts < 2 || m_nCountActivePorts > kMaxSensorPorts) return;
    CString text;
    text.Format(workflow::WorkflowText(workflow::kTextSensorsNotPrepared).GetString(),
                workflow::WorkflowText(workflow::kTextNumberWordBase + static_cast<UINT>(m_nCountActivePorts)).GetString());
    AfxMessageBox(text);
}

bool CComPort::COM_4xS_SingleShot(int port)
{
    CString request;
    BuildValueRequest(request);
    m_iZMCOMConfgFlow = ZM_4xS_SINGLE_SHOT;
    for (int p = 0; p < kMaxSensorPorts; ++p) {
        EmptyRecvBuffer(p);
        m_bPortAnswered[static_cast<std::size_t>(p)] = 0;
    }
    bool all = true;
    for (int p = 0; p < m_nCountActivePorts && p < kMaxSensorPorts; ++p) {
        if (m_bSinglePortValueRequest && p != port) continue;
        all = WriteAwaitingAnswer(m_pPortManOfPort[static_cast<std::size_t>(p)], request) && all;
    }
    return all;
}

// Unlike the single shot, the poll leaves the ports' buffers and answered marks alone: an
// answer still on its way when the next tick asks again counts towards the set it completes.
bool CComPort::PollEveryPort(const CString& request)
{
    m_iZMCOMConfgFlow = ZM_4xS_SINGLE_SHOT;
    m_bSinglePortValueRequest = 0;
    bool all = true;
    for (int p = 0; p < m_nCountActivePorts && p < kMaxSensorPorts; ++p)
        all = WriteOn(m_pPortManOfPort[static_cast<std::size_t>(p)], request) && all;
    if (all) ArmPollAnswerWait();
    return all;
}

bool CComPort::AllPortsAnswered() const
{
    for (int p = 0; p < m_nCountActivePorts && p < kMaxSensorPorts; ++p)
        if (!m_bPortAnswered[static_cast<std::size_t>(p)]) return false;
    return m_nCountActivePorts > 0;
}

void CComPort::COM_CheckMultiSensorIndices()
{
    COM_ResetRealSensorIndex();
    workflow::IConnectionPage* page = m_peers.connection;
    const int n = std::min(m_nCountActivePorts, kMaxSensorPorts);
    std::array<bool, kPortTableRows> taken{};
    for (int channel = 0; page && channel < n; ++channel) {
        int bestRow = -1;
        int bestOrdinal = -1;
        int bestIndex = 256;
        int ordinal = -1;
        for (int row = 0; row < kPortTableRows && row < page->GetItemCount(); ++row) {
            const CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
            if (rec.m_nState != kPortStateActive) continue;
            ++ordinal;
            if (taken[static_cast<std::size_t>(row)] || !page->IsRowMarked(row)) continue;
            const int index = rec.m_Sensor.m_sStatorHeader.cModuleIndex;
            if (index < bestIndex) {
                bestIndex = index;
                bestRow = row;
                bestOrdinal = ordinal;
            }
        }
        if (bestRow < 0) break;  // fewer marked rows than ports: the rest keep their own channel
        if (bestIndex == 0 || bestIndex > 4 || bestOrdinal >= kMaxSensorPorts) {
            AfxMessageBox("One or more TM-VQs from VQ-USB3 do not have a correct sensor index.\nThe Numbers of the "
                          "sensors in der Application may differ from these on device");
            COM_ResetRealSensorIndex();
            break;
        }
        taken[static_cast<std::size_t>(bestRow)] = true;
        m_nRealSensorIndex[0][static_cast<std::size_t>(bestOrdinal)] = channel;
        m_nRealSensorIndex[1][static_cast<std::size_t>(channel)] = bestOrdinal;
    }
    m_nCurSensor = 0;
}

int CComPort::SensorWithoutStatorOperationBlock() const
{
    for (int port = 0; port < m_nCountActivePorts && port < kMaxSensorPorts; ++port)
        if (!IsBlockFrameText(m_Sensor[static_cast<std::size_t>(port)].m_strBlockStatorOperation)) return port;
    return -1;
}

bool CComPort::COM_ZMCOMConfgSetStatorOperationFromDialog(BYTE baudCode)
{
    // The controller's kept block is that of the sensor read last: another sensor's limits and
    // filters must not be written into one whose own block is not known.
    if (SensorWithoutStatorOperationBlock() >= 0) return false;
    m_iZMCOMConfgFlow = ZM_PORT_LOOP_STATOR_OPERATION;
    if (m_pMainFrame) m_pMainFrame->BeginWaitCursorOnce();
    m_nPortLoop = 0;
    for (int port = 0; port < kMaxSensorPorts; ++port) EmptyRecvBuffer(port);
    const std::int64_t now = platform::CalendarSeconds();
    for (int port = 0; port < m_nCountActivePorts && port < kMaxSensorPorts; ++port) {
        CSensorRecord& sensor = m_Sensor[static_cast<std::size_t>(port)];
        StatorOperation& op = sensor.m_sStatorOperation;
        op.cBaudCode = baudCode;
        if (m_peers.startUp) m_peers.startUp->SetShowProgressInList(true);
        // Each sensor's own kept block is the template of its write.
        CString block = sensor.m_strBlockStatorOperation;
        bool written = PrepareWriteBlockFrame(block, 0x02) &&
                       KadSend_WriteBlockSetContentStatorOperation(&block, &now, &op.cByte12, &op.cBusAddress,
                                                                   &op.cOperationFlag, &op.cBaudCode, &op.cEncoderMode,
                                                                   &op.cByte18, &op.nFilterA, &op.nFilterB);
        if (written) {
            CString frame;
            BuildWriteBlockFrame(frame, block, false);
            written = !frame.IsEmpty() && WriteOn(m_pPortManOfPort[static_cast<std::size_t>(port)], frame);
        }
        if (!written) {
            if (m_peers.startUp) m_peers.startUp->EndSearchProgress();
            if (m_peers.connection) m_peers.connection->ClearBusyFlag();
            return false;
        }
    }
    if (m_peers.connection) m_peers.connection->SetTimer(workflow::kConnPageTimerPortLoop, 500);
    return true;
}

bool CComPort::COM_ZMRestartSensorAfterInit()
{
    m_iZMCOMConfgFlow = ZM_RESTART_AFTER_INIT_DEVICE;
    m_bSlavesSetUp = 0;  // restarted slaves have forgotten their set-up
    // The sensors leave and are connected again: nothing may be started on them until then.
    HoldMeasuringUntilConnected(true);
    CString request;
    BuildRestartRequest(request);
    m_nPortLoop = 0;
    for (int port = 0; port < kMaxSensorPorts; ++port) {
        EmptyRecvBuffer(port);
        m_bPortAnswered[static_cast<std::size_t>(port)] = 0;
    }
    for (int port = 0; port < m_nCountActivePorts && port < kMaxSensorPorts; ++port) {
        if (!WriteAwaitingAnswer(m_pPortManOfPort[static_cast<std::size_t>(port)], request, kRestartSilenceMs)) {
            if (m_peers.startUp) m_peers.startUp->EndSearchProgress();
            HoldMeasuringUntilConnected(false);
            return false;
        }
    }
    m_bDeviceRestarting = true;
    return true;
}

bool CComPort::SendAngleZeroTo(int sensor, bool report)
{
    CString request;
    BuildAngleZeroRequest(request);
    // Of a multiport device the first and second sensor of the connection state are its
    // encoders, whose angle channels are the second and fourth (as the value analysis unwraps
    // them): the zero goes to the port that carries that channel.
    int portIndex = 0;
    if (m_nCountActivePorts > 1) {
        const int channel = 2 * sensor + 1;
        if (channel >= m_nCountActivePorts) return true;  // no such encoder: nothing to zero
        portIndex = m_nRealSensorIndex[1][static_cast<std::size_t>(channel)];
        if (portIndex < 0 || portIndex >= kMaxSensorPorts) return true;
    }
    const auto& port = m_nCountActivePorts > 1 ? m_pPortManOfPort[static_cast<std::size_t>(portIndex)] : m_pPortMan;
    if (WriteAwaitingAnswer(port, request)) {
        m_bPortAnswered[static_cast<std::size_t>(portIndex)] = 0;
        return true;
    }
    if (report) AfxMessageBox(CString::Formatted("Write port error ( 23%d)", sensor == 0 ? 5 : 6));
    return false;
}

bool CComPort::SendAngleZeroToSelected(bool report)
{
    // Only the sensors asked owe their acknowledgement.
    m_bPortAnswered.fill(1);
    bool written = true;
    if (IsFirstSensorSelected()) written = SendAngleZeroTo(0, report);
    if (m_nCountActivePorts >= 2 && IsSecondSensorSelected()) written = SendAngleZeroTo(1, report) && written;
    return written;
}

bool CComPort::COM_SendAngleZero(BYTE flag, bool report)
{
    if (flag) {
        if (m_pMainFrame) m_pMainFrame->SetAngleOffsetsZero();
        m_iZMCOMConfgFlow = ZM_ANGLE_ZERO;
    }
    return SendAngleZeroToSelected(report);
}

bool CComPort::COM_SendAngleZeroInStream()
{
    // The acknowledgement is analysed in the state that sent the request: the stream's own.
    m_iZMCOMConfgFlowPrev = m_iZMCOMConfgFlow;
    if (m_pMainFrame) m_pMainFrame->SetAngleOffsetsZero();
    return m_nCountActivePorts >= 2 ? SendAngleZeroToSelected(false) : SendAngleZeroTo(0, false);
}

bool CComPort::COM_SendRestartWithCheck(BYTE check)
{
    // A single sensor carries the angle channel it measures with, whatever the power channels
    // select; of a multiport device the sensors whose angle channel is selected.
    if (m_nCountActivePorts >= 2) return COM_SendAngleZero(1, check != 0);
    if (m_pMainFrame) m_pMainFrame->SetAngleOffsetsZero();
    m_iZMCOMConfgFlow = ZM_ANGLE_ZERO;
    return SendAngleZeroTo(0, check != 0);
}
