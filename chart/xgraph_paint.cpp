// Painting of the chart: layout of legend and axes, the back buffer with axes and curves, the
// overlays (zoom rectangle, measurement, cursor, objects, hover value) and the live
// measurement's display.

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "chart/painter_device.h"
#include "chart/value_format.h"
#include "chart/xgraph.h"

using namespace chart;

namespace {

// Fills outer but for hole, which the caller fills right after. A hole that is not a rectangle
// inside outer, or is empty, leaves outer filled whole.
void FillAround(CDCEx* dc, const CRect& outer, const CRect& hole, COLORREF color)
{
    const bool inside = !hole.IsRectEmpty() && hole.left <= hole.right && hole.top <= hole.bottom && hole.left >= outer.left &&
                        hole.right <= outer.right && hole.top >= outer.top && hole.bottom <= outer.bottom;
    if (!inside) {
        dc->FillSolidRect(outer, color);
        return;
    }
    dc->FillSolidRect(CRect(outer.left, outer.top, outer.right, hole.top), color);
    dc->FillSolidRect(CRect(outer.left, hole.bottom, outer.right, outer.bottom), color);
    dc->FillSolidRect(CRect(outer.left, hole.top, hole.left, hole.bottom), color);
    dc->FillSolidRect(CRect(hole.right, hole.top, outer.right, hole.bottom), color);
}

}  // namespace

void CXGraph::Invalidate(bool)
{
    m_bBaseDirty = true;
    update();
}

void CXGraph::InvalidateOverlay() { update(); }

void CXGraph::paintEvent(QPaintEvent*)
{
    RenderScreen();
    QPainter painter(this);
    if (m_pPicture) painter.drawImage(0, 0, *m_pPicture);
}

void CXGraph::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Invalidate(true);
}

void CXGraph::OnPaint() { RenderScreen(); }

void CXGraph::RenderScreen()
{
    const int width = std::max(1, this->width());
    const int height = std::max(1, this->height());
    if (m_backBuffer.width() != width || m_backBuffer.height() != height) {
        m_backBuffer = QImage(width, height, QImage::Format_RGB32);
        m_bBaseDirty = true;
    }
    const CRect client(0, 0, width, height);
    m_ptHit = CPoint(-1, -1);
    if (!m_pPicture) m_pPicture = std::make_unique<QImage>();
    const bool sharesBackBuffer = !m_pPicture->isNull() && m_pPicture->constBits() == m_backBuffer.constBits();
    if (m_bBaseDirty) {
        // A picture that shows the back buffer lets go of it first: painting into pixels that
        // another image shares would copy them.
        if (sharesBackBuffer) *m_pPicture = QImage();
        // The back buffer is already off the screen: it is drawn into directly, with or without
        // double buffering, and shown only through the picture below.
        CDCEx dc(std::make_shared<ImageDevice>(m_backBuffer));
        Paint(&dc, client, Stage::Base);
        m_bBaseDirty = false;
        ++m_nBaseRenders;
    }
    if (!HasOverlay()) {
        // Nothing is drawn over the back buffer: the picture shows it as it is, without a copy.
        if (!sharesBackBuffer && !m_pPicture->isNull()) m_sparePicture = std::move(*m_pPicture);
        *m_pPicture = m_backBuffer;
        return;
    }
    // The shown picture: the back buffer with the overlays on top, in pixels of its own that
    // are overwritten in place rather than allocated anew for every paint.
    if (m_pPicture->constBits() == m_backBuffer.constBits() || m_pPicture->isNull()) *m_pPicture = std::move(m_sparePicture);
    if (m_pPicture->size() != m_backBuffer.size() || m_pPicture->format() != m_backBuffer.format() ||
        !m_pPicture->isDetached()) {
        *m_pPicture = m_backBuffer.copy();
    } else {
        std::memcpy(m_pPicture->bits(), m_backBuffer.constBits(), static_cast<std::size_t>(m_backBuffer.sizeInBytes()));
    }
    CDCEx dc(std::make_shared<ImageDevice>(*m_pPicture));
    PaintOverlay(&dc);
}

void CXGraph::Paint(CDCEx* dc, const CRect& drawing, Stage stage)
{
    const int saved = dc->SaveDC();
    // Base alone is the screen's back buffer, where each pixel of the background is written
    // once; a drawing that is printed or copied fills whole areas, so that no seam between
    // pieces shows on paper.
    if (stage == Stage::Base || stage == Stage::All) PaintBase(dc, drawing, stage == Stage::Base);
    if (stage == Stage::Overlay || stage == Stage::All) PaintOverlay(dc);
    dc->SelectClipRgn(nullptr);
    dc->RestoreDC(saved);
}

void CXGraph::PaintBase(CDCEx* dc, const CRect& drawingArea, bool fillOnce)
{
    const bool mono = dc->m_bMonochrome;
    const CRect drawing = dc->m_bScaling ? m_rcPrint : drawingArea;
    // Margins and axis spacing come from chart files too: whatever they say, the inner area and
    // the axes' origins stay within the drawing, so that no axis lays out ticks and labels for
    // a plot far larger than the picture.
    const auto within = [](int v, int low, int high) { return std::max(low, std::min(v, high)); };
    CRect inner = drawing;
    inner.left = within(drawing.left + m_nMarginLeft, drawing.left, drawing.right);
    inner.top = within(drawing.top + m_nMarginTop, drawing.top, drawing.bottom);
    inner.right = within(drawing.right - m_nMarginRight, inner.left, drawing.right);
    inner.bottom = within(drawing.bottom - m_nMarginBottom, inner.top, drawing.bottom);
    LegendLayout legend;
    if (m_bShowLegend) legend = LayoutLegend(dc, inner);
    // Each area is filled where nothing fills over it: the picture of filling the whole drawing,
    // then the inner area, then the plot, with each pixel written once.
    FillAround(dc, drawing, fillOnce ? inner : CRect(), mono ? RGB(255, 255, 255) : m_crBackColor);
    if (m_bShowLegend) DrawLegend(dc, legend);

    // Y axes: alternate placements are resolved for good, then the axes take their places
    // from the left and right edges inwards.
    constexpr int kLabelGap = 5;
    int next = 0;
    for (CXGraphAxis& axis : m_YAxes) {
        if (axis.m_nPlacement == 2) {
            axis.m_nPlacement = next;
            next = 1 - next;
        }
    }
    int left = inner.left;
    int right = inner.right;
    for (CXGraphAxis& axis : m_YAxes) {
        axis.m_rcPlot = inner;
        if (axis.m_nPlacement == 0) {
            if (axis.m_bVisible) left += std::max(axis.GetMaxLabelWidth(dc), axis.GetTitleSize(dc).cx + kLabelGap) + m_nAxisSpacing;
            left = within(left, inner.left, inner.right);
            axis.m_nOriginX = left;
        } else if (axis.m_nPlacement == 1) {
            if (axis.m_bVisible) right -= std::max(axis.GetMaxLabelWidth(dc), axis.GetTitleSize(dc).cx) + m_nAxisSpacing;
            right = within(right, inner.left, inner.right);
            axis.m_nOriginX = right;
        }
    }
    int bottom = inner.bottom;
    for (CXGraphAxis& axis : m_XAxes) {
        if (axis.m_bVisible) bottom -= axis.GetMaxLabelHeight(dc) + m_nAxisSpacing;
        bottom = within(bottom, inner.top, inner.bottom);
        axis.m_nOriginY = bottom;
        axis.m_nOriginX = left;
        axis.m_rcPlot = inner;
    }
    m_rcPlot = CRect(left + 1, inner.top, right, bottom);
    FillAround(dc, inner, fillOnce ? m_rcPlot : CRect(), mono ? RGB(255, 255, 255) : m_crOuterColor);
    dc->FillSolidRect(m_rcPlot, mono ? RGB(255, 255, 255) : m_crInnerColor);

    for (CXGraphAxis& axis : m_YAxes) {
        axis.m_nOriginY = bottom;
        axis.Draw(dc);
    }
    for (CXGraphAxis& axis : m_XAxes) axis.Draw(dc);

    dc->IntersectClipRect((dc->m_bScaling && !dc->m_bNoClipScaling) ? dc->ScaleRect(m_rcPlot) : m_rcPlot);
    if (fillOnce) {
        // The screen's back buffer keeps its curves between paints: a growing curve is drawn
        // again only where it changed.
        m_CurveLayer.Draw(dc, m_backBuffer, m_rcPlot, m_Curves);
    } else {
        for (CXGraphDataSerie& curve : m_Curves) {
            if (curve.m_bVisible) curve.Draw(dc);
        }
    }
    for (CXGraphDataSerie& curve : m_Curves) {
        if (curve.m_bVisible && curve.m_bShowMarker) curve.DrawMarkers(dc);
    }
    DrawMeasurements(dc);
}

bool CXGraph::HasOverlay() const
{
    // Objects draw nothing while they are hidden, as the cursor's label is outside cursor mode.
    const bool objectShown = std::any_of(m_Objects.begin(), m_Objects.end(), [](const CXGraphObject* o) { return o->m_bVisible; });
    return ((m_nOperation == OP_ZOOM || m_nOperation == OP_MEASURE) && m_bLButtonDown) || m_nOperation == OP_CURSOR ||
           objectShown || m_bShowHoverValue;
}

void CXGraph::PaintOverlay(CDCEx* dc)
{
    dc->IntersectClipRect((dc->m_bScaling && !dc->m_bNoClipScaling) ? dc->ScaleRect(m_rcPlot) : m_rcPlot);
    if (m_nOperation == OP_ZOOM && m_bLButtonDown) DrawZoomRect(dc);
    if (m_nOperation == OP_MEASURE && m_bLButtonDown) DrawLiveMeasure(dc);
    if (m_nOperation == OP_CURSOR) DrawCursor(dc);
    for (CXGraphObject* object : m_Objects) object->Draw(dc);
    if (m_bShowHoverValue) DrawHoverValue(dc);
    dc->SelectClipRgn(nullptr);
}

void CXGraph::DrawHoverValue(CDCEx* dc)
{
    CQuickFont quick("Arial", 13, FW_NORMAL, 0);
    CFontSelector font(&quick, dc, true);
    const int bkMode = dc->SetBkMode(TRANSPARENT);
    CString text;
    text.Format("%.2f", m_dHoverValue);
    dc->TextOut(dc->ScaleX(m_ptCursor.x + 10), dc->ScaleY(m_ptCursor.y), text);
    dc->SetBkMode(bkMode);
}

void CXGraph::DrawDirect(void (CXGraph::*draw)(CDCEx*))
{
    if (!m_pPicture) return;
    {
        CDCEx dc(std::make_shared<ImageDevice>(*m_pPicture));
        dc.IntersectClipRect(m_rcPlot);
        (this->*draw)(&dc);
    }
    update();
}

void CXGraph::PaintToDC(CDC* target)
{
    CDCEx dc(target->device());
    m_pTargetDC = &dc;
    m_rcPrint = CRect(0, 0, target->GetDeviceCaps(HORZRES), target->GetDeviceCaps(VERTRES));
    // Without scaling the chart keeps the layout of its window, whatever the target's size.
    Paint(&dc, CRect(0, 0, std::max(1, width()), std::max(1, height())), Stage::All);
    m_pTargetDC = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Legend

CXGraph::LegendLayout CXGraph::LayoutLegend(CDCEx* dc, CRect& inner)
{
    LegendLayout legend;
    CQuickFont quick("Arial", 13, FW_NORMAL, 0);
    int width = 0;
    int height = 0;
    {
        // Measured in screen pixels, as all of the layout.
        CFontSelector measure(&quick, dc, false);
        for (std::size_t i = 0; i < m_Curves.size(); ++i) {
            if (!m_Curves[i].m_bVisible) continue;
            CString text;
            text.Format("%02d %s", static_cast<int>(i) + 1, m_Curves[i].m_sLabel.GetString());
            const CSize size = dc->GetTextExtent(text);
            width = std::max(width, static_cast<int>(size.cx));
            height += size.cy;
            legend.rowHeight = size.cy;
            legend.rows.emplace_back(static_cast<int>(i), text);
        }
    }
    width += 16;
    if (m_nLegendAlign == 0) {
        legend.box = CRect(inner.left + 10, inner.top + 10, inner.left + 10 + width, inner.top + 12 + height);
        inner.left += width + 20;
    } else {
        legend.box = CRect(inner.right - 10 - width, inner.top + 10, inner.right - 10, inner.top + 12 + height);
        inner.right -= width + 20;
    }
    return legend;
}

void CXGraph::DrawLegend(CDCEx* dc, const LegendLayout& legend)
{
    const bool mono = dc->m_bMonochrome;
    CQuickFont quick("Arial", 13, FW_NORMAL, 0);
    const auto& rows = legend.rows;
    const int rowHeight = legend.rowHeight;
    CRect box = legend.box;
    const COLORREF window = mono ? RGB(255, 255, 255) : GetSysColor(COLOR_WINDOW);
    {
        CPenSelector pen(RGB(0, 0, 0), 1, dc, PS_SOLID);
        CBrushSelector brush(window, dc);
        dc->Rectangle(box);
    }
    box.DeflateRect(1, 1);
    m_LegendEntries.clear();
    CFontSelector font(&quick, dc, true);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const CXGraphDataSerie& curve = m_Curves[static_cast<std::size_t>(rows[k].first)];
        const int top = box.top + static_cast<int>(k) * rowHeight;
        CRect row(box.left + 12, top, box.right, top + rowHeight);
        CRect hit = row;
        hit.left -= 12;
        m_LegendEntries.push_back({hit, rows[k].first});
        dc->SetBkColor(window);
        CRect textRect = row;
        dc->DrawText(rows[k].second, textRect, DT_LEFT);
        if (curve.m_bSelected) dc->DrawFocusRect(row);
        const CRect sample(box.left + 2, row.top + 1, box.left + 10, row.bottom - 2);
        const COLORREF color = mono ? RGB(0, 0, 0) : curve.m_crColor;
        if (curve.m_nMarkerType == 0) {
            dc->FillSolidRect(sample, color);
        } else if (!m_YAxes.empty()) {
            m_YAxes[0].DrawCurveMarker(dc, sample.left - 1, sample.top + 1, curve.m_nMarker, 8, color, true);
        } else if (curve.m_nMarker >= 0 && curve.m_nMarker < kMarkerPainterCount) {
            kMarkerPainters[curve.m_nMarker](sample.left - 1, sample.top + 1, 8, color, 0, dc);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Zoom and pan

void CXGraph::DrawZoomRect(CDCEx* dc)
{
    CRect r(m_ptMouseDown.x, m_ptMouseDown.y, m_ptCursor.x, m_ptCursor.y);
    r.NormalizeRect();
    CRect clipped;
    clipped.IntersectRect(r, m_rcPlot);
    if (!m_bDoubleBuffer && !m_rcZoom.IsRectEmpty()) dc->DrawFocusRect(m_rcZoom);
    m_rcZoom = clipped;
    if (m_bDoubleBuffer) {
        // A tinted area that lets the curves show through.
        const int rop = dc->SetROP2(R2_NOTXORPEN);
        const COLORREF bk = dc->SetBkColor(m_crInnerColor);
        {
            CPenSelector noPen(0, 0, dc, PS_NULL);
            CBrushSelector brush(RGB(150, 150, 255), dc);
            dc->Rectangle(clipped.left, clipped.top, clipped.right + 1, clipped.bottom + 1);
        }
        dc->SetROP2(rop);
        dc->SetBkColor(bk);
    }
    dc->DrawFocusRect(clipped);
}

void CXGraph::ApplyZoom()
{
    if (m_rcZoom.Width() < 15 || m_rcZoom.Height() < 15) return;
    // The axis shows the values between the two pixel positions from now on, the range it showed
    // kept for zooming out; a zoom to no range or to no number at all is left out.
    const auto zoomTo = [](CXGraphAxis& axis, int lowerPos, int upperPos) {
        const double lower = axis.GetValueForPos(lowerPos);
        const double upper = axis.GetValueForPos(upperPos);
        if (upper - lower == 0.0 || !std::isfinite(upper - lower)) return;
        axis.m_ZoomHistory.push_back(
            {axis.m_dMin, axis.m_dMax, axis.IsUserRange(), axis.m_bAutoScaleHeld, axis.m_dBaseMin, axis.m_dBaseMax});
        axis.HoldUserRange();
        // A zoomed axis that scaled itself before the cursor or a pan held its scaling rounds
        // again: its ticks read 0.5, 1.0, ... rather than one label's height in values.
        axis.ResumeAutoScale();
        axis.m_dMin = std::min(lower, upper);
        axis.m_dMax = std::max(lower, upper);
        axis.CalcStepFromLabelSize();
    };
    for (CXGraphAxis& axis : m_YAxes)
        zoomTo(axis, std::min(m_rcZoom.bottom, m_rcPlot.bottom), std::max(m_rcZoom.top, m_rcPlot.top));
    for (CXGraphAxis& axis : m_XAxes)
        zoomTo(axis, std::max(m_rcZoom.left, m_rcPlot.left), std::min(m_rcZoom.right, m_rcPlot.right));
    Notify(XG_ZOOMCHANGED, 0);
    m_rcZoom.SetRectEmpty();
    Invalidate(true);
}

void CXGraph::DoPan(int x, int y)
{
    // The range dragged to is the user's: new data do not move it, nor does rounding (data
    // fitted to the axis since the pan mode began may have let it scale itself again).
    for (CXGraphAxis& axis : m_YAxes) {
        const double d = axis.GetValueForPos(y) - axis.GetValueForPos(m_ptPanAnchor.y);
        axis.HoldAutoScale();
        axis.HoldUserRange();
        axis.SetCurrentRange(axis.m_dMin - d, axis.m_dMax - d, 0.0);
    }
    for (CXGraphAxis& axis : m_XAxes) {
        const double d = axis.GetValueForPos(x) - axis.GetValueForPos(m_ptPanAnchor.x);
        axis.HoldAutoScale();
        axis.HoldUserRange();
        axis.SetCurrentRange(axis.m_dMin - d, axis.m_dMax - d, 0.0);
    }
    m_ptPanAnchor = CPoint(x, y);
    Invalidate(true);
}

// ---------------------------------------------------------------------------------------------
// Measuring

// The start snaps to the curve nearest on screen; the end stays on that curve, so that the
// difference read off the arrow is one of values in one unit, wherever the drag ends.
void CXGraph::SnapMeasurePoint(CPoint& point)
{
    double best = 10000000.0;
    CPoint snapped = point;
    const bool isStart = point == m_ptMouseDown;
    for (int c = 0; c < GetCurveCount(); ++c) {
        if (!isStart && m_MeasureStart.curve >= 0 && c != m_MeasureStart.curve) continue;
        const PickedPoint picked = PickCurvePoint(c, point);
        if (picked.index < 0 || !(picked.distance < best)) continue;
        best = picked.distance;
        if (isStart) {
            m_MeasureStart = {c, picked.index};
            m_nMeasureCurveStart = c;
        } else {
            m_MeasureEnd = {c, picked.index};
            m_nMeasureCurveEnd = c;
        }
        snapped = picked.pixel;
    }
    point = snapped;
}

void CXGraph::DrawLiveMeasure(CDCEx* dc)
{
    const int x1 = std::max(m_ptMouseDown.x, m_rcPlot.left);
    const int y1 = std::max(m_ptMouseDown.y, m_rcPlot.top);
    const int x2 = std::min(m_ptCursor.x, m_rcPlot.right);
    const int y2 = std::min(m_ptCursor.y, m_rcPlot.bottom);
    m_rcMeasure = CRect(x1, y1, x2, y2);
    DrawMeasureArrow(dc, x1, y1, x2, y2, {m_MeasureStart, m_MeasureEnd});
}

// The differences are those of the measured points' values, not of the pixels they landed on:
// a measurement reads the same however wide the plot is drawn, on the screen and on paper.
void CXGraph::DrawMeasureArrow(CDCEx* dc, int x1, int y1, int x2, int y2, const Measurement& measured)
{
    const COLORREF bk = dc->SetBkColor(m_crInnerColor);
    CQuickFont quick("Arial", -11, FW_BOLD, 0);
    // Whether a text fits beside the arrow is judged in the layout's pixels, also on paper.
    const auto extent = [&](const CString& text) {
        CFontSelector measure(&quick, dc, false);
        return dc->GetTextExtent(text);
    };
    CFontSelector font(&quick, dc, true);
    {
        CPenSelector guide(RGB(200, 200, 200), 1, dc, PS_DOT);
        dc->MoveTo(m_rcPlot.left, y1);
        dc->LineTo(m_rcPlot.right, y1);
        dc->MoveTo(x2, m_rcPlot.top);
        dc->LineTo(x2, m_rcPlot.bottom);
    }
    {
        CPenSelector arrow(RGB(255, 0, 0), 1, dc, PS_DOT);
        dc->MoveTo(x1, y1);
        dc->LineTo(x2, y1);
        dc->LineTo(x2, y2);
    }
    constexpr COLORREF red = RGB(255, 0, 0);
    if (std::abs(x2 - x1) > 6) DrawMarkerTriangleLeft(x1, y1 - 3, 6, red, 0, dc);
    else DrawMarkerTriangleUp(x2 - 3, y1 + 3, 6, red, 0, dc);
    if (std::abs(y2 - y1) > 6) DrawMarkerTriangleDown(x2 - 3, y2 - 6, 6, red, 0, dc);
    else DrawMarkerTriangleRight(x2 - 6, y2 - 6, 6, red, 0, dc);

    CXGraphAxis* startX = nullptr;
    CXGraphAxis* startY = nullptr;
    CXGraphAxis* endX = nullptr;
    CXGraphAxis* endY = nullptr;
    if (GetCurveAxes(measured.start.curve, startX, startY) && GetCurveAxes(measured.end.curve, endX, endY)) {
        const ChartPoint* p1 = MeasuredPoint(measured.start);
        const ChartPoint* p2 = MeasuredPoint(measured.end);
        const int bkMode = dc->SetBkMode(TRANSPARENT);
        const double dx = p1 && p2 ? p2->x - p1->x : endX->GetValueForPos(x2) - startX->GetValueForPos(x1);
        const CString dxText = FormatDouble(startX->m_sFormat, dx);
        CRect r(x1, y1, x2, y2);
        if (std::abs(x2 - x1) > extent(dxText).cx) dc->DrawText(dxText, r, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
        if (p1 && p2) {
            const CString dyText = FormatDouble(startY->m_sFormat, std::fabs(p2->y - p1->y)) + " " + startY->m_sLabel;
            CRect r2(x1, y1, x2, y2);
            if (std::abs(y2 - y1) > extent(dyText).cy) {
                dc->DrawText(dyText, r2, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
            }
        }
        dc->SetBkMode(bkMode);
    }
    dc->SetBkColor(bk);
}

void CXGraph::DrawMeasurements(CDCEx* dc)
{
    for (const Measurement& m : m_Measurements) {
        CXGraphAxis* sx = nullptr;
        CXGraphAxis* sy = nullptr;
        CXGraphAxis* ex = nullptr;
        CXGraphAxis* ey = nullptr;
        // A stored measurement whose curves or points are gone is not drawn; one whose curve
        // was drawn anew shows the points it names now.
        if (!GetCurveAxes(m.start.curve, sx, sy) || !GetCurveAxes(m.end.curve, ex, ey)) continue;
        const ChartPoint* p1 = MeasuredPoint(m.start);
        const ChartPoint* p2 = MeasuredPoint(m.end);
        if (!p1 || !p2) continue;
        DrawMeasureArrow(dc, sx->GetPointForValue(*p1).x, sy->GetPointForValue(*p1).y, ex->GetPointForValue(*p2).x,
                         ey->GetPointForValue(*p2).y, m);
    }
}
