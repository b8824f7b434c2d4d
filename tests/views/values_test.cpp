// Value texts in every unit and in the languages' number forms, tare, minimum and maximum, and
// what the views show for what is no value: a factor of 0, numbers that are no numbers, values
// too wide for the fields, absent channels.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/views/views_test_support.h"
#include "views/channel_view_logic.h"
#include "views/value_text.h"

using namespace views_test;

namespace {

struct ValuesBench {
    ValuesBench()
    {
        frame.com = &com;
        MakeTorqueChannel(*frame.tables.Entry(0), com, 0);
        SetLanguage(1000);
    }
    ~ValuesBench() { SetLanguage(0); }
    void Feed(LONG a)
    {
        com.m_aiValue[0] = a;
        refresher.RefreshChannelViews(0);
    }
    CComPort com;
    TestFrame frame;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    views::ChannelRefresher refresher{frame, loop};
    views::ChannelViewLogic view{0, frame, refresher};
};

}  // namespace

TEST(ValueText, DecimalsSeparatorsAndMarks)
{
    EXPECT_EQ(CString("123.46"), views::FormatValue(123.456, 2, 1000));
    EXPECT_EQ(CString("123,46"), views::FormatValue(123.456, 2, 0));
    EXPECT_EQ(CString("123,5"), views::FormatValue(123.456, 1, 2000));
    EXPECT_EQ(CString("-7"), views::FormatValue(-7.2, 0, 3000));
    // Decimals beyond the fields' reach are brought into range instead of printing garbage.
    EXPECT_EQ(CString("2.000000"), views::FormatValue(2.0, 42, 1000));
    EXPECT_EQ(CString("2"), views::FormatValue(2.0, -3, 1000));
    // A tiny negative value does not read as a bare minus sign.
    EXPECT_EQ(CString("0.00"), views::FormatValue(-0.0001, 2, 1000));
    EXPECT_EQ(CString("n.a."), views::FormatValue(std::nan(""), 2, 1000));
    EXPECT_EQ(CString("n.a."), views::FormatValue(std::numeric_limits<double>::infinity(), 2, 1000));
    EXPECT_EQ(CString("+OVL"), views::FormatValue(123456789.0, 3, 1000));
    EXPECT_EQ(CString("-OVL"), views::FormatValue(-1e300, 0, 1000));
    EXPECT_EQ(CString("99999999.99"), views::FormatValue(99999999.99, 2, 1000));
}

TEST(ChannelValues, EveryUnitShowsTheSameMeasurementInItsOwnNumbers)
{
    ValuesBench b;
    views::DisplayTable& table = *b.frame.tables.Entry(0);
    // 12500 counts are half the range end: 250 cN·m.
    const double cNm = 250.0;
    for (int unit = 0; unit + 1 < table.UnitCount(); ++unit) {
        MakeTorqueChannel(table, b.com, 0, unit);
        b.Feed(12500);
        b.refresher.FlushRepaint();
        const double expected = table.SelectedUnitId() == views::kTextUnitAdu ? 12500.0 : cNm * table.SelectedUnitFactor();
        EXPECT_EQ(views::FormatValue(expected, 2, 1000), b.view.ValueText()) << table.SelectedUnitText().GetString();
        EXPECT_EQ(table.SelectedUnitText(), b.view.UnitText());
    }
    MakeTorqueChannel(table, b.com, 0, 0);
    b.Feed(12500);
    EXPECT_EQ(CString("2.50"), b.view.ValueText());
    EXPECT_EQ(CString("Channel A [N·m]"), b.view.FieldText(0));
    table.decimals = 4;
    EXPECT_EQ(CString("2.5000"), b.view.ValueText());
    SetLanguage(0);
    EXPECT_EQ(CString("2,5000"), b.view.ValueText());
    EXPECT_EQ(CString("Kanal A [N·m]"), b.view.FieldText(0));
    // The nominal value of a code and its unit, with the factor written back.
    CString value = "Val.?", unit = "Unit.?";
    double factor = 0.0;
    SetLanguage(1000);
    ASSERT_TRUE(b.view.FormatValueText("2500", value, unit, factor));
    EXPECT_EQ(CString("5.00"), value);
    EXPECT_EQ(CString("N·m"), unit);
    EXPECT_DOUBLE_EQ(0.01, factor);
    EXPECT_FALSE(b.view.FormatValueText("25x0", value, unit, factor));
    EXPECT_EQ(CString("n.a."), value);
    EXPECT_DOUBLE_EQ(0.01, factor);
}

TEST(ChannelValues, TareMinimumAndMaximumSurviveAChangeOfUnitAndSign)
{
    ValuesBench b;
    views::DisplayTable& table = *b.frame.tables.Entry(0);
    EXPECT_TRUE(b.view.IsFirstValue());
    EXPECT_EQ(CString("n.a."), b.view.MinimumText());
    for (LONG v : {5000, 15000, 10000}) b.Feed(v);
    EXPECT_FALSE(b.view.IsFirstValue());
    EXPECT_EQ(CString("1.00"), b.view.MinimumText());
    EXPECT_EQ(CString("3.00"), b.view.MaximumText());
    b.view.TareIfNotTared();
    EXPECT_EQ(CString("0.00"), b.view.ValueText());
    EXPECT_EQ(CString("-1.00"), b.view.MinimumText());
    b.Feed(12500);
    b.view.TareIfNotTared();  // already tared: the tare stays at 10000 counts
    EXPECT_EQ(CString("0.50"), b.view.ValueText());
    // In cN·m the same tared value and extremes.
    MakeTorqueChannel(table, b.com, 0, 3);
    EXPECT_EQ(CString("50.00"), b.view.ValueText());
    EXPECT_EQ(CString("-100.00"), b.view.MinimumText());
    EXPECT_EQ(CString("100.00"), b.view.MaximumText());
    // A negated channel swaps its extremes.
    table.sign = 1;
    b.com.m_adScaleFactor[0] = table.perCount * table.SelectedUnitFactor();
    EXPECT_EQ(CString("-50.00"), b.view.ValueText());
    EXPECT_EQ(CString("-100.00"), b.view.MinimumText());
    EXPECT_EQ(CString("100.00"), b.view.MaximumText());
    b.view.ClearTare();
    b.view.ResetMinimum();
    b.view.ResetMaximum();
    EXPECT_EQ(CString("-250.00"), b.view.MinimumText());
    EXPECT_EQ(CString("-250.00"), b.view.MaximumText());
    // The controller's record of the extremes follows every set, in the shown unit.
    EXPECT_DOUBLE_EQ(3.0, b.com.m_adMaxValue[0][0]);
}

TEST(ChannelValues, WhatIsNoValueShowsNotAvailableOrOverflowNeverANumber)
{
    ValuesBench b;
    views::DisplayTable& table = *b.frame.tables.Entry(0);
    b.Feed(12500);
    ASSERT_EQ(CString("2.50"), b.view.ValueText());
    // A unit factor of 0 (no scale computed) and a factor that is no number.
    b.com.m_adScaleFactor[0] = 0.0;
    EXPECT_EQ(CString("n.a."), b.view.ValueText());
    EXPECT_EQ(CString("n.a."), b.view.MaximumText());
    b.com.m_adScaleFactor[0] = std::nan("");
    b.Feed(12500);
    EXPECT_EQ(CString("n.a."), b.view.ValueText());
    // Too wide for the field.
    b.com.m_adScaleFactor[0] = 1e9;
    EXPECT_EQ(CString("+OVL"), b.view.ValueText());
    b.Feed(-12500);
    EXPECT_EQ(CString("-OVL"), b.view.ValueText());
    // An absent channel never shows what it held before.
    MakeTorqueChannel(table, b.com, 0);
    b.Feed(12500);
    table.state = views::kChannelAbsent;
    for (int field = 1; field <= 3; ++field) EXPECT_EQ(CString("n.a."), b.view.FieldText(field)) << field;
    EXPECT_EQ(CString("n.a."), b.view.UnitText());
    CString value, unit;
    double factor = 7.0;
    EXPECT_FALSE(b.view.FormatValueText("2500", value, unit, factor));
    EXPECT_EQ(CString("n.a."), value);
    // A power channel whose unit list lost its entry (index past the end) shows "n.a.".
    views::DisplayTable& power = *b.frame.tables.Entry(views::kChannelP1);
    power.SetUnitList(views::PowerUnitList());
    power.powerMark = 'P';
    power.selectedUnit = 4;  // the list's end entry
    views::ChannelViewLogic powerView(views::kChannelP1, b.frame, b.refresher);
    MakeTorqueChannel(*b.frame.tables.Entry(1), b.com, 1);
    b.com.m_aiValue[1] = 1000;
    b.Feed(12500);
    EXPECT_EQ(CString("n.a."), powerView.ValueText());
    // In watts: 2.5 N·m at 20 1/min.
    power.selectedUnit = 2;
    b.Feed(12500);
    EXPECT_EQ(CString("5.24"), powerView.ValueText());
    // A per-count value of 0 (its divisor was 0) gives no power, not 0 W.
    b.frame.tables.Entry(0)->perCount = 0.0;
    power.SetUnitList(views::PowerUnitList());
    power.selectedUnit = 2;
    b.refresher.ForgetMeasuredValues();
    b.Feed(12500);
    EXPECT_EQ(CString("n.a."), powerView.ValueText());
}
