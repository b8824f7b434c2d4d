// The chart window: its curves, axes and objects, feeding, mode commands and notifications.

#include "chart/xgraph.h"

#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "chart/chart_texts.h"
#include "chart/value_format.h"

using namespace chart;

namespace {

// Colours of new curves, taken by the number of curves before the new one.
constexpr COLORREF kCurveColors[12] = {
    RGB(0, 0, 255),   RGB(255, 0, 0),   RGB(0, 128, 0),    RGB(47, 79, 79), RGB(0, 128, 0),   RGB(0, 255, 0),
    RGB(0, 128, 128), RGB(0, 255, 255), RGB(227, 108, 10), RGB(0, 0, 128),  RGB(128, 0, 128), RGB(255, 0, 255),
};

}  // namespace

// The chart's window on the message loop: it takes the commands sent to the chart.
class CXGraph::ChartWnd : public CWnd {
public:
    explicit ChartWnd(CXGraph& chart) : m_chart(chart) {}

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND) return m_chart.OnCommand(LOWORD(wParam)) ? 1 : 0;
        return CWnd::OnMessage(message, wParam, lParam);
    }

private:
    CXGraph& m_chart;
};

CXGraph::CXGraph(QWidget* parent)
    : QWidget(parent), m_crBackColor(GetSysColor(COLOR_APPWORKSPACE)), m_crOuterColor(GetSysColor(COLOR_APPWORKSPACE)),
      m_crInnerColor(GetSysColor(COLOR_WINDOW)), m_pWnd(std::make_unique<ChartWnd>(*this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    m_CursorLabel.SetRect(100, 100, 200, 175);
    m_CursorLabel.SetVisible(false);
    m_CursorLabel.m_pGraph = this;
    m_Objects.push_back(&m_CursorLabel);
}

CXGraph::~CXGraph()
{
    m_XAxes.clear();
    m_YAxes.clear();
    m_Curves.clear();
    for (auto it = std::next(m_Objects.begin()); it != m_Objects.end(); ++it) delete *it;
    m_Objects.clear();
}

CWnd& CXGraph::Wnd() { return *m_pWnd; }

void CXGraph::Notify(UINT message, WPARAM wParam)
{
    if (m_pNotifyWnd) m_pNotifyWnd->PostMessage(message, wParam, reinterpret_cast<LPARAM>(this));
}

bool CXGraph::OnCommand(UINT id)
{
    switch (id) {
    case IDM_SELECT_MODE: OnSelectMode(); return true;
    case IDM_INSERT_LABEL: OnInsertLabel(); return true;
    case IDM_ZOOM_MODE: OnZoomMode(); return true;
    case IDM_RESET_ZOOM: OnResetZoom(); return true;
    case IDM_PAN_MODE: OnPanMode(); return true;
    case IDM_EDIT_OBJECT: OnEditObject(); return true;
    case IDM_PRINT: OnPrint(); return true;
    case IDM_LINEAR_TREND: OnLinearTrend(); return true;
    case IDM_CUBIC_TREND: OnCubicTrend(); return true;
    case IDM_CURSOR_MODE: OnCursorMode(); return true;
    case IDM_PROPERTIES: OnProperties(); return true;
    case IDM_UNDO_ZOOM: OnUndoZoom(); return true;
    case IDM_MEASURE_MODE: OnMeasureMode(); return true;
    case IDM_POINT_MODE: OnPointMode(); return true;
    default: return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Feeding and structure

CXGraphDataSerie* CXGraph::SetCurveData(const ChartPoint* points, int count, int n, int xAxis, int yAxis, bool fitAxes,
                                        bool copy, bool fitToData)
{
    if (!points || count <= 0) return nullptr;
    // Curves and axes are appended only at the end of their lists.
    if (n < 0 || n > GetCurveCount() || xAxis < 0 || xAxis > GetXAxisCount() || yAxis < 0 || yAxis > GetYAxisCount()) {
        return nullptr;
    }
    if (n == GetCurveCount()) {
        CXGraphDataSerie serie;
        serie.m_nXAxis = xAxis;
        serie.m_nYAxis = yAxis;
        serie.m_nIndex = n;
        serie.SetPoints(points, count, copy);
        serie.m_crColor = kCurveColors[m_Curves.size() % 12];
        m_Curves.push_back(std::move(serie));
    } else {
        CXGraphDataSerie& serie = m_Curves[static_cast<std::size_t>(n)];
        serie.m_nXAxis = xAxis;
        serie.m_nYAxis = yAxis;
        serie.SetPoints(points, count, copy);
    }
    if (xAxis == GetXAxisCount()) {
        CXGraphAxis axis;
        axis.m_pGraph = this;
        axis.m_nKind = CXGraphAxis::xAxis;
        m_XAxes.push_back(std::move(axis));
    }
    if (yAxis == GetYAxisCount()) {
        CXGraphAxis axis;
        axis.m_pGraph = this;
        axis.m_nKind = CXGraphAxis::yAxis;
        m_YAxes.push_back(std::move(axis));
    }
    CXGraphDataSerie& serie = m_Curves[static_cast<std::size_t>(n)];
    serie.m_pGraph = this;
    if (fitToData) {
        // An extent that is not there (no finite value) is no range: the axis keeps its own.
        double xMin = NAN, xMax = NAN, yMin = NAN, yMax = NAN;
        GetCurveExtent(serie, xMin, xMax, yMin, yMax);
        m_XAxes[static_cast<std::size_t>(xAxis)].SetRange(xMin, xMax);
        m_YAxes[static_cast<std::size_t>(yAxis)].SetRange(yMin, yMax);
    } else if (fitAxes) {
        FitAxesToCurve(xAxis, yAxis, n);
    }
    return &serie;
}

void CXGraph::GetCurveExtent(const CXGraphDataSerie& curve, double& xMin, double& xMax, double& yMin, double& yMax) const
{
    if (!curve.m_pPoints || curve.m_nCount <= 0) return;
    // A growing lent array is walked only over its new points.
    // Coordinates without a single finite value are left as the caller set them.
    const CurvePointSummary& s = curve.GetPointSummary();
    if (s.anyX) {
        xMin = s.xMin;
        xMax = s.xMax;
    }
    if (s.anyY) {
        yMin = s.yMin;
        yMax = s.yMax;
    }
}

void CXGraph::FitAxesToCurve(int xAxis, int yAxis, int n)
{
    if (n < 0 || n >= GetCurveCount()) return;
    const CXGraphDataSerie& curve = m_Curves[static_cast<std::size_t>(n)];
    if (!curve.m_pPoints || curve.m_nCount <= 0) return;
    double xMin = NAN, xMax = NAN, yMin = NAN, yMax = NAN;
    GetCurveExtent(curve, xMin, xMax, yMin, yMax);
    // What the user chose to see of an axis stays; its base range, where a reset goes back to,
    // follows the data.
    if (xAxis >= 0 && xAxis < GetXAxisCount()) m_XAxes[static_cast<std::size_t>(xAxis)].FitRange(xMin, xMax);
    if (yAxis >= 0 && yAxis < GetYAxisCount()) m_YAxes[static_cast<std::size_t>(yAxis)].FitRange(yMin, yMax);
}

bool CXGraph::DeleteCurve(int n)
{
    if (n < 0 || n >= GetCurveCount()) return false;
    m_Curves.erase(m_Curves.begin() + n);
    return true;
}

bool CXGraph::DeleteXAxis(int n)
{
    if (n < 0 || n >= GetXAxisCount()) return false;
    m_XAxes.erase(m_XAxes.begin() + n);
    return true;
}

bool CXGraph::DeleteYAxis(int n)
{
    if (n < 0 || n >= GetYAxisCount()) return false;
    m_YAxes.erase(m_YAxes.begin() + n);
    return true;
}

int CXGraph::GetCurveIndex(const CXGraphDataSerie* curve) const
{
    for (std::size_t i = 0; i < m_Curves.size(); ++i) {
        if (&m_Curves[i] == curve) return static_cast<int>(i);
    }
    return -1;
}

int CXGraph::GetAxisIndex(const CXGraphAxis* axis) const
{
    for (std::size_t i = 0; i < m_XAxes.size(); ++i) {
        if (&m_XAxes[i] == axis) return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < m_YAxes.size(); ++i) {
        if (&m_YAxes[i] == axis) return static_cast<int>(i);
    }
    return -1;
}

bool CXGraph::GetCurveAxes(int curve, CXGraphAxis*& xAxis, CXGraphAxis*& yAxis)
{
    if (curve < 0 || curve >= GetCurveCount()) return false;
    const CXGraphDataSerie& c = m_Curves[static_cast<std::size_t>(curve)];
    if (c.m_nXAxis < 0 || c.m_nXAxis >= GetXAxisCount() || c.m_nYAxis < 0 || c.m_nYAxis >= GetYAxisCount()) return false;
    xAxis = &m_XAxes[static_cast<std::size_t>(c.m_nXAxis)];
    yAxis = &m_YAxes[static_cast<std::size_t>(c.m_nYAxis)];
    return true;
}

void CXGraph::SetDecimalPlaces(int axis, int places, int which)
{
    const auto set = [&](std::vector<CXGraphAxis>& axes) {
        if (axis >= 0 && axis < static_cast<int>(axes.size())) axes[static_cast<std::size_t>(axis)].SetDecimalPlaces(static_cast<unsigned>(places));
    };
    if (which == 0 || which == 2) set(m_XAxes);
    if (which == 1 || which == 2) set(m_YAxes);
}

CXGraphLabel* CXGraph::CreateLabel(int left, int top, int right, int bottom, const CString& text)
{
    auto* label = new CXGraphLabel();
    label->SetRect(left, top, right, bottom);
    label->SetText(text);
    label->m_pGraph = this;
    m_Objects.push_back(label);
    return label;
}

CXGraphLabel* CXGraph::InsertLabel(const CString& text)
{
    const CPoint c = m_rcPlot.CenterPoint();
    return CreateLabel(c.x - 50, c.y - 50, c.x + 50, c.y + 50, text);
}

int CXGraph::FindCurvePoint(int curve, double x)
{
    CXGraphAxis* xAxis = nullptr;
    CXGraphAxis* yAxis = nullptr;
    if (!GetCurveAxes(curve, xAxis, yAxis)) return -1;
    int index = 0;
    xAxis->FindPointIndex(index, x, curve);
    // The search may answer one past the last point; a point read or written must exist.
    return ClampPointIndex(index, m_Curves[static_cast<std::size_t>(curve)].m_nCount);
}

CXGraph::PickedPoint CXGraph::PickCurvePoint(int curve, CPoint at)
{
    PickedPoint picked;
    CXGraphAxis* xAxis = nullptr;
    CXGraphAxis* yAxis = nullptr;
    if (!GetCurveAxes(curve, xAxis, yAxis)) return picked;
    const CXGraphDataSerie& c = m_Curves[static_cast<std::size_t>(curve)];
    if (!c.m_pPoints || c.m_nCount <= 0) return picked;
    if (c.IsXAscending()) {
        picked.index = FindCurvePoint(curve, xAxis->GetValueForPos(at.x));
        if (picked.index < 0) return picked;
        picked.pixel = CPoint(at.x, yAxis->GetPointForValue(c.m_pPoints[picked.index]).y);
        picked.distance = std::fabs(static_cast<double>(at.y - picked.pixel.y));
        return picked;
    }
    // Over a channel the same x comes back at other heights (a torque over its angle, going
    // and coming back): the first point with the nearest x may lie far from the pixel.
    const AxisMapping mapX = xAxis->GetMapping();
    const AxisMapping mapY = yAxis->GetMapping();
    double best = -1.0;
    for (int i = 0; i < c.m_nCount; ++i) {
        const double dx = mapX.Map(c.m_pPoints[i].x) - at.x;
        const double dy = mapY.Map(c.m_pPoints[i].y) - at.y;
        const double d = dx * dx + dy * dy;
        if (best >= 0.0 && !(d < best)) continue;
        best = d;
        picked.index = i;
    }
    if (picked.index < 0) return picked;
    picked.pixel = CPoint(mapX.Map(c.m_pPoints[picked.index].x), mapY.Map(c.m_pPoints[picked.index].y));
    picked.distance = std::sqrt(best);
    return picked;
}

const ChartPoint* CXGraph::MeasuredPoint(const MeasurePoint& point)
{
    if (point.curve < 0 || point.curve >= GetCurveCount()) return nullptr;
    const CXGraphDataSerie& c = m_Curves[static_cast<std::size_t>(point.curve)];
    if (!c.m_pPoints || point.index < 0 || point.index >= c.m_nCount) return nullptr;
    return &c.m_pPoints[point.index];
}

CString CXGraph::NotationText(int curve, int index)
{
    CXGraphAxis* xAxis = nullptr;
    CXGraphAxis* yAxis = nullptr;
    const ChartPoint* p = MeasuredPoint({curve, index});
    if (!p || !GetCurveAxes(curve, xAxis, yAxis)) return CString();
    const CString xText = xAxis->FormatTickLabel(p->x, xAxis->m_bDateTime);
    const CString yText = yAxis->FormatTickLabel(p->y, yAxis->m_bDateTime);
    return CString::Formatted("[%d] : %s%s,%s%s", index + 1, xText.GetString(), xAxis->m_sLabel.GetString(), yText.GetString(),
                              yAxis->m_sLabel.GetString());
}

void CXGraph::InsertDataNotation(int curve, int index)
{
    if (curve < 0 || curve >= GetCurveCount()) return;
    index = ClampPointIndex(index, m_Curves[static_cast<std::size_t>(curve)].m_nCount);
    const ChartPoint* p = MeasuredPoint({curve, index});
    if (!p) return;
    auto* notation = new CXGraphDataNotation();
    notation->m_sText = NotationText(curve, index);
    notation->m_dX = p->x;
    notation->m_dY = p->y;
    notation->m_nCurve = curve;
    notation->m_nIndex = index;
    notation->m_pGraph = this;
    m_Objects.push_back(notation);
    Invalidate(true);
}

int CXGraph::GetZoomDepth() const
{
    if (m_XAxes.empty()) return 0;
    return static_cast<int>(m_XAxes[0].m_ZoomHistory.size());
}

// ---------------------------------------------------------------------------------------------
// Mode commands

void CXGraph::OnSelectMode()
{
    HideCursorLabel();
    m_nOperation = OP_SELECT;
    Invalidate(true);
}

void CXGraph::OnZoomMode()
{
    HideCursorLabel();
    m_rcZoom.SetRectEmpty();
    m_nOperation = OP_ZOOM;
    Invalidate(true);
}

void CXGraph::OnResetZoom()
{
    HideCursorLabel();
    for (CXGraphAxis& axis : m_YAxes) axis.ResetZoom();
    for (CXGraphAxis& axis : m_XAxes) axis.ResetZoom();
    Invalidate(true);
}

void CXGraph::OnPanMode()
{
    HideCursorLabel();
    m_nOperation = OP_PAN;
    for (CXGraphAxis& axis : m_YAxes) axis.HoldAutoScale();
    for (CXGraphAxis& axis : m_XAxes) axis.HoldAutoScale();
    Invalidate(true);
}

void CXGraph::ResumeAutoScale()
{
    for (CXGraphAxis& axis : m_YAxes) axis.ResumeAutoScale();
    for (CXGraphAxis& axis : m_XAxes) axis.ResumeAutoScale();
}

void CXGraph::OnCursorMode()
{
    OnPanMode();
    m_nMeasureCurveStart = m_nCursorCurve;
    m_ptHit = CPoint(-1, -1);
    m_nOperation = OP_CURSOR;
    if (m_nOptions & OPT_CURSOR_LABEL) {
        m_CursorLabel.SetRect(m_rcPlot.left + 1, m_rcPlot.top, m_rcPlot.left + 150, m_rcPlot.top + 50);
    }
}

void CXGraph::OnUndoZoom()
{
    const auto undo = [](CXGraphAxis& axis) {
        if (axis.m_ZoomHistory.empty()) return;
        const AxisZoomEntry last = axis.m_ZoomHistory.back();
        axis.m_ZoomHistory.pop_back();
        // A range the axis was only fitted to is of data that may have grown since (a
        // measurement goes on, or a new one started): the data as they stand now are shown.
        const bool refitted = last.baseMin != axis.m_dBaseMin || last.baseMax != axis.m_dBaseMax;
        if (!last.userRange && refitted) {
            axis.ReleaseUserRange();
            axis.ResumeAutoScale();
            axis.m_dMin = axis.m_dBaseMin;
            axis.m_dMax = axis.m_dBaseMax;
        } else {
            if (last.userRange) axis.HoldUserRange();
            else axis.ReleaseUserRange();
            if (last.scalingHeld) axis.HoldAutoScale();
            axis.m_dMin = last.min;
            axis.m_dMax = last.max;
        }
        axis.CalcStepFromLabelSize();
    };
    for (CXGraphAxis& axis : m_YAxes) undo(axis);
    for (CXGraphAxis& axis : m_XAxes) undo(axis);
    Notify(XG_ZOOMCHANGED, 0);
    m_rcZoom.SetRectEmpty();
    Invalidate(true);
}

void CXGraph::OnMeasureMode()
{
    m_nOperation = OP_MEASURE;
    m_rcMeasure.SetRectEmpty();
    Invalidate(true);
}

void CXGraph::OnPointMode()
{
    m_nOperation = OP_POINT;
    Invalidate(true);
}

void CXGraph::OnInsertLabel()
{
    InsertLabel(CString());
    Invalidate(true);
}

void CXGraph::OnEditObject() { SelectAtCursor(true, false); }

void CXGraph::OnProperties() { Notify(XG_PROPERTIES, 0); }

void CXGraph::OnLinearTrend()
{
    const int curve = GetTrendCurve();
    if (curve >= 0) AddLinearTrend(curve);
}

void CXGraph::OnCubicTrend()
{
    const int curve = GetTrendCurve();
    if (curve >= 0) AddCubicTrend(curve);
}

void CXGraph::AddTrend(int curve, ChartPoint* points, chart::ChartText kind)
{
    if (!points) return;
    const CXGraphDataSerie& source = m_Curves[static_cast<std::size_t>(curve)];
    const int count = source.m_nCount;
    const int xAxis = source.m_nXAxis;
    const int yAxis = source.m_nYAxis;
    // Named in the language shown when the trend is made, as the rest of the legend is.
    const CString name = source.m_sLabel + " " + chart::ChartTextOf(kind);
    CXGraphDataSerie* trend = SetCurveData(points, count, GetCurveCount(), xAxis, yAxis, false, true, false);
    if (trend) trend->SetLabel(name);
    delete[] points;
    Invalidate(true);
}

void CXGraph::AddLinearTrend(int curve)
{
    if (curve < 0 || curve >= GetCurveCount()) return;
    AddTrend(curve, m_Curves[static_cast<std::size_t>(curve)].GetLinearTrend(0), chart::ChartText::LinearTrend);
}

void CXGraph::AddCubicTrend(int curve)
{
    if (curve < 0 || curve >= GetCurveCount()) return;
    AddTrend(curve, m_Curves[static_cast<std::size_t>(curve)].GetCubicTrend(0), chart::ChartText::CubicTrend);
}

bool CXGraph::SelectCurve(int n)
{
    if (n < 0 || n >= GetCurveCount()) return false;
    for (std::size_t i = 0; i < m_Curves.size(); ++i) m_Curves[i].m_bSelected = static_cast<int>(i) == n;
    Invalidate(true);
    return true;
}

bool CXGraph::SelectXAxis(int n)
{
    if (n < 0 || n >= GetXAxisCount()) return false;
    for (std::size_t i = 0; i < m_XAxes.size(); ++i) m_XAxes[i].m_bSelected = static_cast<int>(i) == n;
    Invalidate(true);
    return true;
}

bool CXGraph::SelectYAxis(int n)
{
    if (n < 0 || n >= GetYAxisCount()) return false;
    for (std::size_t i = 0; i < m_YAxes.size(); ++i) m_YAxes[i].m_bSelected = static_cast<int>(i) == n;
    Invalidate(true);
    return true;
}

void CXGraph::ShowCurve(int n, bool visible)
{
    if (n < 0 || n >= GetCurveCount()) return;
    m_Curves[static_cast<std::size_t>(n)].m_bVisible = visible;
    Invalidate(true);
}

void CXGraph::ResetAll()
{
    m_XAxes.clear();
    m_YAxes.clear();
    m_Curves.clear();
    for (auto it = std::next(m_Objects.begin()); it != m_Objects.end(); ++it) delete *it;
    m_Objects.erase(std::next(m_Objects.begin()), m_Objects.end());
    // Nothing may point at what was just deleted.
    m_pSelectedObject = nullptr;
    m_pActiveObject = nullptr;
    m_LegendEntries.clear();
}
