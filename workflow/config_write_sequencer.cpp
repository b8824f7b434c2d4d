#include "workflow/config_write_sequencer.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "workflow/com_port.h"
#include "workflow/connection_state.h"

namespace {

constexpr int kSlots = 256;
constexpr int kMaxDigits = 7;

// The 32-bit IEEE 754 pattern of a value; one that no single-precision number holds (not
// finite, or beyond the largest) is stored as the no-value float.
std::uint32_t FloatBits(double value)
{
    if (!(std::fabs(value) <= static_cast<double>(FLT_MAX))) value = FLT_MAX;
    return std::bit_cast<std::uint32_t>(static_cast<float>(value));
}

void PutWordLe(BYTE* at, std::uint32_t bits)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<BYTE>((bits >> (8 * i)) & 0xFF);
}

void PutFloatLe(BYTE* at, double value) { PutWordLe(at, FloatBits(value)); }

void PutNoValue(BYTE* at) { PutFloatLe(at, FLT_MAX); }

// A whole number of 32 bits (a start time in seconds since 1970 reaches past 2038 as
// unsigned); a value that 32 bits cannot hold is written as 0.
void PutWholeLe(BYTE* at, double value)
{
    const double whole = std::trunc(value);
    const bool fits = whole >= -2147483648.0 && whole <= 4294967295.0;
    PutWordLe(at, fits ? static_cast<std::uint32_t>(static_cast<std::int64_t>(whole)) : 0u);
}

void PutWordBe(BYTE* at, DWORD word)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<BYTE>(word >> (24 - 8 * i));
}

int RowBits(int row) { return row >= 0 && row < 7 ? row : 7; }

}  // namespace

int TextToFieldNumber(const CString& text)
{
    int separator = -1;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text.GetAt(i) == '.' || text.GetAt(i) == ',') {
            separator = i;
            break;
        }
    }
    if (separator < 0) return 0;
    int digits = 0;
    for (int i = separator + 1; i < text.GetLength() && text.GetAt(i) >= '0' && text.GetAt(i) <= '9'; ++i) ++digits;
    return digits > kMaxDigits ? kMaxDigits : digits;
}

CConfigWriteSequencer::CConfigWriteSequencer(CComPort& controller)
    : m_com(controller), m_tables(kSlots), m_filled(kSlots)
{
}

void CConfigWriteSequencer::SetBlockText(int table, int slot, const CString& text)
{
    if (slot < 0) slot = m_nSlot;
    if (table < 1 || table > 3 || slot < 0 || slot >= kSlots) return;
    const auto s = static_cast<std::size_t>(slot), t = static_cast<std::size_t>(table - 1);
    // A block frame has at least the bytes of an entry.
    m_filled[s][t] = CKadmor_Send::IsBlockFrameText(text);
    if (m_filled[s][t]) std::memcpy(m_tables[s][t].data(), text.bytes(), m_tables[s][t].size());
}

bool CConfigWriteSequencer::IsFilled(int table) const
{
    if (m_nSlot < 0 || m_nSlot >= kSlots) return false;
    return m_filled[static_cast<std::size_t>(m_nSlot)][static_cast<std::size_t>(table - 1)];
}

const CConfigWriteSequencer::Block& CConfigWriteSequencer::Entry(int table) const
{
    static const Block kEmpty{};
    if (m_nSlot < 0 || m_nSlot >= kSlots) return kEmpty;
    return m_tables[static_cast<std::size_t>(m_nSlot)][static_cast<std::size_t>(table - 1)];
}

void CConfigWriteSequencer::Start()
{
    m_nSlot = 0;
    RunStep(0);
}

bool CConfigWriteSequencer::Advance()
{
    ++m_nSlot;
    if (m_nSlot > 1 && m_com.Peers().measureSetup) m_com.Peers().measureSetup->ToggleBusyMarker();
    if (m_nSlot >= m_com.m_nCountActivePorts) return false;
    RunStep(0);
    return true;
}

void CConfigWriteSequencer::RunStep(int mode)
{
    m_com.m_strReceiveCOM.Empty();
    m_com.AwaitBlockConfirmation();
    const int table = mode + 1;
    if (mode < 0 || mode > 2) return;
    if (!IsFilled(table)) {
        m_com.OnSequencerStepPassedOver();
        return;
    }
    switch (mode) {
    case 0:
        Write(table, PatchStatorOperation());
        break;
    case 1: {
        const Block& kept = Entry(2);
        const bool switchedOff =
            CKadmor_Send::CheckBlock(CString(kept.data(), static_cast<int>(kept.size())), nullptr) != 0;
        Write(table, PatchRotorUserCalib(), nullptr, nullptr, switchedOff);
        break;
    }
    default: {
        const int slot = m_nSlot < kMaxSensorPorts ? m_nSlot : 0;
        CSensorRecordTail& tail = m_com.m_Sensor[static_cast<std::size_t>(slot)].m_sRotorOperation;
        CString serialA = tail.strSerialA;
        CString serialB = tail.strSerialB;
        Write(table, PatchRotorOperation(), &serialA, &serialB);
        break;
    }
    }
}

void CConfigWriteSequencer::Write(int table, const Block& bytes, CString* serialA, CString* serialB, bool invalidate)
{
    // Each table's block: its number, and the sensor record's copy of it.
    struct TableBlock {
        BYTE number;
        CString CSensorRecord::*text;
    };
    static constexpr TableBlock kTableBlocks[] = {{0x02, &CSensorRecord::m_strBlockStatorOperation},
                                                  {0x82, &CSensorRecord::m_strBlockRotorUserCalib},
                                                  {0x83, &CSensorRecord::m_strBlockRotorOperation}};
    const TableBlock& tableBlock = kTableBlocks[table - 1];
    CString block(bytes.data(), static_cast<int>(bytes.size()));
    if (!m_com.PrepareWriteBlockFrame(block, tableBlock.number)) return;
    if (serialA || serialB) m_com.KadSend_WriteBlockSetContentRotorOperation(&block, nullptr, serialA, serialB);
    CString frame;
    m_com.BuildWriteBlockFrame(frame, block, invalidate);
    if (frame.IsEmpty()) return;
    const auto& port = IsMulti() && m_nSlot < kMaxSensorPorts ? m_com.m_pPortManOfPort[static_cast<std::size_t>(m_nSlot)]
                                                               : m_com.m_pPortMan;
    if (!m_com.WriteAwaitingAnswer(port, frame)) {
        m_com.EndWriteSequenceOnFailedWrite();
        return;
    }
    m_com.AwaitBlockConfirmation(m_nSlot, tableBlock.text, CKadmor_Send::WrittenBlockText(block, invalidate));
}

workflow::MeasureSetupValues CConfigWriteSequencer::SetupValues() const
{
    const workflow::IMeasureSetupPage* setup = m_com.Peers().measureSetup;
    const workflow::MeasureSetupValues* values = setup ? setup->WriteSetupValues() : nullptr;
    return values ? *values : workflow::MeasureSetupValues{};
}

int CConfigWriteSequencer::ChannelOfSlot() const
{
    if (m_nSlot < 0 || m_nSlot >= 6) return 0;
    return m_com.m_nRealSensorIndex[0][static_cast<std::size_t>(m_nSlot)];
}

bool CConfigWriteSequencer::IsMulti() const { return m_com.m_nCountActivePorts > 1; }

bool CConfigWriteSequencer::IsSingle(const workflow::MeasureSetupValues& values) const
{
    return !IsMulti() && values.singleLimitChecked && values.singleLimitVisible;
}

CConfigWriteSequencer::Block CConfigWriteSequencer::PatchStatorOperation() const
{
    Block b = Entry(1);
    const workflow::MeasureSetupValues v = SetupValues();
    const int c = ChannelOfSlot();
    const bool multi = IsMulti();
    const bool single = IsSingle(v);
    const auto& filter = v.filter[static_cast<std::size_t>(c >= 0 && c < 6 ? c : 0)];
    CKadmor_Send::SetUInt16(filter[0], &b[19], &b[20]);
    CKadmor_Send::SetUInt16(filter[1], &b[21], &b[22]);
    std::memset(&b[23], 0xFF, 11);
    b[31] = 0;
    // The high bytes of the lower limit of a single sensor's second condition: none unless
    // written below, so that a limit the user cleared does not come back.
    if (!multi) b[11] = b[14] = 0xFF;

    const int sel1 = v.measurand1;
    const int sel2 = v.measurand2;
    const bool m1 = c == sel1;
    const bool m2 = c == sel2;
    const bool p1 = (c == 1 && sel1 == 4) || (c == 3 && sel1 == 5);
    const bool p2 = (c == 1 && sel2 == 4) || (c == 3 && sel2 == 5);
    if (!(single || m1 || m2 || p1 || p2)) return b;

    const CString& lower1 = v.limitText[0];
    const CString& upper1 = v.limitText[1];
    const CString& lower2 = v.limitText[2];
    const CString& upper2 = v.limitText[3];
    // A single sensor keeps one condition per channel: its selector bit names the channel of the
    // first pair, the second pair watches the other one. Of two conditions on one channel it
    // keeps the second alone, as the user is told when choosing them: written as the first,
    // the first condition would come back judging the other channel.
    const bool second = !lower2.IsEmpty() || !upper2.IsEmpty();
    const bool firstDropped = single && second && sel1 >= 0 && sel1 == sel2;
    if (single ? !firstDropped : m1 || p1) {
        bool written = false;
        if (!lower1.IsEmpty()) {
            PutFloatLe(&b[23], v.limitValue[0]);
            b[31] = static_cast<BYTE>(TextToFieldNumber(lower1) << 5);
            written = true;
        }
        if (!upper1.IsEmpty()) {
            PutFloatLe(&b[27], v.limitValue[1]);
            b[31] = static_cast<BYTE>(b[31] | (TextToFieldNumber(upper1) << 2));
            written = true;
        }
        if (written) {
            if (multi && sel1 >= 4) b[31] |= 0x01;
            if (single && sel1 != 0) b[31] |= 0x02;
        }
    }
    if (m2 || single || p2) {
        bool written = false;
        if (!lower2.IsEmpty()) {
            if (!single) {
                PutFloatLe(&b[23], v.limitValue[2]);
                b[31] = static_cast<BYTE>(TextToFieldNumber(lower2) << 5);
                written = true;
            } else {
                const std::uint32_t bits = FloatBits(v.limitValue[2]);
                b[11] = static_cast<BYTE>(bits >> 24);
                b[14] = static_cast<BYTE>(bits >> 16);
                b[32] = static_cast<BYTE>(bits >> 8);
                b[33] = static_cast<BYTE>(bits);
            }
        }
        if (!upper2.IsEmpty() && !single) {
            PutFloatLe(&b[27], v.limitValue[3]);
            b[31] = static_cast<BYTE>(b[31] | (TextToFieldNumber(upper2) << 2));
            written = true;
        }
        // The second pair watches channel A when the selector names B for the first.
        if (single && second && sel2 == 0) b[31] |= 0x02;
        if (written && multi) {
            b[31] |= 0x02;
            if (sel2 >= 4) b[31] |= 0x01;
        }
    }
    return b;
}

CConfigWriteSequencer::Block CConfigWriteSequencer::PatchRotorUserCalib() const
{
    Block b = Entry(2);
    const workflow::MeasureSetupValues v = SetupValues();
    b[31] = b[32] = b[33] = 0xFF;
    // The low three bytes of the upper limit of a single sensor's second condition (the high
    // byte rides in the rotor operation block).
    if (IsSingle(v) && !v.limitText[3].IsEmpty()) {
        const std::uint32_t bits = FloatBits(v.limitValue[3]);
        b[31] = static_cast<BYTE>(bits);
        b[32] = static_cast<BYTE>(bits >> 8);
        b[33] = static_cast<BYTE>(bits >> 16);
    }
    return b;
}

CConfigWriteSequencer::Block CConfigWriteSequencer::PatchRotorOperation() const
{
    Block b = Entry(3);
    const workflow::MeasureSetupValues v = SetupValues();
    const workflow::WorkflowPeers& peers = m_com.Peers();
    const int c = ChannelOfSlot();
    const bool multi = IsMulti();
    const bool single = IsSingle(v);
    const int sensorIndex = c > 1 ? 1 : 0;

    BYTE flags = 0;
    if (GetSensorOption(sensorIndex)) flags |= 0x01;
    if (peers.measureControl && peers.measureControl->IsOptionChecked()) flags |= 0x02;
    if (v.startOption > 0) flags |= 0x04;

    const int startKind = v.startKind;
    const bool angleStart = (c == 1 && startKind == 5) || (c == 3 && startKind == 6);
    switch (startKind) {
    case 0:
        PutNoValue(&b[18]);
        break;
    case 5:
    case 6:
        if (angleStart) PutFloatLe(&b[18], v.startLevel);
        else PutNoValue(&b[18]);
        flags |= 0x08;
        break;
    case 7:
        flags |= 0x10;
        PutWholeLe(&b[18], v.startFurther[0]);
        break;
    case 8:
        flags |= 0x18;
        PutWholeLe(&b[18], v.startFurther[1]);
        break;
    default:
        // One sensor keeps the level of either of its channels, as for the stop.
        if (!multi || startKind == c + 1) PutFloatLe(&b[18], v.startLevel);
        else PutNoValue(&b[18]);
        if (single) flags = static_cast<BYTE>(flags | (((startKind - 1) & 0x03) << 3));
        break;
    }
    if (v.stopOption > 0) flags |= 0x20;
    const int stopKind = v.stopKind;
    const bool angleStop = (c == 1 && stopKind == 5) || (c == 3 && stopKind == 6);
    switch (stopKind) {
    case 0:
        flags |= 0xC0;
        PutNoValue(&b[14]);
        break;
    case 5:
    case 6:
        if (angleStop) PutFloatLe(&b[14], v.stopLevel);
        else PutNoValue(&b[14]);
        flags |= 0x40;
        break;
    case 7:  // a measuring duration
        flags |= 0x80;
        PutWordBe(&b[14], v.stopCount);
        break;
    case 8:  // a number of measurements, read back as such
        flags |= 0xC0;
        PutWordBe(&b[14], v.stopCount);
        break;
    default:
        if (!multi || stopKind == c + 1) PutFloatLe(&b[14], v.stopLevel);
        else PutNoValue(&b[14]);
        if (single) flags = static_cast<BYTE>(flags | (((stopKind - 1) & 0x03) << 6));
        break;
    }
    b[11] = flags;

    auto rowOf = [&](int channel) {
        return channel >= 0 && channel < 6 ? RowBits(v.rowOfChannel[static_cast<std::size_t>(channel)]) : 7;
    };
    workflow::IWorkflowFrame* frame = peers.frame;
    b[12] = static_cast<BYTE>((b[12] & 0x1F) | (rowOf(c) << 5));
    b[13] = 0;
    if (!multi) b[13] = static_cast<BYTE>(rowOf(1) << 5);
    b[12] = static_cast<BYTE>(b[12] & ~0x18);
    if (frame && frame->IsChannelViewVisible(c)) b[12] |= 0x10;
    if (frame && frame->IsChannelInDiagram(c)) b[12] |= 0x08;
    if (!multi) {
        if (frame && frame->IsChannelViewVisible(1)) b[13] |= 0x10;
        if (frame && frame->IsChannelInDiagram(1)) b[13] |= 0x08;
    } else {
        auto typeClassOfChannel = [&](int channel) -> BYTE {
            if (channel < 0 || channel >= kMaxSensorPorts) return 0;
            const int port = m_com.m_nRealSensorIndex[1][static_cast<std::size_t>(channel)];
            if (port < 0 || port >= kMaxSensorPorts) return 0;
            return m_com.m_Sensor[static_cast<std::size_t>(port)].m_sRotorHeader.cTypeClass;
        };
        const BYTE own = typeClassOfChannel(c);
        if (own == 'D' && c % 2 == 0 && typeClassOfChannel(c + 1) == 'Y') {
            const int power = c == 0 ? 4 : 5;
            const workflow::DisplayChannelEntry* e = frame ? frame->DisplayEntry(power) : nullptr;
            if (e) {
                b[12] |= e->flagByte;
                int byte13 = v.channelValue[static_cast<std::size_t>(power)] != 0.0 ? 0x80 : 0;
                byte13 |= (e->selectedUnit & 0x03) << 5;
                byte13 += (e->secondValue << 1) + e->thirdValue;
                b[13] = static_cast<BYTE>(byte13);
            }
        } else if (own == 'Y' && c % 2 == 1 && typeClassOfChannel(c - 1) == 'D') {
            b[12] = static_cast<BYTE>(b[12] & ~0x07);
            if (GetSensorThirdFlag(sensorIndex)) b[12] |= 0x01;
            if (GetSensorExtraFlag(sensorIndex)) b[12] |= 0x02;
            if (GetDisplayFlag(sensorIndex)) b[12] |= 0x04;
        }
    }

    // The decimals of the trigger values and the channel-B marks are set anew, so that a trigger
    // moved back to channel A reads back so.
    b[22] = static_cast<BYTE>(v.optionByte << 2);
    if (stopKind == 2 && !multi) b[22] |= 0x02;
    if (startKind == 2 && !multi) b[22] |= 0x01;

    // A single sensor's second condition: the decimals of its limits and the high byte of its
    // upper limit, all ones when there is none.
    if (!multi) b[33] = 0xFF;
    if (single) {
        b[32] = v.limitText[2].IsEmpty() ? 0 : static_cast<BYTE>(TextToFieldNumber(v.limitText[2]) << 5);
        if (!v.limitText[3].IsEmpty()) {
            b[33] = static_cast<BYTE>(FloatBits(v.limitValue[3]) >> 24);
            b[32] = static_cast<BYTE>(b[32] | (TextToFieldNumber(v.limitText[3]) << 2));
        }
    }
    return b;
}
