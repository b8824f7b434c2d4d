// Integer and bit helpers of the block parsers, builders and stream receivers.

#include "protocol/kadmor_send.h"

int CKadmor_Send::GetInt16(BYTE hi, BYTE lo)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((hi << 8) | lo));
}

unsigned CKadmor_Send::GetUInt16(BYTE hi, BYTE lo) { return hi * 256u + lo; }

bool CKadmor_Send::SetInt16(int value, BYTE* hi, BYTE* lo)
{
    if (value < -32767 || value > 32767) return false;
    const auto word = static_cast<std::uint16_t>(value);
    *hi = static_cast<BYTE>(word >> 8);
    *lo = static_cast<BYTE>(word & 0xFF);
    return true;
}

bool CKadmor_Send::SetUInt16(DWORD value, BYTE* hi, BYTE* lo)
{
    if (value > 65535) {
        // Sensors and stored blocks know this marker for a value that did not fit.
        *hi = 0x80;
        *lo = 0x00;
        return false;
    }
    *hi = static_cast<BYTE>(value >> 8);
    *lo = static_cast<BYTE>(value & 0xFF);
    return true;
}

void CKadmor_Send::SplitUInt32(std::uint64_t value, BYTE* b3, BYTE* b2, BYTE* b1, BYTE* b0)
{
    *b3 = static_cast<BYTE>((value >> 24) & 0xFF);
    *b2 = static_cast<BYTE>((value >> 16) & 0xFF);
    *b1 = static_cast<BYTE>((value >> 8) & 0xFF);
    *b0 = static_cast<BYTE>(value & 0xFF);
}

bool CKadmor_Send::CopyBit(BYTE* target, int targetBit, const BYTE* source, int sourceBit) const
{
    if (targetBit < 0 || targetBit > 7 || sourceBit < 0 || sourceBit > 7) return false;
    if (*source & m_aBitMask[sourceBit])
        *target |= m_aBitMask[targetBit];
    else
        *target &= m_aBitMaskInv[targetBit];
    return true;
}
