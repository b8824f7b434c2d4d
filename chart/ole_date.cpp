#include "chart/ole_date.h"

#include <QDate>

#include <cmath>

namespace chart {

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMinDate = -657434.0;  // 1 January 100
constexpr double kMaxDate = 2958465.99999;  // 31 December 9999, end of day
}  // namespace

bool OleDateToParts(double date, DateTimeParts& parts)
{
    if (!std::isfinite(date) || date < kMinDate || date > kMaxDate) return false;
    // Before the epoch the whole part counts the days back and the fraction is still the time.
    double whole = std::trunc(date);
    long long seconds = std::llround(std::fabs(date - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += date < 0 ? -1.0 : 1.0;
    }
    const QDate day = kEpoch.addDays(static_cast<qint64>(whole));
    parts.year = day.year();
    parts.month = day.month();
    parts.day = day.day();
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return true;
}

bool OleDateFromParts(const DateTimeParts& parts, double& date)
{
    const QDate day(parts.year, parts.month, parts.day);
    if (!day.isValid() || parts.year < 100 || parts.year > 9999) return false;
    if (parts.hour < 0 || parts.hour > 23 || parts.minute < 0 || parts.minute > 59 || parts.second < 0 ||
        parts.second > 59)
        return false;
    const double days = static_cast<double>(kEpoch.daysTo(day));
    const double time = (parts.hour * 3600 + parts.minute * 60 + parts.second) / 86400.0;
    date = days >= 0 ? days + time : days - time;
    return true;
}

}  // namespace chart
