#include "chart/property_page_logic.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cmath>
#include <cstdlib>

#include "chart/ole_date.h"
#include "chart/xgraph.h"

namespace chart {

CXGraphAxis* ResolveAxis(CXGraph* graph, AxisRef ref)
{
    if (!graph || ref.index < 0) return nullptr;
    if (ref.kind == CXGraphAxis::xAxis) return ref.index < graph->GetXAxisCount() ? &graph->GetXAxis(ref.index) : nullptr;
    return ref.index < graph->GetYAxisCount() ? &graph->GetYAxis(ref.index) : nullptr;
}

CXGraphDataSerie* ResolveCurve(CXGraph* graph, int index)
{
    if (!graph || index < 0 || index >= graph->GetCurveCount()) return nullptr;
    return &graph->GetCurve(index);
}

std::vector<CString> AxisEntries(CXGraph& graph, int kind)
{
    std::vector<CString> entries;
    const int count = kind == CXGraphAxis::xAxis ? graph.GetXAxisCount() : graph.GetYAxisCount();
    for (int i = 0; i < count; ++i) {
        CXGraphAxis& axis = kind == CXGraphAxis::xAxis ? graph.GetXAxis(i) : graph.GetYAxis(i);
        entries.push_back(CString::Formatted("%d %s", i + 1, axis.GetLabel().GetString()));
    }
    return entries;
}

std::vector<CString> CurveEntries(CXGraph& graph)
{
    std::vector<CString> entries;
    for (int i = 0; i < graph.GetCurveCount(); ++i)
        entries.push_back(CString::Formatted("%d %s", i + 1, graph.GetCurve(i).GetLabel().GetString()));
    return entries;
}

// ---- Chart page --------------------------------------------------------------------------

void FillChartPage(CXGraph& graph, AxisRef shownAxis, int shownCurve, ChartPageData& data)
{
    data.backColor = graph.GetBackColor();
    data.outerColor = graph.GetOuterColor();
    data.innerColor = graph.GetInnerColor();
    data.showLegend = graph.GetShowLegend() ? 1 : 0;
    data.doubleBuffer = graph.GetDoubleBuffer() ? 1 : 0;
    data.legendPosition = graph.GetLegendPosition();
    data.snap = graph.GetSnap() ? 1 : 0;
    data.snapRange = graph.GetSnapRange();
    data.xAxisEntries = AxisEntries(graph, CXGraphAxis::xAxis);
    data.yAxisEntries = AxisEntries(graph, CXGraphAxis::yAxis);
    data.curveEntries = CurveEntries(graph);
    const CXGraphDataSerie* curve = ResolveCurve(&graph, shownCurve);
    data.selectedCurve = curve ? shownCurve : -1;
    // Neither list stays blank while the chart has axes of its kind: the one not on the axis
    // page names the axis of the curve shown (or the first).
    const auto curveAxis = [&](int kind) {
        const int index = curve ? (kind == CXGraphAxis::xAxis ? curve->m_nXAxis : curve->m_nYAxis) : 0;
        return ResolveAxis(&graph, {kind, index}) ? index : ResolveAxis(&graph, {kind, 0}) ? 0 : -1;
    };
    data.selectedXAxis = curveAxis(CXGraphAxis::xAxis);
    data.selectedYAxis = curveAxis(CXGraphAxis::yAxis);
    if (ResolveAxis(&graph, shownAxis)) {
        if (shownAxis.kind == CXGraphAxis::xAxis)
            data.selectedXAxis = shownAxis.index;
        else
            data.selectedYAxis = shownAxis.index;
    }
}

void ApplyChartPage(CXGraph& graph, const ChartPageData& data)
{
    graph.SetBackColor(data.backColor);
    graph.SetOuterColor(data.outerColor);
    graph.SetInnerColor(data.innerColor);
    graph.SetShowLegend(data.showLegend != 0);
    graph.SetDoubleBuffer(data.doubleBuffer != 0);
    // The list offers left and right only; no choice keeps what the chart has.
    if (data.legendPosition == 0 || data.legendPosition == 1) graph.SetLegendPosition(data.legendPosition);
    graph.SetSnap(data.snap != 0);
    graph.SetSnapRange(data.snapRange);
}

// ---- Axis page ---------------------------------------------------------------------------

AxisPageEnabling EnablingOf(const AxisPageData& data)
{
    AxisPageEnabling e;
    e.range = !data.autoscale && !data.timeAxis;
    e.dateTime = data.timeAxis && !data.autoscale;
    e.decimalPlaces = !data.timeAxis;
    e.formatText = data.timeAxis != 0;
    e.placement = !data.timeAxis;
    return e;
}

void StepToCountAndUnit(double stepDays, int& count, int& unit)
{
    const double exact = stepDays * 86400.0;
    const long long s = std::isfinite(exact) && std::fabs(exact) < 9.0e15 ? std::llround(exact) : 0;
    if (s > 86400 && s % 86400 == 0) {
        count = static_cast<int>(s / 86400);
        unit = kTimeUnitDays;
    } else if (s > 3600 && s % 3600 == 0) {
        count = static_cast<int>(s / 3600);
        unit = kTimeUnitHours;
    } else if (s > 60 && s % 60 == 0) {
        count = static_cast<int>(s / 60);
        unit = kTimeUnitMinutes;
    } else {
        count = static_cast<int>(std::clamp<long long>(s, INT32_MIN, INT32_MAX));
        unit = kTimeUnitSeconds;
    }
}

double CountAndUnitToStep(int count, int unit)
{
    static const int kSeconds[] = {1, 60, 3600, 86400};
    const int factor = unit >= 0 && unit <= 3 ? kSeconds[unit] : 1;
    return static_cast<double>(count) * factor / 86400.0;
}

int DecimalPlacesOfFormat(const CString& format, int current)
{
    const int dot = format.Find('.');
    if (dot < 0) return current;
    return std::atoi(format.GetString() + dot + 1);
}

CString NumberFormatFor(double minimum, double maximum, int decimalPlaces)
{
    const double a = std::fabs(minimum);
    const double b = std::fabs(maximum);
    const bool exponent = a > 1e6 || b > 1e6 || (a != 0.0 && a < 1e-6) || (b != 0.0 && b < 1e-6);
    return CString::Formatted(exponent ? "%%5.%de" : "%%5.%df", decimalPlaces);
}

void FillAxisPage(CXGraphAxis& axis, double now, AxisPageData& data)
{
    data.label = axis.GetLabel();
    axis.GetRangeAndStep(data.minimum, data.maximum, data.stepWidth);
    data.autoscale = axis.GetAutoScaleSetting() ? 1 : 0;
    data.timeAxis = axis.GetDateTime() ? 1 : 0;
    data.grid = axis.GetShowGrid() ? 1 : 0;
    data.visible = axis.GetVisible() ? 1 : 0;
    data.axisColor = axis.GetColor();
    data.gridColor = axis.GetGridColor();
    data.showMarkers = axis.GetShowMarkers() ? 1 : 0;
    data.placement = axis.GetPlacement();
    data.arrowSize = axis.GetArrowSize();
    data.tickSize = axis.GetTickLength();
    data.markerSize = axis.GetMarkerSize();
    data.gridStyle = axis.GetGridStyle();

    if (data.timeAxis) {
        StepToCountAndUnit(data.stepWidth, data.stepCount, data.timeUnit);
        CString text = axis.GetDisplayFormat();
        text.Replace("\n", "\\n");
        data.formatText = text;
        data.decimalPlaces = 1;
        data.startDate = data.startTime = data.minimum;
        data.endDate = data.endTime = data.maximum;
    } else {
        data.stepCount = 1;
        data.startDate = data.startTime = data.endDate = data.endTime = now;
        data.decimalPlaces = DecimalPlacesOfFormat(axis.GetDisplayFormat(), data.decimalPlaces);
    }
}

namespace {

// The date of one picker joined with the time of another; false when either is no date.
bool JoinDateAndTime(double datePicker, double timePicker, double& joined)
{
    DateTimeParts date;
    DateTimeParts time;
    if (!OleDateToParts(datePicker, date) || !OleDateToParts(timePicker, time)) return false;
    date.hour = time.hour;
    date.minute = time.minute;
    date.second = time.second;
    return OleDateFromParts(date, joined);
}

}  // namespace

void ApplyAxisPage(CXGraphAxis& axis, const AxisPageData& data)
{
    if (data.gridStyle >= 0 && data.gridStyle <= 4) axis.SetGridStyle(data.gridStyle);
    axis.SetLabel(data.label);
    // A range typed here is the user's as a zoom is; switching back to automatic scaling gives
    // an axis the user had set by hand back to its data. A zoom holds through either.
    const bool wasManual = !axis.GetAutoScaleSetting();
    if (!data.autoscale) axis.HoldUserRange();
    else if (wasManual) axis.ReleaseUserRange();
    axis.SetAutoScale(data.autoscale != 0);
    axis.SetVisible(data.visible != 0);

    if (!data.autoscale) {
        if (!data.timeAxis) {
            if (axis.SetRange(data.minimum, data.maximum)) axis.SetCurrentRange(data.minimum, data.maximum, data.stepWidth);
        } else {
            double start = 0.0;
            double end = 0.0;
            if (JoinDateAndTime(data.startDate, data.startTime, start) && JoinDateAndTime(data.endDate, data.endTime, end)) {
                const double step = CountAndUnitToStep(data.stepCount, data.timeUnit);
                if (axis.SetRange(start, end)) axis.SetCurrentRange(start, end, step);
            }
        }
    }
    axis.SetShowGrid(data.grid != 0);
    // The list offers left and right; no choice keeps the stored placement.
    if (data.placement == 0 || data.placement == 1) axis.SetPlacement(data.placement);

    if (data.timeAxis) {
        CString format = data.formatText;
        format.Replace("\\n", "\n");
        axis.SetDisplayFormat(format);
    } else {
        double minimum = 0.0;
        double maximum = 0.0;
        double step = 0.0;
        axis.GetRangeAndStep(minimum, maximum, step);
        axis.SetDisplayFormat(NumberFormatFor(minimum, maximum, data.decimalPlaces));
    }
    axis.SetColor(data.axisColor);
    axis.SetGridColor(data.gridColor);
    axis.SetArrowSize(data.arrowSize);
    axis.SetTickLength(data.tickSize);
    axis.SetMarkerSize(data.markerSize);
    axis.SetDateTime(data.timeAxis != 0);
    axis.SetShowMarkers(data.showMarkers != 0);
}

// ---- Curve page --------------------------------------------------------------------------

CurvePageEnabling EnablingAfterFill(const CurvePageData& data)
{
    CurvePageEnabling e;
    e.fillStyles = data.fill != 0;
    e.fillTo = data.fill != 0;
    e.transparent = true;
    e.markerTypes = true;
    e.markerSymbol = data.markerType == 1;
    return e;
}

CurvePageEnabling EnablingOf(const CurvePageData& data)
{
    CurvePageEnabling e;
    e.fillStyles = data.fill != 0;
    e.transparent = data.fill != 0;
    e.fillTo = data.fill != 0;
    e.markerTypes = data.showMarkers != 0;
    e.markerSymbol = data.showMarkers != 0 && data.markerType == 1;
    return e;
}

int FillToEntryOfCurve(int fillCurve, int ownIndex, int curveCount)
{
    if (fillCurve < 0 || fillCurve >= curveCount || fillCurve == ownIndex) return -1;
    return fillCurve < ownIndex ? fillCurve : fillCurve - 1;
}

int FillToCurveOfEntry(int entry, int ownIndex, int curveCount)
{
    if (entry < 0 || entry >= curveCount - 1) return -1;
    return entry < ownIndex ? entry : entry + 1;
}

bool FillCurvePage(CXGraph& graph, int curveIndex, CurvePageData& data)
{
    CXGraphDataSerie* curve = ResolveCurve(&graph, curveIndex);
    if (!curve) return false;
    const int count = graph.GetCurveCount();
    data.fillToEntries.clear();
    for (int i = 0; i < count; ++i)
        if (i != curveIndex)
            data.fillToEntries.push_back(CString::Formatted("%d %s", i + 1, graph.GetCurve(i).GetLabel().GetString()));
    data.type = curve->GetType();
    data.lineWidth = curve->GetLineWidth();
    data.lineColor = curve->GetColor();
    data.lineStyle = curve->GetLineStyle();
    data.visible = curve->GetVisible() ? 1 : 0;
    data.showMarkers = curve->GetShowMarker() ? 1 : 0;
    data.fill = curve->GetFillArea() ? 1 : 0;
    data.fillStyle = curve->GetFillStyle();
    data.transparent = curve->GetFillTransparent() ? 1 : 0;
    data.label = curve->GetLabel();
    data.markerType = curve->GetMarkerType();
    data.markerSize = curve->GetMarkerSize();
    data.marker = curve->GetMarker();
    data.fillToEntry = FillToEntryOfCurve(curve->GetFillCurve(), curveIndex, count);
    return true;
}

bool ApplyCurvePage(CXGraph& graph, int curveIndex, const CurvePageData& data)
{
    CXGraphDataSerie* curve = ResolveCurve(&graph, curveIndex);
    if (!curve) return false;
    // A list without a choice (-1) keeps the stored value.
    if (data.type == 0 || data.type == 1) curve->SetType(data.type);
    curve->SetLineWidth(data.lineWidth);
    curve->SetColor(data.lineColor);
    if (data.lineStyle >= 0 && data.lineStyle <= 4) curve->SetLineStyle(data.lineStyle);
    curve->SetVisible(data.visible != 0);
    curve->SetShowMarker(data.showMarkers != 0);
    curve->SetFillArea(data.fill != 0);
    curve->SetFillCurve(-1);
    if (data.fillStyle >= 0 && data.fillStyle <= 6) curve->SetFillStyle(data.fillStyle);
    curve->SetFillTransparent(data.transparent != 0);
    curve->SetLabel(data.label);
    if (data.markerType == 0 || data.markerType == 1) curve->SetMarkerType(data.markerType);
    curve->SetMarkerSize(data.markerSize);
    if (data.marker >= 0 && data.marker <= 7) curve->SetMarker(data.marker);
    curve->SetFillCurve(FillToCurveOfEntry(data.fillToEntry, curveIndex, graph.GetCurveCount()));
    return true;
}

// ---- Label dialog ------------------------------------------------------------------------

void FillLabelDlg(CXGraphLabel& label, LabelDlgData& data)
{
    data.border = label.GetBorder() ? 1 : 0;
    data.backColor = label.GetBkColor();
    data.alignment = label.GetAlignment();
    data.transparent = label.GetTransparent() ? 1 : 0;
    data.curveEntries.clear();
    CXGraph* graph = label.GetGraph();
    const int count = graph ? graph->GetCurveCount() : 0;
    for (int i = 0; i < count; ++i)
        data.curveEntries.push_back(CString::Formatted("%02d %s", i + 1, graph->GetCurve(i).GetLabel().GetString()));
    const int curve = label.GetCurve();
    data.curve = curve >= 0 && curve < count ? curve : -1;
}

void ApplyLabelDlg(CXGraphLabel& label, const LabelDlgData& data)
{
    label.SetBorder(data.border != 0);
    label.SetBkColor(data.backColor);
    if (data.alignment >= 0 && data.alignment <= 2) label.SetAlignment(data.alignment);
    label.SetCurve(data.curve >= 0 && data.curve < static_cast<int>(data.curveEntries.size()) ? data.curve : -1);
    label.SetTransparent(data.transparent != 0);
}

}  // namespace chart
