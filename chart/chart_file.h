#pragma once
// Reading chart files into a staging copy. Nothing of a chart changes until a whole file has
// been read, so a damaged or truncated file leaves the chart as it was.

#include <memory>
#include <vector>

#include "chart/xgraph_axis.h"
#include "chart/xgraph_data_serie.h"

struct Measurement;

namespace chart {

constexpr UINT kSaveProperties = 1;
constexpr UINT kSaveCurvesAndAxes = 2;
constexpr UINT kSaveObjects = 4;

struct ChartProperties {
    COLORREF backColor = 0;
    COLORREF outerColor = 0;
    COLORREF innerColor = 0;
    bool doubleBuffer = false;
    bool showLegend = false;
    int legendAlign = 0;
    bool snapCursor = false;
    int snapRange = 0;
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    int axisSpacing = 0;
    int selectedCurve = -1;
};

struct ChartFileContent {
    UINT flags = 0;
    ChartProperties properties;
    std::vector<CXGraphDataSerie> curves;
    std::vector<CXGraphAxis> xAxes;
    std::vector<CXGraphAxis> yAxes;
    std::vector<int> measurements;  // four ints per stored measurement
    std::vector<std::unique_ptr<CXGraphObject>> objects;
};

// Reads a whole chart file; throws CArchiveException for anything it cannot read.
void ReadChartFile(CArchive& ar, ChartFileContent& content);
// The same over bytes in memory; false instead of an exception. The fuzz target calls this.
bool ParseChartFile(const BYTE* data, std::size_t size, ChartFileContent& content);

}  // namespace chart
