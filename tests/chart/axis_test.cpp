// The chart axis: ranges, steps, rounding, formats, value mapping and its drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "chart/recording_device.h"
#include "chart/value_format.h"
#include "chart_test_support.h"

using chart::DrawRecord;
using chart::RecordingDevice;
using chart_test::Line;
using chart_test::MakeChart;

namespace {

CXGraphAxis LinearAxis(int kind = CXGraphAxis::yAxis)
{
    CXGraphAxis axis;
    axis.m_nKind = kind;
    return axis;
}

std::vector<CString> TickLabels(const std::vector<DrawRecord>& records)
{
    std::vector<CString> labels;
    for (const DrawRecord& r : records) {
        if (r.op == DrawRecord::Op::DrawText && r.text != " " && (r.format == DT_RIGHT || r.format == DT_CENTER)) labels.push_back(r.text);
    }
    return labels;
}

// Lays an axis out on a recorded plot, as the chart does, and draws it.
std::vector<DrawRecord> DrawAxis(CXGraphAxis& axis, CRect plot = CRect(50, 10, 450, 310))
{
    auto device = std::make_shared<RecordingDevice>();
    CDCEx dc(device);
    axis.m_rcPlot = plot;
    axis.m_nOriginX = plot.left - 1;
    axis.m_nOriginY = plot.bottom;
    axis.m_nPlacement = 0;
    axis.Draw(&dc);
    return device->records();
}

}  // namespace

TEST(AxisRange, SetRangeWidensEqualBoundsAndRefusesReversedOnes)
{
    CXGraphAxis axis = LinearAxis();
    EXPECT_TRUE(axis.SetRange(5, 5));
    EXPECT_EQ(4.0, axis.m_dMin);
    EXPECT_EQ(6.0, axis.m_dMax);
    EXPECT_DOUBLE_EQ(0.2, axis.m_dStep);
    EXPECT_FALSE(axis.SetRange(2, 1));
    EXPECT_EQ(4.0, axis.m_dMin);
    EXPECT_FALSE(axis.SetRange(0, std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(axis.SetRange(std::nan(""), 1));
    EXPECT_FALSE(axis.SetRange(-1.7e308, 1.7e308));
    EXPECT_EQ(6.0, axis.m_dMax);
}

TEST(AxisRange, LogarithmicRangesStayPositive)
{
    CXGraphAxis axis = LinearAxis();
    axis.SetLogarithmic(true);
    EXPECT_TRUE(axis.SetRange(5, 5));
    EXPECT_DOUBLE_EQ(0.5, axis.m_dMin);
    EXPECT_DOUBLE_EQ(50.0, axis.m_dMax);
    EXPECT_EQ(0.0, axis.m_dStep);
    EXPECT_TRUE(axis.SetRange(0, 10));
    EXPECT_EQ(1e-16, axis.m_dMin);
}

TEST(AxisRange, LargeRangesSwitchToExponentFormatExceptOnDateAxes)
{
    CXGraphAxis axis = LinearAxis();
    axis.SetRange(0, 2000000);
    EXPECT_EQ(CString("%5.2e"), axis.GetDisplayFormat());
    axis.SetRange(0, 1);
    EXPECT_EQ(CString("%5.2e"), axis.GetDisplayFormat());
    CXGraphAxis date = LinearAxis();
    date.SetDateTime(true);
    date.SetDisplayFormat("%d.%m.%Y");
    date.SetRange(0, 2000000);
    EXPECT_EQ(CString("%d.%m.%Y"), date.GetDisplayFormat());
    axis.SetDecimalPlaces(7);
    EXPECT_EQ(CString("%5.2f"), axis.GetDisplayFormat());
    axis.SetDecimalPlaces(0);
    EXPECT_EQ(CString("%5.0f"), axis.GetDisplayFormat());
}

TEST(AxisRange, ResetZoomRestoresBaseRangeWithATenthAsStep)
{
    CXGraphAxis axis = LinearAxis();
    axis.SetRange(0, 10);
    axis.SetCurrentRange(2, 4, 0.5);
    EXPECT_EQ(0.5, axis.m_dStep);
    axis.SetCurrentRange(2, 4, -1.0);
    EXPECT_DOUBLE_EQ(0.2, axis.m_dStep);
    axis.ResetZoom();
    EXPECT_EQ(0.0, axis.m_dMin);
    EXPECT_EQ(10.0, axis.m_dMax);
    EXPECT_EQ(1.0, axis.m_dStep);
}

TEST(AxisScale, NiceStepsAndRoundedRanges)
{
    EXPECT_EQ(2.0, CXGraphAxis::NiceStep(5, 0, 7));
    EXPECT_DOUBLE_EQ(0.5, CXGraphAxis::NiceStep(3, 0, 0.9));
    EXPECT_EQ(10.0, CXGraphAxis::NiceStep(10, 0, 100));
    // Nothing comes from empty, reversed or broken ranges, and nothing hangs.
    EXPECT_EQ(0.0, CXGraphAxis::NiceStep(5, 1, 1));
    EXPECT_EQ(0.0, CXGraphAxis::NiceStep(5, 1, 0));
    EXPECT_EQ(0.0, CXGraphAxis::NiceStep(5, 0, std::nan("")));
    EXPECT_EQ(0.0, CXGraphAxis::NiceStep(0, 0, 1));
    EXPECT_GT(CXGraphAxis::NiceStep(5, 0, 1e-300), 0.0);

    double min = 3.5, max = 9.25;
    CXGraphAxis::RoundRange(min, max, 1);
    EXPECT_EQ(2.0, min);
    EXPECT_EQ(10.0, max);
    min = -3.5;
    max = -0.25;
    CXGraphAxis::RoundRange(min, max, 1);
    EXPECT_EQ(-4.0, min);
    EXPECT_EQ(0.0, max);
    min = 3.0;
    max = 9.0;
    CXGraphAxis::RoundRange(min, max, 1);
    EXPECT_EQ(3.0, min);
    EXPECT_EQ(9.0, max);
    min = 0.5;
    CXGraphAxis::RoundRange(min, max, 1);
    EXPECT_EQ(0.0, min);
    // A range rounded once stays as it is when the next drawing rounds it again, and every end
    // of a growing axis within one step rounds to the very same value (to the last bit).
    for (const double step : {0.1, 0.2, 0.05, 0.3, 2.5}) {
        double lo = -0.97, hi = 60.93;
        CXGraphAxis::RoundRange(lo, hi, step);
        const double once[2] = {lo, hi};
        CXGraphAxis::RoundRange(lo, hi, step);
        EXPECT_TRUE(lo == once[0] && hi == once[1]) << step;
    }
    for (int i = 1; i < 1000; ++i) {
        double lo = -3.4 - i * 0.0001, hi = 0.7, bottom = 0.0, top = 900.0 + i * 0.0998;
        CXGraphAxis::RoundRange(lo, hi, 0.1);
        CXGraphAxis::RoundRange(bottom, top, 100.0);
        ASSERT_TRUE(lo == -3.5 && top == 1000.0) << i;
    }
}

TEST(AxisScale, TimeStepsComeFromTheTable)
{
    EXPECT_DOUBLE_EQ(900.0 / 86400.0, CXGraphAxis::NiceStepTime(4, 0, 1.0 / 24.0));
    EXPECT_DOUBLE_EQ(1.0 / 86400.0, CXGraphAxis::NiceStepTime(4, 0, 1.0 / 86400.0));
    EXPECT_EQ(0.0, CXGraphAxis::NiceStepTime(0, 0, 1));
    // 2020-01-01 00:07:30 rounds to 00:00 and 00:15 with a quarter-hour step.
    const double base = 43831.0;
    double min = base + 450.0 / 86400.0, max = base + 450.0 / 86400.0;
    CXGraphAxis::RoundRangeTime(min, max, 900.0 / 86400.0);
    EXPECT_NEAR(base, min, 1e-9);
    EXPECT_NEAR(base + 900.0 / 86400.0, max, 1e-9);
}

TEST(AxisFormat, OnlySafeFormatsReachTheFormatter)
{
    EXPECT_EQ(CString("1.50 V"), chart::FormatDouble("%.2f V", 1.5));
    EXPECT_EQ(CString("50 %"), chart::FormatDouble("%.0f %%", 50));
    EXPECT_EQ(CString("1.500"), chart::FormatDouble("%s", 1.5));
    EXPECT_EQ(CString("1.500"), chart::FormatDouble("%f %f", 1.5));
    EXPECT_EQ(CString("1.500"), chart::FormatDouble("%*f", 1.5));
    EXPECT_EQ(CString("1.500"), chart::FormatDouble("%n", 1.5));
    EXPECT_EQ(CString("1.500"), chart::FormatDouble("%99999.1f", 1.5));
    EXPECT_EQ(CString("text"), chart::FormatDouble("text", 1.5));
    EXPECT_EQ(CString("01.01.2020 12:00:00"), chart::FormatOleDate(43831.5, "%d.%m.%Y %H:%M:%S"));
    EXPECT_EQ(CString("30.12.1899"), chart::FormatOleDate(0.0, "%d.%m.%Y"));
    // "#" drops leading zeros, here on a date axis's tick label of 2026-04-05 07:08:09.
    CXGraphAxis dates;
    dates.SetDateTime(true);
    dates.SetDisplayFormat("%#d.%#m. %#H:%#M:%#S %#j %#y");
    EXPECT_EQ(CString("5.4. 7:8:9 95 26"), dates.FormatTickLabel(46117.0 + (7 * 3600 + 8 * 60 + 9) / 86400.0));
    EXPECT_EQ(CString(), chart::FormatOleDate(std::nan(""), "%d"));
    EXPECT_EQ(CString(), chart::FormatOleDate(1e12, "%d"));
}

TEST(AxisMapping, ValuesToPixelsAndBack)
{
    auto chart = MakeChart();
    const auto points = Line();
    chart->SetCurveData(points.data(), static_cast<int>(points.size()), 0, 0, 0, true, true, false);
    chart->OnPaint();
    CXGraphAxis& y = chart->GetYAxis(0);
    const CRect plot = chart->GetPlotRect();
    const ChartPoint low{y.m_dMin, y.m_dMin};
    EXPECT_EQ(plot.bottom, y.GetPointForValue(low).y);
    EXPECT_NEAR(y.m_dMin, y.GetValueForPos(plot.bottom), 1e-9);
    const int mid = y.GetPointForValue(ChartPoint{5, 5}).y;
    EXPECT_NEAR(5.0, y.GetValueForPos(mid), (y.m_dMax - y.m_dMin) / y.m_nLength * 1.01);
    // Values that are no numbers, or far beyond the range, stay far off the plot without
    // undefined conversions.
    const int nan = y.GetPointForValue(ChartPoint{0, std::nan("")}).y;
    const int huge = y.GetPointForValue(ChartPoint{0, 1e300}).y;
    EXPECT_LT(nan, -1000000);
    EXPECT_LT(huge, -1000000);
}

TEST(AxisMapping, FindPointIndexMayAnswerOnePastTheEndAndReadersClamp)
{
    auto chart = MakeChart();
    const auto points = Line();
    chart->SetCurveData(points.data(), 11, 0, 0, 0, true, true, false);
    int index = -1;
    chart->GetXAxis(0).FindPointIndex(index, 4.5, 0);
    EXPECT_EQ(5, index);
    chart->GetXAxis(0).FindPointIndex(index, 3.0, 0);
    EXPECT_EQ(4, index);
    chart->GetXAxis(0).FindPointIndex(index, 50.0, 0);
    EXPECT_EQ(11, index);
    EXPECT_EQ(10, ClampPointIndex(index, 11));
    chart->GetXAxis(0).FindPointIndex(index, -50.0, 0);
    EXPECT_EQ(0, index);
    chart->GetXAxis(0).FindPointIndex(index, std::nan(""), 0);
    EXPECT_GE(index, 0);
    chart->GetXAxis(0).FindPointIndex(index, 1.0, 7);
    EXPECT_EQ(0, index);
}

TEST(AxisDrawing, YAxisLabelsEveryStepXAxisLeavesOutTheMaximum)
{
    CXGraphAxis y = LinearAxis(CXGraphAxis::yAxis);
    y.SetRange(0, 10);
    y.SetAutoScale(false);
    y.SetDecimalPlaces(0);
    y.m_dStep = 2;
    const auto yLabels = TickLabels(DrawAxis(y));
    ASSERT_EQ(6u, yLabels.size());
    EXPECT_EQ(CString("    0"), yLabels.front());
    EXPECT_EQ(CString("   10"), yLabels.back());

    CXGraphAxis x = LinearAxis(CXGraphAxis::xAxis);
    x.SetRange(0, 10);
    x.SetAutoScale(false);
    x.SetDecimalPlaces(0);
    x.m_dStep = 2;
    const auto xLabels = TickLabels(DrawAxis(x));
    ASSERT_EQ(5u, xLabels.size());
    EXPECT_EQ(CString("    8"), xLabels.back());
}

TEST(AxisDrawing, TicksAreComputedNotAccumulated)
{
    CXGraphAxis y = LinearAxis();
    y.SetRange(-1, 1);
    y.SetAutoScale(false);
    y.m_dStep = 0.1;
    const auto labels = TickLabels(DrawAxis(y, CRect(50, 10, 450, 710)));
    ASSERT_EQ(21u, labels.size());
    EXPECT_EQ(CString("0.000"), labels[10]);
    EXPECT_EQ(CString("1.000"), labels[20]);
}

TEST(AxisDrawing, LabelsThatWouldRunIntoEachOtherTakeFewerTicks)
{
    EXPECT_EQ(1, CXGraphAxis::TickStride(40, 30));
    EXPECT_EQ(5, CXGraphAxis::TickStride(10, 25));
    EXPECT_EQ(20, CXGraphAxis::TickStride(-3, 50));
    for (double pixels : {0.0, std::nan(""), std::numeric_limits<double>::infinity()}) EXPECT_EQ(1, CXGraphAxis::TickStride(pixels, 30));

    // A long axis of fine steps on a small plot: each label keeps clear of the next, and the
    // ticks left stay on round values, zero among them.
    for (int kind : {CXGraphAxis::xAxis, CXGraphAxis::yAxis}) {
        CXGraphAxis axis = LinearAxis(kind);
        axis.SetRange(-15.5, 15.5);
        axis.SetAutoScale(false);
        axis.m_dStep = 0.5;
        std::vector<DrawRecord> labels;
        for (const DrawRecord& r : DrawAxis(axis, CRect(50, 10, 350, 310)))
            if (r.op == DrawRecord::Op::DrawText && (r.format == DT_RIGHT || r.format == DT_CENTER)) labels.push_back(r);
        ASSERT_GE(labels.size(), 2u) << kind;
        bool zero = false;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            CRect both;
            if (i > 0) {
                EXPECT_FALSE(both.IntersectRect(labels[i - 1].rect, labels[i].rect)) << kind << " label " << i;
            }
            zero = zero || CString(labels[i].text).Trim() == "0.000";
        }
        EXPECT_TRUE(zero) << kind;
    }
}

TEST(AxisDrawing, BrokenStepsDrawNoTicksAndReturn)
{
    for (double step : {0.0, -1.0, 1e-300, std::nan(""), std::numeric_limits<double>::infinity()}) {
        CXGraphAxis y = LinearAxis();
        y.SetRange(0, 10);
        y.SetAutoScale(false);
        y.m_dStep = step;
        EXPECT_TRUE(TickLabels(DrawAxis(y)).empty()) << step;
    }
}

TEST(AxisDrawing, GridRunsAcrossExceptAtTheOrigin)
{
    CXGraphAxis y = LinearAxis();
    y.SetRange(0, 10);
    y.SetAutoScale(false);
    y.m_dStep = 5;
    const CRect plot(50, 10, 450, 310);
    std::vector<DrawRecord> grid;
    for (const DrawRecord& r : DrawAxis(y, plot)) {
        if (r.op == DrawRecord::Op::Line && r.pen.style() == PS_DOT) grid.push_back(r);
    }
    ASSERT_EQ(3u, grid.size());
    EXPECT_EQ(y.m_nOriginX, grid[0].rect.right);
    EXPECT_EQ(plot.right, grid[1].rect.right);
}

TEST(AxisDrawing, HiddenAxisDrawsNothingButKeepsItsMapping)
{
    CXGraphAxis shown = LinearAxis();
    shown.SetRange(0, 10);
    DrawAxis(shown);
    CXGraphAxis hidden = LinearAxis();
    hidden.SetRange(0, 10);
    hidden.SetVisible(false);
    EXPECT_TRUE(DrawAxis(hidden).empty());
    EXPECT_EQ(shown.m_nLength, hidden.m_nLength);
    EXPECT_EQ(shown.m_dMax, hidden.m_dMax);
}

TEST(AxisDrawing, MarkerNumbersContrastWithTheirColour)
{
    auto device = std::make_shared<RecordingDevice>();
    CDCEx dc(device);
    CXGraphAxis axis;
    axis.DrawCurveMarker(&dc, 0, 0, 0, 10, RGB(0, 0, 255), false);
    axis.DrawCurveMarker(&dc, 0, 0, 1, 10, RGB(255, 255, 0), false);
    const auto texts = device->Of(DrawRecord::Op::DrawText);
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ(RGB(255, 255, 255), texts[0].textColor);
    EXPECT_EQ(CString("1"), texts[0].text);
    EXPECT_EQ(RGB(0, 0, 0), texts[1].textColor);
    // A symbol number that names no painter draws nothing.
    device->Clear();
    axis.DrawCurveMarker(&dc, 0, 0, 12, 10, 0, true);
    EXPECT_TRUE(device->records().empty());
}

TEST(AxisDrawing, FourCurvesOnOneYAxisStartASecondMarkerRow)
{
    auto chart = MakeChart();
    const auto points = Line();
    for (int i = 0; i < 4; ++i) chart->SetCurveData(points.data(), 11, i, 0, 0, true, true, false);
    auto device = std::make_shared<RecordingDevice>();
    CDCEx dc(device);
    CXGraphAxis& y = chart->GetYAxis(0);
    y.m_nPlacement = 0;
    EXPECT_EQ(2 * y.m_nMarkerSize, y.DrawCurveMarkers(&dc, false));
    chart->DeleteCurve(3);
    EXPECT_EQ(y.m_nMarkerSize, y.DrawCurveMarkers(&dc, false));
}

TEST(AxisDrawing, ValueLinesOutsideThePlotAreSkippedAndTheirTextIsDrawn)
{
    CXGraphAxis y = LinearAxis();
    y.SetRange(0, 10);
    y.SetAutoScale(false);
    y.SetValueLine(0, 5, RGB(255, 0, 0), PS_SOLID);
    y.SetValueLine(1, 50, RGB(0, 255, 0), PS_SOLID);
    y.GetValueLine(0).text = "limit";
    y.SetValueLine(7, 1, 0, PS_SOLID);  // beyond the end: nothing
    EXPECT_EQ(2, y.GetValueLineCount());
    int red = 0, green = 0;
    bool text = false;
    for (const DrawRecord& r : DrawAxis(y)) {
        if (r.op == DrawRecord::Op::Line && r.pen.color() == RGB(255, 0, 0)) ++red;
        if (r.op == DrawRecord::Op::Line && r.pen.color() == RGB(0, 255, 0)) ++green;
        if (r.op == DrawRecord::Op::DrawText && r.text == "limit") text = true;
    }
    EXPECT_EQ(1, red);
    EXPECT_EQ(0, green);
    EXPECT_TRUE(text);
}
