#include "measurement/setup_numbers.h"

#include <cstdlib>

namespace measurement {

char DecimalSeparator(int language) { return language == kEnglish ? '.' : ','; }

CString LocalizeSeparator(const CString& text, int language)
{
    CString result = text;
    const int point = result.Find('.');
    if (point >= 0) result.SetAt(point, DecimalSeparator(language));
    return result;
}

CString TrimZeros(const CString& text)
{
    int separator = text.Find('.');
    if (separator < 0) separator = text.Find(',');
    if (separator < 0) return text;
    int end = text.GetLength();
    while (end > separator + 1 && text.ByteAt(end - 1) == '0') --end;
    if (end == separator + 1) end = separator;
    return text.Left(end);
}

bool ParseUserNumber(const CString& input, double& value)
{
    value = 0.0;
    CString text = input;
    text.Trim();
    text.Replace(',', '.');
    if (text.IsEmpty()) return false;
    int i = 0;
    if (text.ByteAt(0) == '-' || text.ByteAt(0) == '+') ++i;
    int digits = 0, points = 0;
    for (; i < text.GetLength(); ++i) {
        const BYTE c = text.ByteAt(i);
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.' && points == 0) ++points;
        else return false;
    }
    if (digits == 0) return false;
    value = std::strtod(text.GetString(), nullptr);
    return true;
}

CString FormatTrimmed(double value, int decimals, int language)
{
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    const CString text = CString::Formatted("%.*f", decimals, value);
    return LocalizeSeparator(TrimZeros(text), language);
}

int DecimalsOfText(const CString& text)
{
    int point = text.Find('.');
    if (point < 0) point = text.Find(',');
    if (point < 0) return 0;
    int digits = 0;
    for (int i = point + 1; i < text.GetLength() && text.ByteAt(i) >= '0' && text.ByteAt(i) <= '9'; ++i) ++digits;
    return digits > 7 ? 7 : digits;
}

}  // namespace measurement
