#include "chart/xgraph_object.h"

#include "chart/dcex.h"
#include "chart/xgraph.h"
#include "chart/xgraph_label.h"

CXGraphObject::~CXGraphObject() = default;

void CXGraphObject::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_bSelected << m_bMoveable << m_bSizeable << m_bTracking << m_bEditing << m_bVisible << m_bEditable;
        ar << static_cast<std::int32_t>(m_Rect.left) << static_cast<std::int32_t>(m_Rect.top)
           << static_cast<std::int32_t>(m_Rect.right) << static_cast<std::int32_t>(m_Rect.bottom);
        ar << m_crColor;
    } else {
        ar >> m_bSelected >> m_bMoveable >> m_bSizeable >> m_bTracking >> m_bEditing >> m_bVisible >> m_bEditable;
        std::int32_t l, t, r, b;
        ar >> l >> t >> r >> b;
        m_Rect.SetRect(l, t, r, b);
        ar >> m_crColor;
    }
}

void CXGraphObject::Draw(CDCEx*) {}

void CXGraphObject::BeginTrack()
{
    m_bTracking = true;
    m_Tracker.m_nStyle = CRectTracker::resizeOutside | CRectTracker::hatchedBorder;
    m_Tracker.m_rect = m_Rect;
}

void CXGraphObject::EndTrack() { m_bTracking = false; }

// ---------------------------------------------------------------------------------------------

CXGraphDataNotation::CXGraphDataNotation()
{
    m_Font.CreateFont(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_CHARACTER_PRECIS,
                      ANTIALIASED_QUALITY, 0, "Arial");
    m_bMoveable = false;
    m_bSizeable = false;
    m_bEditable = false;
    m_crColor = 0;
}

void CXGraphDataNotation::Serialize(CArchive& ar)
{
    CXGraphObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_dX << m_dY << static_cast<std::int32_t>(m_nCurve) << static_cast<std::int32_t>(m_nIndex) << m_sText;
    } else {
        std::int32_t curve, index;
        ar >> m_dX >> m_dY >> curve >> index >> m_sText;
        m_nCurve = curve;
        m_nIndex = index;
    }
}

void CXGraphDataNotation::Draw(CDCEx* dc)
{
    if (!m_bVisible || !m_pGraph) return;
    // A notation of a curve that is gone (or never existed in a loaded file) is not drawn.
    CXGraphAxis* xAxis = nullptr;
    CXGraphAxis* yAxis = nullptr;
    if (!m_pGraph->GetCurveAxes(m_nCurve, xAxis, yAxis)) return;
    // It shows the point it is pinned to as that point is now (a loaded notation, or one over a
    // curve drawn anew); a point its curve does not have (yet) shows nothing.
    const ChartPoint* point = m_pGraph->MeasuredPoint({m_nCurve, m_nIndex});
    if (!point) return;
    const CString now = m_pGraph->NotationText(m_nCurve, m_nIndex);
    // Measured on the screen: a print pass keeps the size (its context counts in its own units).
    if (now != m_sText && !dc->m_bScaling) m_bMeasured = false;
    m_sText = now;
    m_dX = point->x;
    m_dY = point->y;
    if (m_bTracking) m_Tracker.Draw(dc);
    CFontSelector font(&m_Font, dc, true);
    const ChartPoint value{m_dX, m_dY};
    const int px = xAxis->GetPointForValue(value).x;
    const int py = yAxis->GetPointForValue(value).y;
    if (!m_bMeasured && !dc->m_bScaling) {
        m_Rect = CRect(px, py - 20, px + 1, py);
        dc->DrawText(m_sText, m_Rect, DT_CALCRECT | DT_CENTER);
        m_bMeasured = true;
    }
    const int width = m_Rect.Width();
    const int height = m_Rect.Height();
    m_Rect = CRect(px, py - 20, px + width, py - 20 + height);
    CRect frame = m_Rect;
    frame.InflateRect(1, 1);
    dc->FillSolidRect(frame, RGB(0, 0, 0));
    dc->FillSolidRect(m_Rect, RGB(255, 255, 255));
    CRect text = m_Rect;
    dc->DrawText(m_sText, text, DT_CENTER);
    dc->FillSolidRect(px - 1, py - 1, 3, 3, RGB(0, 0, 0));
    dc->MoveTo(px, py);
    dc->LineTo(px, m_Rect.bottom);
}

std::unique_ptr<CXGraphObject> CreateChartObject(const std::string& className)
{
    if (className == "CXGraphLabel") return std::make_unique<CXGraphLabel>();
    if (className == "CXGraphDataNotation") return std::make_unique<CXGraphDataNotation>();
    return nullptr;
}
