// Block dates in their three forms and the date texts of each language.

#include "protocol/kadmor_send.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

using protocol_test::MakeBlockFrame;
using protocol_test::UtcSeconds;

namespace {

CString BlockWithDate(std::uint32_t seconds)
{
    return MakeBlockFrame(0x01, 0x12,
                          {{7, static_cast<int>(seconds >> 24)}, {8, static_cast<int>((seconds >> 16) & 0xFF)},
                           {9, static_cast<int>((seconds >> 8) & 0xFF)}, {10, static_cast<int>(seconds & 0xFF)}});
}

CString TextAt(int language, int hour, int minute, int second)
{
    BlockDateTm d;
    d.tm_year = 2019;
    d.tm_mon = 3;
    d.tm_mday = 5;
    d.tm_hour = hour;
    d.tm_min = minute;
    d.tm_sec = second;
    return CKadmor_Send::FormatBlockDateText(language, nullptr, nullptr, &d);
}

TEST(BlockDateText, FormsOfTheLanguages)
{
    EXPECT_EQ(CString("05.03.2019 09:07:02 Uhr"), TextAt(kLanguageGerman, 9, 7, 2));
    EXPECT_EQ(CString("05.03.2019 09:07:02 Uhr"), TextAt(kLanguageFrench, 9, 7, 2));
    EXPECT_EQ(CString("05.03.2019 09:07:02 Uhr"), TextAt(kLanguageSpanish, 9, 7, 2));
    EXPECT_EQ(CString("03/05/2019 09:07:02 AM"), TextAt(kLanguageEnglish, 9, 7, 2));
    EXPECT_EQ(CString("2019/03/05 09:07:02"), TextAt(kDateTextYearFirst, 9, 7, 2));
}

TEST(BlockDateText, TwelveHourClock)
{
    EXPECT_EQ(CString("03/05/2019 00:30:00 AM"), TextAt(kLanguageEnglish, 0, 30, 0));
    EXPECT_EQ(CString("03/05/2019 12:15:00 PM"), TextAt(kLanguageEnglish, 12, 15, 0));
    EXPECT_EQ(CString("03/05/2019 11:59:59 PM"), TextAt(kLanguageEnglish, 23, 59, 59));
    EXPECT_EQ(CString("03/05/2019 12:00:00 PM"), TextAt(kLanguageEnglish, 24, 0, 0));
}

TEST(BlockDateText, DatesOutsideTheirRangesAndMissingDates)
{
    EXPECT_EQ(CString("ERROR DATE TIME"), TextAt(kLanguageGerman, 25, 0, 0));
    BlockDateTm d;  // year 0, month 0
    CString text = "old";
    EXPECT_EQ(CString("ERROR DATE TIME"), CKadmor_Send::FormatBlockDateText(kLanguageGerman, &text, nullptr, &d));
    EXPECT_EQ(CString("ERROR DATE TIME"), text);
    EXPECT_EQ(CString("ERROR DATE TIME"), CKadmor_Send::FormatBlockDateText(kLanguageGerman, nullptr, nullptr, nullptr));
}

TEST(BlockDate, AllFormsFromTheBlockBytes)
{
    const std::int64_t seconds = UtcSeconds(2019, 7, 1, 22, 0, 5);  // summer time: 00:00:05 next day
    std::int64_t date = 0;
    BlockDateTm d;
    CString text;
    DWORD raw = 0;
    CKadmor_Send::ReadBlockDate(BlockWithDate(static_cast<std::uint32_t>(seconds)), &date, &d, &text, &raw);
    EXPECT_EQ(seconds, date);
    EXPECT_EQ(static_cast<DWORD>(seconds), raw);
    EXPECT_EQ(2019, d.tm_year);
    EXPECT_EQ(7, d.tm_mon);
    EXPECT_EQ(2, d.tm_mday);
    EXPECT_EQ(0, d.tm_hour);
    EXPECT_EQ(5, d.tm_sec);
    EXPECT_EQ(1, d.tm_isdst);
    EXPECT_EQ(CString("02.07.2019 00:00:05 Uhr"), text);
}

TEST(BlockDate, LargestBlockDateIsAnOrdinaryDate)
{
    CString text;
    BlockDateTm d;
    CKadmor_Send::ReadBlockDate(BlockWithDate(0xFFFFFFFFu), nullptr, &d, &text, nullptr);
    EXPECT_EQ(2106, d.tm_year);
    EXPECT_EQ(CString("07.02.2106 07:28:15 Uhr"), text);
}

TEST(BlockDate, TextOnlyAlongsideAConversion)
{
    std::int64_t date = 0;
    CKadmor_Send::ReadBlockDate(BlockWithDate(86400), &date, nullptr, nullptr, nullptr);
    EXPECT_EQ(86400, date);

    CString text = "untouched";
    CKadmor_Send::ReadBlockDate(BlockWithDate(86400), nullptr, nullptr, &text, nullptr);
    EXPECT_EQ(CString("untouched"), text);

    DWORD raw = 0;
    CKadmor_Send::ReadBlockDate(BlockWithDate(86400), nullptr, nullptr, &text, &raw);
    EXPECT_EQ(86400u, raw);
    EXPECT_EQ(CString("02.01.1970 01:00:00 Uhr"), text);
}

TEST(BlockDate, ShortBlockTextReadsBlanks)
{
    DWORD raw = 0;
    CKadmor_Send::ReadBlockDate(CString("short"), nullptr, nullptr, nullptr, &raw);
    EXPECT_EQ(0x20202020u, raw);
}

}  // namespace
