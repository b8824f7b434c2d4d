// Measure rate, reduction, duration and point count: the budget of 40,000,000 points, the
// labels, the whole seconds handed to the frame, and the axes.

#include <limits>

#include <gtest/gtest.h>

#include "measurement/measure_rate_table.h"
#include "res/string_table.h"
#include "tests/measurement/setup_bench.h"

using namespace measurement;
using namespace measurement_test;

TEST(SetupRate, TheRateTableAndItsXAxisUnits)
{
    EXPECT_EQ(GetMeasureRateTextId(20), 0u);
    EXPECT_EQ(GetMeasureRateTextId(-1), 0u);
    EXPECT_EQ(XAxisUnitTextIdOfRate(15), 5191);
    EXPECT_DOUBLE_EQ(GetXAxisUnitFactor(5191), 60.0);
    EXPECT_EQ(XAxisUnitTextIdOfRate(kRate1PerHour), 5192);
    EXPECT_DOUBLE_EQ(GetXAxisUnitFactor(5192), 3600.0);
    EXPECT_DOUBLE_EQ(GetSamplePeriod(7), 1.0 / 185);
    EXPECT_EQ(CountInconsistentRateCodes(), 0);
}

TEST(SetupRate, ThePointBudgetBoundsDurationAndCount)
{
    SetupBench b;
    SetLanguage(1000);
    CDlgMeasureAdjust& page = *b.page;
    b.measureFrame.channels = 4;
    page.Setup().stopSource = kStopByDuration;
    page.Setup().duration = 100000.0;
    page.ApplyMeasureRate(0);  // 5000/sec
    EXPECT_DOUBLE_EQ(page.Setup().duration, 2000.0);
    EXPECT_EQ(page.Controls().Text(IDC_DURATION_EDIT), "2000");
    EXPECT_EQ(b.measureFrame.durationSeconds, 2000);

    // A point count above 40000000 / channels is replaced by that maximum.
    page.Controls().SetText(IDC_COUNT_EDIT, "20000000");
    page.OnPointCountChanged();
    EXPECT_EQ(page.Controls().Text(IDC_COUNT_EDIT), "10000000");
    EXPECT_DOUBLE_EQ(page.Setup().count, 10000000.0);
    EXPECT_NE(page.Controls().Text(IDC_COUNT_LABEL).Find(LoadLangString(5435)), -1);

    // A duration that would give more points is cut to the budget, "," or "." alike.
    page.Controls().SetText(IDC_DURATION_EDIT, "2500,5");
    page.OnDurationChanged();
    EXPECT_EQ(page.Controls().Text(IDC_DURATION_EDIT), "2000");
    page.Controls().SetText(IDC_DURATION_EDIT, "12.5");
    page.OnDurationChanged();
    EXPECT_DOUBLE_EQ(page.Setup().duration, 12.5);
    EXPECT_EQ(b.measureFrame.durationSeconds, 13);
    EXPECT_DOUBLE_EQ(page.Setup().count, 12.5 / 0.0002);
    // Polled, the sensor averages nothing: the reduction rests until a streamed rate.
    EXPECT_TRUE(page.Controls().IsEnabled(IDC_REDUCTION_EDIT));
    page.ApplyMeasureRate(kRate10PerSecond);
    EXPECT_FALSE(page.Controls().IsEnabled(IDC_REDUCTION_EDIT));
    SetLanguage(0);
}

TEST(SetupRate, NoChannelAndNoReductionDivideByNothing)
{
    SetupBench b;
    CDlgMeasureAdjust& page = *b.page;
    b.measureFrame.channels = 0;
    b.measureFrame.averaging = 0;
    page.Controls().SetText(IDC_DURATION_EDIT, "10");
    page.OnDurationChanged();
    page.Controls().SetText(IDC_COUNT_EDIT, "50000000");
    page.OnPointCountChanged();
    // Counted as one channel: the budget holds 40000000 points; what the user sees stays.
    EXPECT_EQ(page.Controls().Text(IDC_COUNT_EDIT), "40000000");
    EXPECT_EQ(b.measureFrame.channels, 0);
    EXPECT_EQ(b.measureFrame.averaging, 0);
    page.Controls().SetText(IDC_REDUCTION_EDIT, "0");
    page.OnReductionChanged();
    EXPECT_EQ(b.measureFrame.averaging, 1);
    EXPECT_EQ(page.Controls().Text(IDC_REDUCTION_EDIT), "1");
}

TEST(SetupRate, LongDurationsAtSlowRatesHoldAtTheLimitOfTheSecondsField)
{
    SetupBench b;
    CDlgMeasureAdjust& page = *b.page;
    page.ApplyMeasureRate(kRate1PerHour);
    EXPECT_EQ(page.Setup().xAxisUnitTextId, 5192);
    page.Setup().stopSource = kStopByDuration;
    // 30000000 hours: far beyond what whole seconds in 32 bits hold.
    page.Controls().SetText(IDC_DURATION_EDIT, "30000000");
    page.OnDurationChanged();
    EXPECT_DOUBLE_EQ(page.Setup().duration, 30000000.0 * 3600.0);
    EXPECT_EQ(b.measureFrame.durationSeconds, std::numeric_limits<std::int32_t>::max());
    page.Setup().stopSource = kStopByCount;
    page.Controls().SetText(IDC_COUNT_EDIT, "10");
    page.OnPointCountChanged();
    EXPECT_EQ(b.measureFrame.durationSeconds, 36000);
    // The points label shows the ten points in hours.
    EXPECT_NE(page.Controls().Text(IDC_COUNT_LABEL).Find("10"), -1);
}

TEST(SetupRate, AxisSourcesOnlyEverNameTheSixRows)
{
    SetupBench b;
    ASSERT_TRUE(b.ConnectAndRefresh(TwoChannelSensor()));
    CDlgMeasureAdjust& page = *b.page;
    // Several sensors with every row active: a reassignment never reaches a seventh row.
    b.com.m_nCountActivePorts = 2;
    for (auto& row : page.Setup().channel) row.active = 1;
    b.measureFrame.channels = 4;
    for (int k = 1; k < kAxisCount; ++k) page.Setup().axis[static_cast<std::size_t>(k)].source = k + 1;
    page.AssignAxis(1, 3);
    for (const AxisAssignment& axis : page.Setup().axis) {
        EXPECT_GE(axis.source, 0);
        EXPECT_LE(axis.source, 7);
    }
    b.com.m_nCountActivePorts = 1;

    // One sensor, both channels: Y1 channel B and Y2 channel A measure in mode 4.
    page.Setup().channel[0].active = page.Setup().channel[1].active = 1;
    for (std::size_t r = 2; r < 6; ++r) page.Setup().channel[r].active = 0;
    page.Setup().axis[0].source = kAxisTime;
    page.AssignAxis(1, 3);
    page.AssignAxis(2, 2);
    EXPECT_EQ(b.measureFrame.measureMode, 4);
    EXPECT_EQ(page.FindRowOfChannel(1), 1);
}
