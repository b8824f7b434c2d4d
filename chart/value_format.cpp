#include "chart/value_format.h"

#include <cmath>
#include <cstdio>

namespace chart {

namespace {

constexpr int kMaxWidth = 64;
constexpr int kMaxPrecision = 30;

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

struct CivilTime {
    int year, month, day, hour, minute, second, weekday, yearDay;
};

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

bool ToCivil(double date, CivilTime& t)
{
    // The range of dates the original's date type accepted.
    if (!std::isfinite(date) || date < -657434.0 || date > 2958465.99999) return false;
    // An OLE date counts days from 1899-12-30; before it, the fraction still runs forward.
    double whole = std::trunc(date);
    double fraction = std::fabs(date - whole);
    long long seconds = std::llround(fraction * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += date < 0 ? -1 : 1;
    }
    const long long days = static_cast<long long>(whole) + DaysFromCivil(1899, 12, 30);
    CivilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>((seconds / 60) % 60);
    t.second = static_cast<int>(seconds % 60);
    t.weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    t.yearDay = static_cast<int>(days - DaysFromCivil(t.year, 1, 1)) + 1;
    return true;
}

}  // namespace

bool IsSafeDoubleFormat(const CString& format)
{
    int conversions = 0;
    const int n = format.GetLength();
    for (int i = 0; i < n; ++i) {
        if (format.GetAt(i) != '%') continue;
        ++i;
        if (i < n && format.GetAt(i) == '%') continue;
        while (i < n && std::string_view("-+ #0").find(format.GetAt(i)) != std::string_view::npos) ++i;
        int width = 0;
        while (i < n && format.GetAt(i) >= '0' && format.GetAt(i) <= '9') {
            width = width * 10 + (format.GetAt(i) - '0');
            if (width > kMaxWidth) return false;
            ++i;
        }
        if (i < n && format.GetAt(i) == '.') {
            ++i;
            int precision = 0;
            while (i < n && format.GetAt(i) >= '0' && format.GetAt(i) <= '9') {
                precision = precision * 10 + (format.GetAt(i) - '0');
                if (precision > kMaxPrecision) return false;
                ++i;
            }
        }
        if (i < n && format.GetAt(i) == 'l') ++i;  // "%lf" means the same as "%f"
        if (i >= n || std::string_view("fFeEgGaA").find(format.GetAt(i)) == std::string_view::npos) return false;
        if (++conversions > 1) return false;
    }
    return true;
}

CString FormatDouble(const CString& format, double value)
{
    const CString& used = IsSafeDoubleFormat(format) ? format : CString(kFallbackFormat);
    CString text;
    text.Format(used.GetString(), value);  // NOLINT: checked above
    return text;
}

CString FormatOleDate(double date, const CString& format)
{
    CivilTime t{};
    if (!ToCivil(date, t)) return CString();
    CString out;
    const int n = format.GetLength();
    for (int i = 0; i < n; ++i) {
        const char ch = format.GetAt(i);
        if (ch != '%' || i + 1 >= n) {
            out += ch;
            continue;
        }
        char code = format.GetAt(++i);
        // "%#d" and its likes: the number without leading zeros.
        const bool unpadded = code == '#' && i + 1 < n;
        if (unpadded) code = format.GetAt(++i);
        const auto number = [&](int value, int digits) { out.AppendFormat("%0*d", unpadded ? 1 : digits, value); };
        switch (code) {
        case 'd': number(t.day, 2); break;
        case 'm': number(t.month, 2); break;
        case 'Y': number(t.year, 4); break;
        case 'y': number(t.year % 100, 2); break;
        case 'H': number(t.hour, 2); break;
        case 'I': number(t.hour % 12 == 0 ? 12 : t.hour % 12, 2); break;
        case 'M': number(t.minute, 2); break;
        case 'S': number(t.second, 2); break;
        case 'p': out += t.hour < 12 ? "AM" : "PM"; break;
        case 'j': number(t.yearDay, 3); break;
        case 'b': out += CString(kMonths[t.month - 1]).Left(3); break;
        case 'B': out += kMonths[t.month - 1]; break;
        case 'a': out += CString(kDays[t.weekday]).Left(3); break;
        case 'A': out += kDays[t.weekday]; break;
        case 'w': out.AppendFormat("%d", t.weekday); break;
        case 'x': out.AppendFormat("%02d/%02d/%02d", t.month, t.day, t.year % 100); break;
        case 'X': out.AppendFormat("%02d:%02d:%02d", t.hour, t.minute, t.second); break;
        case 'c':
            out.AppendFormat("%02d/%02d/%02d %02d:%02d:%02d", t.month, t.day, t.year % 100, t.hour, t.minute, t.second);
            break;
        case '%': out += '%'; break;
        default:
            out += '%';
            out += code;
            break;
        }
    }
    return out;
}

}  // namespace chart
