// The 40-byte configuration block frame: block table, check words, validation, write frames
// and the 6-bit text code.

#include "protocol/kadmor_send.h"

#include <cstring>
#include <iterator>

namespace {

constexpr int kCodeByte = 6;
constexpr int kCheckWordsAt = 34;  // A high, A low, B high, B low
constexpr int kBlockBytes = 28;    // frame bytes 6 to 33
constexpr BYTE kInvalidateOffset = 0xCD;

struct BlockInfo {
    BYTE number;
    BYTE code;
    const char* name;
};

constexpr BlockInfo kBlocks[kBlockSlotCount] = {
    {kBlockStatorHeader, 0x10, "Stator Header"},
    {kBlockStatorHardware, 0x12, "Stator Hardware"},
    {kBlockStatorOperation, 0x13, "Stator Operation"},
    {kBlockStatorSwConfig, 0x14, "Stator SoftwareConfig"},
    {kBlockRotorHeader, 0x40, "Rotor  Header"},
    {kBlockRotorFactoryCalib, 0x41, "Rotor  FactoryCalib"},
    {kBlockRotorUserCalib, 0x42, "Rotor  UserCalib"},
    {kBlockRotorOperation, 0x43, "Rotor  Operation"},
};
constexpr BYTE kSpareBlockCode = 0x15;
constexpr BYTE kNoBlockCode = 0xFF;

constexpr char kTextAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ?";
static_assert(sizeof(kTextAlphabet) - 1 == 64);
constexpr BYTE kUnknownCharCode = 63;

// Status texts: each 41 characters wide, so that several line up behind one another.
constexpr char kEmptyBlockText[] = "Block-Str ist Leer! Alles 0x00 or 0xFF   ";
constexpr char kBlockGoodText[] = "Block vollständig I.O. wird verwendet!   ";
constexpr char kWeightedSumText[] = "GewichteteCheckSumme stimmt nicht!       ";
constexpr char kSumText[] = "          CheckSumme stimmt nicht!       ";
constexpr char kUnknownCodeText[] = "Block ID ist nicht bekannt!              ";
constexpr char kCodeNotSetText[] = "Block ID ist nicht gesetzt 0x00 or 0xFF  ";
#if KM3_SINGLE_BYTE_LITERALS
static_assert(sizeof(kEmptyBlockText) - 1 == 41 && sizeof(kBlockGoodText) - 1 == 41 &&
              sizeof(kWeightedSumText) - 1 == 41 && sizeof(kSumText) - 1 == 41 &&
              sizeof(kUnknownCodeText) - 1 == 41 && sizeof(kCodeNotSetText) - 1 == 41);
#endif

// Copies a frame text into 40 bytes; missing bytes read as blanks, as in a padded block text.
void CopyFrame(const CString& frame, BYTE (&bytes)[kBlockFrameLength])
{
    std::memset(bytes, ' ', sizeof bytes);
    const int n = frame.GetLength() < kBlockFrameLength ? frame.GetLength() : kBlockFrameLength;
    std::memcpy(bytes, frame.bytes(), static_cast<std::size_t>(n));
}

}  // namespace

BYTE BlockCodeOfNumber(BYTE blockNumber)
{
    for (const BlockInfo& info : kBlocks)
        if (info.number == blockNumber) return info.code;
    return blockNumber == kBlockStatorSpare ? kSpareBlockCode : kNoBlockCode;
}

bool IsKnownBlockCode(BYTE code)
{
    if (code == kSpareBlockCode) return true;
    for (const BlockInfo& info : kBlocks)
        if (info.code == code) return true;
    return false;
}

const char* BlockNameOfSlot(int slot) { return kBlocks[slot].name; }

void CKadmor_Send::CalcBlockCheckWords(BYTE* bytes)
{
    // B wraps with end-around carry (an overflow takes off 65535); A cannot overflow over 28 bytes.
    unsigned sum = 0, weighted = 0;
    for (int i = 0; i < kBlockBytes; ++i) {
        sum += bytes[i];
        if (sum > 65535) sum -= 65536;
        weighted += sum;
        if (weighted > 65535) weighted -= 65535;
    }
    bytes[kBlockBytes + 0] = static_cast<BYTE>(sum >> 8);
    bytes[kBlockBytes + 1] = static_cast<BYTE>(sum & 0xFF);
    bytes[kBlockBytes + 2] = static_cast<BYTE>(weighted >> 8);
    bytes[kBlockBytes + 3] = static_cast<BYTE>(weighted & 0xFF);
}

int CKadmor_Send::CheckBlock(CString frame, CString* message)
{
    BYTE bytes[kBlockFrameLength];
    CopyFrame(frame, bytes);

    bool allFF = true, allZero = true;
    for (int i = kCodeByte; i < kCheckWordsAt + 4; ++i) {
        allFF = allFF && bytes[i] == 0xFF;
        allZero = allZero && bytes[i] == 0x00;
    }
    if (allFF || allZero) {
        if (message) *message = kEmptyBlockText;
        return kBlockEmpty;
    }

    int result = 0;
    const BYTE code = bytes[kCodeByte];
    if (code == 0x00 || code == 0xFF) result |= kBlockCodeNotSet;
    if (!IsKnownBlockCode(code)) result |= kBlockCodeUnknown;

    BYTE computed[kBlockBytes + 4];
    std::memcpy(computed, bytes + kCodeByte, kBlockBytes);
    CalcBlockCheckWords(computed);
    if (std::memcmp(computed + kBlockBytes, bytes + kCheckWordsAt, 2) != 0) result |= kBlockSumWrong;
    if (std::memcmp(computed + kBlockBytes + 2, bytes + kCheckWordsAt + 2, 2) != 0)
        result |= kBlockWeightedSumWrong;

    if (message) {
        CString text('\t', 20);
        text += " ";
        if (result == 0) text += kBlockGoodText;
        if (result & kBlockWeightedSumWrong) text += kWeightedSumText;
        if (result & kBlockSumWrong) text += kSumText;
        if (result & kBlockCodeUnknown) text += kUnknownCodeText;
        if (result & kBlockCodeNotSet) text += kCodeNotSetText;
        *message = text;
    }
    return result;
}

CString CKadmor_Send::WrittenBlockText(const CString& frame, bool invalidate)
{
    if (!IsBlockFrameText(frame)) return CString();
    BYTE bytes[kBlockFrameLength];
    CopyFrame(frame, bytes);
    CalcBlockCheckWords(bytes + kCodeByte);
    if (invalidate) {
        // Both check words off by the same amount: the sensor treats the block as invalid.
        for (int i = kCheckWordsAt; i < kCheckWordsAt + 4; ++i)
            bytes[i] = static_cast<BYTE>(bytes[i] + kInvalidateOffset);
    }
    CalcFrameSums(bytes + 1, bytes + kCheckWordsAt + 4, kCheckWordsAt + 3 - 1);
    return CString(bytes, kBlockFrameLength);
}

CString CKadmor_Send::BuildWriteBlockFrame(CString& out, CString frame, bool invalidate)
{
    const CString written = WrittenBlockText(frame, invalidate);
    if (written.IsEmpty()) {
        out.Empty();
        return out;
    }
    FrameToString(out, written.bytes());
    return out;
}

bool CKadmor_Send::PrepareWriteBlockFrame(CString& frame, BYTE blockNumber)
{
    if (!IsBlockFrameText(frame)) return false;
    frame.SetAt(1, 'F');
    frame.SetAt(2, static_cast<char>(m_cAddressHi));
    frame.SetAt(3, static_cast<char>(m_cAddressLo));
    frame.SetAt(5, static_cast<char>(blockNumber));
    frame.SetAt(kCodeByte, static_cast<char>(BlockCodeOfNumber(blockNumber)));
    // The sensor acknowledges a block write.
    CString unused;
    BuildAck(unused, false);
    return true;
}

char CKadmor_Send::CharFromTextCode(BYTE code)
{
    return code < 64 ? kTextAlphabet[code] : '?';
}

BYTE CKadmor_Send::TextCodeFromChar(BYTE character)
{
    const void* found = std::memchr(kTextAlphabet, character, 64);
    return found ? static_cast<BYTE>(static_cast<const char*>(found) - kTextAlphabet) : kUnknownCharCode;
}
