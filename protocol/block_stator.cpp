// The stator hardware block (number 1, read only) and the stator operation block (number 2).

#include "protocol/block_fields.h"
#include "protocol/kadmor_send.h"

using protocol::BlockBytes;
using protocol::PutBlockDate;
using protocol::BlockUInt16;

namespace {

// Hardware block
constexpr int kOptionByte = 16;
constexpr int kCountCode = 17;
// Operation block
constexpr int kByte12 = 12;
constexpr int kBusAddress = 13;
constexpr int kOperationFlags = 15;  // bit 0
constexpr int kBaudCode = 16;
constexpr int kEncoderMode = 17;
constexpr int kByte18 = 18;
constexpr int kFilterA = 19;
constexpr int kFilterB = 21;

}  // namespace

void CKadmor_Send::KadSend_ReadBlockGetContentStatorHardware(CString block, std::int64_t* date, BlockDateTm* dateTm,
                                                             BYTE* optionByte, BYTE* countCode, CString* dateText,
                                                             CString* status)
{
    const CString b = BeginBlockParse(kSlotStatorHardware, block, status);
    ReadBlockDate(b, date, dateTm, dateText, nullptr);
    if (optionByte) *optionByte = b.ByteAt(kOptionByte);
    if (countCode) *countCode = b.ByteAt(kCountCode);
}

void CKadmor_Send::KadSend_ReadBlockGetContentStatorOperation(CString block, std::int64_t* date,
                                                              BlockDateTm* dateTm, BYTE* byte12, BYTE* byte12Bit0,
                                                              BYTE* busAddress, BYTE* operationFlag, BYTE* baudCode,
                                                              BYTE* encoderMode, BYTE* byte18, DWORD* filterA,
                                                              DWORD* filterB, CString* dateText, CString* status)
{
    const CString b = BeginBlockParse(kSlotStatorOperation, block, status);
    ReadBlockDate(b, date, dateTm, dateText, nullptr);
    if (byte12) *byte12 = b.ByteAt(kByte12);
    if (byte12Bit0) *byte12Bit0 = b.ByteAt(kByte12) & 1;
    if (busAddress) *busAddress = b.ByteAt(kBusAddress);
    if (operationFlag) *operationFlag = b.ByteAt(kOperationFlags) & 1;
    if (baudCode) *baudCode = b.ByteAt(kBaudCode);
    if (encoderMode) *encoderMode = b.ByteAt(kEncoderMode);
    if (byte18) *byte18 = b.ByteAt(kByte18);
    if (filterA) *filterA = BlockUInt16(b, kFilterA);
    if (filterB) *filterB = BlockUInt16(b, kFilterB);
}

bool CKadmor_Send::KadSend_WriteBlockSetContentStatorOperation(CString* block, const std::int64_t* date,
                                                               const BYTE* byte12, const BYTE* busAddress,
                                                               const BYTE* operationFlag, const BYTE* baudCode,
                                                               const BYTE* encoderMode, const BYTE* byte18,
                                                               const DWORD* filterA, const DWORD* filterB)
{
    CString work;
    if (!BeginBlockBuild(block, work)) return false;
    BYTE* bytes = BlockBytes(work);
    if (date) PutBlockDate(bytes, *date);
    if (byte12) bytes[kByte12] = *byte12;
    if (busAddress) bytes[kBusAddress] = *busAddress;
    if (operationFlag) {
        const BYTE on = *operationFlag == 1 ? 1 : 0;
        CopyBit(&bytes[kOperationFlags], 0, &on, 0);
    }
    if (baudCode) bytes[kBaudCode] = *baudCode;
    if (encoderMode) bytes[kEncoderMode] = *encoderMode;
    if (byte18) bytes[kByte18] = *byte18;
    // A setting above 65535 has no 16-bit form; it goes out as the 0x80 0x00 marker.
    if (filterA) SetUInt16(*filterA, &bytes[kFilterA], &bytes[kFilterA + 1]);
    if (filterB) SetUInt16(*filterB, &bytes[kFilterB], &bytes[kFilterB + 1]);
    EndBlockBuild(kSlotStatorOperation, block, work);
    return true;
}
