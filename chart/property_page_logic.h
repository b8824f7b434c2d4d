#pragma once
// The decisions of the chart's property pages in plain C++: what each page shows for its
// object, which controls are enabled, and how the values are written back. The page widgets
// (property_pages.h) only move these values to and from their controls.
//
// The pages name the axis and the curve they show by index, never by address: the chart keeps
// its axes and curves in vectors that grow while the pages stay open.

#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CXGraph;
class CXGraphAxis;
class CXGraphDataSerie;
class CXGraphLabel;

namespace chart {

// An axis of a chart by kind (CXGraphAxis::xAxis or yAxis) and index; index -1 is none.
struct AxisRef {
    int kind = 1;
    int index = -1;
    bool operator==(const AxisRef&) const = default;
};

// The object named, or null when the chart has no such axis or curve (any more).
CXGraphAxis* ResolveAxis(CXGraph* graph, AxisRef ref);
CXGraphDataSerie* ResolveCurve(CXGraph* graph, int index);

// "%d %s" entries, 1-based, of the chart's X axes, Y axes or curves.
std::vector<CString> AxisEntries(CXGraph& graph, int kind);
std::vector<CString> CurveEntries(CXGraph& graph);

// ---- Chart page --------------------------------------------------------------------------

struct ChartPageData {
    COLORREF backColor = 0;
    COLORREF outerColor = 0;
    COLORREF innerColor = 0;
    int showLegend = 0;
    int doubleBuffer = 0;
    int legendPosition = -1;
    int snap = 0;
    int snapRange = 0;
    int selectedXAxis = -1;
    int selectedYAxis = -1;
    int selectedCurve = -1;
    std::vector<CString> xAxisEntries;
    std::vector<CString> yAxisEntries;
    std::vector<CString> curveEntries;
};

// Fills from the chart; the lists select the axis and the curve that the other pages show.
void FillChartPage(CXGraph& graph, AxisRef shownAxis, int shownCurve, ChartPageData& data);
// Writes colours, legend, double buffer, snap and snap range.
void ApplyChartPage(CXGraph& graph, const ChartPageData& data);

// ---- Axis page ---------------------------------------------------------------------------

constexpr int kTimeUnitSeconds = 0;
constexpr int kTimeUnitMinutes = 1;
constexpr int kTimeUnitHours = 2;
constexpr int kTimeUnitDays = 3;
constexpr int kMaxTimeStepCount = 22118400;  // 256 days in seconds

struct AxisPageData {
    CString label;
    int autoscale = 0;
    double minimum = 0.0;
    double maximum = 0.0;
    int grid = 0;
    int timeAxis = 0;
    int visible = 1;
    int decimalPlaces = 0;
    int arrowSize = 0;
    int tickSize = 0;
    int markerSize = 0;
    double stepWidth = 0.0;
    double startDate = 0.0;
    double startTime = 0.0;
    double endDate = 0.0;
    double endTime = 0.0;
    CString formatText;
    int showMarkers = 1;
    int placement = -1;
    int gridStyle = -1;
    int timeUnit = -1;
    int stepCount = 0;
    COLORREF axisColor = 0;
    COLORREF gridColor = 0;
};

struct AxisPageEnabling {
    bool range = false;         // minimum, maximum, step width
    bool dateTime = false;      // the four pickers, step count and time unit
    bool decimalPlaces = false;
    bool formatText = false;
    bool placement = false;
};
AxisPageEnabling EnablingOf(const AxisPageData& data);

// A time step (in days) as a count and a unit: whole days, else hours, else minutes above one
// of the unit, else seconds. The step is taken to the nearest second, so that a step stored
// as a fraction of a day keeps its last second.
void StepToCountAndUnit(double stepDays, int& count, int& unit);
double CountAndUnitToStep(int count, int unit);
// The digits after the format's first "." (2 for "%5.2f"); current when there is no ".".
int DecimalPlacesOfFormat(const CString& format, int current);
// "%5.Ne" for very large or very small ranges, else "%5.Nf".
CString NumberFormatFor(double minimum, double maximum, int decimalPlaces);

// Fills from the axis; now is the current OLE date, shown in the pickers of a number axis.
void FillAxisPage(CXGraphAxis& axis, double now, AxisPageData& data);
void ApplyAxisPage(CXGraphAxis& axis, const AxisPageData& data);

// ---- Curve page --------------------------------------------------------------------------

struct CurvePageData {
    int type = -1;
    int lineWidth = 0;
    int lineStyle = -1;
    int showMarkers = 0;
    int visible = 0;
    int fill = 0;
    int fillStyle = -1;
    int transparent = 0;
    CString label;
    int markerType = 0;
    int marker = 0;
    int markerSize = 1;
    int fillToEntry = -1;  // index in fillToEntries, -1 none
    COLORREF lineColor = 0;
    std::vector<CString> fillToEntries;
};

struct CurvePageEnabling {
    bool fillStyles = false;
    bool transparent = false;
    bool fillTo = false;
    bool markerTypes = false;
    bool markerSymbol = false;
};
// Right after a fill, and after every change the user makes.
CurvePageEnabling EnablingAfterFill(const CurvePageData& data);
CurvePageEnabling EnablingOf(const CurvePageData& data);

// The fill-to list holds every curve but the page's own: these map between its entries and
// the curves' indexes (-1 for none or for what names no other curve).
int FillToEntryOfCurve(int fillCurve, int ownIndex, int curveCount);
int FillToCurveOfEntry(int entry, int ownIndex, int curveCount);

// False (and nothing filled or written) when the chart has no such curve.
bool FillCurvePage(CXGraph& graph, int curveIndex, CurvePageData& data);
bool ApplyCurvePage(CXGraph& graph, int curveIndex, const CurvePageData& data);

// ---- Label dialog ------------------------------------------------------------------------

struct LabelDlgData {
    COLORREF backColor = 0;
    int border = 0;
    int alignment = -1;
    int curve = -1;
    int transparent = 0;
    std::vector<CString> curveEntries;  // "%02d %s"
};

void FillLabelDlg(CXGraphLabel& label, LabelDlgData& data);
void ApplyLabelDlg(CXGraphLabel& label, const LabelDlgData& data);

}  // namespace chart
