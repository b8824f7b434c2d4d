// One-byte option codes and the compact 16-bit decimal code.

#include "protocol/decimal_text.h"
#include "protocol/kadmor_send.h"

#include <iterator>

namespace {

struct CountEntry {
    BYTE code;
    int value;
    const char* text;
};

constexpr CountEntry kCounts[] = {
    {1, 6, "6"},     {2, 30, "30"},   {3, 60, "60"},   {4, 90, "90"},     {5, 120, "120"},
    {6, 180, "180"}, {7, 360, "360"}, {8, 720, "720"}, {20, 1000, "1000"},
};

}  // namespace

CString CKadmor_Send::DecodeCountCode(CString& out, BYTE code, int* index, int* value) const
{
    int foundIndex = -2;  // an unknown code
    int foundValue = 60;
    out = "60";
    for (int i = 0; i < static_cast<int>(std::size(kCounts)); ++i) {
        if (kCounts[i].code != code) continue;
        foundIndex = i;
        foundValue = kCounts[i].value;
        out = kCounts[i].text;
        break;
    }
    if (index) *index = foundIndex;
    if (value) *value = foundValue;
    return out;
}

DWORD CKadmor_Send::DecodeRangeCode(int code)
{
    switch (code) {
    case 1: return 300;
    case 2: return 1000;
    case 3: return 3000;
    default: return 30;
    }
}

int CKadmor_Send::EncodeRangeCode(DWORD value)
{
    if (value <= 30) return 0;
    if (value <= 300) return 1;
    if (value <= 1000) return 2;
    if (value <= 65536) return 3;
    return 0;
}

int CKadmor_Send::GetSourceTypeCode(BYTE letter)
{
    switch (letter) {
    case 'd': return 0;    // strain gauge
    case 'A': return 1;    // voltage
    case 'S': return 2;    // current
    case 'D': return 3;    // torque
    case 'K': return 4;    // force
    case 'W': return 5;    // weight
    case 'X': return 6;    // miscellaneous
    case 'T': return 7;    // temperature
    case 'Y': return 8;    // angle and speed
    case 'P': return 100;  // power
    default: return -1;
    }
}

void CKadmor_Send::FormatDecimalCode16(CString& out, DWORD code)
{
    // Four hex digits e d1 d2 d3 stand for d1.d2d3 x 10^e.
    out.Empty();
    if (code >= 0xFFFF) return;
    const CString hex = CString::Formatted("%04x", static_cast<unsigned>(code));
    const int exponent = static_cast<int>((code >> 12) & 0xF);
    const CString tail = hex.Mid(2);  // d2 d3

    auto digitAfterFirst = [&tail](int i) { return i < tail.GetLength() ? tail.GetAt(i) : '0'; };

    CString text(hex.GetAt(1));
    if (exponent == 0) {
        text += tail;
        text.Insert(1, '.');
    } else if (exponent <= 3) {
        for (int i = 0; i < exponent + 1; ++i) text += digitAfterFirst(i);
        text.Insert(exponent + 1, '.');
    } else {
        for (int i = 0; i < exponent; ++i) text += digitAfterFirst(i);
    }

    text.TrimLeft('0');
    if (!text.IsEmpty() && text.GetAt(0) == '.') text.Insert(0, '0');
    if (text.Find('.') >= 0) {
        text.TrimRight('0');
        text.TrimRight('.');
    }
    out = text;
}

double CKadmor_Send::DecimalCode16Value(DWORD code)
{
    CString text;
    FormatDecimalCode16(text, code);
    return protocol::LeadingDecimalNumber(text);
}
