#pragma once
// CDateTimeText: the date, time and weekday texts of the status bar, the logs and the printed
// pages, in the four languages (German "07.12.2026", English "12/07/2026", French and Spanish
// "07/12/2026"; time "14:05:09" in all of them; weekday names from the string table).

#include <ctime>

#include "platform/cstring.h"

class CDateTimeText {
public:
    // From a broken-down local time (tm_year counted from 1900, tm_mon from 0, tm_wday 0 = Sunday).
    explicit CDateTimeText(const std::tm& time) : m_time(time) {}
    // The local time now.
    static CDateTimeText Now();

    // languageOffset -1: the current language.
    CString Date(int languageOffset = -1) const;
    CString Time() const;
    CString Weekday(int languageOffset = -1) const;
    // The weekday name of tm_wday (0 Sunday .. 6 Saturday) in a language.
    static CString WeekdayName(int weekday, int languageOffset = -1);

    const std::tm& tm() const { return m_time; }

private:
    std::tm m_time;
};
