// The measured-value stream of a single sensor port. After acknowledging the 'Z' set-up the
// sensor sends one record per sample, led by a sequence byte counting modulo 256: five bytes
// for two channels (A and B, signed 16-bit, high byte first), three for one channel. The
// parsers work in place on the receive chain: constant work per record, nothing allocated,
// and the receive time-out re-armed once per delivery.

#include <algorithm>
#include <cmath>

#include "platform/message_loop.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace {

constexpr BYTE kStx = 0x02;
constexpr BYTE kAck = 0x06;
constexpr BYTE kNak = 0x15;
constexpr int kAckLength = 7;
constexpr int kNakLength = 8;

constexpr int kRateCount = 20;
constexpr int kDisplayDecimation[kRateCount] = {250, 125, 62, 50, 25, 12, 10, 10, 5, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr UINT kPollIntervalMs[kRateCount] = {1,  1,  1,  1,   2,    4,    5,    6,    10,    20,
                                              33, 40, 50, 100, 1000, 1200, 3000, 6000, 60000, 3600000};
constexpr int kFirstPolledRate = 13;

LONG DigitalInput(int value) { return value >= 0 ? 1 : 0; }

}  // namespace

void CComPort::COM_SetMeasureRate()
{
    const int index = m_pMainFrame ? m_pMainFrame->MeasureRateIndex() : 0;
    if (index < 0 || index >= kRateCount) return;
    m_nDisplayDecimation = kDisplayDecimation[index];
    m_nDisplayCountdown = m_nDisplayDecimation;
    m_nPollIntervalMs = kPollIntervalMs[index];
    m_bStreamingRate = index < kFirstPolledRate ? 1 : 0;
}

void CComPort::COM_CalcReceiveTimeout()
{
    const double interval = m_peers.measureSetup ? m_peers.measureSetup->MeasuringIntervalSeconds() : 1.0;
    const double ms = 2100.0 * interval;
    // Clamped before the conversion, so that no interval can overflow it.
    m_nReceiveTimeoutMs = static_cast<UINT>(std::clamp(std::isfinite(ms) ? ms : 800.0, 250.0, 800.0));
    // A stream the sensor reduces sends one set for every reduction samples, which may lie
    // further apart than that: it is watched for at least twice its own gap (at most a day).
    const int reduction = m_pMainFrame ? m_pMainFrame->RateReduction() : 1;
    const double gapMs = ms * reduction;
    if (m_bStreamingRate && reduction > 1 && std::isfinite(gapMs) && gapMs > m_nReceiveTimeoutMs)
        m_nReceiveTimeoutMs = static_cast<UINT>(std::min(gapMs, 86400000.0));
}

double CComPort::UnwrapCounterValue(int slot, LONG raw, int mode)
{
    if (slot < 0 || slot > 1) return raw;
    double& offset = m_adCounterOffset[static_cast<std::size_t>(slot)];
    double& last = m_adCounterLast[static_cast<std::size_t>(slot)];
    if (mode == -1) {
        offset = 0.0;
    } else {
        const double d = last - raw;
        if (d > 20000.0) offset += 65536.0;
        else if (d < -20000.0) offset -= 65536.0;
    }
    last = raw;
    return raw + offset;
}

bool CComPort::ZMCOMMeasure_ClassifyFrame(const CString& text) const
{
    return text.GetLength() > 6 && IsAckPrefix(text.bytes(), kAckLength, false);
}

bool CComPort::IsMasterSignalFromSlave(const BYTE* bytes) const
{
    return bytes && IsAckPrefix(bytes, kAckLength, true);
}

// True when the length bytes agree with the start of this sensor's acknowledgement frame (or
// of the master signal).
bool CComPort::IsAckPrefix(const BYTE* bytes, int length, bool master) const
{
    const BYTE frame[kAckLength] = {kStx,
                                    kAck,
                                    master ? BYTE{0xFF} : GetAddressLo(),
                                    master ? BYTE{0x01} : GetAddressHi(),
                                    0x00,
                                    GetAckSum(),
                                    GetAckWeightedSum()};
    const int n = std::min(length, kAckLength);
    return std::equal(bytes, bytes + n, frame);
}

void CComPort::ZMCOMMeasure_AnalyseStream() { ParseSinglePortStream(5); }

void CComPort::ZMCOMMeasure_AnalyseStreamSingleChannel() { ParseSinglePortStream(3); }

// Before the stream has started: waits for the whole start acknowledgement. Returns true when
// the stream has started in this call.
bool CComPort::AwaitStreamStart(bool twoChannel)
{
    for (;;) {
        const int length = m_strReceiveCOM.GetLength();
        if (length < 2) return false;
        const BYTE* bytes = m_strReceiveCOM.bytes();
        if (bytes[0] == kStx && bytes[1] == kAck) {
            // Only a whole acknowledgement starts the stream; its rest may still be on the way.
            if (length < kAckLength) return false;
            m_strReceiveCOM.Delete(0, kAckLength);
            m_byExpectedSeq = 0;
            m_bValueLost = 0;
            m_bStreamStarted = 1;
            m_aiStreamLast.fill(0);
            if (m_peers.measureControl)
                m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerReceiveTimeout, kStreamStartTimeoutMs);
            return true;
        }
        if (bytes[0] == kStx && bytes[1] == kNak) {
            if (length < kNakLength) return false;
            const BYTE code = bytes[5];
            if (twoChannel && (code == '=' || code == '+')) {
                if (m_peers.measureControl)
                    m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerReceiveTimeout, kStreamStartTimeoutMs);
                if (code == '+') m_bSensorEndedStream = 1;
                ZMCOMConfg_AnalyseNak();
            } else {
                // A refusal nobody acts on would block the start for good.
                m_strReceiveCOM.Delete(0, kNakLength);
            }
            return false;
        }
        // Records of an earlier stream may precede the acknowledgement in the same delivery:
        // look for this sensor's whole acknowledgement frame further on.
        int found = -1;
        for (int i = 1; i + kAckLength <= length; ++i) {
            if (bytes[i] == kStx && IsAckPrefix(bytes + i, kAckLength, false)) {
                found = i;
                break;
            }
        }
        if (found > 0) {
            m_strReceiveCOM.Delete(0, found);
            continue;
        }
        // Nothing to start on: keep only a tail that may become the acknowledgement.
        int keep = 0;
        for (int i = std::max(1, length - (kAckLength - 1)); i < length; ++i) {
            if (bytes[i] == kStx && (i + 1 == length || bytes[i + 1] == kAck)) {
                keep = length - i;
                break;
            }
        }
        m_strReceiveCOM.Delete(0, length - keep);
        return false;
    }
}

void CComPort::HandOverStreamSample()
{
    --m_nDisplayCountdown;
    if (m_pMainFrame) m_pMainFrame->RefreshChannelViews(0);
    if (m_nDisplayCountdown <= 0) m_nDisplayCountdown = m_nDisplayDecimation > 0 ? m_nDisplayDecimation : 1;
}

// Hands over the record's values of channels A and B; after one lost record the mean of the
// previous and this record goes first, so every sample gets its own call.
void CComPort::HandOverStreamRecord(LONG a, LONG b)
{
    if (m_bValueLost) {
        m_aiValue[0] = (m_aiStreamLast[0] + a) / 2;
        m_aiValue[1] = (m_aiStreamLast[1] + b) / 2;
        HandOverStreamSample();
        m_bValueLost = 0;
    }
    m_aiValue[0] = a;
    m_aiValue[1] = b;
    m_aiStreamLast[0] = a;
    m_aiStreamLast[1] = b;
    HandOverStreamSample();
}

// A running stream that lost its order: the sensor is told to stop, the end time noted.
void CComPort::BreakStream()
{
    // A multiport device has released the first port's manager: the stop goes to its ports.
    WriteStopSignal();
    if (m_peers.documentation) m_peers.documentation->SetMeasurementEndTime(platform::CalendarSeconds());
    m_bMeasureRunning = 0;
}

// What the user asked of a running stream is sent between two records, where the sensors take
// it and acknowledge it.
void CComPort::ServeRequestsBetweenRecords()
{
    workflow::MeasureCtrlSettings* settings = m_pMeasureCtrlSettings;
    if (!settings) return;
    if (settings->bCtrlSwitchRequest == 1) {
        settings->bCtrlSwitchRequest = 0;
        if (m_peers.measureControl) m_peers.measureControl->SendControlSignal(1);
    }
    if (settings->bStreamAngleZeroRequest == 1) {
        settings->bStreamAngleZeroRequest = 0;
        COM_SendAngleZeroInStream();
    }
}

void CComPort::ParseSinglePortStream(int recordLength)
{
    const bool twoChannel = recordLength == 5;
    if (!m_bStreamStarted) {
        // The bytes behind the acknowledgement wait for the next delivery.
        AwaitStreamStart(twoChannel);
        return;
    }

    const bool channelA = m_peers.measureSetup && m_peers.measureSetup->IsChannelASelected();
    const bool code5 = IsDeviceCode5(CurrentSensor().m_sIdent);
    workflow::MeasureCtrlSettings* settings = m_pMeasureCtrlSettings;
    const int length = m_strReceiveCOM.GetLength();
    int pos = 0;
    int records = 0;

    while (length - pos >= recordLength) {
        const BYTE* bytes = m_strReceiveCOM.bytes();
        const BYTE* record = bytes + pos;
        ServeRequestsBetweenRecords();
        // The sensor's acknowledgement between two records (of a control-signal switch): its
        // seven bytes are no record. It is analysed in the state that sent the request.
        if (record[0] == kStx) {
            const int rest = length - pos;
            if (rest >= kAckLength && ZMCOMMeasure_ClassifyFrame(m_strReceiveCOM.Mid(pos, kAckLength))) {
                if (m_iZMCOMConfgFlowPrev > 0) m_iZMCOMConfgFlow = m_iZMCOMConfgFlowPrev;
                pos += kAckLength;
                m_strReceiveCOM.Delete(0, pos);
                const int before = m_strReceiveCOM.GetLength();
                COM_ContinueAfterAck();
                // The analysis may restart the stream, which empties the chain.
                if (!m_bStreamStarted || m_strReceiveCOM.GetLength() != before) return;
                if (records > 0 && m_peers.measureControl)
                    m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerReceiveTimeout, m_nReceiveTimeoutMs);
                ParseSinglePortStream(recordLength);
                return;
            }
            if (rest < kAckLength && IsAckPrefix(record, rest, false)) break;  // wait for the rest
        }

        const BYTE seq = record[0];
        bool inOrder = seq == m_byExpectedSeq;
        if (m_bInterpolateLostValues) {
            if (inOrder) {
                m_bValueLost = 0;
            } else if (seq == static_cast<BYTE>(m_byExpectedSeq + 1)) {
                inOrder = true;
                m_bValueLost = 1;
                m_byExpectedSeq = seq;
            }
        }

        if (inOrder && m_bMeasureRunning) {
            if (twoChannel) {
                const LONG a = GetInt16(record[1], record[2]);
                const int rawB = GetInt16(record[3], record[4]);
                HandOverStreamRecord(a, code5 ? DigitalInput(rawB) : rawB);
            } else {
                if (settings) settings->bAngleZeroRequest = 0;
                const int raw = GetInt16(record[1], record[2]);
                LONG a = m_aiStreamLast[0];
                LONG b = m_aiStreamLast[1];
                if (channelA) {
                    a = raw;
                    if (GetConnectedSensorCount() > 0 && settings && settings->bAngleChannelSwitch)
                        a = static_cast<LONG>(std::trunc(UnwrapCounterValue(0, raw, 0)));
                } else {
                    b = code5 ? DigitalInput(raw) : raw;
                }
                HandOverStreamRecord(a, b);
            }
        } else if (m_bMeasureRunning) {
            BreakStream();
        }

        pos += recordLength;
        ++m_byExpectedSeq;
        ++m_nRecordCount;
        ++records;

        if (m_pMainFrame && m_pMainFrame->IsMeasurementEnded()) {
            // The measurement has ended: the whole records still held are dropped unhandled.
            pos += (length - pos) / recordLength * recordLength;
            break;
        }
    }

    if (records > 0 && m_peers.measureControl)
        m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerReceiveTimeout, m_nReceiveTimeoutMs);
    if (pos > 0) m_strReceiveCOM.Delete(0, pos);
}
