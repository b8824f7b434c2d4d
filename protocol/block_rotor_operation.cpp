// The rotor operation block (number 0x83): date of the last change and the serial numbers of
// channels A and B, six characters each, packed into bytes 23 to 31 with a 6-bit code.
//
// Channel A takes the low six bits of bytes 23 to 28. Channel B takes the low six bits of
// bytes 29 to 31 for its first three characters, and the top bit pairs of bytes 23 to 31 for
// the other three: each character spread over three bytes, two code bits per byte, low bits first.

#include "protocol/block_fields.h"
#include "protocol/kadmor_send.h"

using protocol::BlockBytes;
using protocol::PutBlockDate;

namespace {

constexpr int kSerialAt = 23;
constexpr int kSerialBytes = 9;
constexpr int kSerialLength = 6;
constexpr BYTE kLowSix = 0x3F;
constexpr char kNotAvailable[] = "n.a.";
constexpr char kUnknownSerial[] = "??????";

// Code of channel B's character 4, 5 or 6 (index 3, 4, 5) from the top bit pairs.
BYTE HighPairCode(const BYTE* serial, int charIndex)
{
    const int first = (charIndex - 3) * 3;
    BYTE code = 0;
    for (int k = 0; k < 3; ++k) code |= static_cast<BYTE>(((serial[first + k] >> 6) & 0x03) << (2 * k));
    return code;
}

void PutHighPairCode(BYTE* serial, int charIndex, BYTE code)
{
    const int first = (charIndex - 3) * 3;
    for (int k = 0; k < 3; ++k) {
        const BYTE pair = (code >> (2 * k)) & 0x03;
        serial[first + k] = static_cast<BYTE>((serial[first + k] & kLowSix) | (pair << 6));
    }
}

// Six codes of a serial-number text: trimmed, blank filled, cut after six characters.
void SerialCodes(CString text, BYTE (&codes)[kSerialLength])
{
    text.Trim(' ');
    for (int i = 0; i < kSerialLength; ++i)
        codes[i] = CKadmor_Send::TextCodeFromChar(i < text.GetLength() ? text.ByteAt(i) : ' ');
}

}  // namespace

void CKadmor_Send::KadSend_ReadBlockGetContentRotorOperation(CString block, std::int64_t* date, BlockDateTm* dateTm,
                                                             CString* dateText, CString* serialA, CString* serialB,
                                                             CString* status)
{
    const CString b = BeginBlockParse(kSlotRotorOperation, block, status);
    ReadBlockDate(b, date, dateTm, dateText, nullptr);

    const BYTE* serial = b.bytes() + kSerialAt;
    bool noneStored = true;
    for (int i = 0; i < kSerialBytes; ++i) noneStored = noneStored && serial[i] == 0xFF;

    if (serialA) {
        CString text;
        for (int i = 0; i < kSerialLength; ++i) text += CharFromTextCode(serial[i] & kLowSix);
        if (noneStored) text = kNotAvailable;
        *serialA = text.Trim(' ');
    }
    if (serialB) {
        CString text;
        for (int i = 0; i < 3; ++i) text += CharFromTextCode(serial[6 + i] & kLowSix);
        for (int i = 3; i < kSerialLength; ++i) text += CharFromTextCode(HighPairCode(serial, i));
        if (noneStored) text = kNotAvailable;
        *serialB = text.Trim(' ');
    }
}

bool CKadmor_Send::KadSend_WriteBlockSetContentRotorOperation(CString* block, const std::int64_t* date,
                                                              CString* serialA, CString* serialB)
{
    CString work;
    if (!BeginBlockBuild(block, work)) return false;
    BYTE* bytes = BlockBytes(work);
    if (date) PutBlockDate(bytes, *date);

    BYTE* serial = bytes + kSerialAt;
    if (serialA) {
        if (*serialA == kNotAvailable) *serialA = kUnknownSerial;
        BYTE codes[kSerialLength];
        SerialCodes(*serialA, codes);
        for (int i = 0; i < kSerialLength; ++i) serial[i] = static_cast<BYTE>((serial[i] & ~kLowSix) | codes[i]);
    }
    if (serialB) {
        if (*serialB == kNotAvailable) *serialB = kUnknownSerial;
        BYTE codes[kSerialLength];
        SerialCodes(*serialB, codes);
        for (int i = 0; i < 3; ++i) serial[6 + i] = static_cast<BYTE>((serial[6 + i] & ~kLowSix) | codes[i]);
        for (int i = 3; i < kSerialLength; ++i) PutHighPairCode(serial, i, codes[i]);
    }
    EndBlockBuild(kSlotRotorOperation, block, work);
    return true;
}
