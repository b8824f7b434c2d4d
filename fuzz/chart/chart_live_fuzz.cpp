// Loads arbitrary chart files into a live chart, then paints it, zooms, scrolls and resizes it
// and paints again: whatever the file's properties, axes, curves, labels and measurements hold
// (margins, ranges, colours, point counts, indices of curves and points), the chart must take
// it or refuse it, and lay out and draw what it took, without crashing, hanging or reading out
// of bounds.
//
// Input: byte 0 the second size of the window (width and height, in steps of 40 pixels from
// 40), then the chart file; its seeds are the chart files of the chart-file target.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "chart/xgraph.h"
#include "fuzz/support/offscreen_application.h"

namespace {

std::string ScratchFile()
{
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/km3-fuzz-chart-live-" + std::to_string(::getpid());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz_support::StartOffscreenApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    static const std::string path = ScratchFile();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    CXGraph chart;
    chart.resize(400, 300);
    if (!chart.Load(CString(path))) return 0;
    chart.OnPaint();
    // A zoom into the middle of the plot, a step of the wheel on both kinds of axes, back.
    const CRect plot = chart.GetPlotRect();
    chart.OnZoomMode();
    chart.m_rcZoom = CRect(plot.left + plot.Width() / 4, plot.top + plot.Height() / 4, plot.right - plot.Width() / 4,
                           plot.bottom - plot.Height() / 4);
    chart.ApplyZoom();
    chart.OnPaint();
    chart.OnMouseWheel(0, 120, CPoint());
    chart.OnMouseWheel(MK_SHIFT, -120, CPoint());
    chart.OnPaint();
    chart.OnUndoZoom();
    chart.OnResetZoom();
    // Another size: the layout again from the file's margins and axis spacing.
    chart.resize(40 + 40 * (data[0] & 0x0F), 40 + 40 * (data[0] >> 4));
    chart.OnPaint();
    chart.GetBitmap();
    return 0;
}
