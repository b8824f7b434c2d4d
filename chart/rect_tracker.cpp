#include "chart/rect_tracker.h"

#include "chart/dcex.h"

CRect CRectTracker::HandleRect(int handle) const
{
    // With resizeOutside the handles sit just outside the rectangle.
    const int s = m_nHandleSize;
    const int out = (m_nStyle & resizeOutside) ? s : 0;
    CRect r = m_rect;
    r.NormalizeRect();
    const int left = r.left - out;
    const int right = r.right + out - s;
    const int top = r.top - out;
    const int bottom = r.bottom + out - s;
    const int midX = (r.left + r.right - s) / 2;
    const int midY = (r.top + r.bottom - s) / 2;
    switch (handle) {
    case hitTopLeft: return {left, top, left + s, top + s};
    case hitTopRight: return {right, top, right + s, top + s};
    case hitBottomRight: return {right, bottom, right + s, bottom + s};
    case hitBottomLeft: return {left, bottom, left + s, bottom + s};
    case hitTop: return {midX, top, midX + s, top + s};
    case hitRight: return {right, midY, right + s, midY + s};
    case hitBottom: return {midX, bottom, midX + s, bottom + s};
    case hitLeft: return {left, midY, left + s, midY + s};
    default: return {};
    }
}

int CRectTracker::HitTest(CPoint point) const
{
    for (int h = hitTopLeft; h <= hitLeft; ++h) {
        if (HandleRect(h).PtInRect(point)) return h;
    }
    CRect r = m_rect;
    r.NormalizeRect();
    if (m_nStyle & hatchedBorder) r.InflateRect(m_nHandleSize, m_nHandleSize);
    return r.PtInRect(point) ? hitMiddle : hitNothing;
}

void CRectTracker::Draw(CDCEx* dc) const
{
    CRect r = m_rect;
    r.NormalizeRect();
    if (m_nStyle & hatchedBorder) {
        CBrushSelector hatch(RGB(0, 0, 0), HS_BDIAGONAL, dc);
        const int bkMode = dc->SetBkMode(TRANSPARENT);
        const int s = m_nHandleSize;
        const CRect bands[4] = {{r.left - s, r.top - s, r.right + s, r.top},
                                {r.left - s, r.bottom, r.right + s, r.bottom + s},
                                {r.left - s, r.top, r.left, r.bottom},
                                {r.right, r.top, r.right + s, r.bottom}};
        CBrush brush;
        brush.CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 0));
        for (const CRect& band : bands) dc->FillRect(band, &brush);
        dc->SetBkMode(bkMode);
    }
    if (m_nStyle & (resizeOutside | resizeInside)) {
        for (int h = hitTopLeft; h <= hitLeft; ++h) dc->FillSolidRect(HandleRect(h), RGB(0, 0, 0));
    }
}

void CRectTracker::BeginDrag(int hit, CPoint start)
{
    m_dragHit = hit;
    m_dragStart = start;
    m_dragOriginal = m_rect;
}

void CRectTracker::DragTo(CPoint point)
{
    if (m_dragHit == hitNothing) return;
    const int dx = point.x - m_dragStart.x;
    const int dy = point.y - m_dragStart.y;
    CRect r = m_dragOriginal;
    switch (m_dragHit) {
    case hitMiddle: r.OffsetRect(dx, dy); break;
    case hitTopLeft: r.left += dx; r.top += dy; break;
    case hitTopRight: r.right += dx; r.top += dy; break;
    case hitBottomRight: r.right += dx; r.bottom += dy; break;
    case hitBottomLeft: r.left += dx; r.bottom += dy; break;
    case hitTop: r.top += dy; break;
    case hitRight: r.right += dx; break;
    case hitBottom: r.bottom += dy; break;
    case hitLeft: r.left += dx; break;
    default: break;
    }
    m_rect = r;
}

bool CRectTracker::EndDrag()
{
    if (m_dragHit == hitNothing) return false;
    m_dragHit = hitNothing;
    m_rect.NormalizeRect();
    return !(m_rect == m_dragOriginal);
}
