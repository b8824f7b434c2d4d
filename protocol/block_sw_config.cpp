// The stator software-configuration block (number 3): per-channel scaling factor and unit,
// packed channel codes and flags, the set-up count and byte 32.

#include "protocol/block_fields.h"
#include "protocol/kadmor_send.h"

#include <cstring>

using protocol::BlockBytes;
using protocol::BlockUInt16;

namespace {

constexpr int kConfigKind = 7;
constexpr int kScaleA = 8;
constexpr int kScaleB = 12;
constexpr int kUnitA = 16;
constexpr int kUnitB = 21;
constexpr int kUnitLength = 5;
constexpr int kCodesA = 26;  // 5-bit code in bits 0-4, 3-bit code in bits 5-7; B in the next byte
constexpr int kFlagsA = 28;  // 4-bit code bits 0-3, 2-bit code bits 4-5, scaling active bit 6, flag bit 7
constexpr int kSetupCount = 30;
constexpr int kByte32 = 32;

constexpr BYTE kScalingActiveBit = 6;
constexpr BYTE kFlagBit = 7;

int ValidSetupCount(DWORD count) { return (count >= 1 && count <= 9999) ? static_cast<int>(count) : 1; }

CString UnitText(const CString& block, int at)
{
    CString unit = block.Mid(at, kUnitLength);
    unit.Trim(' ');
    return unit;
}

// Unit texts travel as five single bytes, blank filled or cut.
void WriteUnitText(BYTE* bytes, int at, CString unit)
{
    unit.Trim(' ');
    for (int i = 0; i < kUnitLength; ++i) bytes[at + i] = i < unit.GetLength() ? unit.ByteAt(i) : ' ';
}

}  // namespace

void CKadmor_Send::KadSend_ReadBlockGetContentStatorSoftwareConfiguration(
    CString block, BYTE* configKind, double* scaleA, double* scaleB, CString* unitA, CString* unitB, BYTE* code5A,
    BYTE* code5B, BYTE* code3A, BYTE* code3B, BYTE* code4A, BYTE* code4B, BYTE* flagA, BYTE* flagB,
    BYTE* scalingActiveA, BYTE* scalingActiveB, int* setupCount, int* byte32, BYTE* code2A, BYTE* code2B,
    CString* status)
{
    CString b = BeginBlockParse(kSlotStatorSwConfig, block, status);
    const bool blockGood = m_aBlockSlot[kSlotStatorSwConfig].m_nReadResult == 0;
    const BYTE* bytes = b.bytes();

    if (configKind) *configKind = bytes[kConfigKind];
    if (scaleA) *scaleA = m_pFloat32->BytesToDouble(&bytes[kScaleA], &bytes[kScaleA + 1], &bytes[kScaleA + 2], &bytes[kScaleA + 3], false);
    if (scaleB) *scaleB = m_pFloat32->BytesToDouble(&bytes[kScaleB], &bytes[kScaleB + 1], &bytes[kScaleB + 2], &bytes[kScaleB + 3], false);
    if (unitA) *unitA = UnitText(b, kUnitA);
    if (unitB) *unitB = UnitText(b, kUnitB);
    if (code5A) *code5A = bytes[kCodesA] & 0x1F;
    if (code5B) *code5B = bytes[kCodesA + 1] & 0x1F;
    if (code3A) *code3A = (bytes[kCodesA] >> 5) & 0x07;
    if (code3B) *code3B = (bytes[kCodesA + 1] >> 5) & 0x07;
    if (code4A) *code4A = bytes[kFlagsA] & 0x0F;
    if (code4B) *code4B = bytes[kFlagsA + 1] & 0x0F;
    if (flagA) *flagA = (bytes[kFlagsA] >> kFlagBit) & 1;
    if (flagB) *flagB = (bytes[kFlagsA + 1] >> kFlagBit) & 1;
    // A scaling the sensor cannot vouch for is not applied.
    if (scalingActiveA) *scalingActiveA = blockGood ? (bytes[kFlagsA] >> kScalingActiveBit) & 1 : 0;
    if (scalingActiveB) *scalingActiveB = blockGood ? (bytes[kFlagsA + 1] >> kScalingActiveBit) & 1 : 0;
    if (setupCount) *setupCount = ValidSetupCount(BlockUInt16(b, kSetupCount));
    if (byte32) *byte32 = bytes[kByte32];
    if (code2A) {
        *code2A = 0;
        CopyBit(code2A, 0, &bytes[kFlagsA], 4);
        CopyBit(code2A, 1, &bytes[kFlagsA], 5);
    }
    if (code2B) {
        *code2B = 0;
        CopyBit(code2B, 0, &bytes[kFlagsA + 1], 4);
        CopyBit(code2B, 1, &bytes[kFlagsA + 1], 5);
    }
}

bool CKadmor_Send::KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
    CString* block, const BYTE* configKind, const double* scaleA, const double* scaleB, const CString* unitA,
    const CString* unitB, const BYTE* code5A, const BYTE* code5B, const BYTE* code3A, const BYTE* code3B,
    const BYTE* code4A, const BYTE* code4B, const BYTE* flagA, const BYTE* flagB, const BYTE* scalingActiveA,
    const BYTE* scalingActiveB, const int* setupCount, const int* byte32, const BYTE* code2A, const BYTE* code2B)
{
    CString work;
    if (!BeginBlockBuild(block, work)) return false;

    // Convert both factors before touching the block: a factor without a pattern (too large,
    // infinite, NaN) refuses the whole write rather than leaving a stale pattern in it.
    BYTE patternA[4] = {}, patternB[4] = {};
    if (scaleA) {
        if (!m_pFloat32->DoubleToBytes(scaleA)) return false;
        std::memcpy(patternA, m_pFloat32->GetBytes(), 4);
    }
    if (scaleB) {
        if (!m_pFloat32->DoubleToBytes(scaleB)) return false;
        std::memcpy(patternB, m_pFloat32->GetBytes(), 4);
    }

    BYTE* bytes = BlockBytes(work);
    if (configKind) bytes[kConfigKind] = *configKind;
    if (scaleA) std::memcpy(bytes + kScaleA, patternA, 4);
    if (scaleB) std::memcpy(bytes + kScaleB, patternB, 4);
    if (unitA) WriteUnitText(bytes, kUnitA, *unitA);
    if (unitB) WriteUnitText(bytes, kUnitB, *unitB);

    auto copyBits = [this](BYTE* target, int firstTargetBit, const BYTE* source, int count) {
        for (int i = 0; i < count; ++i) CopyBit(target, firstTargetBit + i, source, i);
    };
    if (code5A) copyBits(&bytes[kCodesA], 0, code5A, 5);
    if (code5B) copyBits(&bytes[kCodesA + 1], 0, code5B, 5);
    if (code3A) copyBits(&bytes[kCodesA], 5, code3A, 3);
    if (code3B) copyBits(&bytes[kCodesA + 1], 5, code3B, 3);
    if (code4A) copyBits(&bytes[kFlagsA], 0, code4A, 4);
    if (code4B) copyBits(&bytes[kFlagsA + 1], 0, code4B, 4);

    auto setBit = [this](BYTE* target, int bit, bool on) {
        const BYTE value = on ? 1 : 0;
        CopyBit(target, bit, &value, 0);
    };
    if (flagA) setBit(&bytes[kFlagsA], kFlagBit, *flagA > 0);
    if (flagB) setBit(&bytes[kFlagsA + 1], kFlagBit, *flagB > 0);
    if (scalingActiveA) setBit(&bytes[kFlagsA], kScalingActiveBit, *scalingActiveA == 1);
    if (scalingActiveB) setBit(&bytes[kFlagsA + 1], kScalingActiveBit, *scalingActiveB == 1);
    if (code2A) copyBits(&bytes[kFlagsA], 4, code2A, 2);
    if (code2B) copyBits(&bytes[kFlagsA + 1], 4, code2B, 2);
    if (setupCount) SetUInt16(static_cast<DWORD>(*setupCount), &bytes[kSetupCount], &bytes[kSetupCount + 1]);
    if (byte32) bytes[kByte32] = static_cast<BYTE>(*byte32);

    EndBlockBuild(kSlotStatorSwConfig, block, work);
    return true;
}
