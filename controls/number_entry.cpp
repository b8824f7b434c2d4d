#include "controls/number_entry.h"

#include "platform/c_locale.h"

namespace controls {

namespace {
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
}  // namespace

double LeadingNumber(const CString& text)
{
    const int length = text.GetLength();
    int i = 0;
    while (i < length && (text[i] == ' ' || text[i] == '\t')) ++i;
    CString number;
    if (i < length && (text[i] == '-' || text[i] == '+')) number += text[i++];
    bool digits = false;
    while (i < length && IsDigit(text[i])) {
        number += text[i++];
        digits = true;
    }
    if (i < length && (text[i] == ',' || text[i] == '.')) {
        number += '.';
        ++i;
        while (i < length && IsDigit(text[i])) {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits) return 0.0;
    return platform::StrToDoubleC(number.GetString());
}

CString WithDecimalSeparator(CString text, char separator)
{
    if (separator != ',') text.Replace(',', separator);
    if (separator != '.') text.Replace('.', separator);
    return text;
}

}  // namespace controls
