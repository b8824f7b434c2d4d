// How the chart answers mouse and keys: the hit test that selects axes, value lines, objects,
// curves and legend entries; the buttons in each mode; the cursor with its read-out; the keys
// that zoom and pan; and Qt's events translated into the chart's handlers.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>
#include <optional>

#include "chart/value_format.h"
#include "chart/xgraph.h"

using namespace chart;

namespace {

constexpr int kValueLineBand = 10;
constexpr int kCurveHitWidth = 4;

UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    UINT flags = 0;
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

CPoint ToPoint(const QPointF& p) { return {static_cast<int>(p.x()), static_cast<int>(p.y())}; }

UINT VirtualKey(const QKeyEvent* event)
{
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Plus: return keypad ? VK_ADD : 0;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : 0;
    default: return 0;
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Hit test

bool CXGraph::SelectAtCursor(bool doubleClick, bool testOnly)
{
    const CPoint p = m_ptCursor;
    const bool select = m_nOperation == OP_SELECT;
    bool hit = false;

    for (std::size_t a = 0; a < m_YAxes.size(); ++a) {
        CXGraphAxis& axis = m_YAxes[a];
        if (select) {
            for (int j = 0; j < axis.GetValueLineCount(); ++j) {
                const ChartPoint v{axis.m_ValueLines[static_cast<std::size_t>(j)].value, axis.m_ValueLines[static_cast<std::size_t>(j)].value};
                const int y = axis.GetPointForValue(v).y;
                const CRect band(m_rcPlot.left, y - kValueLineBand, m_rcPlot.right, y + kValueLineBand);
                const bool inBand = m_nDragValueLineY == -1 && band.PtInRect(p);
                if (testOnly && inBand && !m_bLButtonDown) return true;
                if (m_bRButtonDown && inBand) {
                    axis.DeleteValueLine(j);
                    Invalidate(true);
                    break;
                }
                if (m_bLButtonDown && m_nDragValueLineY == -1 && inBand) m_nDragValueLineY = j;
                if (!m_bLButtonDown) m_nDragValueLineY = -1;
            }
            if (m_nDragValueLineY >= 0 && m_bLButtonDown && m_nDragValueLineY < axis.GetValueLineCount()) {
                axis.m_ValueLines[static_cast<std::size_t>(m_nDragValueLineY)].value = axis.GetValueForPos(p.y);
                Invalidate(true);
            }
        }
        if (!testOnly) {
            if (select && axis.m_bSelected && !axis.m_Rect.PtInRect(p)) {
                axis.SetValueLine(axis.GetValueLineCount(), axis.GetValueForPos(p.y), RGB(0, 0, 0), PS_SOLID);
            }
            axis.m_bSelected = axis.m_Rect.PtInRect(p);
            if (axis.m_bSelected) {
                hit = true;
                Notify(doubleClick ? XG_YAXISDBLCLICK : XG_YAXISCLICK, a);
            }
        } else if (axis.m_Rect.PtInRect(p)) {
            return true;
        }
    }

    for (std::size_t a = 0; a < m_XAxes.size(); ++a) {
        CXGraphAxis& axis = m_XAxes[a];
        if (select) {
            for (int j = 0; j < axis.GetValueLineCount(); ++j) {
                const ChartPoint v{axis.m_ValueLines[static_cast<std::size_t>(j)].value, axis.m_ValueLines[static_cast<std::size_t>(j)].value};
                const int x = axis.GetPointForValue(v).x;
                const CRect band(x - kValueLineBand, m_rcPlot.top, x + kValueLineBand, m_rcPlot.bottom);
                const bool inBand = m_nDragValueLineX == -1 && band.PtInRect(p);
                if (testOnly && inBand && !m_bLButtonDown) return true;
                if (m_bRButtonDown && inBand) {
                    axis.DeleteValueLine(j);
                    Invalidate(true);
                    break;
                }
                if (m_bLButtonDown && m_nDragValueLineX == -1 && inBand) m_nDragValueLineX = j;
                if (!m_bLButtonDown) m_nDragValueLineX = -1;
            }
            if (m_nDragValueLineX >= 0 && m_bLButtonDown && m_nDragValueLineX < axis.GetValueLineCount()) {
                axis.m_ValueLines[static_cast<std::size_t>(m_nDragValueLineX)].value = axis.GetValueForPos(p.x);
                Invalidate(true);
            }
        }
        if (!testOnly) {
            if (select && axis.m_bSelected && !axis.m_Rect.PtInRect(p)) {
                axis.SetValueLine(axis.GetValueLineCount(), axis.GetValueForPos(p.x), RGB(0, 0, 0), PS_SOLID);
            }
            axis.m_bSelected = axis.m_Rect.PtInRect(p);
            if (axis.m_bSelected) {
                if (!hit) Notify(doubleClick ? XG_XAXISDBLCLICK : XG_XAXISCLICK, a);
                hit = true;
            }
        } else if (axis.m_Rect.PtInRect(p)) {
            return true;
        }
    }

    // Objects, from the head of the list.
    bool objectHit = false;
    for (CXGraphObject* object : m_Objects) {
        if (testOnly) {
            if (object->m_bVisible && object->m_Rect.PtInRect(p)) return true;
            continue;
        }
        object->m_bSelected = object->m_bVisible && object->m_Rect.PtInRect(p);
        if (doubleClick && object->m_bSelected) {
            objectHit = true;
            object->BeginEdit();
        } else if (object->m_bSelected && !object->m_bEditing && !m_pActiveObject) {
            objectHit = true;
            object->BeginTrack();
            m_pActiveObject = &object->m_Tracker;
        } else if (!object->m_bSelected && object->m_bEditing) {
            object->EndEdit();
        } else if (!object->m_bSelected && object->m_bTracking) {
            if (m_pActiveObject == &object->m_Tracker) m_pActiveObject = nullptr;
            object->EndTrack();
        }
    }
    hit = hit || objectHit;

    if (!testOnly) {
        m_nSelectedCurve = -1;
        if (!m_bLButtonDown) {
            m_nSnappedCurve = -1;
            m_nSnappedPoint = -1;
        }
    }
    bool examine = !objectHit;
    for (std::size_t c = 0; c < m_Curves.size(); ++c) {
        CXGraphDataSerie& curve = m_Curves[c];
        if (!curve.m_bVisible) continue;
        if (!testOnly) curve.m_bSelected = false;
        if (!examine) continue;
        for (const CurveSegment& s : curve.m_Segments) {
            CRect box(s.x1, s.y1, s.x2, s.y2);
            box.NormalizeRect();
            box.InflateRect(2, 2);
            if (!box.PtInRect(p) || !CXGraphDataSerie::IsNearSegment(s.x1, s.y1, s.x2, s.y2, p.x, p.y, kCurveHitWidth)) continue;
            if (testOnly) {
                Notify(XG_CURVEHOVER, c);
                return true;
            }
            if (!hit) {
                Notify(doubleClick ? XG_CURVEDBLCLICK : XG_CURVECLICK, c);
                m_nSelectedCurve = static_cast<int>(c);
                if (m_nSnappedPoint == -1) {
                    CXGraphAxis* xAxis = nullptr;
                    CXGraphAxis* yAxis = nullptr;
                    if (GetCurveAxes(static_cast<int>(c), xAxis, yAxis)) {
                        m_nSnappedCurve = static_cast<int>(c);
                        m_nSnappedPoint = FindCurvePoint(static_cast<int>(c), xAxis->GetValueForPos(p.x - curve.m_nMarkerSize / 2));
                    }
                }
                curve.m_bSelected = true;
                hit = true;
            }
            break;
        }
        Notify(XG_CURVEHOVER, static_cast<WPARAM>(-1));
    }

    m_bShowHoverValue = false;
    if (m_nOperation == OP_POINT && m_bLButtonDown && m_nSnappedCurve >= 0 && m_nSnappedPoint >= 0) {
        CXGraphAxis* xAxis = nullptr;
        CXGraphAxis* yAxis = nullptr;
        if (GetCurveAxes(m_nSnappedCurve, xAxis, yAxis)) {
            CXGraphDataSerie& curve = m_Curves[static_cast<std::size_t>(m_nSnappedCurve)];
            const double newY = yAxis->GetValueForPos(p.y);
            // The parent reads the moved point from the curve itself.
            Notify(XG_POINTCHANGED, 0);
            curve.SetPointY(m_nSnappedPoint, newY);
            m_dHoverValue = newY;
            m_bShowHoverValue = true;
            Invalidate(true);
        }
    }

    if (!hit) {
        for (const LegendEntry& entry : m_LegendEntries) {
            const bool inside = entry.rect.PtInRect(p);
            if (testOnly && inside) return true;
            if (entry.curve >= 0 && entry.curve < GetCurveCount()) m_Curves[static_cast<std::size_t>(entry.curve)].m_bSelected = inside;
            if (inside) {
                hit = true;
                break;
            }
        }
    }
    if (!hit && doubleClick) Notify(XG_GRAPHDBLCLICK, 0);
    return false;
}

// ---------------------------------------------------------------------------------------------
// Mouse

void CXGraph::OnMouseMove(UINT flags, CPoint point)
{
    m_bLButtonDown = (flags & MK_LBUTTON) != 0;
    if (m_nOperation == OP_MEASURE && m_bLButtonDown) SnapMeasurePoint(point);
    m_ptCursor = point;
    // A tracker drag moves or resizes its object.
    if (m_pActiveObject && m_pActiveObject->IsDragging()) {
        m_pActiveObject->DragTo(point);
        InvalidateOverlay();
        return;
    }
    if (m_nOperation == OP_CURSOR) {
        m_bDirectDraw = true;
        DrawDirect(&CXGraph::DrawCursor);
        m_bDirectDraw = false;
        Notify(XG_CURSORMOVED, 0);
    }
    m_bHoverHit = SelectAtCursor(false, true);
    const bool panning = (m_nOperation == OP_PAN && m_bLButtonDown) || (m_nOperation == OP_CURSOR && m_bRButtonDown);
    if (panning && m_rcPlot.PtInRect(point)) {
        if (m_ptPanAnchor == CPoint(0, 0)) m_ptPanAnchor = point;
        else DoPan(point.x, point.y);
    }
    if (m_nOperation == OP_ZOOM && m_bLButtonDown) {
        if (!m_bDoubleBuffer) DrawDirect(&CXGraph::DrawZoomRect);
        else InvalidateOverlay();
    }
    if (m_nOperation == OP_MEASURE && m_bLButtonDown) {
        if (!m_bDoubleBuffer) DrawDirect(&CXGraph::DrawLiveMeasure);
        else InvalidateOverlay();
    }
    UpdateCursorShape();
}

bool CXGraph::OnMouseWheel(UINT flags, int delta, CPoint)
{
    std::vector<CXGraphAxis>& axes = (flags & MK_SHIFT) ? m_YAxes : m_XAxes;
    for (CXGraphAxis& axis : axes) {
        axis.HoldAutoScale();
        axis.HoldUserRange();
        double d = (axis.m_dMax - axis.m_dMin) / 10.0;
        if (delta < 0) d = -d;
        axis.m_dMin += d;
        axis.m_dMax += d;
    }
    Invalidate(true);
    return true;
}

void CXGraph::OnLButtonDown(UINT, CPoint point)
{
    setFocus();
    if (isVisible()) grabMouse();
    m_ptMouseDown = point;
    if (m_nOperation == OP_MEASURE) {
        // A measurement names the points of this drag only, never those of an earlier one.
        m_MeasureStart = MeasurePoint();
        m_MeasureEnd = MeasurePoint();
        SnapMeasurePoint(point);
        m_ptMouseDown = point;
    }
    m_bLButtonDown = true;
    m_nSelectionBeforeRButton = -1;
    m_pSelectedObject = nullptr;
    for (CXGraphObject* object : m_Objects) {
        if (object->m_Rect.PtInRect(point)) m_pSelectedObject = object;
    }
    for (CXGraphObject* object : m_Objects) {
        if (!object->m_bTracking || object->m_Tracker.HitTest(point) == CRectTracker::hitNothing) continue;
        // Moving and resizing need both flags; the drag itself follows the mouse.
        if (object->m_bSizeable && object->m_bMoveable) {
            object->m_Tracker.BeginDrag(object->m_Tracker.HitTest(point), point);
            m_pActiveObject = &object->m_Tracker;
        }
        break;
    }
}

void CXGraph::OnLButtonUp(UINT, CPoint point)
{
    if (!m_bLButtonDown) return;
    if (isVisible()) releaseMouse();
    m_ptPanAnchor = CPoint(0, 0);
    m_ptMouseUp = point;
    m_bLButtonDown = false;
    if (m_pActiveObject && m_pActiveObject->IsDragging()) {
        const bool changed = m_pActiveObject->EndDrag();
        for (CXGraphObject* object : m_Objects) {
            if (&object->m_Tracker == m_pActiveObject && changed && object->m_bSizeable && object->m_bMoveable) {
                object->m_Rect = m_pActiveObject->m_rect;
                object->m_Tracker.m_rect = object->m_Rect;
            }
        }
        Invalidate(false);
        return;
    }
    if (m_nOperation == OP_MEASURE) {
        SnapMeasurePoint(point);
        // Released where it was pressed: the point measured against itself.
        if (m_MeasureEnd.curve < 0) m_MeasureEnd = m_MeasureStart;
        if (m_MeasureStart.curve >= 0) m_Measurements.push_back({m_MeasureStart, m_MeasureEnd});
    }
    if (m_nOperation == OP_CURSOR) {
        SelectAtCursor(false, false);
        // The notation goes to the point the cursor shows snapped.
        if (m_nMeasureCurveStart != -1 && m_nCursorPoint >= 0) InsertDataNotation(m_nMeasureCurveStart, m_nCursorPoint);
    }
    if (m_nOperation == OP_ZOOM) ApplyZoom();
    if (m_nOperation == OP_SELECT || m_nOperation == OP_POINT) SelectAtCursor(false, false);
    Invalidate(true);
}

void CXGraph::OnLButtonDblClk(UINT, CPoint)
{
    if (m_nOperation != OP_SELECT) return;
    m_pActiveObject = nullptr;
    SelectAtCursor(true, false);
}

void CXGraph::OnRButtonDown(UINT, CPoint) { m_bRButtonDown = true; }

int CXGraph::SelectedCurveIndex() const
{
    const int count = GetCurveCount();
    const auto shown = [&](int c) { return c >= 0 && c < count && m_Curves[static_cast<std::size_t>(c)].m_bVisible; };
    if (shown(m_nSelectedCurve)) return m_nSelectedCurve;
    int selected = -1;
    for (int c = 0; c < count; ++c) {
        if (!shown(c) || !m_Curves[static_cast<std::size_t>(c)].m_bSelected) continue;
        if (selected >= 0) return -1;  // several: none is the one
        selected = c;
    }
    return selected;
}

int CXGraph::GetTrendCurve() const
{
    const int selected = SelectedCurveIndex();
    if (selected >= 0) return selected;
    const int count = GetCurveCount();
    const auto shown = [&](int c) { return c >= 0 && c < count && m_Curves[static_cast<std::size_t>(c)].m_bVisible; };
    if (shown(m_nSelectionBeforeRButton)) return m_nSelectionBeforeRButton;
    int only = -1;
    for (int c = 0; c < count; ++c) {
        if (!shown(c)) continue;
        if (only >= 0) return -1;
        only = c;
    }
    return only;
}

void CXGraph::OnRButtonUp(UINT, CPoint point)
{
    // The hit test below deselects every curve when the click lands beside them; the menu it
    // opens still offers the trend of the curve that was selected.
    m_nSelectionBeforeRButton = SelectedCurveIndex();
    SelectAtCursor(false, false);
    m_bRButtonDown = false;
    if (m_nOperation == OP_CURSOR) {
        m_ptHit = CPoint(-1, -1);
        Invalidate(true);
    }
    if (m_pSelectedObject && m_pSelectedObject->m_Rect.PtInRect(point)) {
        m_pSelectedObject->ShowContextMenu();
        Invalidate(true);
        return;
    }
    Notify(XG_RBUTTONUP, 0);
}

void CXGraph::OnKeyUp(UINT key)
{
    const auto shift = [](CXGraphAxis& axis, double lo, double hi) {
        axis.HoldUserRange();
        const double d = (axis.m_dMax - axis.m_dMin) / 10.0;
        axis.SetCurrentRange(axis.m_dMin + lo * d, axis.m_dMax + hi * d, 0.0);
    };
    const bool cursor = m_nOperation == OP_CURSOR;
    bool handled = true;
    switch (key) {
    case VK_HOME:
        for (CXGraphAxis& axis : m_XAxes) axis.ResetZoom();
        for (CXGraphAxis& axis : m_YAxes) axis.ResetZoom();
        break;
    case VK_ADD:
        for (CXGraphAxis& axis : m_XAxes) shift(axis, 1, -1);
        for (CXGraphAxis& axis : m_YAxes) shift(axis, 1, -1);
        break;
    case VK_SUBTRACT:
        for (CXGraphAxis& axis : m_XAxes) shift(axis, -1, 1);
        for (CXGraphAxis& axis : m_YAxes) shift(axis, -1, 1);
        break;
    case VK_LEFT:
        if (cursor) --m_ptCursor.x;
        else for (CXGraphAxis& axis : m_XAxes) shift(axis, 1, 1);
        break;
    case VK_RIGHT:
        if (cursor) ++m_ptCursor.x;
        else for (CXGraphAxis& axis : m_XAxes) shift(axis, -1, -1);
        break;
    case VK_UP:
        if (cursor) --m_ptCursor.y;
        else for (CXGraphAxis& axis : m_YAxes) shift(axis, -1, -1);
        break;
    case VK_DOWN:
        if (cursor) ++m_ptCursor.y;
        else for (CXGraphAxis& axis : m_YAxes) shift(axis, 1, 1);
        break;
    default: handled = false; break;
    }
    if (handled) Invalidate(true);
}

bool CXGraph::DeleteSelectedObject()
{
    CXGraphObject* object = m_pSelectedObject;
    if (!object || !object->m_bTracking || object == m_Objects.front()) return false;
    m_Objects.remove(object);
    delete object;
    m_pSelectedObject = nullptr;
    m_pActiveObject = nullptr;
    Invalidate(true);
    return true;
}

void CXGraph::UpdateCursorShape()
{
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (m_pActiveObject && m_pActiveObject->HitTest(m_ptCursor) != CRectTracker::hitNothing) {
        const int hit = m_pActiveObject->HitTest(m_ptCursor);
        if (hit == CRectTracker::hitMiddle) shape = Qt::SizeAllCursor;
        else if (hit == CRectTracker::hitTopLeft || hit == CRectTracker::hitBottomRight) shape = Qt::SizeFDiagCursor;
        else if (hit == CRectTracker::hitTopRight || hit == CRectTracker::hitBottomLeft) shape = Qt::SizeBDiagCursor;
        else if (hit == CRectTracker::hitTop || hit == CRectTracker::hitBottom) shape = Qt::SizeVerCursor;
        else shape = Qt::SizeHorCursor;
    } else if (m_nOperation == OP_PAN) {
        shape = Qt::SizeAllCursor;
    } else if (m_nOperation == OP_ZOOM || m_nOperation == OP_CURSOR) {
        shape = Qt::CrossCursor;
    } else if (m_nOperation == OP_SELECT && m_bHoverHit) {
        shape = Qt::PointingHandCursor;
    } else if (m_nOperation == OP_POINT && m_nSelectedCurve != -1) {
        shape = Qt::SizeVerCursor;
    }
    setCursor(shape);
}

// ---------------------------------------------------------------------------------------------
// Cursor

void CXGraph::DrawCursor(CDCEx* dc)
{
    CPenSelector pen(RGB(0, 0, 0), 1, dc, PS_SOLID);
    const int rop = dc->SetROP2(R2_NOTXORPEN);
    m_nMeasureCurveStart = -1;
    m_nCursorPoint = -1;
    // The point of a curve under the cursor, and where the cursor snaps to it.
    const auto snap = [&](int c) -> std::optional<PickedPoint> {
        CXGraphAxis* xAxis = nullptr;
        CXGraphAxis* yAxis = nullptr;
        if (!GetCurveAxes(c, xAxis, yAxis)) return std::nullopt;
        const PickedPoint picked = PickCurvePoint(c, m_ptCursor);
        if (picked.index < 0) return std::nullopt;
        const CXGraphDataSerie& curve = m_Curves[static_cast<std::size_t>(c)];
        m_dCursorX = curve.IsXAscending() ? xAxis->GetValueForPos(m_ptCursor.x) : curve.m_pPoints[picked.index].x;
        m_dCursorY = curve.m_pPoints[picked.index].y;
        return picked;
    };
    const auto snapTo = [&](int c, const PickedPoint& picked) {
        m_nMeasureCurveStart = c;
        m_nCursorPoint = picked.index;
        m_ptCursor = picked.pixel;
    };
    if (m_nCursorCurve == -1 && m_bSnapCursor) {
        for (int c = 0; c < GetCurveCount(); ++c) {
            const std::optional<PickedPoint> picked = snap(c);
            if (picked && picked->distance < m_nSnapRange) {
                snapTo(c, *picked);
                break;
            }
        }
    } else if (m_nCursorCurve != -1) {
        if (const std::optional<PickedPoint> picked = snap(m_nCursorCurve)) snapTo(m_nCursorCurve, *picked);
    }
    const int s = m_nSnapRange;
    const auto drawAt = [&](CPoint p) {
        if (m_nOptions & OPT_VERT_CURSOR_LINE) {
            dc->MoveTo(p.x, m_rcPlot.top);
            dc->LineTo(p.x, m_rcPlot.bottom);
        }
        if (m_nOptions & OPT_HORZ_CURSOR_LINE) {
            dc->MoveTo(m_rcPlot.left, p.y);
            dc->LineTo(m_rcPlot.right, p.y);
        }
        dc->Rectangle(p.x - s / 2, p.y - s / 2, p.x + 1 + s / 2, p.y + 1 + s / 2);
    };
    if (m_ptHit != CPoint(-1, -1)) drawAt(m_ptHit);
    drawAt(m_ptCursor);
    m_ptHit = m_ptCursor;
    dc->SetROP2(rop);
    if (m_nOptions & OPT_CURSOR_LABEL) DrawCursorLabel(dc);
}

void CXGraph::DrawCursorLabel(CDCEx* dc)
{
    m_CursorLabel.SetVisible(true);
    CString text;
    const auto withoutBreaks = [](CString format) {
        format.Replace('\r', ' ');
        format.Replace('\n', ' ');
        return format;
    };
    for (std::size_t i = 0; i < m_XAxes.size(); ++i) {
        const CXGraphAxis& axis = m_XAxes[i];
        const double v = axis.GetValueForPos(m_ptCursor.x);
        const CString value = axis.m_bDateTime ? FormatOleDate(v, withoutBreaks(axis.m_sFormat)) : FormatDouble(axis.m_sFormat, v);
        text.AppendFormat(" X[%02d] : %s %s\r\n", static_cast<int>(i) + 1, value.GetString(), axis.m_sLabel.GetString());
    }
    for (std::size_t i = 0; i < m_YAxes.size(); ++i) {
        const CXGraphAxis& axis = m_YAxes[i];
        const double v = axis.GetValueForPos(m_ptCursor.y);
        text.AppendFormat(" Y[%02d] : %s %s\r\n", static_cast<int>(i) + 1, FormatDouble(axis.m_sFormat, v).GetString(),
                          axis.m_sLabel.GetString());
    }
    CXGraphAxis* xAxis = nullptr;
    CXGraphAxis* yAxis = nullptr;
    if (m_nMeasureCurveStart != -1 && GetCurveAxes(m_nMeasureCurveStart, xAxis, yAxis)) {
        const CXGraphDataSerie& curve = m_Curves[static_cast<std::size_t>(m_nMeasureCurveStart)];
        const CString xf = withoutBreaks(xAxis->m_sFormat);
        const CString xText = xAxis->m_bDateTime ? FormatOleDate(m_dCursorX, xf) : FormatDouble(xf, m_dCursorX);
        text.AppendFormat(" %s[%02d] : %s, %s\r\n", curve.m_sLabel.GetString(), m_nMeasureCurveStart + 1, xText.GetString(),
                          FormatDouble(yAxis->m_sFormat, m_dCursorY).GetString());
    }
    m_CursorLabel.SetText(text);
    m_CursorLabel.Draw(dc);
}

// ---------------------------------------------------------------------------------------------
// Qt events

void CXGraph::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove(MouseFlags(event->buttons(), event->modifiers()), ToPoint(event->position()));
}

void CXGraph::mousePressEvent(QMouseEvent* event)
{
    const UINT flags = MouseFlags(event->buttons(), event->modifiers());
    m_ptCursor = ToPoint(event->position());
    if (event->button() == Qt::LeftButton) OnLButtonDown(flags, m_ptCursor);
    else if (event->button() == Qt::RightButton) OnRButtonDown(flags, m_ptCursor);
}

void CXGraph::mouseReleaseEvent(QMouseEvent* event)
{
    const UINT flags = MouseFlags(event->buttons(), event->modifiers());
    m_ptCursor = ToPoint(event->position());
    if (event->button() == Qt::LeftButton) OnLButtonUp(flags, m_ptCursor);
    else if (event->button() == Qt::RightButton) OnRButtonUp(flags, m_ptCursor);
}

void CXGraph::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_ptCursor = ToPoint(event->position());
    // The double click takes the place of the second press; the release that follows it finds
    // the button not marked down and does nothing, so a double click acts once, not twice.
    if (event->button() == Qt::LeftButton) OnLButtonDblClk(MouseFlags(event->buttons(), event->modifiers()), m_ptCursor);
}

void CXGraph::wheelEvent(QWheelEvent* event)
{
    // Only the vertical wheel moves the axes; a horizontal turn is left to the parent.
    if (event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    OnMouseWheel(MouseFlags(event->buttons(), event->modifiers()), event->angleDelta().y(), ToPoint(event->position()));
}

void CXGraph::keyPressEvent(QKeyEvent* event)
{
    if (VirtualKey(event) == VK_DELETE) {
        DeleteSelectedObject();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CXGraph::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats press and release; only the real release is a key-up.
    const UINT key = event->isAutoRepeat() ? 0 : VirtualKey(event);
    if (key != 0 && key != VK_DELETE) OnKeyUp(key);
    QWidget::keyReleaseEvent(event);
}
