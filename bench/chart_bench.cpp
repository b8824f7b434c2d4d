// Milliseconds per repaint of a chart with ten curves of 10,000 points at 800 x 600, and of
// an overlay-only repaint (a cursor move) over the kept back buffer.
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

struct ChartWithCurves {
    ChartWithCurves()
    {
        chart.resize(800, 600);
        curves.resize(10);
        for (int c = 0; c < 10; ++c) {
            for (int i = 0; i < 10000; ++i) curves[c].push_back({i * 0.01, std::sin(i * 0.003 + c) * (c + 1)});
            chart.SetCurveData(curves[c].data(), 10000, c, 0, 0, true, false, false);
        }
        chart.OnPaint();
    }
    QApplication& app = App();  // before the chart: widgets need the application
    CXGraph chart;
    std::vector<std::vector<ChartPoint>> curves;
};

void BM_FullRepaint(benchmark::State& state)
{
    ChartWithCurves setup;
    for (auto _ : state) {
        setup.chart.Invalidate();
        setup.chart.OnPaint();
    }
    state.SetLabel("10 curves x 10000 points, 800x600");
}

void BM_CursorMoveRepaint(benchmark::State& state)
{
    ChartWithCurves setup;
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
BENCHMARK(BM_CursorMoveRepaint)->Unit(benchmark::kMillisecond);
