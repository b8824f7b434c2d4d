// The codec object, its address and expected-answer state, and the request builders.

#include "protocol/kadmor_send.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr BYTE kStx = 0x02;
constexpr BYTE kAck = 0x06;
constexpr BYTE kNak = 0x15;

constexpr int kValueAnswerLength = 16;
constexpr int kStatusAnswerLength = 21;
constexpr int kAckLength = 7;
constexpr int kNakLength = 8;

constexpr BYTE kRateBytes[] = {1, 2, 4, 5, 10, 20, 25, 27, 50, 100, 151, 200, 250};

}  // namespace

CKadmor_Send::CKadmor_Send() : m_pFloat32(std::make_unique<CFloat32>())
{
    for (int slot = 0; slot < kBlockSlotCount; ++slot)
        m_aBlockSlot[static_cast<std::size_t>(slot)].m_strName = BlockNameOfSlot(slot);
    for (int bit = 0; bit < 8; ++bit) {
        m_aBitMask[bit] = static_cast<BYTE>(1u << bit);
        m_aBitMaskInv[bit] = static_cast<BYTE>(~m_aBitMask[bit]);
    }
}

CKadmor_Send::~CKadmor_Send() = default;

void CKadmor_Send::SetSensorAddress(BYTE hi, BYTE lo)
{
    m_cAddressHi = hi;
    m_cAddressLo = lo;
    CString unused;
    BuildAck(unused, true);
}

void CKadmor_Send::BuildRequest(CString* out, BYTE command, const BYTE* data, int dataLength)
{
    BYTE frame[kBlockFrameLength] = {};
    frame[0] = kStx;
    frame[1] = command;
    frame[2] = m_cAddressHi;
    frame[3] = m_cAddressLo;
    frame[4] = static_cast<BYTE>(dataLength);
    std::copy(data, data + dataLength, frame + 5);
    CalcFrameSums(frame + 1, frame + 5 + dataLength, 3 + dataLength);
    if (out) FrameToString(*out, frame);
}

void CKadmor_Send::BuildValueRequest(CString& out)
{
    m_cCommand = 'A';
    m_nAnswerLength = kValueAnswerLength;
    BuildRequest(&out, 'A', nullptr, 0);
}

void CKadmor_Send::BuildStatusLongRequest(CString& out)
{
    m_cCommand = 'B';
    m_nAnswerLength = kStatusAnswerLength;
    BuildRequest(&out, 'B', nullptr, 0);
}

void CKadmor_Send::BuildAck(CString& out, bool swapped)
{
    m_cCommand = kAck;
    m_nAnswerLength = kAckLength;
    BYTE frame[7] = {kStx, kAck, m_cAddressHi, m_cAddressLo, 0, 0, 0};
    if (swapped) std::swap(frame[2], frame[3]);
    CalcFrameSums(frame + 1, frame + 5, 3);
    if (swapped) {
        m_cAckSum = frame[5];
        m_cAckWeightedSum = frame[6];
    }
    FrameToString(out, frame);
}

int CKadmor_Send::BuildNak(BYTE* buffer)
{
    m_cCommand = kNak;
    m_nAnswerLength = kNakLength;
    buffer[0] = kStx;
    buffer[1] = kNak;
    buffer[2] = m_cAddressHi;
    buffer[3] = m_cAddressLo;
    buffer[4] = 0;
    CalcFrameSums(buffer + 1, buffer + 5, 3);
    return StuffStxInPlace(buffer, 7);
}

void CKadmor_Send::BuildCtrlOnRequest(CString& out)
{
    m_cCommand = 'E';
    const BYTE on = 0x01;
    BuildRequest(&out, 'E', &on, 1);
}

void CKadmor_Send::BuildCtrlOffRequest(CString& out)
{
    m_cCommand = 'E';
    const BYTE off = 0x00;
    BuildRequest(&out, 'E', &off, 1);
}

void CKadmor_Send::ReadConfig(CString* out, BYTE blockNumber)
{
    m_cCommand = 'D';
    m_nAnswerLength = kBlockFrameLength;
    m_cBlockNumber = blockNumber;
    BuildRequest(out, 'D', &blockNumber, 1);
}

void CKadmor_Send::BuildRestartRequest(CString& out)
{
    m_cCommand = 'K';
    BuildRequest(&out, 'K', nullptr, 0);
}

void CKadmor_Send::BuildAngleZeroRequest(CString& out)
{
    // The sensor answers the angle zeroing like a restart, and the measurement-mode dispatcher
    // routes by the recorded letter: so 'K' is what to expect.
    m_cCommand = 'K';
    BuildRequest(&out, 'M', nullptr, 0);
}

void CKadmor_Send::BuildMeasureSetup(CString& out, BYTE selector)
{
    m_cCommand = 'Z';
    const BYTE data[5] = {0x03, m_cRateCode, static_cast<BYTE>((m_nSetupValue >> 8) & 0xFF),
                          static_cast<BYTE>(m_nSetupValue & 0xFF), selector};
    BuildRequest(&out, 'Z', data, 5);
}

void CKadmor_Send::BuildMeasureSetupC(CString& out) { BuildMeasureSetup(out, 'C'); }
void CKadmor_Send::BuildMeasureSetupA(CString& out) { BuildMeasureSetup(out, 'A'); }
void CKadmor_Send::BuildMeasureSetupB(CString& out) { BuildMeasureSetup(out, 'B'); }

void CKadmor_Send::SetRateCode(int index)
{
    if (index >= 0 && index < static_cast<int>(std::size(kRateBytes))) m_cRateCode = kRateBytes[index];
}
