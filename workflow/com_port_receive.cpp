// The receive chain of the first sensor port: bytes are collected, scanned for the start of an
// answer frame, checked and handed to the reply handler chosen by the answer's letter.

#include "platform/message_loop.h"
#include "workflow/com_port.h"

namespace {

constexpr BYTE kStx = 0x02;
constexpr BYTE kAck = 0x06;
constexpr BYTE kNak = 0x15;
constexpr int kFrameOverhead = 7;

bool WaitsForShortChain(int state)
{
    switch (state) {
    case 2: case 18: case 19: case 20: case 21: case 23: case 24: case 33: case 34:
    case 43: case 44: case 45: case 53: case 54: case 55: case 56:
        return true;
    default:
        return false;
    }
}

bool CallsHandler(int state)
{
    if (state == 1 || state == 2 || state == 6 || state == 7 || state == 8 || state == 14) return true;
    if (state >= 16 && state <= 39) return true;
    if (state >= 42 && state <= 46) return true;
    return state >= 51 && state <= 55;
}

}  // namespace

LRESULT CComPort::OnReceiveChain(WPARAM count, LPARAM bytes)
{
    const char* data = reinterpret_cast<const char*>(bytes);
    if (data && count > 0) m_strReceiveCOM.Append(data, static_cast<int>(count));
    RestartWatchesOnDelivery();

    const int state = m_iZMCOMConfgFlow;
    if (WaitsForShortChain(state) && m_strReceiveCOM.GetLength() < 5) {
        if (m_pMainFrame && m_pMainFrame->LogSwitch() == 0) {
            CString title;
            title.Format("%d Zeichen in Empfangskette", m_strReceiveCOM.GetLength());
            CString body = "ZM steht auf: \t";
            body += ZmCodeName(state);
            body += "\n\n\tButton String:\n\t--------------\n";
            if (m_peers.measureControl) body += m_peers.measureControl->TraceButtonVisibility();
            m_pMainFrame->WriteLogFile(CurrentSensor(), title, body);
        }
        // The chain gets up to 500 ms to fill. The loop runs on meanwhile (the port keeps
        // delivering, the window keeps painting): the next bytes end the wait, or the time-out
        // does, whichever comes first.
        SetFrameTimer(kTimerChainFill, kChainFillMs);
        return 0;
    }
    KillFrameTimer(kTimerChainFill);
    if (state == ZM_CHECK_IF_HMB_USB_KM2_CHECK_ADDRESSES) {
        if (data && count > 0) {
            m_strProbeBytes.Append(data, static_cast<int>(count));
            if (m_strProbeBytes.GetLength() > kProbeBytesKept)
                m_strProbeBytes = m_strProbeBytes.Right(kProbeBytesKept);
        }
        if (m_probeStreamStop == ProbeStreamStop::Draining) {
            // The stream's last records, under way when the stop signal went out.
            m_strReceiveCOM.Empty();
            return 0;
        }
        if (m_probeStreamStop == ProbeStreamStop::NotStopped && HoldsValueRecords(m_strProbeBytes)) {
            // Still measuring from an earlier run (a program that ended without stopping it):
            // while it streams the sensor answers nothing but its stop signal. Bytes that hold
            // no measured values (another device, noise) are looked at when the answer wait ends.
            StopProbedStream();
            return 0;
        }
    }
    AnalyseReceiveChain();
    return 0;
}

void CComPort::OnChainFillTimeout() { AnalyseReceiveChain(); }

void CComPort::AnalyseReceiveChain()
{
    m_bAnswerAwaitsRest = false;
    if (m_strReceiveCOM.GetLength() > 2) {
        switch (m_iZMCOMConfgFlow) {
        case ZM_START_MEASURE_SOSM:
        case ZM_TRIGGER_ACTIV:
        case ZM_SET_CTRL_ON_SOSM:
        case ZM_SET_CTRL_OFF_SOSM:
            break;
        case ZM_CNFG_NEW_BAUDRATE_IS_SETTED:
            m_strReceiveCOM.Empty();
            if (IsWaitingForRestart()) SearchAfterBaudRestart();
            break;
        case ZM_CNFG_NEW_LOW_PASS_IS_SETTED:
            if (m_strReceiveCOM.ByteAt(0) == kStx && m_strReceiveCOM.ByteAt(1) == kNak) {
                // Not the greeting: the sensor refused to restart. A piece of the refusal
                // waits for the rest.
                if (m_strReceiveCOM.GetLength() >= 6) ZMCOMConfg_AnalyseNak();
                break;
            }
            EndAnswerWait();  // the sensor is back from its restart: the filter change has ended
            m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
            if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
            m_bStartupStatus = 0;
            m_strReceiveCOM.Empty();
            break;
        default:
            ZMCOMConfg_ScanReceiveChain();
            break;
        }
    }

    const int now = m_iZMCOMConfgFlow;
    if (now == ZM_START_MEASURE_SOSM || now == ZM_TRIGGER_ACTIV) {
        const bool a = m_peers.measureSetup && m_peers.measureSetup->IsChannelASelected();
        const bool b = m_peers.measureSetup && m_peers.measureSetup->IsChannelBSelected();
        const ReplyHandler parser = a == b ? &CComPort::ZMCOMMeasure_AnalyseStream
                                           : &CComPort::ZMCOMMeasure_AnalyseStreamSingleChannel;
        m_pfnReplyHandler = parser;
        m_pfnPrevReplyHandler = parser;
        (this->*parser)();
    } else if (CallsHandler(now) && !m_bAnswerAwaitsRest) {
        InvokeReplyHandler();
    }
}

void CComPort::InvokeReplyHandler()
{
    if (m_pfnReplyHandler) (this->*m_pfnReplyHandler)();
}

bool CComPort::ZMCOMConfg_ScanReceiveChain()
{
    m_bAnswerAwaitsRest = false;
    // Bytes that start no frame are dropped in one step, however many a port sent unasked.
    const int length = m_strReceiveCOM.GetLength();
    int start = 0;
    bool found = false;
    for (; length - start > 6; ++start) {
        if (m_strReceiveCOM.ByteAt(start) != kStx) continue;
        const BYTE letter = m_strReceiveCOM.ByteAt(start + 1);
        if (letter == GetCommand()) {
            found = true;
            break;
        }
        // An answer that was asked for wins over these three, which come unasked.
        if (letter == '@' || letter == kAck || letter == kNak) {
            SetCommand(letter);
            SetAnswerLength(letter == kAck ? 7 : 8);
            found = true;
            break;
        }
    }
    if (start > 0) m_strReceiveCOM.Delete(0, start);
    if (!found) {
        if (IsSensorReady()) InvokeReplyHandler();
        return false;
    }

    ZMCOMConfg_DispatchFirstByte();
    if (m_strReceiveCOM.GetLength() < 5) {
        InvokeReplyHandler();
        return true;
    }
    const int frameLength = m_strReceiveCOM.ByteAt(4) + kFrameOverhead;
    if (m_strReceiveCOM.GetLength() < frameLength) {
        InvokeReplyHandler();
        return true;
    }
    if (m_bAnswerAwaitsRest) return true;
    const BYTE letter = m_strReceiveCOM.ByteAt(1);
    if (letter == 'A' || letter == 'B') {
        // Values and status are data: an answer whose check bytes fail is dropped, never
        // analysed. The step's own timer decides how to go on.
        if (CheckAnswerFrame(m_strReceiveCOM.Left(frameLength)) != 0) m_strReceiveCOM.Delete(0, frameLength);
        return true;
    }
    if (CheckAnswerFrame(m_strReceiveCOM) != 0) InvokeReplyHandler();
    return true;
}

bool CComPort::HasCheckedAnswerFrame()
{
    if (m_strReceiveCOM.GetLength() < kFrameOverhead || m_strReceiveCOM.ByteAt(0) != kStx) return false;
    const int frameLength = m_strReceiveCOM.ByteAt(4) + kFrameOverhead;
    if (m_strReceiveCOM.GetLength() < frameLength) return false;
    if (CheckAnswerFrame(m_strReceiveCOM.Left(frameLength)) == 0) return true;
    m_strReceiveCOM.Delete(0, frameLength);
    return false;
}

void CComPort::ZMCOMConfg_DispatchFirstByte()
{
    switch (GetCommand()) {
    case kAck:
        m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseAck;
        break;
    case kNak:
        m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseNak;
        break;
    case '@':
        m_pfnPrevReplyHandler = m_pfnReplyHandler;
        m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseHello;
        break;
    case 'A': {
        const int state = m_iZMCOMConfgFlow;
        const bool fifo = state == ZM_START_INIT || state == ZM_READ_RAW_CALIB_INIT || state == ZM_LIST_CTRL_CHANGE_READ_RAW;
        m_pfnReplyHandler = fifo ? &CComPort::ZMCOMConfg_AnalyseCalibFifo : &CComPort::ZMCOMConfg_AnalyseValues;
        m_pfnPrevReplyHandler = m_pfnReplyHandler;
        break;
    }
    case 'B':
        m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseStatusLong;
        break;
    case 'D': {
        const BYTE block = GetBlockNumber();
        switch (block) {
        case 0x00: m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseBlockStatorHeader; break;
        case 0x01: m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseBlockStatorHardware; break;
        case 0x02: m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseBlockStatorOperation; break;
        case 0x03: m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseBlockStatorSoftwareConfig; break;
        case 0x80: m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseBlockRotorHeader; break;
        case 0x81: m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseBlockRotorFactoryCalib; break;
        case 0x82: m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseBlockRotorUserCalib; break;
        case 0x83: m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseBlockRotorOperation; break;
        default: break;
        }
        if (m_strReceiveCOM.GetLength() > 5 && m_strReceiveCOM.ByteAt(5) != block) m_pfnReplyHandler = nullptr;
        break;
    }
    default:
        InvokeReplyHandler();
        return;
    }

    const CString unstuffed = UnstuffStx(m_strReceiveCOM);
    m_bAnswerAwaitsRest = unstuffed.GetLength() < GetAnswerLength() && m_strReceiveCOM.GetLength() >= GetAnswerLength();
    if (unstuffed.GetLength() == GetAnswerLength()) m_strReceiveCOM = unstuffed;
}

CString CComPort::UnstuffStx(const CString& chain) const
{
    if (chain.IsEmpty()) return CString();
    CString result(chain.GetAt(0));
    const int length = chain.GetLength();
    const int limit = GetAnswerLength();
    int i = 1;
    while (i < length && result.GetLength() < limit) {
        const char ch = chain.GetAt(i);
        result.AppendChar(ch);
        if (static_cast<BYTE>(ch) == kStx && i + 1 < length && chain.ByteAt(i + 1) == kStx) i += 2;
        else ++i;
    }
    return result;
}
