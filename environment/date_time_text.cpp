#include "environment/date_time_text.h"

#include "platform/message_loop.h"
#include "res/string_table.h"

namespace {

constexpr UINT kTextSunday = 5700;  // 5700 Sunday .. 5706 Saturday

int LanguageOrCurrent(int languageOffset)
{
    return languageOffset < 0 ? GetLanguage() : languageOffset;
}

}  // namespace

CDateTimeText CDateTimeText::Now()
{
    const std::time_t now = static_cast<std::time_t>(platform::CalendarSeconds());
    std::tm local{};
    localtime_r(&now, &local);
    return CDateTimeText(local);
}

CString CDateTimeText::Date(int languageOffset) const
{
    const int day = m_time.tm_mday;
    const int month = m_time.tm_mon + 1;
    const int year = m_time.tm_year + 1900;
    switch (LanguageOrCurrent(languageOffset)) {
    case 1000: return CString::Formatted("%02d/%02d/%04d", month, day, year);
    case 2000:
    case 3000: return CString::Formatted("%02d/%02d/%04d", day, month, year);
    default: return CString::Formatted("%02d.%02d.%04d", day, month, year);
    }
}

CString CDateTimeText::Time() const
{
    return CString::Formatted("%02d:%02d:%02d", m_time.tm_hour, m_time.tm_min, m_time.tm_sec);
}

CString CDateTimeText::Weekday(int languageOffset) const
{
    return WeekdayName(m_time.tm_wday, languageOffset);
}

CString CDateTimeText::WeekdayName(int weekday, int languageOffset)
{
    if (weekday < 0 || weekday > 6) return "@";
    const CString* text = km3_res::Find(kTextSunday + static_cast<UINT>(weekday) + static_cast<UINT>(LanguageOrCurrent(languageOffset)));
    return text != nullptr ? *text : CString("@");
}
