// Milliseconds per repaint of the chart at 800 x 600:
// - full: ten curves of 10,000 points on one pair of axes, everything drawn again from the points;
// - live: four curves of 100,000 points that grow by 1,000 points per frame for 200 frames, fed
//   as the diagram view feeds them (borrowed arrays, axes fitted on every update);
// - large: four curves of 1,000,000 points, everything drawn again from the points;
// - cursor: a cursor move over the kept back buffer, which does not render the curves.
#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

#include "chart/xgraph.h"

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_chart";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// A measured torque: a slow swing, a faster ripple and a little noise, at 5,000 values a second.
ChartPoint Sample(int curve, int i)
{
    const double t = i / 5000.0;
    const unsigned noise = (static_cast<unsigned>(i) * 2654435761u + static_cast<unsigned>(curve) * 40503u) >> 22;
    return {t, (curve + 1) * (std::sin(t * 0.7 + curve) + 0.2 * std::sin(t * 31.0)) + noise / 4096.0};
}

// A smooth wave per curve.
ChartPoint Wave(int curve, int i) { return {i * 0.01, std::sin(i * 0.003 + curve) * (curve + 1)}; }

struct ChartWithCurves {
    ChartWithCurves(int curves, int points, int capacity = 0, bool sharedAxes = false) : m_sharedAxes(sharedAxes)
    {
        chart.resize(800, 600);
        data.resize(static_cast<std::size_t>(curves));
        for (int c = 0; c < curves; ++c) {
            auto& d = data[static_cast<std::size_t>(c)];
            d.reserve(static_cast<std::size_t>(std::max(points, capacity)));
            for (int i = 0; i < points; ++i) d.push_back(sharedAxes ? Wave(c, i) : Sample(c, i));
            Feed(c);
        }
        chart.OnPaint();
    }
    // As the diagram view: borrowed points, X axis 0, Y axis per curve, axes fitted.
    void Feed(int c)
    {
        auto& d = data[static_cast<std::size_t>(c)];
        chart.SetCurveData(d.data(), static_cast<int>(d.size()), c, 0, m_sharedAxes ? 0 : c, true, false, false);
    }
    bool m_sharedAxes;
    QApplication& app = App();  // before the chart: widgets need the application
    CXGraph chart;
    std::vector<std::vector<ChartPoint>> data;
};

// Every frame draws everything again from the points: the X axis moves by a tenth of a pixel
// each time, so nothing read for the frame before still fits.
void Repaint(benchmark::State& state, int curves, int points, bool sharedAxes)
{
    ChartWithCurves setup(curves, points, 0, sharedAxes);
    CXGraphAxis& x = setup.chart.GetXAxis(0);
    x.SetAutoScale(false);
    const double min = x.m_dMin;
    const double max = x.m_dMax;
    const double shift = (max - min) / 8000.0;
    int frame = 0;
    for (auto _ : state) {
        const double d = (frame++ % 2) * shift;
        x.SetCurrentRange(min + d, max + d, 0.0);
        setup.chart.Invalidate();
        setup.chart.OnPaint();
    }
}

void BM_FullRepaint(benchmark::State& state)
{
    Repaint(state, 10, 10000, true);
    state.SetLabel("10 curves x 10,000 points");
}

void BM_LargeRepaint(benchmark::State& state)
{
    Repaint(state, 4, 1000000, false);
    state.SetLabel("4 curves x 1,000,000 points");
}

void BM_LiveFrame(benchmark::State& state)
{
    constexpr int kStart = 100000;
    constexpr int kGrowth = 1000;
    constexpr int kFrames = 200;
    ChartWithCurves setup(4, kStart, kStart + kGrowth * kFrames);
    // The measured values arrive ready: a frame is the appending, handing over and drawing.
    std::vector<std::vector<ChartPoint>> arriving(4);
    for (int c = 0; c < 4; ++c) {
        for (int i = kStart; i < kStart + kGrowth * kFrames; ++i) arriving[static_cast<std::size_t>(c)].push_back(Sample(c, i));
    }
    for (auto _ : state) {
        for (int c = 0; c < 4; ++c) {
            auto& d = setup.data[static_cast<std::size_t>(c)];
            const auto from = arriving[static_cast<std::size_t>(c)].begin() + static_cast<std::ptrdiff_t>(d.size() - kStart);
            d.insert(d.end(), from, from + kGrowth);
            setup.Feed(c);
        }
        setup.chart.Invalidate();
        setup.chart.OnPaint();
    }
    state.SetLabel("4 curves from 100,000 points, +1,000 per frame");
}

void BM_CursorMoveRepaint(benchmark::State& state)
{
    ChartWithCurves setup(10, 10000, 0, true);
    setup.chart.OnCursorMode();
    setup.chart.OnPaint();
    const CRect plot = setup.chart.GetPlotRect();
    int x = 0;
    for (auto _ : state) {
        setup.chart.OnMouseMove(0, CPoint(plot.left + 10 + (x++ % 300), plot.top + 50));
        setup.chart.OnPaint();
    }
}

}  // namespace

BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveFrame)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_LargeRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CursorMoveRepaint)->Unit(benchmark::kMillisecond);
