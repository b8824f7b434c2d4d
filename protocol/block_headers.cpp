// The stator and rotor header blocks (numbers 0 and 0x80): identification only, never written.

#include "protocol/block_fields.h"
#include "protocol/kadmor_send.h"

using protocol::BlockUInt16;
using protocol::BlockUInt24;
using protocol::BlockUInt32;

void CKadmor_Send::KadSend_ReadBlockGetContentStatorHeader(CString block, DWORD* headerCode, DWORD* serialNo,
                                                           BYTE* byte14, BYTE* byte15, CString* status)
{
    const CString b = BeginBlockParse(kSlotStatorHeader, block, status);
    if (headerCode) *headerCode = BlockUInt24(b, 7);
    if (serialNo) *serialNo = BlockUInt32(b, 10);
    if (byte14) *byte14 = b.ByteAt(14);
    if (byte15) *byte15 = b.ByteAt(15);
}

void CKadmor_Send::KadSend_ReadBlockGetContentRotorHeader(CString block, DWORD* headerCode, DWORD* serialNo,
                                                          BYTE* byte14, BYTE* typeClass, DWORD* fullScaleCodeA,
                                                          double* fullScaleA, BYTE* byte18, BYTE* byte19,
                                                          DWORD* fullScaleCodeB, double* fullScaleB,
                                                          BYTE* byte22, CString* status)
{
    const CString b = BeginBlockParse(kSlotRotorHeader, block, status);
    if (headerCode) *headerCode = BlockUInt24(b, 7);
    if (serialNo) *serialNo = BlockUInt32(b, 10);
    if (byte14) *byte14 = b.ByteAt(14);
    if (typeClass) *typeClass = b.ByteAt(15);
    if (fullScaleCodeA) *fullScaleCodeA = BlockUInt16(b, 16);
    if (fullScaleA) *fullScaleA = DecimalCode16Value(BlockUInt16(b, 16));
    if (byte18) *byte18 = b.ByteAt(18);
    if (byte19) *byte19 = b.ByteAt(19);
    if (fullScaleCodeB) *fullScaleCodeB = BlockUInt16(b, 20);
    if (fullScaleB) *fullScaleB = DecimalCode16Value(BlockUInt16(b, 20));
    if (byte22) *byte22 = b.ByteAt(22);
}
