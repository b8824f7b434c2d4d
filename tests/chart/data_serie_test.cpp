// Curves: points, copying, drawing with its pixel-column thinning, markers, area fill, and the
// trend curves.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <map>
#include <memory>

#include "chart/column_path.h"

#include "chart/recording_device.h"
#include "chart_test_support.h"

using chart::DrawRecord;
using chart::RecordingDevice;
using chart_test::Line;
using chart_test::MakeChart;

namespace {

std::vector<ChartPoint> Ys(std::initializer_list<double> ys)
{
    std::vector<ChartPoint> points;
    double x = 0;
    for (double y : ys) points.push_back({x++, y});
    return points;
}

CXGraphDataSerie SerieOf(const std::vector<ChartPoint>& points)
{
    CXGraphDataSerie s;
    s.SetPoints(points.data(), static_cast<int>(points.size()), true);
    return s;
}

// Paints the chart into a recording at screen resolution and returns the records.
std::vector<DrawRecord> Record(CXGraph& chart)
{
    auto device = std::make_shared<RecordingDevice>(chart.width(), chart.height());
    CDC dc(device);
    chart.PaintToDC(&dc);
    return device->records();
}

}  // namespace

TEST(DataSerie, PointsOutsideTheRangeReadAsZero)
{
    const auto points = Line(3);
    CXGraphDataSerie s = SerieOf(points);
    EXPECT_EQ(0.0, s.GetY(-1));
    EXPECT_EQ(0.0, s.GetY(3));
    EXPECT_EQ(2.0, s.GetY(2));
    EXPECT_FALSE(s.SetPointY(3, 1.0));
}

TEST(DataSerie, CopiesOfAnOwningSerieOwnTheirPoints)
{
    const auto points = Line(3);
    auto source = std::make_unique<CXGraphDataSerie>(SerieOf(points));
    {
        CXGraphDataSerie copy(*source);
        EXPECT_NE(source->GetPoints(), copy.GetPoints());
        EXPECT_EQ(2.0, copy.GetY(2));
    }
    EXPECT_EQ(2.0, source->GetY(2));
    CXGraphDataSerie borrowed;
    borrowed.SetPoints(points.data(), 3, false);
    CXGraphDataSerie shared(borrowed);
    EXPECT_EQ(points.data(), shared.GetPoints());
}

TEST(DataSerie, ManyPointsDrawAtMostFourPointsPerPixelColumn)
{
    auto chart = MakeChart(600, 300);
    std::vector<ChartPoint> points;
    for (int i = 0; i < 10000; ++i) points.push_back({i * 0.001, std::sin(i * 0.01)});
    chart->SetCurveData(points.data(), 10000, 0, 0, 0, true, false, false);
    const auto records = Record(*chart);
    const CXGraphDataSerie& curve = chart->GetCurve(0);
    const std::size_t columns = static_cast<std::size_t>(chart->GetPlotRect().Width() + 1);
    EXPECT_LE(curve.m_Segments.size(), 4 * columns);
    EXPECT_GT(curve.m_Segments.size(), 100u);
    std::size_t blue = 0;
    for (const DrawRecord& r : records) {
        if (r.op == DrawRecord::Op::Line && r.pen.color() == RGB(0, 0, 255)) ++blue;
    }
    EXPECT_LE(blue, 4 * columns);
}

TEST(DataSerie, APlotSqueezedToNothingDrawsNoCurveOverItsAxes)
{
    // A diagram narrower than its Y axis labels leaves the X axis no length: the curve would map
    // mirrored onto the labels, every point at every paint.
    auto chart = MakeChart(60, 300);
    std::vector<ChartPoint> points;
    for (int i = 0; i < 1000; ++i) points.push_back({i * 0.01, std::sin(i * 0.01)});
    chart->SetCurveData(points.data(), 1000, 0, 0, 0, true, false, false);
    const auto curveLines = [&] {
        std::size_t blue = 0;
        for (const DrawRecord& r : Record(*chart)) blue += r.op == DrawRecord::Op::Line && r.pen.color() == RGB(0, 0, 255);
        return blue;
    };
    EXPECT_EQ(curveLines(), 0u);
    ASSERT_LE(chart->GetXAxis(0).m_nLength, 0) << "the chart left its X axis some length";
    EXPECT_TRUE(chart->GetCurve(0).m_Segments.empty());
    // Given room again, the curve is drawn.
    chart->resize(600, 300);
    EXPECT_GT(curveLines(), 10u);
}

TEST(DataSerie, ASingleSampleSpikeAmongAMillionPointsShowsAtFullHeight)
{
    auto chart = MakeChart(400, 300);
    chart->SetShowLegend(false);
    std::vector<ChartPoint> points(1000000);
    for (int i = 0; i < 1000000; ++i) points[static_cast<std::size_t>(i)] = {i * 0.001, (i % 7) * 0.01};
    const int spike = 500003;
    points[spike].y = 100.0;
    chart->SetCurveData(points.data(), 1000000, 0, 0, 0, true, false, false);
    chart->OnPaint();
    const CXGraphAxis& x = chart->GetXAxis(0);
    const CXGraphAxis& y = chart->GetYAxis(0);
    const int column = x.GetPointForValue(points[spike]).x;
    const int top = y.GetPointForValue(points[spike]).y;
    const int base = y.GetPointForValue({0, 0.03}).y;
    ASSERT_LT(top + 50, base);
    // Every pixel of the spike's column from its top down to the rest of the curve is drawn.
    const QImage picture = chart->grab().toImage();
    for (int row = top; row <= base; ++row) EXPECT_EQ(qRgb(0, 0, 255), picture.pixel(column, row)) << row;
    EXPECT_NE(qRgb(0, 0, 255), picture.pixel(column, top - 1));
    // A peak beyond the shown range stops at the edge of the plot.
    chart->GetYAxis(0).SetAutoScale(false);
    chart->GetYAxis(0).SetCurrentRange(0.0, 50.0, 0.0);
    chart->Invalidate();
    chart->OnPaint();
    const CRect plot = chart->GetPlotRect();
    const int shown = x.GetPointForValue(points[spike]).x;
    EXPECT_EQ(qRgb(0, 0, 255), chart->grab().toImage().pixel(shown, plot.top));
    EXPECT_NE(qRgb(0, 0, 255), chart->grab().toImage().pixel(shown, plot.top - 1));
}

TEST(DataSerie, SortedCurvesReadOnlyTheVisiblePointsAndDrawTheSamePath)
{
    // A zoomed axis: the path of the visible columns is the same whether the points are read
    // all in a row or only near the plot.
    CXGraphAxis x;
    x.m_nKind = CXGraphAxis::xAxis;
    x.m_rcPlot = CRect(50, 10, 450, 310);
    x.m_nLength = 400;
    x.SetCurrentRange(3000.0, 3400.0, 0.0);
    CXGraphAxis y;
    y.m_nKind = CXGraphAxis::yAxis;
    y.m_rcPlot = x.m_rcPlot;
    y.m_nLength = 300;
    y.SetCurrentRange(-2.0, 2.0, 0.0);
    std::vector<ChartPoint> points;
    for (int i = 0; i < 20000; ++i) points.push_back({i * 0.37, std::sin(i * 0.3) + ((i * 7919) % 13 == 0 ? 1.5 : 0.0)});
    const auto visible = [](const std::vector<POINT>& path) {
        std::vector<std::pair<int, int>> out;
        for (const POINT& p : path) {
            if (p.x >= 50 && p.x < 450) out.emplace_back(p.x, p.y);
        }
        return out;
    };
    std::vector<POINT> all;
    std::vector<POINT> near;
    chart::BuildColumnPath(points.data(), 20000, x.GetMapping(), y.GetMapping(), false, 50, 449, all);
    chart::BuildColumnPath(points.data(), 20000, x.GetMapping(), y.GetMapping(), true, 50, 449, near);
    EXPECT_EQ(visible(all), visible(near));
    EXPECT_LT(near.size(), all.size() / 10);
    ASSERT_GE(near.size(), 2u);
    EXPECT_LT(near.front().x, 50);
    EXPECT_GE(near.back().x, 450);
    // Every pixel column of the points is a column of the path, with the same extremes.
    std::map<int, std::pair<int, int>> extremes;
    for (const ChartPoint& p : points) {
        const int px = x.GetPointForValue(p).x;
        const int py = y.GetPointForValue(p).y;
        if (px < 50 || px >= 450) continue;
        auto [it, added] = extremes.try_emplace(px, py, py);
        it->second = {std::min(it->second.first, py), std::max(it->second.second, py)};
    }
    std::map<int, std::pair<int, int>> drawn;
    for (const auto& [px, py] : visible(near)) {
        auto [it, added] = drawn.try_emplace(px, py, py);
        it->second = {std::min(it->second.first, py), std::max(it->second.second, py)};
    }
    EXPECT_EQ(extremes, drawn);
    // Kept columns: growing through the middle of the plot, then a moved axis, give the path
    // that reading everything afresh gives.
    const auto pairs = [](const std::vector<POINT>& path) {
        std::vector<std::pair<int, int>> out;
        for (const POINT& p : path) out.emplace_back(p.x, p.y);
        return out;
    };
    chart::ColumnPathCache kept;
    std::vector<POINT> grown;
    chart::BuildColumnPath(points.data(), 8700, x.GetMapping(), y.GetMapping(), true, 50, 449, grown, &kept);
    chart::BuildColumnPath(points.data(), 20000, x.GetMapping(), y.GetMapping(), true, 50, 449, grown, &kept);
    EXPECT_EQ(pairs(near), pairs(grown));
    x.SetCurrentRange(3100.0, 3500.0, 0.0);
    std::vector<POINT> moved;
    chart::BuildColumnPath(points.data(), 20000, x.GetMapping(), y.GetMapping(), true, 50, 449, grown, &kept);
    chart::BuildColumnPath(points.data(), 20000, x.GetMapping(), y.GetMapping(), true, 50, 449, moved);
    EXPECT_EQ(pairs(moved), pairs(grown));
    // Hundreds of points per column, a spike, values that are no numbers and a lent array that
    // grows past the blocks a curve keeps: the kept extremes of whole blocks give, on every move
    // of the axis by a part of a pixel, the path that reading every point gives.
    std::vector<ChartPoint> dense;
    for (int i = 0; i < 300000; ++i) dense.push_back({i * 0.0013, std::sin(i * 0.0021) + (i % 97) * 0.001});
    dense[123457].y = 1.9;
    for (int i = 64000; i < 64200; ++i) dense[static_cast<std::size_t>(i)].y = std::nan("");
    chart::ColumnPathCache denseKept;
    denseKept.maxBlocks = 1000;
    for (int step = 0; step < 6; ++step) {
        x.SetCurrentRange(10.0 + step * 0.37, 370.0 + step * 0.37, 0.0);
        const int count = 200000 + step * 20000;
        std::vector<POINT> fresh;
        chart::BuildColumnPath(dense.data(), count, x.GetMapping(), y.GetMapping(), true, 50, 449, grown, &denseKept);
        chart::BuildColumnPath(dense.data(), count, x.GetMapping(), y.GetMapping(), true, 50, 449, fresh);
        EXPECT_EQ(pairs(fresh), pairs(grown)) << step;
        EXPECT_LE(denseKept.blocks.size(), 1000u);
    }
}

TEST(DataSerie, ALentArrayThatGrowsKeepsItsExtentTrue)
{
    auto chart = MakeChart();
    std::vector<ChartPoint> points = {{0, 1}, {1, 2}, {2, 3}, {3, 9}, {4, 4}, {5, -7}};
    chart->SetCurveData(points.data(), 3, 0, 0, 0, false, false, true);
    EXPECT_EQ(3.0, chart->GetYAxis(0).m_dBaseMax);
    chart->SetCurveData(points.data(), 6, 0, 0, 0, false, false, true);
    EXPECT_EQ(9.0, chart->GetYAxis(0).m_dBaseMax);
    EXPECT_EQ(-7.0, chart->GetYAxis(0).m_dBaseMin);
    EXPECT_TRUE(chart->GetCurve(0).IsXAscending());
    chart->SetCurveData(points.data(), 2, 0, 0, 0, false, false, true);
    EXPECT_EQ(2.0, chart->GetYAxis(0).m_dBaseMax);
    // Handed back at the same length, the array is read again.
    points[1].y = 4.0;
    chart->SetCurveData(points.data(), 2, 0, 0, 0, false, false, true);
    EXPECT_EQ(4.0, chart->GetYAxis(0).m_dBaseMax);
    // A dragged point and a new array count as new data.
    chart->GetCurve(0).SetPointY(1, 5.0);
    chart->FitAxesToCurve(0, 0, 0);
    EXPECT_EQ(5.0, chart->GetYAxis(0).m_dBaseMax);
    std::vector<ChartPoint> other = {{0, 0}, {2, 0}, {1, 50}};
    chart->SetCurveData(other.data(), 3, 0, 0, 0, false, true, true);
    EXPECT_EQ(50.0, chart->GetYAxis(0).m_dBaseMax);
    EXPECT_FALSE(chart->GetCurve(0).IsXAscending());
    // Values that are no numbers, first or infinite, leave the axes to the finite ones.
    std::vector<ChartPoint> gaps = {{0, std::nan("")}, {1, 2}, {2, HUGE_VAL}, {3, -3}};
    chart->SetCurveData(gaps.data(), 4, 0, 0, 0, true, true, false);
    EXPECT_EQ(-3.0, chart->GetYAxis(0).m_dBaseMin);
    EXPECT_EQ(2.0, chart->GetYAxis(0).m_dBaseMax);
}

TEST(DataSerie, SelectedCurveDrawsInTheInverseColour)
{
    auto chart = MakeChart();
    const auto points = Line();
    chart->SetCurveData(points.data(), 11, 0, 0, 0, true, true, false);
    chart->SetCurveData(points.data(), 11, 1, 0, 0, true, true, false);
    chart->SelectCurve(1);
    bool cyan = false;
    for (const DrawRecord& r : Record(*chart)) {
        if (r.op == DrawRecord::Op::Line && r.pen.color() == RGB(0, 255, 255)) cyan = true;
    }
    EXPECT_TRUE(cyan);
}

TEST(DataSerie, MarkersAreThinnedExceptInPointMode)
{
    auto chart = MakeChart(600, 300);
    const auto points = Line(3);
    CXGraphDataSerie* curve = chart->SetCurveData(points.data(), 3, 0, 0, 0, true, true, false);
    curve->SetShowMarker(true);
    curve->SetMarkerType(1);
    curve->SetMarker(0);
    chart->SetShowLegend(false);
    chart->GetXAxis(0).SetShowMarkers(false);
    chart->GetYAxis(0).SetShowMarkers(false);
    const auto count = [&]() {
        int n = 0;
        for (const DrawRecord& r : Record(*chart)) {
            if (r.op == DrawRecord::Op::Rectangle && r.brush.color() == RGB(0, 0, 255)) ++n;
        }
        return n;
    };
    EXPECT_EQ(2, count());
    chart->OnPointMode();
    EXPECT_EQ(3, count());
    // Sizes and symbols a file may hold are skipped, not used.
    curve->SetMarkerSize(0);
    EXPECT_EQ(0, count());
    curve->SetMarkerSize(10);
    curve->SetMarker(42);
    EXPECT_EQ(0, count());
}

TEST(DataSerie, FillToTheBottomOfThePlotAndInvalidTargetsSkipped)
{
    auto chart = MakeChart();
    const auto points = Line();
    CXGraphDataSerie* curve = chart->SetCurveData(points.data(), 11, 0, 0, 0, true, true, false);
    curve->SetFillArea(true);
    curve->SetFillCurve(-1);
    auto polygons = [&]() {
        std::vector<DrawRecord> out;
        for (const DrawRecord& r : Record(*chart)) {
            if (r.op == DrawRecord::Op::Polygon && r.pen.style() == PS_NULL) out.push_back(r);
        }
        return out;
    };
    auto filled = polygons();
    ASSERT_EQ(1u, filled.size());
    EXPECT_EQ(chart->GetPlotRect().bottom, filled[0].points.back().y);
    EXPECT_EQ(R2_NOTXORPEN, filled[0].rop2);
    curve->SetFillCurve(5);
    EXPECT_TRUE(polygons().empty());
    EXPECT_EQ(5, curve->GetFillCurve());
}

TEST(DataSerie, NearSegmentUsesHalfTheWidthAtLeastOne)
{
    EXPECT_TRUE(CXGraphDataSerie::IsNearSegment(0, 0, 10, 0, 5, 2, 4));
    EXPECT_FALSE(CXGraphDataSerie::IsNearSegment(0, 0, 10, 0, 5, 3, 4));
    EXPECT_TRUE(CXGraphDataSerie::IsNearSegment(0, 0, 10, 0, 5, 1, 0));
    EXPECT_FALSE(CXGraphDataSerie::IsNearSegment(3, 3, 3, 3, 3, 3, 4));
}

TEST(Trends, LinearTrendContinuesByTheFirstStep)
{
    std::vector<ChartPoint> points = {{0, 3}, {2, 5}, {3, 7}};
    CXGraphDataSerie s = SerieOf(points);
    std::unique_ptr<ChartPoint[]> trend(s.GetLinearTrend(2));
    const std::vector<double> expected{3, 5, 7, 9, 11};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(expected[static_cast<std::size_t>(i)], trend[i].y, 1e-12);
    EXPECT_EQ(5.0, trend[3].x);
    EXPECT_EQ(7.0, trend[4].x);
    std::unique_ptr<ChartPoint[]> cubic(s.GetCubicTrend(0));
    ASSERT_NE(nullptr, cubic);
    // One point has neither a slope nor a step.
    CXGraphDataSerie one = SerieOf(Ys({4}));
    EXPECT_EQ(nullptr, one.GetLinearTrend(1));
    EXPECT_EQ(nullptr, one.GetCubicTrend(1));
}

TEST(Trends, ChartCommandsAddNamedTrendCurves)
{
    auto chart = MakeChart();
    const auto points = Line();
    chart->SetCurveData(points.data(), 11, 0, 0, 0, true, true, false)->SetLabel("Torque");
    chart->OnLinearTrend();  // nothing selected, the only curve: its trend
    ASSERT_EQ(2, chart->GetCurveCount());
    chart->OnCubicTrend();  // nothing selected among two curves: ignored
    EXPECT_EQ(2, chart->GetCurveCount());
    chart->m_nSelectedCurve = 0;
    chart->OnCubicTrend();
    ASSERT_EQ(3, chart->GetCurveCount());
    // Named in the program's language.
    EXPECT_EQ(CString("Torque linearer Trend"), chart->GetCurve(1).GetLabel());
    EXPECT_EQ(CString("Torque kubischer Trend"), chart->GetCurve(2).GetLabel());
    EXPECT_NEAR(10.0, chart->GetCurve(1).GetY(10), 1e-9);
}

// A live chart: curves that grow a few points per paint, as the diagram feeds them. Each paint
// draws the curves again only from the column where they changed, and shows the picture that
// painting everything afresh shows: through growing ranges, a thick pen and dots, a curve that
// overlaps another, and after each of a hidden curve, a zoomed axis, a selected curve and a
// filled area, made one after the other and again after every hand-over (as the diagram does).
TEST(DataSerie, ALiveChartDrawsOnlyWhereItsCurvesChangedAndShowsWhatAWholePaintShows)
{
    std::vector<std::vector<ChartPoint>> data(3);
    for (int i = 0; i < 60000; ++i) {
        const double t = i * 0.01;
        const double noise = ((i * 7919) % 23) * 0.02;
        data[0].push_back({t, std::sin(t * 0.9) * (1.0 + t * 0.01) + noise});
        data[1].push_back({t, std::sin(t * 0.9 + 0.3) + noise});
        data[2].push_back({t, 40.0 + std::cos(t * 0.2) * 20.0});
    }
    // The first `count` points handed over, the first `changes` changes made, and a paint.
    const auto feedAndPaint = [&](CXGraph& chart, int count, int changes) {
        for (int c = 0; c < 3; ++c) chart.SetCurveData(data[static_cast<std::size_t>(c)].data(), count, c, 0, c == 2 ? 1 : 0, true, false, false);
        chart.GetCurve(1).SetLineWidth(3);
        chart.GetCurve(2).SetType(1);
        chart.GetCurve(2).SetLineWidth(2);
        if (changes > 0) chart.ShowCurve(1, false);
        if (changes > 1) {
            chart.GetXAxis(0).SetAutoScale(false);
            chart.GetXAxis(0).SetCurrentRange(100.0, 150.0, 0.0);
        }
        if (changes > 2) chart.SelectCurve(0);
        if (changes > 3) chart.GetCurve(2).SetFillArea(true);
        chart.Invalidate();
        chart.OnPaint();
    };
    auto live = MakeChart(700, 400);
    int count = 50;
    const auto showsAWholePaint = [&](int changes) {
        auto fresh = MakeChart(700, 400);
        feedAndPaint(*fresh, count, changes);
        return fresh->grab().toImage() == live->grab().toImage();
    };
    for (int paint = 0; paint < 400; ++paint) {
        count += paint < 200 ? 7 : 290;  // slowly at first, then in bursts: columns fill up, ranges jump
        feedAndPaint(*live, count, 0);
        if (paint % 25 == 0 || paint == 399) {
            ASSERT_TRUE(showsAWholePaint(0)) << "paint " << paint;
        }
    }
    // Most paints drew only from a column on.
    EXPECT_GT(live->GetBackBufferRenderCount() - live->GetCurveLayer().WholeDraws(), 300);
    // The newest points lie at the plot's right end, where drawing started again.
    EXPECT_GT(live->GetCurveLayer().LastDrawFrom(), live->GetPlotRect().left + live->GetPlotRect().Width() / 2);
    for (int changes = 1; changes <= 4; ++changes) {
        for (int paint = 0; paint < 2; ++paint) {
            feedAndPaint(*live, count += 3, changes);
            ASSERT_TRUE(showsAWholePaint(changes)) << changes << " changes, paint " << paint;
        }
    }
}
