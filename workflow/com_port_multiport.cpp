// The ports of a multiport device in measurement mode: each port's bytes are buffered, answer
// frames at the head of a buffer are checked and handed to the handler of the state, and the
// measured-value streams of all ports are merged into complete value sets, one value per
// sensor, which go to the main frame's new-values entry.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/message_box.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"
#include "workflow/workflow_texts.h"

namespace {

constexpr BYTE kStx = 0x02;
constexpr BYTE kAck = 0x06;
constexpr BYTE kNak = 0x15;
constexpr int kAckLength = 7;
constexpr int kHelloLength = 8;
constexpr int kNakLength = 8;
constexpr int kFrameOverhead = 7;
constexpr int kValueAnswerLength = 16;
constexpr int kRecordLength = 3;
constexpr int kLongestCheckedFrame = 41;
constexpr int kExitStreamError = 3;
constexpr UINT_PTR kConnPageTimerRestartDone = 3;


bool DispatchesFrames(int state)
{
    switch (state) {
    case 35: case 37: case 46: case 48: case 53: case 54: case 55: case 56:
    case ZM_4xS_SET_234_TO_SLAVE: case ZM_4xS_SINGLE_SHOT: case ZM_4xS_CTRL_OFF: case ZM_4xS_CTRL_ON:
    case ZM_4xS_SERIAL_NUMBER: case ZM_4xS_STATOR_OPERATION: case ZM_ANGLE_ZERO:
        return true;
    default:
        return false;
    }
}

bool IsStreamState(int state) { return state == ZM_4xS_START_SSOSM || state == ZM_TRIGGER_ACTIV; }

// The steps that wait for the sensors' greeting after a restart: any bytes end them.
bool IsRestartState(int state) { return state == ZM_RESTART_AFTER_INIT_DEVICE || state == ZM_CNFG_NEW_LOW_PASS_IS_SETTED; }

// The bytes the frame at the head of a buffer takes on the line, its inner start bytes doubled;
// 0 while it is not complete.
int WireLengthOfFrame(const BYTE* buffer, int held)
{
    int need = 5;
    int out = 0;
    int in = 0;
    while (out < need) {
        if (in >= held) return 0;
        const BYTE b = buffer[in++];
        ++out;
        if (b == kStx && out > 1) {
            if (in >= held) return 0;
            if (buffer[in] == kStx) ++in;
        }
        if (out == 5) need = b + kFrameOverhead;
    }
    return in;
}

}  // namespace

LRESULT CComPort::OnReceivePort(int port, WPARAM count, LPARAM bytes)
{
    if (port < 0 || port >= kMaxSensorPorts) return 0;
    // A sensor read again talks as the first port does.
    if (m_nCountActivePorts < 2 || port == m_reread.sensor) return OnReceiveChain(count, bytes);
    RestartWatchesOnDelivery();

    const auto* data = reinterpret_cast<const BYTE*>(bytes);
    const int length = data ? static_cast<int>(count) : 0;
    const auto slot = static_cast<std::size_t>(port);
    workflow::MergePort& merge = m_merge.port[slot];
    const bool stoppedByUser = m_pMeasureCtrlSettings && m_pMeasureCtrlSettings->bStoppedByUser;

    if (m_bSyncTestMode) {
        if (!m_bStreamStarted) {
            for (workflow::MergePort& p : m_merge.port) p.testCounter = 0;
            m_merge.testDropDone = 0;
        }
        if (m_bSyncTestDropOne && !m_merge.testDropDone && port == m_nSyncTestPort && length > 0 &&
            static_cast<signed char>(data[0]) == m_nSyncTestFirstByte &&
            static_cast<unsigned>(m_nRecordCount) > m_nSyncTestAfterRecords && !stoppedByUser) {
            m_merge.testDropDone = 1;
            merge.skipMarked = 1;
            return 0;
        }
    }
    if (length == 0) AfxMessageBox("kein Byte empfangen!");

    const int state = m_iZMCOMConfgFlow;
    if (state == ZM_MEASURE_TIME_REACHED || (m_pMainFrame && m_pMainFrame->IsDrained())) return 0;

    int& held = m_nRecvCount[slot];
    auto& buffer = m_RecvBuf[slot];
    // Only the start of the master signal may wait in a buffer between two deliveries.
    const bool signalPending = held > 0 && buffer[0] == kStx && IsAckPrefix(buffer.data(), held, true);
    if (IsStreamState(state) && m_bStreamStarted && m_bMeasureRunning && held > 2 && !signalPending) {
        CString snapshot;
        snapshot.Format("Momentaufnahme vor dem Schließen.\n\nSensor Nr. %d\nRestlänge  %d\n+Size      %d\nWorkflow  %s\n",
                        port, held, length, ZmCodeName(state).GetString());
        EndApplicationOnStreamError(
            CString("Error: The length of the chain of unaccounted bytes is greater as 2.\nThe program will be cancelled.\n\n") +
            snapshot);
        return 0;
    }
    if (length > kRecvBufSize - held) {
        // A port that delivers more than its buffer holds has lost its framing anyway.
        return 0;
    }
    if (length > 0) std::memcpy(buffer.data() + held, data, static_cast<std::size_t>(length));
    held += length;

    if (m_bSyncTestMode && m_bStreamStarted && !stoppedByUser) {
        if (merge.skipMarked) {
            ++merge.testCounter;
            merge.skipMarked = 0;
        }
        for (int i = 0; i + kRecordLength <= held; i += kRecordLength) {
            buffer[static_cast<std::size_t>(i + 1)] = static_cast<BYTE>((merge.testCounter >> 8) & 0xFF);
            buffer[static_cast<std::size_t>(i + 2)] = static_cast<BYTE>(merge.testCounter & 0xFF);
            ++merge.testCounter;
        }
    }
    if (held < kRecordLength) return 0;

    if (IsStreamState(state) && !m_bMeasureRunning && !m_bStreamStarted) return 0;
    if (IsRestartState(state) && buffer[0] == kStx && buffer[1] == kNak) {
        // Not the greeting: the sensor refused to restart. A piece of the refusal waits for
        // the rest.
        if (held < kNakLength) return 0;
        m_nCurSensor = port;
        ZMCOMMeasure_AnalyseNak();
        return 0;
    }
    if (DispatchesFrames(state)) {
        merge.skipMarked = 0;
        if (state == ZM_4xS_SINGLE_SHOT) DropSupersededValueAnswers(port);
        ZMCOMMeasure_DispatchFirstByte(port);
    } else if (state == ZM_RESTART_AFTER_INIT_DEVICE) {
        EmptyRecvBuffer(m_nPortLoop);
        EmptyRecvBuffer(port);
    }

    const int n = m_nCountActivePorts;
    switch (m_iZMCOMConfgFlow) {
    case ZM_4xS_START_SSOSM:
    case ZM_TRIGGER_ACTIV:
        ZMCOMMeasure_AnalyseMultiportStream(port);
        break;
    case ZM_4xS_SET_234_TO_SLAVE:
        // A piece of an acknowledgement waits for the rest.
        if (held >= kAckLength || buffer[0] != kStx) EmptyRecvBuffer(port);
        if (m_nSlaveAcks >= n - 1) {
            KillFrameTimer(kTimerSlavesPrepared);
            m_bSlavesSetUp = 1;
            m_bSlaveSetUpAwaited = 0;
            if (m_nStartAfterSlaves != 0) {
                // The stream start waited for its slaves: the master starts it now.
                m_iZMCOMConfgFlow = m_nStartAfterSlaves;
                m_nStartAfterSlaves = 0;
                COM_SendMeasureSetupShort();
            } else if (m_peers.measureControl) {
                m_peers.measureControl->EndSingleShot();
            }
        }
        break;
    case ZM_CNFG_NEW_LOW_PASS_IS_SETTED:
        EndAnswerWait();  // the sensor is back from its restart: the filter change has ended
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        m_bStartupStatus = 0;
        if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
        EmptyRecvBuffer(m_nCurSensor);
        break;
    case ZM_RESTART_AFTER_INIT_DEVICE:
        // Each port counts once, however its greeting is split.
        if (!m_bPortAnswered[slot]) {
            m_bPortAnswered[slot] = 1;
            ++m_nPortLoop;
        }
        if (m_nPortLoop > n - 1) {
            EndAnswerWait();
            m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
            // The connection page searches for them at their restart's end.
            m_bReconnectionAwaited = 1;
            if (m_peers.connection) m_peers.connection->SetTimer(kConnPageTimerRestartDone, 500);
        }
        break;
    default:
        if (DispatchesFrames(m_iZMCOMConfgFlow) && m_iZMCOMConfgFlow != ZM_4xS_SET_234_TO_SLAVE) InvokeReplyHandler();
        break;
    }
    return 0;
}

// Undoes the doubled start bytes of the frame at the head of the port's buffer, in place. False,
// buffer unchanged, while the frame is not complete.
bool CComPort::UnstuffPortFrame(int port)
{
    const auto slot = static_cast<std::size_t>(port);
    BYTE* buffer = m_RecvBuf[slot].data();
    int& held = m_nRecvCount[slot];
    const int wire = WireLengthOfFrame(buffer, held);
    if (wire == 0) return false;
    int out = 0;
    for (int in = 0; in < wire; ++in) {
        buffer[out++] = buffer[in];
        if (buffer[in] == kStx && in > 0 && in + 1 < wire && buffer[in + 1] == kStx) ++in;
    }
    std::memmove(buffer + out, buffer + wire, static_cast<std::size_t>(held - wire));
    held -= wire - out;
    m_anCheckResult[slot] = CheckFrameSums(buffer, out);
    return true;
}

// A value answer that waited in a port's buffer while the sensor's newer answer came behind it
// (a port that held its answers back and sent them together) gives way to the newer one: a set
// takes every sensor's newest value.
void CComPort::DropSupersededValueAnswers(int port)
{
    const auto slot = static_cast<std::size_t>(port);
    BYTE* buffer = m_RecvBuf[slot].data();
    int& held = m_nRecvCount[slot];
    while (held >= 2 && buffer[0] == kStx && buffer[1] == 'A') {
        const int wire = WireLengthOfFrame(buffer, held);
        if (wire == 0 || held - wire < 2 || buffer[wire] != kStx || buffer[wire + 1] != 'A') return;
        std::memmove(buffer, buffer + wire, static_cast<std::size_t>(held - wire));
        held -= wire;
    }
}

int CComPort::ZMCOMMeasure_DispatchFirstByte(int port)
{
    const auto slot = static_cast<std::size_t>(port);
    BYTE* buffer = m_RecvBuf[slot].data();
    int& held = m_nRecvCount[slot];
    const int state = m_iZMCOMConfgFlow;
    bool recognised = false;
    while (held >= kAckLength && !recognised) {
        if (buffer[0] == kStx) {
            const BYTE letter = buffer[1];
            if (letter == kAck && state == ZM_4xS_SET_234_TO_SLAVE) {
                // Only a slave answers its set-up, and each once: an acknowledgement the master
                // still owed an earlier write (one of a baud change refused half-way, say) would
                // count a silent slave as set up, and the stream start would meet that slave's
                // answer instead of the master's.
                const std::uint32_t bit = 1u << port;
                if (port >= 1 && (m_nSlaveAckPorts & bit) == 0) m_nSlaveAckPorts |= bit, ++m_nSlaveAcks;
                return 1;
            }
            if (letter == GetCommand()) {
                recognised = true;
            } else if (letter == '@') {
                // Nothing in measurement mode waits for a greeting: its bytes are dropped.
                if (held < kHelloLength) return 0;
                std::memmove(buffer, buffer + kHelloLength, static_cast<std::size_t>(held - kHelloLength));
                held -= kHelloLength;
                continue;
            } else if (letter == kAck) {
                // An acknowledgement goes to the acknowledgement analysis, whatever answer the
                // request would otherwise have had.
                SetCommand(kAck);
                SetAnswerLength(kAckLength);
                recognised = true;
            } else if (letter == kNak) {
                // A refusal goes to the refusal analysis, never to that of the awaited answer.
                SetCommand(kNak);
                SetAnswerLength(kNakLength);
                recognised = true;
            }
        }
        if (!recognised) {
            // Bytes ahead of a frame start are skipped.
            std::memmove(buffer, buffer + 1, static_cast<std::size_t>(held - 1));
            --held;
        }
    }
    if (!recognised) {
        if (IsSensorReady() && m_pfnPortHandler[slot]) m_pfnReplyHandler = m_pfnPortHandler[slot];
        return 0;
    }
    m_nCurSensor = port;
    ZMCOMMeasure_SetHandler();
    // An incomplete frame waits for the rest; the handler finds too few bytes.
    if (!UnstuffPortFrame(port)) m_anCheckResult[slot] = -1;
    return 1;
}

void CComPort::ZMCOMMeasure_SetHandler()
{
    switch (GetCommand()) {
    case kAck:
        m_pfnReplyHandler = &CComPort::ZMCOMMeasure_AnalyseAck;
        break;
    case kNak:
    case 'K':
        m_pfnReplyHandler = &CComPort::ZMCOMMeasure_AnalyseNak;
        break;
    case 'A':
        m_pfnReplyHandler = &CComPort::ZMCOMMeasure_AnalyseValues;
        if (m_nCurSensor >= 0 && m_nCurSensor < kMaxSensorPorts)
            m_pfnPortHandler[static_cast<std::size_t>(m_nCurSensor)] = m_pfnReplyHandler;
        break;
    default:
        break;
    }
}

int CComPort::CheckFrameSums(const BYTE* bytes, int length)
{
    if (length > kLongestCheckedFrame) return kAnswerTooLong;
    if (length < kFrameOverhead) return kAnswerTooShort;
    const int n = bytes[4];
    if (n + kFrameOverhead > length) return kAnswerTooShort;
    BYTE sums[2] = {0, 0};
    CalcFrameSums(bytes + 1, sums, n + 3);
    int result = 0;
    if (sums[0] != bytes[length - 2]) result += kAnswerSumWrong;
    if (sums[1] != bytes[length - 1]) result += kAnswerWeightedSumWrong;
    return result;
}

void CComPort::ZMCOMMeasure_AnalyseNak()
{
    if (m_nCurSensor < 0 || m_nCurSensor >= kMaxSensorPorts) return;
    const auto slot = static_cast<std::size_t>(m_nCurSensor);
    int& held = m_nRecvCount[slot];
    if (held < 6) return;
    BYTE* buffer = m_RecvBuf[slot].data();
    m_Sensor[slot].m_cRefusalCode = buffer[5];
    const BYTE refusedRequest = RefusedRequest();
    EndAnswerWait();
    const int refusedBlock = BlockWrittenInState(m_iZMCOMConfgFlow);
    if (m_iZMCOMConfgFlow == ZM_WRITE_SEQ_STATOR_OPERATION) {
        m_pfnReplyHandler = nullptr;
        EmptyRecvBuffer(m_nCurSensor);
    } else {
        const int frame = std::min(held, kNakLength);
        std::memmove(buffer, buffer + frame, static_cast<std::size_t>(held - frame));
        held -= frame;
    }
    if (refusedRequest != 0)
        COM_ReportRefusedRequest(refusedRequest, m_nCurSensor, m_Sensor[slot].m_cRefusalCode);
    else if (refusedBlock >= 0)
        COM_ReportRefusedWrite(refusedBlock, m_Sensor[slot].m_cRefusalCode);
}

LONG CComPort::AngleValueOfChannel(int channel, LONG value, int mode)
{
    const bool angleChannel = (channel == 1 && IsFirstSensorSelected()) || (channel == 3 && IsSecondSensorSelected());
    if (!angleChannel) return value;
    const int port = m_nRealSensorIndex[1][static_cast<std::size_t>(channel)];
    if (port < 0 || port >= kMaxSensorPorts) return value;
    if (m_Sensor[static_cast<std::size_t>(port)].m_sStatorOperation.cEncoderMode != 7) return value;
    return static_cast<LONG>(std::trunc(UnwrapCounterValue(channel == 1 ? 0 : 1, value, mode)));
}

void CComPort::ZMCOMMeasure_AnalyseValues()
{
    const int port = m_nCurSensor;
    if (port < 0 || port >= kMaxSensorPorts) return;
    const auto slot = static_cast<std::size_t>(port);
    BYTE* buffer = m_RecvBuf[slot].data();
    int& held = m_nRecvCount[slot];
    if (held < kValueAnswerLength) return;
    const bool good = buffer[0] == kStx && buffer[1] == 'A' && m_anCheckResult[slot] == 0;
    if (good) {
        const int channel = m_nRealSensorIndex[0][slot];
        const auto c = static_cast<std::size_t>(channel >= 0 && channel < kMaxSensorPorts ? channel : port);
        m_auRawCount[c] = GetUInt16(buffer[5], buffer[6]);
        m_aiValue[c] = AngleValueOfChannel(static_cast<int>(c), GetInt16(buffer[9], buffer[10]), -1);
        m_abControlOn[c] = buffer[13] != 0 ? 1 : 0;
        if (m_iZMCOMConfgFlow == ZM_4xS_SINGLE_SHOT) {
            m_bPortAnswered[slot] = 1;
            if (AllPortsAnswered() || m_bSinglePortValueRequest) {
                EndAnswerWait();
                EndPollAnswerWait();
                m_bPortAnswered.fill(0);  // the next set starts from none
                m_iZMCOMConfgFlow = ZM_START_MEASURE_SOSM;
                if (m_pMainFrame) m_pMainFrame->RefreshChannelViews(1);
                m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
                m_pfnReplyHandler = nullptr;
                if (m_bSinglePortValueRequest && m_peers.measureSetup)
                    m_peers.measureSetup->ShowScalingValues(m_aiValue[c], m_aiValue[c]);
                // The device's single shot (also the one that follows a control switch) has
                // ended with its last answer; a poll's set belongs to its measurement.
                const bool measuring = IsMeasurementRunning();
                if (!measuring && m_peers.measureControl) m_peers.measureControl->EndSingleShot();
            }
        }
    }
    // A failed answer is dropped whole, never read as values.
    std::memmove(buffer, buffer + kValueAnswerLength, static_cast<std::size_t>(held - kValueAnswerLength));
    held -= kValueAnswerLength;
    if (good) m_bSinglePortValueRequest = 0;
}

void CComPort::EndApplicationOnStreamError(const CString& text)
{
    AfxMessageBox(text);
    if (m_pMainFrame) m_pMainFrame->ExitApplication(kExitStreamError);
}

void CComPort::StopMultiportMeasurement(const CString& statusLine, const CString& message)
{
    m_bMeasureRunning = 0;
    m_bStreamingRate = 1;
    m_bSensorEndedStream = 0;
    COM_StopMeasure();
    if (m_peers.measureControl) m_peers.measureControl->ShowStatusLine(statusLine);
    if (!message.IsEmpty()) AfxMessageBox(message);
}

void CComPort::ZMCOMMeasure_AnalyseMultiportStream(int port)
{
    const int n = m_nCountActivePorts;
    std::uint32_t complete = 0;
    std::uint32_t start = 0;
    if (!workflow::MergeMasks(n, complete, start)) {
        EndApplicationOnStreamError("Error: lonely HMB in multiport device");
        return;
    }
    if (m_merge.uniqueArrivals < 0) m_merge.uniqueArrivals = n;
    if (m_merge.uniqueArrivals == n) {
        workflow::UnpackMask(start, m_merge.arrival);
        m_merge.uniqueArrivals = 0;
    }

    const auto slot = static_cast<std::size_t>(port);
    BYTE* buffer = m_RecvBuf[slot].data();
    int& held = m_nRecvCount[slot];
    if (!m_bStreamStarted) {
        if (held < 2) return;
        if (buffer[0] == kStx && buffer[1] == kAck) {
            if (port != 0) {
                AfxMessageBox("Protocol error: can't find a source for the beginn of Measure");
                m_bMeasureRunning = 0;
                if (m_peers.measureControl) m_peers.measureControl->ShowStatusLine("master signal from the slave");
                return;
            }
            if (held < kAckLength) return;  // only a whole acknowledgement starts the stream
            StartMultiportStream();
            for (int p = 0; p < n && p < kMaxSensorPorts; ++p)
                if (m_nRecvCount[static_cast<std::size_t>(p)] >= kRecordLength) MergePortRecords(p);
            return;
        }
        if (buffer[0] == kStx && buffer[1] == kNak) return;
        // The slaves sample from the master's acknowledgement on: what they send before it is
        // handled is already this measurement's. Anything else of the master is not.
        if (port == 0) EmptyRecvBuffer(0);
        return;
    }
    MergePortRecords(port);
}

void CComPort::StartMultiportStream()
{
    workflow::UnpackMask(0, m_merge.arrival);
    std::uint32_t complete = 0;
    std::uint32_t start = 0;
    if (workflow::MergeMasks(m_nCountActivePorts, complete, start)) workflow::UnpackMask(start, m_merge.arrival);
    m_merge.uniqueArrivals = 0;
    m_merge.remainderDeliveries = 0;
    m_byExpectedSeq = 0;
    m_nRecordCount = m_pMainFrame && m_pMainFrame->IsTriggerStarted() ? 0 : -1;
    m_bStreamStarted = 1;
    if (m_peers.measureControl) m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerReceiveTimeout, kStreamStartTimeoutMs);
    for (int p = 0; p < kMaxSensorPorts; ++p) {
        m_merge.port[static_cast<std::size_t>(p)].Reset();
        if (m_peers.measureControl) {
            using workflow::MeasureDiagnostic;
            for (MeasureDiagnostic field :
                 {MeasureDiagnostic::MissingValueCount, MeasureDiagnostic::IncompleteLineCount,
                  MeasureDiagnostic::RemainingLength, MeasureDiagnostic::RecvBufferMaxLength,
                  MeasureDiagnostic::RecvBufferMaxLengthLast100, MeasureDiagnostic::QueueMaxLength,
                  MeasureDiagnostic::QueueMaxLengthLast100})
                m_peers.measureControl->SetDiagnostic(field, p, 0);
        }
    }
    // The master's acknowledgement goes; the records behind it in the same delivery stay.
    int& held = m_nRecvCount[0];
    BYTE* buffer = m_RecvBuf[0].data();
    std::memmove(buffer, buffer + kAckLength, static_cast<std::size_t>(held - kAckLength));
    held -= kAckLength;
}

void CComPort::MergePortRecords(int port)
{
    const auto slot = static_cast<std::size_t>(port);
    BYTE* buffer = m_RecvBuf[slot].data();
    int& held = m_nRecvCount[slot];
    workflow::MergePort& mp = m_merge.port[slot];
    workflow::IMeasureControlPage* page = m_peers.measureControl;
    using workflow::MeasureDiagnostic;

    if (!m_bMeasureRunning) {
        // After the stop only the master signal counts; records still arriving are dropped.
        while (held >= kAckLength && IsMasterSignalFromSlave(buffer)) {
            std::memmove(buffer, buffer + kAckLength, static_cast<std::size_t>(held - kAckLength));
            held -= kAckLength;
            if (m_iZMCOMConfgFlowPrev > 0) m_iZMCOMConfgFlow = m_iZMCOMConfgFlowPrev;
            m_nCurSensor = port;
            COM_ContinueAfterAck();
        }
        if (held >= kAckLength || !IsAckPrefix(buffer, held, true)) held = 0;
        return;
    }

    const int n = m_nCountActivePorts;
    std::uint32_t complete = 0;
    std::uint32_t start = 0;
    workflow::MergeMasks(n, complete, start);

    ++mp.deliveries;
    mp.maxBufferLength = std::max(mp.maxBufferLength, held);
    mp.bufferRing.Add(held, mp.deliveries);
    if (page) {
        page->SetDiagnostic(MeasureDiagnostic::RecvBufferMaxLength, port, mp.maxBufferLength);
        page->SetDiagnostic(MeasureDiagnostic::RecvBufferMaxLengthLast100, port, mp.bufferRing.Max());
    }

    workflow::MeasureCtrlSettings* settings = m_pMeasureCtrlSettings;
    const bool stoppedByUser = settings && settings->bStoppedByUser;
    bool bridged = false;
    bool setsCounted = false;
    int pos = 0;
    while (held - pos >= kRecordLength) {
        const BYTE* record = buffer + pos;
        ServeRequestsBetweenRecords();
        if (record[0] == kStx) {
            const int rest = held - pos;
            if (rest >= kAckLength && IsMasterSignalFromSlave(record)) {
                // The acknowledgement of a request sent during the stream: no record.
                pos += kAckLength;
                std::memmove(buffer, buffer + pos, static_cast<std::size_t>(held - pos));
                held -= pos;
                pos = 0;
                if (m_iZMCOMConfgFlowPrev > 0) m_iZMCOMConfgFlow = m_iZMCOMConfgFlowPrev;
                COM_ContinueAfterAck();
                if (!m_bMeasureRunning) {
                    held = 0;  // the records behind it belong to a stream that has ended
                    return;
                }
                continue;
            }
            if (rest < kAckLength && IsAckPrefix(record, rest, true)) break;
        }

        const BYTE seq = record[0];
        bool inOrder = seq == mp.expectedSeq;
        if (inOrder) {
            mp.lost = 0;
        } else if (m_bInterpolateLostValues) {
            if (seq == static_cast<BYTE>(mp.expectedSeq + 1)) {
                mp.lost = 1;
                ++mp.missingValues;
                if (page) page->SetDiagnostic(MeasureDiagnostic::MissingValueCount, port, mp.missingValues);
                inOrder = true;
            } else {
                StopMultiportMeasurement("...vvv--[-...]v", CString());
                return;
            }
        }
        if (!inOrder) {
            if (m_bMeasureRunning) BreakStream();
            pos += kRecordLength;
            continue;
        }

        const LONG value = GetInt16(record[1], record[2]);
        if (m_merge.arrival[slot] == 0) {
            m_merge.arrival[slot] = 1;
            ++m_merge.uniqueArrivals;
        }
        bool queued = true;
        if (mp.lost) {
            queued = mp.fifo.Push((mp.last + value) / 2) && mp.fifo.Push(value);
            mp.lost = 0;
            mp.bridged = 1;
            bridged = true;
            mp.expectedSeq = static_cast<BYTE>(mp.expectedSeq + 2);
        } else {
            queued = mp.fifo.Push(value);
            mp.expectedSeq = static_cast<BYTE>(mp.expectedSeq + 1);
        }
        mp.last = value;
        if (!queued) {
            // One port runs ahead of another by more than its queue holds: the sets can no
            // longer be matched.
            held = 0;
            StopMultiportMeasurement("...vvv--[-...]v", workflow::WorkflowText(workflow::kTextValuesOutOfStep));
            return;
        }

        const bool setComplete = workflow::PackMask(m_merge.arrival) == complete;
        pos += kRecordLength;
        if (setComplete && held - pos < kRecordLength) {
            mp.fifoRing.Add(mp.fifo.Size(), mp.deliveries);
            if (page) {
                page->SetDiagnostic(MeasureDiagnostic::QueueMaxLength, port, mp.fifo.Size());
                page->SetDiagnostic(MeasureDiagnostic::QueueMaxLengthLast100, port, mp.fifoRing.Max());
            }
            HandOverMultiportSets();
        }
        if (setComplete) {
            if (m_merge.uniqueArrivals != n) {
                CString text;
                text.Format("Error in the algorithm: iCountUniqValies(=%d) != m_nCountActivePorts(=%d)",
                            m_merge.uniqueArrivals, n);
                AfxMessageBox(text);
            }
            ++m_byExpectedSeq;
            if (!stoppedByUser) ++m_nRecordCount;
            setsCounted = true;
        }
        if (m_pMainFrame && m_pMainFrame->IsMeasurementEnded()) {
            const int whole = (held - pos) / kRecordLength;
            mp.expectedSeq = static_cast<BYTE>(mp.expectedSeq + whole);
            pos += whole * kRecordLength;
            m_pMainFrame->SetDrained(true);
            break;
        }
    }
    if (setsCounted && page) page->SetTimer(workflow::kCtrlPageTimerReceiveTimeout, m_nReceiveTimeoutMs);

    std::memmove(buffer, buffer + pos, static_cast<std::size_t>(held - pos));
    held -= pos;
    if (!bridged && held > 0) {
        ++mp.incompleteDeliveries;
        if (page) {
            page->SetDiagnostic(MeasureDiagnostic::IncompleteLineCount, port, -1);
            page->SetDiagnostic(MeasureDiagnostic::RemainingLength, port, held);
        }
    }
    if (bridged) {
        mp.bridged = 0;
        m_merge.uniqueArrivals = 0;
        for (int p = 0; p < kMaxSensorPorts; ++p) {
            const auto s = static_cast<std::size_t>(p);
            if (p >= n) {
                m_merge.arrival[s] = 0xFF;
            } else {
                m_merge.arrival[s] = m_merge.port[s].fifo.Empty() ? 0 : 1;
                m_merge.uniqueArrivals += m_merge.arrival[s];
            }
        }
        if (page) page->SetDiagnostic(MeasureDiagnostic::RemainingLength, port, held * 10);
    }
    if (held > 0 || bridged) ++m_merge.remainderDeliveries;
}

// Hands over every set for which each port has a value waiting: one new-values call per set.
void CComPort::HandOverMultiportSets()
{
    const int n = std::min(m_nCountActivePorts, kMaxSensorPorts);
    auto anyEmpty = [&] {
        for (int p = 0; p < n; ++p)
            if (m_merge.port[static_cast<std::size_t>(p)].fifo.Empty()) return true;
        return false;
    };
    while (!anyEmpty()) {
        for (int p = 0; p < n; ++p) {
            workflow::ValueFifo& fifo = m_merge.port[static_cast<std::size_t>(p)].fifo;
            const int channel = m_nRealSensorIndex[0][static_cast<std::size_t>(p)];
            const int c = channel >= 0 && channel < kMaxSensorPorts ? channel : p;
            m_aiValue[static_cast<std::size_t>(c)] = AngleValueOfChannel(c, fifo.Front(), 0);
            fifo.Pop();
        }
        HandOverStreamSample();
    }
}
