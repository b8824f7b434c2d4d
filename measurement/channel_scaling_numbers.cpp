#include "measurement/channel_scaling_numbers.h"

#include <cmath>
#include <cstdlib>

#include "environment/environment.h"
#include "environment/number_text.h"

namespace measurement {

namespace {

constexpr int kMaxRoundedDigits = 18;  // what a 64-bit integer holds safely

CString WithoutPoint(const CString& s)
{
    CString d = s;
    d.Remove('.');
    return d;
}

}  // namespace

CString FormatScalingTarget(double value)
{
    if (!std::isfinite(value)) return "n.a.";
    const bool negative = value < 0.0;
    CString s = CEnvironment::TrimTrailingZeros(CString::Formatted("%f", std::fabs(value)));
    int length = s.GetLength();
    int point = s.Find('.');
    CString d = WithoutPoint(s);

    int keep = -1;
    if (int i = d.Find("9999"); i >= 0) keep = i + 4;
    else if (int j = d.Find("999", 4); j >= 0) keep = j + 3;
    else if (int k = d.Find("99", 5); k >= 0) keep = k + 2;
    if (keep > 0 && keep <= kMaxRoundedDigits) {
        const long long rounded = std::strtoll(d.Left(keep).GetString(), nullptr, 10) + 1;
        CString r = CString::Formatted("%lld", rounded);
        const int gained = r.GetLength() - keep;
        if (point >= 0) {
            if (r.GetLength() > point) r.Insert(point + gained, '.');
            else r += CString('0', point - r.GetLength() + gained);
        } else {
            const int zeros = length - r.GetLength() + gained;
            if (zeros > 0) r += CString('0', zeros);
        }
        s = CEnvironment::TrimTrailingZeros(r);
    }

    length = s.GetLength();
    point = s.Find('.');
    if ((length > 5 && point < 0) || length > 6) {
        if (point >= 0 && point < 6) {
            s = s.Left(6);
            if (s.GetLength() == 6 && s[5] == '.') s = s.Left(5);
        } else {
            const int integerLength = point >= 0 ? point : length;
            s = s.Left(5) + CString('0', integerLength - 5);
        }
    }
    return negative && s != "0" ? "-" + s : s;
}

CString FormatScalingReading(double value, int languageOffset)
{
    if (!std::isfinite(value)) return "n.a.";
    const CString plain = CString::Formatted("%f", value);
    const int point = plain.Find('.');
    int decimals = point >= 0 ? 10 - (point + 1) : 0;
    // Ten or more integer digits leave no room for decimals.
    if (decimals < 0) decimals = 0;
    // Zeros are trimmed on the point text, then the language's separator goes in.
    return LocalizeDecimalSeparator(CEnvironment::TrimTrailingZeros(FormatDouble(value, decimals, 1000)), languageOffset);
}

}  // namespace measurement
