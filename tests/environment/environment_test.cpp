// The language, number and date helpers that every page uses.
#include <gtest/gtest.h>

#include <cstdlib>

#include "environment/date_time_text.h"
#include "environment/environment.h"
#include "environment/lang_ui.h"
#include "environment/number_text.h"
#include "res/string_table.h"

namespace {

struct LanguageGuard {
    ~LanguageGuard() { SetLanguage(0); }
};

TEST(NumberText, DecimalSeparatorFollowsTheLanguage)
{
    LanguageGuard guard;
    EXPECT_EQ(FormatDouble(-3.14159, 3), CString("-3,142"));
    EXPECT_EQ(FormatDouble(2.6, 0, 1000), CString("3"));
    EXPECT_EQ(FormatDouble(1234.5, 2, 1000), CString("1234.50"));
    EXPECT_EQ(LocalizeDecimalSeparator("1.5", 2000), CString("1,5"));
    EXPECT_EQ(LocalizeDecimalSeparator("1,5", 1000), CString("1.5"));
    EXPECT_EQ(LocalizeDecimalSeparator("7", 4000), CString("7"));
    SetLanguage(1000);
    EXPECT_EQ(FormatDouble(0.126, 2), CString("0.13"));
    SetLanguage(3000);
    EXPECT_EQ(FormatDouble(0.5, 1), CString("0,5"));
}

TEST(LangUi, AWindowTextOfAMissingIdIsMarkedAndReported)
{
    EXPECT_TRUE(SetLangWindowText(nullptr, 5125));
    EXPECT_FALSE(SetLangWindowText(nullptr, 4));
}

TEST(NumberText, ReadingAndTrimming)
{
    EXPECT_DOUBLE_EQ(TextToDouble(" -12,5 Nm"), -12.5);
    EXPECT_DOUBLE_EQ(TextToDouble("1.5e3"), 1500.0);
    EXPECT_DOUBLE_EQ(TextToDouble("abc"), 0.0);
    EXPECT_EQ(TextToFieldNumber("1,23456789"), 7);
    EXPECT_EQ(TextToFieldNumber("12"), 0);
    EXPECT_EQ(ExtractComPortName("Port [COM12] USB"), CString("12"));
    EXPECT_EQ(CEnvironment::TrimTrailingZeros("12.3400"), CString("12.34"));
    EXPECT_EQ(CEnvironment::TrimTrailingZeros("5.000"), CString("5"));
    EXPECT_EQ(CEnvironment::TrimTrailingZeros("1000"), CString("1000"));
}

TEST(NumberText, NotActiveTextNamesChannelLetterOrSensorNumber)
{
    LanguageGuard guard;
    SetLanguage(1000);
    EXPECT_EQ(BuildNotActiveText(1, false), CString("The channel you selected (Channel B) is not active!"));
    EXPECT_EQ(BuildNotActiveText(2, true), CString("The sensor you selected (Sensor 3) is not active!"));
    SetLanguage(2000);
    EXPECT_EQ(BuildNotActiveText(2, true), CString("Le capteur choisi (Capteur 3) n'est pas actif !"));
}

TEST(Environment, UserNameFallsBackWhenUnset)
{
    const char* saved = std::getenv("USERNAME");
    const std::string keep = saved ? saved : "";
    setenv("USERNAME", "t.ost", 1);
    EXPECT_EQ(CEnvironment::GetUserNameEnv(), CString("t.ost"));
    unsetenv("USERNAME");
    EXPECT_EQ(CEnvironment::GetUserNameEnv(), CString(CEnvironment::kUnknownUser));
    if (saved) setenv("USERNAME", keep.c_str(), 1);
}

TEST(DateTimeText, FourLanguages)
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 7;
    t.tm_wday = 1;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 3;
    const CDateTimeText text(t);
    EXPECT_EQ(text.Date(0), CString("07.12.2026"));
    EXPECT_EQ(text.Date(1000), CString("12/07/2026"));
    EXPECT_EQ(text.Date(2000), CString("07/12/2026"));
    EXPECT_EQ(text.Time(), CString("09:05:03"));
    EXPECT_EQ(text.Weekday(0), CString("Montag"));
    EXPECT_EQ(text.Weekday(2000), CString("lundi"));
    EXPECT_EQ(CDateTimeText::WeekdayName(3, 3000), CString("mi\xE9rcoles"));
    EXPECT_EQ(CDateTimeText::WeekdayName(7), CString("@"));
}

}  // namespace
