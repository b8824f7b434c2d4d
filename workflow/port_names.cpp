#include "workflow/port_names.h"

#include <cstdlib>

namespace workflow {
namespace {
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
}  // namespace

CString ExtractComPortName(const CString& portText)
{
    int start = portText.Find('[');
    start = start < 0 ? 0 : start + 1;
    const int com = portText.Find("COM", start);
    if (com < 0) return CString();
    CString digits;
    for (int i = com + 3; i < portText.GetLength() && IsDigit(portText.GetAt(i)); ++i) digits.AppendChar(portText.GetAt(i));
    return digits;
}

int ComPortNumber(const CString& portText)
{
    const CString digits = ExtractComPortName(portText);
    if (digits.IsEmpty() || digits.GetLength() > 6) return -1;
    return std::atoi(digits.GetString());
}

bool IsComPortText(const CString& text)
{
    return text.GetLength() >= 4 && text.Left(3) == "COM" && IsDigit(text.GetAt(3));
}

}  // namespace workflow
