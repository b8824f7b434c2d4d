// The rotor factory and user calibration blocks (numbers 0x81 and 0x82), one layout for both.

#include "protocol/block_fields.h"
#include "protocol/kadmor_send.h"

using protocol::BlockBytes;
using protocol::PutBlockDate;
using protocol::BlockUInt16;

namespace {

constexpr int kGainA = 11;
constexpr int kOffsetA = 13;
constexpr int kGainB = 15;
constexpr int kOffsetB = 17;
constexpr int kControlA = 19;
constexpr int kControlB = 21;
constexpr int kFullScaleA = 23;
constexpr int kFullScaleB = 25;
constexpr int kInaccuracyA = 27;
constexpr int kInaccuracyB = 29;

constexpr double kFactorOne = 32768.0;       // factors carry 15 fraction bits
constexpr double kInaccuracyStep = 10000.0;  // inaccuracies are given in 1/10000

bool IsUserKind(BYTE blockKind) { return blockKind == kCalibUser; }

// 0 and 65535 both mean that no inaccuracy is stored.
DWORD InaccuracyCode(DWORD raw) { return (raw == 0 || raw == 0xFFFF) ? 0 : raw; }

bool IsWritableOffset(const LONG* offset) { return !offset || (*offset >= -32767 && *offset <= 32767); }

}  // namespace

void CKadmor_Send::KadSend_ReadBlockGetContentRotorCalibFactory(
    CString block, std::int64_t* date, BlockDateTm* dateTm, DWORD* gainCodeA, double* gainA, LONG* offsetA,
    DWORD* gainCodeB, double* gainB, LONG* offsetB, DWORD* controlCodeA, double* controlA, DWORD* controlCodeB,
    double* controlB, DWORD* fullScaleCountA, DWORD* fullScaleCountB, DWORD* inaccuracyCodeA, double* inaccuracyA,
    DWORD* inaccuracyCodeB, double* inaccuracyB, CString* dateText, CString* status, BYTE blockKind,
    DWORD* rawDate)
{
    // The user parser has done the slot bookkeeping for its own slot before it comes here.
    const CString b = IsUserKind(blockKind) ? PadBlockString(block)
                                            : BeginBlockParse(kSlotRotorFactoryCalib, block, status);
    ReadBlockDate(b, date, dateTm, dateText, rawDate);

    if (gainCodeA) *gainCodeA = BlockUInt16(b, kGainA);
    if (gainA) *gainA = BlockUInt16(b, kGainA) / kFactorOne;
    if (offsetA) *offsetA = GetInt16(b.ByteAt(kOffsetA), b.ByteAt(kOffsetA + 1));
    if (gainCodeB) *gainCodeB = BlockUInt16(b, kGainB);
    if (gainB) *gainB = BlockUInt16(b, kGainB) / kFactorOne;
    if (offsetB) *offsetB = GetInt16(b.ByteAt(kOffsetB), b.ByteAt(kOffsetB + 1));
    if (controlCodeA) *controlCodeA = BlockUInt16(b, kControlA);
    if (controlA) *controlA = BlockUInt16(b, kControlA) / kFactorOne;
    if (controlCodeB) *controlCodeB = BlockUInt16(b, kControlB);
    if (controlB) *controlB = BlockUInt16(b, kControlB) / kFactorOne;
    if (fullScaleCountA) *fullScaleCountA = BlockUInt16(b, kFullScaleA);
    if (fullScaleCountB) *fullScaleCountB = BlockUInt16(b, kFullScaleB);
    const DWORD inaccA = InaccuracyCode(BlockUInt16(b, kInaccuracyA));
    const DWORD inaccB = InaccuracyCode(BlockUInt16(b, kInaccuracyB));
    if (inaccuracyCodeA) *inaccuracyCodeA = inaccA;
    if (inaccuracyA) *inaccuracyA = inaccA / kInaccuracyStep;
    if (inaccuracyCodeB) *inaccuracyCodeB = inaccB;
    if (inaccuracyB) *inaccuracyB = inaccB / kInaccuracyStep;
}

void CKadmor_Send::KadSend_ReadBlockGetContentRotorCalibUser(
    CString block, std::int64_t* date, BlockDateTm* dateTm, DWORD* gainCodeA, double* gainA, LONG* offsetA,
    DWORD* gainCodeB, double* gainB, LONG* offsetB, DWORD* controlCodeA, double* controlA, DWORD* controlCodeB,
    double* controlB, DWORD* fullScaleCountA, DWORD* fullScaleCountB, DWORD* inaccuracyCodeA, double* inaccuracyA,
    DWORD* inaccuracyCodeB, double* inaccuracyB, CString* dateText, CString* status, DWORD* rawDate)
{
    const CString b = BeginBlockParse(kSlotRotorUserCalib, block, status);
    KadSend_ReadBlockGetContentRotorCalibFactory(b, date, dateTm, gainCodeA, gainA, offsetA, gainCodeB, gainB, offsetB,
                                                 controlCodeA, controlA, controlCodeB, controlB, fullScaleCountA,
                                                 fullScaleCountB, inaccuracyCodeA, inaccuracyA, inaccuracyCodeB,
                                                 inaccuracyB, dateText, nullptr, kCalibUser, rawDate);
}

bool CKadmor_Send::KadSend_WriteBlockSetContentRotorCalibFactory(
    CString* block, const std::int64_t* date, const DWORD* gainCodeA, const LONG* offsetA, const DWORD* gainCodeB,
    const LONG* offsetB, const DWORD* controlCodeA, const DWORD* controlCodeB, const DWORD* fullScaleCountA,
    const DWORD* fullScaleCountB, const DWORD* inaccuracyCodeA, const DWORD* inaccuracyCodeB, BYTE blockKind)
{
    // An offset without a 16-bit form would leave the old offset in the block, to be sent as
    // if it were the new one: refuse the whole write instead.
    if (!IsWritableOffset(offsetA) || !IsWritableOffset(offsetB)) return false;
    CString work;
    if (!BeginBlockBuild(block, work)) return false;

    BYTE* bytes = BlockBytes(work);
    if (date) PutBlockDate(bytes, *date);
    auto putUnsigned = [bytes](const DWORD* value, int at) {
        if (value) SetUInt16(*value, &bytes[at], &bytes[at + 1]);
    };
    auto putSigned = [bytes](const LONG* value, int at) {
        if (value) SetInt16(*value, &bytes[at], &bytes[at + 1]);
    };
    putUnsigned(gainCodeA, kGainA);
    putSigned(offsetA, kOffsetA);
    putUnsigned(gainCodeB, kGainB);
    putSigned(offsetB, kOffsetB);
    putUnsigned(controlCodeA, kControlA);
    putUnsigned(controlCodeB, kControlB);
    putUnsigned(fullScaleCountA, kFullScaleA);
    putUnsigned(fullScaleCountB, kFullScaleB);
    putUnsigned(inaccuracyCodeA, kInaccuracyA);
    putUnsigned(inaccuracyCodeB, kInaccuracyB);

    EndBlockBuild(IsUserKind(blockKind) ? kSlotRotorUserCalib : kSlotRotorFactoryCalib, block, work);
    return true;
}

bool CKadmor_Send::KadSend_WriteBlockSetContentRotorCalibUser(
    CString* block, const std::int64_t* date, const DWORD* gainCodeA, const LONG* offsetA, const DWORD* gainCodeB,
    const LONG* offsetB, const DWORD* controlCodeA, const DWORD* controlCodeB, const DWORD* fullScaleCountA,
    const DWORD* fullScaleCountB, const DWORD* inaccuracyCodeA, const DWORD* inaccuracyCodeB)
{
    return KadSend_WriteBlockSetContentRotorCalibFactory(block, date, gainCodeA, offsetA, gainCodeB, offsetB,
                                                         controlCodeA, controlCodeB, fullScaleCountA,
                                                         fullScaleCountB, inaccuracyCodeA, inaccuracyCodeB,
                                                         kCalibUser);
}
