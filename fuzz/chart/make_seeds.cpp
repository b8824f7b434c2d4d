// Writes the seed corpora of the chart-file targets with the chart library itself: a chart with
// two curves on two Y axes, a value line, a colour range, a label and a data notation, saved
// with each combination of the file's parts; the live chart's seeds are the same files behind
// the byte of its second window size. Run once after a change of the file format, then commit
// the files:
//
//   QT_QPA_PLATFORM=offscreen build-fuzz/fuzz/chart/km3-fuzz-chart-seeds fuzz/chart/seeds
#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "chart/xgraph.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder of the chart targets>\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const std::string folder = std::string(argv[1]) + "/fuzz_chart_file";
    const std::string live = std::string(argv[1]) + "/fuzz_chart_live";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(live);

    std::vector<ChartPoint> points;
    for (int i = 0; i < 6; ++i) points.push_back({static_cast<double>(i), 0.5 * i * i});
    CXGraph chart;
    chart.resize(400, 300);
    chart.SetCurveData(points.data(), 6, 0, 0, 0, true, true, false)->SetLabel("Torque");
    chart.SetCurveData(points.data(), 6, 1, 0, 1, true, false, false)->SetLabel("Speed");
    chart.GetYAxis(0).SetLabel("Nm");
    chart.GetYAxis(0).SetValueLine(0, 3.5, RGB(255, 0, 0), PS_DASH);
    chart.GetYAxis(1).m_ColorRanges.push_back({1, 2, RGB(0, 255, 0), RGB(0, 255, 0), 6, "band"});
    chart.CreateLabel(10, 10, 80, 40, "first\nlabel");
    chart.InsertDataNotation(0, 4);
    chart.m_Measurements.push_back({{0, 1}, {1, 5}});

    // 1 properties, 2 curves and axes, 4 objects.
    for (UINT flags : {1u, 2u, 4u, 7u}) {
        const std::string path = folder + "/chart_" + std::to_string(flags);
        if (!chart.Save(CString(path), flags)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        // 0x79: the second size 400 x 320 pixels.
        std::ifstream saved(path, std::ios::binary);
        std::ofstream(live + "/chart_" + std::to_string(flags), std::ios::binary) << '\x79' << saved.rdbuf();
    }
    return 0;
}
