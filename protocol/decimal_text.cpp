#include "protocol/decimal_text.h"

#include <string>

#include "platform/c_locale.h"

namespace protocol {

namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r'; }

}  // namespace

double LeadingDecimalNumber(const CString& text)
{
    const std::string& s = text.str();
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    const std::size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool anyDigit = false;
    while (i < s.size() && IsDigit(s[i])) { ++i; anyDigit = true; }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) { ++i; anyDigit = true; }
    }
    if (!anyDigit) return 0.0;
    const std::string number = s.substr(start, i - start);
    return platform::StrToDoubleC(number.c_str());
}

}  // namespace protocol
