#include "chart/xgraph_data_serie.h"

#include <cmath>
#include <cstring>

#include "chart/column_path.h"
#include "chart/dcex.h"
#include "chart/plane_geometry.h"
#include "chart/xgraph.h"

CXGraphDataSerie::CXGraphDataSerie()
{
    m_bVisible = true;
    m_crColor = 0;
}

CXGraphDataSerie::CXGraphDataSerie(const CXGraphDataSerie& other) : CXGraphObject(other)
{
    *this = other;
}

CXGraphDataSerie& CXGraphDataSerie::operator=(const CXGraphDataSerie& o)
{
    if (this == &o) return *this;
    CXGraphObject::operator=(o);
    CopyPointsFrom(o);
    CopySettingsFrom(o);
    m_sLabel = o.m_sLabel;
    m_Segments = o.m_Segments;
    return *this;
}

CXGraphDataSerie::CXGraphDataSerie(CXGraphDataSerie&& other) noexcept : CXGraphObject(other)
{
    *this = std::move(other);
}

CXGraphDataSerie& CXGraphDataSerie::operator=(CXGraphDataSerie&& o) noexcept
{
    if (this == &o) return *this;
    ReleasePoints();
    CXGraphObject::operator=(o);
    m_pPoints = o.m_pPoints;
    m_nCount = o.m_nCount;
    m_bAutoDelete = o.m_bAutoDelete;
    m_Summary = o.m_Summary;
    m_Columns = std::move(o.m_Columns);
    o.m_pPoints = nullptr;
    o.m_nCount = 0;
    o.m_bAutoDelete = false;
    o.ForgetSummary();
    CopySettingsFrom(o);
    m_sLabel = std::move(o.m_sLabel);
    m_Segments = std::move(o.m_Segments);
    return *this;
}

CXGraphDataSerie::~CXGraphDataSerie() { ReleasePoints(); }

// Everything but the points, the label and the segments, which copying and moving treat apart.
void CXGraphDataSerie::CopySettingsFrom(const CXGraphDataSerie& o)
{
    m_nFirstIndex = o.m_nFirstIndex;
    m_nLastIndex = o.m_nLastIndex;
    m_nXAxis = o.m_nXAxis;
    m_nYAxis = o.m_nYAxis;
    m_nIndex = o.m_nIndex;
    m_nLineWidth = o.m_nLineWidth;
    m_nFillStyle = o.m_nFillStyle;
    m_nMarkerType = o.m_nMarkerType;
    m_nMarker = o.m_nMarker;
    m_nMarkerSize = o.m_nMarkerSize;
    m_nLineStyle = o.m_nLineStyle;
    m_bShowMarker = o.m_bShowMarker;
    m_bFillArea = o.m_bFillArea;
    m_bFillTransparent = o.m_bFillTransparent;
    m_crFillColor = o.m_crFillColor;
    m_nType = o.m_nType;
    m_nFillCurve = o.m_nFillCurve;
}

void CXGraphDataSerie::ReleasePoints()
{
    if (m_bAutoDelete) delete[] m_pPoints;
    m_pPoints = nullptr;
    m_bAutoDelete = false;
    ForgetSummary();
}

void CXGraphDataSerie::CopyPointsFrom(const CXGraphDataSerie& o)
{
    ReleasePoints();
    m_nCount = o.m_nCount;
    if (o.m_bAutoDelete && o.m_pPoints) {
        m_pPoints = new ChartPoint[static_cast<std::size_t>(std::max(o.m_nCount, 0))];
        if (o.m_nCount > 0) std::memcpy(m_pPoints, o.m_pPoints, sizeof(ChartPoint) * static_cast<std::size_t>(o.m_nCount));
        m_bAutoDelete = true;
    } else {
        m_pPoints = o.m_pPoints;
        m_bAutoDelete = false;
    }
}

void CXGraphDataSerie::SetPoints(const ChartPoint* points, int count, bool copy)
{
    // The same lent array again, longer: what was walked of it still holds. Handed back at the
    // same length it may have been rewritten in place, so it is walked afresh.
    const bool sameLentArray = !copy && !m_bAutoDelete && points && points == m_pPoints && count > m_nCount;
    const CurvePointSummary walked = m_Summary;
    chart::ColumnPathCache columns = std::move(m_Columns);
    ReleasePoints();
    if (sameLentArray) {
        m_Summary = walked;
        m_Columns = std::move(columns);
    }
    m_nCount = std::max(count, 0);
    if (copy && points) {
        m_pPoints = new ChartPoint[static_cast<std::size_t>(m_nCount)];
        std::memcpy(m_pPoints, points, sizeof(ChartPoint) * static_cast<std::size_t>(m_nCount));
        m_bAutoDelete = true;
    } else {
        m_pPoints = const_cast<ChartPoint*>(points);
        m_bAutoDelete = false;
    }
}

bool CXGraphDataSerie::SetPointY(int index, double y)
{
    if (!m_pPoints || index < 0 || index >= m_nCount) return false;
    m_pPoints[index].y = y;
    ForgetSummary();
    return true;
}

const CurvePointSummary& CXGraphDataSerie::GetPointSummary() const
{
    CurvePointSummary& s = m_Summary;
    if (s.points != m_pPoints || s.walked > m_nCount) {
        s = CurvePointSummary();
        s.points = m_pPoints;
    }
    if (!m_pPoints || m_nCount <= 0 || s.walked >= m_nCount) return s;
    // The extent is that of the values that are numbers: one point that is not a number, or
    // is infinite, would otherwise leave the axes without any range to show the others in.
    const auto widen = [](double v, bool& any, double& low, double& high) {
        if (!std::isfinite(v)) return;
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    };
    for (int k = s.walked; k < m_nCount; ++k) {
        const ChartPoint& p = m_pPoints[k];
        widen(p.x, s.anyX, s.xMin, s.xMax);
        widen(p.y, s.anyY, s.yMin, s.yMax);
        // A value that is not a number is in no order.
        if (k > 0 && !(p.x >= m_pPoints[k - 1].x)) s.xAscending = false;
    }
    s.walked = m_nCount;
    return s;
}

double CXGraphDataSerie::GetY(int index) const
{
    if (!m_pPoints || index < 0 || index >= m_nCount) return 0.0;
    return m_pPoints[index].y;
}

bool CXGraphDataSerie::IsNearSegment(int x1, int y1, int x2, int y2, int px, int py, int width)
{
    const int t = std::max(width / 2, 1);
    const POINT p0{x1, y1};
    const POINT p1{x2, y2};
    const POINT p{px, py};
    const double d = DistanceToSegment(&p0, &p1, &p);
    return -t <= d && d <= t;
}

void CXGraphDataSerie::Serialize(CArchive& ar)
{
    CXGraphObject::Serialize(ar);
    if (ar.IsStoring()) {
        const int count = m_pPoints ? m_nCount : 0;
        ar << static_cast<std::uint32_t>(count);
        for (int i = 0; i < count; ++i) ar << m_pPoints[i].x << m_pPoints[i].y;
        for (int v : {m_nFirstIndex, m_nLastIndex, m_nXAxis, m_nYAxis, m_nIndex, m_nLineWidth, m_nFillStyle, m_nMarkerType,
                      m_nMarker, m_nMarkerSize, m_nLineStyle}) {
            ar << static_cast<std::int32_t>(v);
        }
        ar << m_bShowMarker << m_bFillArea << m_bFillTransparent << static_cast<std::int16_t>(m_nFillCurve) << m_crFillColor
           << m_sLabel << static_cast<std::int32_t>(m_nType);
        return;
    }
    std::uint32_t count;
    ar >> count;
    if (count > ar.Remaining() / sizeof(ChartPoint) || count > 0x7FFFFFFFu) {
        throw CArchiveException("chart file counts more curve points than it holds");
    }
    ReleasePoints();
    m_pPoints = new ChartPoint[count];
    m_bAutoDelete = true;
    m_nCount = static_cast<int>(count);
    for (std::uint32_t i = 0; i < count; ++i) ar >> m_pPoints[i].x >> m_pPoints[i].y;
    std::int32_t v[11];
    for (auto& x : v) ar >> x;
    m_nFirstIndex = v[0];
    m_nLastIndex = v[1];
    m_nXAxis = v[2];
    m_nYAxis = v[3];
    m_nIndex = v[4];
    m_nLineWidth = v[5];
    m_nFillStyle = v[6];
    m_nMarkerType = v[7];
    m_nMarker = v[8];
    m_nMarkerSize = v[9];
    m_nLineStyle = v[10];
    std::int16_t fillCurve;
    std::int32_t type;
    ar >> m_bShowMarker >> m_bFillArea >> m_bFillTransparent >> fillCurve >> m_crFillColor >> m_sLabel >> type;
    m_nFillCurve = fillCurve;
    m_nType = type;
}

void CXGraphDataSerie::Draw(CDCEx* dc)
{
    static thread_local std::vector<POINT> path;
    if (BuildPath(path)) DrawPath(dc, path, 0, GetLook(dc->m_bMonochrome));
}

const CXGraphDataSerie* CXGraphDataSerie::FillTarget(bool& fill) const
{
    // The fill target must be a curve with points and axes; otherwise the area is not filled.
    fill = m_bFillArea;
    if (!fill || m_nFillCurve == -1) return nullptr;
    CXGraphAxis* tx = nullptr;
    CXGraphAxis* ty = nullptr;
    if (m_pGraph->GetCurveAxes(m_nFillCurve, tx, ty) && m_pGraph->GetCurve(m_nFillCurve).m_pPoints &&
        m_pGraph->GetCurve(m_nFillCurve).m_nCount > 0)
        return &m_pGraph->GetCurve(m_nFillCurve);
    fill = false;
    return nullptr;
}

CurveLook CXGraphDataSerie::GetLook(bool mono) const
{
    CurveLook look;
    look.color = m_crColor;
    if (mono) look.color = RGB(0, 0, 0);
    else if (m_bSelected) look.color = RGB(255 - GetRValue(look.color), 255 - GetGValue(look.color), 255 - GetBValue(look.color));
    look.width = std::clamp(m_nLineWidth, 0, 100);
    look.style = m_nLineStyle;
    look.type = m_nType;
    if (m_pGraph) FillTarget(look.filled);
    return look;
}

bool CXGraphDataSerie::BuildPath(std::vector<POINT>& path)
{
    m_Segments.clear();
    path.clear();
    if (!m_pGraph || !m_pPoints || m_nCount <= 0) return false;
    if (m_nXAxis < 0 || m_nXAxis >= m_pGraph->GetXAxisCount() || m_nYAxis < 0 || m_nYAxis >= m_pGraph->GetYAxisCount()) return false;
    const CXGraphAxis& xAxis = m_pGraph->GetXAxis(m_nXAxis);
    const CXGraphAxis& yAxis = m_pGraph->GetYAxis(m_nYAxis);
    const CRect plot = m_pGraph->m_rcPlot;
    // A plot squeezed to nothing (a narrow diagram with several Y axes) shows no curve, so its
    // points are not read: a growing curve would otherwise be mapped in full at every paint.
    if (plot.Width() <= 0 || plot.Height() <= 0 || xAxis.m_nLength <= 0) return false;

    // Points far left or right of the plot draw nothing there, unless an area between two curves
    // closes over the whole curve; a wide pen reaches a few pixels beyond its points.
    bool fill;
    const CXGraphDataSerie* target = FillTarget(fill);
    const int reach = std::clamp(m_nLineWidth, 0, 100) + 2;
    const bool visibleOnly = !target && IsXAscending();
    chart::BuildColumnPath(m_pPoints, m_nCount, xAxis.GetMapping(), yAxis.GetMapping(), visibleOnly, plot.left - reach,
                           plot.right + reach, path, &m_Columns);
    if (path.empty()) return false;

    const int n = static_cast<int>(path.size());
    m_Segments.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i < n; ++i) {
        const CPoint a(path[static_cast<std::size_t>(i - 1)]);
        const CPoint b(path[static_cast<std::size_t>(i)]);
        if (plot.PtInRect(b) || plot.PtInRect(a)) AddSegment(a.x, a.y, b.x, b.y);
    }
    return true;
}

void CXGraphDataSerie::DrawPath(CDCEx* dc, const std::vector<POINT>& path, std::size_t from, const CurveLook& look)
{
    if (from >= path.size()) return;
    const CRect plot = m_pGraph->m_rcPlot;
    CPenSelector pen(look.color, look.width, dc, look.style);
    const int width = look.width;
    const POINT* first = path.data() + from;
    const int n = static_cast<int>(path.size() - from);
    if (look.type == 0) {
        dc->Polyline(first, n);
        dc->MoveTo(path.back());
    } else {
        for (int i = 0; i < n; ++i) dc->Ellipse(first[i].x - width, first[i].y - width, first[i].x + width, first[i].y + width);
    }
    // The area is filled only under a curve drawn whole.
    if (!look.filled || from != 0) return;
    bool fill;
    const CXGraphDataSerie* target = FillTarget(fill);

    std::vector<POINT> polygon;
    polygon.reserve(path.size() + (target ? static_cast<std::size_t>(target->m_nCount) : 2));
    polygon.assign(path.begin(), path.end());
    if (!target) {
        polygon.push_back(POINT{path.back().x, plot.bottom});
        polygon.push_back(POINT{path.front().x, plot.bottom});
    } else {
        CXGraphAxis* targetX = nullptr;
        CXGraphAxis* targetY = nullptr;
        m_pGraph->GetCurveAxes(m_nFillCurve, targetX, targetY);
        const AxisMapping tx = targetX->GetMapping();
        const AxisMapping ty = targetY->GetMapping();
        for (int i = target->m_nCount - 1; i >= 0; --i) {
            const ChartPoint& q = target->m_pPoints[i];
            polygon.push_back(POINT{tx.Map(q.x), ty.Map(q.y)});
        }
    }
    const int bkMode = dc->SetBkMode(m_bFillTransparent ? TRANSPARENT : OPAQUE);
    const int rop = m_bFillTransparent ? dc->SetROP2(R2_NOTXORPEN) : dc->GetROP2();
    CPenSelector noPen(0, 0, dc, PS_NULL);
    const COLORREF fillColor = dc->m_bMonochrome ? RGB(0, 0, 0) : m_crFillColor;
    std::unique_ptr<CBrushSelector> brush;
    if (m_nFillStyle >= 0 && m_nFillStyle <= 5) brush = std::make_unique<CBrushSelector>(fillColor, m_nFillStyle, dc);
    else brush = std::make_unique<CBrushSelector>(fillColor, dc);
    dc->Polygon(polygon.data(), static_cast<int>(polygon.size()));
    brush.reset();
    dc->SetBkMode(bkMode);
    dc->SetROP2(rop);
}

void CXGraphDataSerie::DrawMarkers(CDCEx* dc)
{
    if (!m_pGraph || !m_pPoints || m_nCount <= 0) return;
    // A marker size of 0 (possible in a file) would divide by zero; such a curve gets none.
    if (m_nMarkerSize <= 0) return;
    if (m_nXAxis < 0 || m_nXAxis >= m_pGraph->GetXAxisCount() || m_nYAxis < 0 || m_nYAxis >= m_pGraph->GetYAxisCount()) return;
    CXGraphAxis& xAxis = m_pGraph->GetXAxis(m_nXAxis);
    CXGraphAxis& yAxis = m_pGraph->GetYAxis(m_nYAxis);
    const int markerSlots = (m_pGraph->m_rcPlot.Width() / m_nMarkerSize) / 4;
    int step = markerSlots > 0 ? m_nCount / markerSlots : 2;
    if (step <= 0) step = 2;
    if (m_pGraph->m_nOperation == chart::OP_POINT) step = 1;
    const int symbol = m_nMarkerType == 1 ? m_nMarker : m_pGraph->GetCurveIndex(this);
    const COLORREF color = dc->m_bMonochrome ? RGB(0, 0, 0) : m_crColor;
    for (int i = 0; i < m_nCount; i += step) {
        const int x = xAxis.GetPointForValue(m_pPoints[i]).x - m_nMarkerSize / 2;
        const int y = yAxis.GetPointForValue(m_pPoints[i]).y - m_nMarkerSize / 2;
        yAxis.DrawCurveMarker(dc, x, y, symbol, m_nMarkerSize, color, m_nMarkerType == 1);
    }
}
