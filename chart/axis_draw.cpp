// Drawing of an axis: colour ranges and value lines across the plot, the markers of its curves,
// the axis label, tick labels with ticks or grid lines, the axis line with its arrow and the
// focus frame of a selected axis. Drawing also fixes the layout values the mapping uses.

#include <cmath>

#include "chart/dcex.h"
#include "chart/recording_device.h"
#include "chart/xgraph.h"
#include "chart/xgraph_axis.h"

namespace {

// More ticks than this cannot be told apart on any plot; a step that asks for more is broken.
constexpr double kMaxTicks = 10000.0;

// A context on which a hidden axis lays itself out without reaching the target.
std::unique_ptr<CDCEx> MakeThrowAwayContext(CDCEx* dc)
{
    auto device = std::make_shared<chart::MeasuringDevice>(dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES),
                                                           dc->GetDeviceCaps(LOGPIXELSX), dc->GetDeviceCaps(LOGPIXELSY));
    device->state().font = dc->GetCurrentFont();
    return std::make_unique<CDCEx>(device);
}

}  // namespace

void CXGraphAxis::Draw(CDCEx* target)
{
    if (m_nScale == 0) {
        DrawLog(target);
        return;
    }
    std::unique_ptr<CDCEx> hidden;
    if (!m_bVisible) hidden = MakeThrowAwayContext(target);
    CDCEx* dc = hidden ? hidden.get() : target;
    const CRect plot = PlotRect();
    const CSize title = ScaleAndMeasureHead(dc);

    const double steps = (m_dMax - m_dMin) / m_dStep;
    double pixelsPerStep;
    int farEnd;
    if (m_nKind == xAxis) {
        farEnd = static_cast<int>(plot.right - m_dMarkerSpace);
        pixelsPerStep = ((farEnd - m_nOriginX) - m_dHeadSpace) / steps;
        const double product = steps * pixelsPerStep;
        const double length = std::isfinite(product) ? product : (farEnd - m_nOriginX) - m_dHeadSpace;
        m_nLength = static_cast<int>(std::clamp(length, -1e7, 1e7));
    } else {
        farEnd = static_cast<int>(plot.top + m_dMarkerSpace);
        pixelsPerStep = ((m_nOriginY - farEnd) - m_dHeadSpace) / steps;
        m_nLength = plot.bottom - static_cast<int>(plot.top + m_dHeadSpace + m_dMarkerSpace);
    }

    DrawAcrossPlot(dc);
    DrawTitle(dc, title, farEnd);
    DrawTicks(dc, pixelsPerStep, farEnd);
    DrawAxisLine(dc, farEnd);
}

// Scales the axis and measures the room its far end needs: the arrow, the markers of its curves
// and its label. Returns the size of the label.
CSize CXGraphAxis::ScaleAndMeasureHead(CDCEx* dc)
{
    if (m_bAutoScale) AutoScale(dc);
    m_dRange = m_dMax - m_dMin;
    m_dHeadSpace = m_nKind == yAxis ? 2.0 * m_nArrowSize : 4.0 * m_nArrowSize;
    m_dMarkerSpace = DrawCurveMarkers(dc, false);
    CSize title;
    if (!m_sLabel.IsEmpty()) {
        title = GetTitleSize(dc);
        m_dHeadSpace += m_nKind == yAxis ? title.cy : title.cx;
    }
    return title;
}

// Colour ranges, value lines and curve markers, then the background the labels are drawn on.
void CXGraphAxis::DrawAcrossPlot(CDCEx* dc)
{
    DrawColorRanges(dc);
    DrawValueLines(dc);
    m_dMarkerSpace = DrawCurveMarkers(dc, true);
    dc->SetBkColor(dc->m_bMonochrome ? RGB(255, 255, 255) : (m_pGraph ? m_pGraph->m_crOuterColor : RGB(255, 255, 255)));
    dc->SetBkMode(OPAQUE);
}

// The axis label at the far end of the axis, beside the arrow; it takes its room from the head.
void CXGraphAxis::DrawTitle(CDCEx* dc, CSize title, int farEnd)
{
    if (m_sLabel.IsEmpty()) return;
    m_dHeadSpace += m_nKind == yAxis ? title.cy : title.cx;
    CFontSelector font(&m_TitleFont, dc, true);
    CRect r;
    UINT format = DT_LEFT;
    if (m_nKind == yAxis && m_nPlacement == 0) {
        r = CRect(m_nOriginX - title.cx - m_nTickLength, farEnd, m_nOriginX - m_nTickLength, farEnd + title.cy);
        format = DT_RIGHT;
    } else if (m_nKind == yAxis) {
        r = CRect(m_nOriginX + m_nTickLength, farEnd, m_nOriginX + title.cx + m_nTickLength, farEnd + title.cy);
    } else {
        r = CRect(farEnd - title.cx, m_nOriginY + m_nTickLength, farEnd, m_nOriginY + m_nTickLength + title.cy);
    }
    dc->DrawText(m_sLabel, r, format);
}

// The axis line from the origin to farEnd with its arrow; the band around it is where a click
// selects the axis, framed while it is selected.
void CXGraphAxis::DrawAxisLine(CDCEx* dc, int farEnd)
{
    {
        CPenSelector pen(m_crColor, 1, dc, PS_SOLID);
        if (m_nKind == yAxis) {
            dc->MoveTo(m_nOriginX, m_nOriginY);
            dc->LineTo(m_nOriginX, farEnd);
            DrawArrow(dc, m_nOriginX, farEnd, 1, m_nArrowSize);
            m_Rect = CRect(m_nOriginX - 5, farEnd, m_nOriginX + 5, m_nOriginY);
        } else {
            dc->MoveTo(m_nOriginX, m_nOriginY);
            dc->LineTo(farEnd, m_nOriginY);
            DrawArrow(dc, farEnd, m_nOriginY, 2, m_nArrowSize);
            m_Rect = CRect(m_nOriginX, m_nOriginY - 5, farEnd, m_nOriginY + 5);
        }
    }
    if (m_bSelected) dc->DrawFocusRect(m_Rect);
}

void CXGraphAxis::DrawTicks(CDCEx* dc, double pixelsPerStep, int farEnd)
{
    (void)farEnd;
    if (m_nKind == yAxis && m_nPlacement != 0 && m_nPlacement != 1) return;
    const double steps = (m_dMax - m_dMin) / m_dStep;
    // Tick k lies at min + k * step: adding the step up would carry its rounding error into
    // the labels ("-0.000") and into the count of ticks.
    if (!(m_dStep > 0.0) || !std::isfinite(steps) || steps > kMaxTicks || !std::isfinite(pixelsPerStep)) return;
    const double tolerance = m_dStep * 1e-9;
    // Labels that would run into each other leave out ticks in between: every stride-th tick
    // is drawn, with its label and its grid line.
    const int stride = TickStride(pixelsPerStep, LabelExtentAlongAxis(dc, std::floor(steps + 1e-9)));
    for (int k = FirstStrideTick(stride); k <= kMaxTicks; k += stride) {
        double v = m_dMin + k * m_dStep;
        if (m_nKind == yAxis ? v > m_dMax + tolerance : v >= m_dMax - tolerance) break;
        if (std::fabs(v) < tolerance) v = 0.0;
        const double pos = m_nKind == yAxis ? m_nOriginY - k * pixelsPerStep : m_nOriginX + k * pixelsPerStep;
        DrawTick(dc, v, pos, true, true, m_nKind == xAxis && m_bDateTime);
    }
}

// The first tick drawn when every stride-th is: the first on a whole multiple of stride steps
// (so that zero keeps its label), or the minimum's when that lies off the steps' grid.
int CXGraphAxis::FirstStrideTick(int stride) const
{
    if (stride <= 1) return 0;
    const double stepsToMin = m_dMin / m_dStep;
    const double past = std::fmod(stepsToMin, static_cast<double>(stride));
    const double first = past > 0.0 ? stride - past : -past;
    const double whole = std::round(first);
    return std::fabs(first - whole) < 1e-6 ? static_cast<int>(whole) % stride : 0;
}

// The larger extent along the axis of the labels of the first tick and of tick lastStep, the
// widest (or, on a Y axis, the tallest) of a linear axis.
double CXGraphAxis::LabelExtentAlongAxis(CDCEx* dc, double lastStep)
{
    CFontSelector measure(&m_TickFont, dc, false);
    const bool dateForm = m_nKind == xAxis && m_bDateTime;
    double extent = 0.0;
    for (double v : {m_dMin, m_dMin + lastStep * m_dStep}) {
        const CSize size = GetMultiLineTextExtent(dc, FormatTickLabel(v, dateForm));
        extent = std::max(extent, static_cast<double>(m_nKind == xAxis ? size.cx : size.cy));
    }
    return extent;
}

void CXGraphAxis::DrawTick(CDCEx* dc, double v, double pos, bool label, bool transparentGrid, bool dateForm)
{
    const CRect plot = PlotRect();
    pos = std::clamp(pos, -1e7, 1e7);
    const CString text = label ? FormatTickLabel(v, dateForm) : CString();
    CSize extent;
    {
        CFontSelector measure(&m_TickFont, dc, false);
        extent = GetMultiLineTextExtent(dc, text);
    }
    const int ipos = static_cast<int>(std::clamp(pos, -1e7, 1e7));
    CFontSelector font(&m_TickFont, dc, true);
    CPoint from, to;
    if (m_nKind == yAxis && m_nPlacement == 0) {
        if (label) {
            CRect r(m_nOriginX - extent.cx - m_nTickLength, static_cast<int>(pos - extent.cy / 2), m_nOriginX - m_nTickLength,
                    static_cast<int>(pos + extent.cy / 2));
            dc->DrawText(text, r, DT_RIGHT);
        }
        from = CPoint(m_nOriginX - m_nTickLength, ipos);
        to = (m_bShowGrid && ipos != m_nOriginY) ? CPoint(plot.right, ipos) : CPoint(m_nOriginX, ipos);
    } else if (m_nKind == yAxis) {
        if (label) {
            CRect r(m_nOriginX + m_nTickLength, static_cast<int>(pos - extent.cy / 2), m_nOriginX + extent.cx + m_nTickLength,
                    static_cast<int>(pos + extent.cy / 2));
            dc->DrawText(text, r, DT_LEFT);
        }
        from = CPoint(m_nOriginX + m_nTickLength, ipos);
        to = (m_bShowGrid && ipos != m_nOriginY) ? CPoint(plot.left, ipos) : CPoint(m_nOriginX, ipos);
    } else {
        if (label) {
            CRect r(static_cast<int>(pos - extent.cx / 2), m_nOriginY + m_nTickLength, static_cast<int>(pos + extent.cx / 2),
                    m_nOriginY + extent.cy + m_nTickLength);
            dc->DrawText(text, r, DT_CENTER);
        }
        from = CPoint(ipos, m_nOriginY + m_nTickLength);
        to = (m_bShowGrid && ipos != m_nOriginX) ? CPoint(ipos, plot.top) : CPoint(ipos, m_nOriginY);
    }
    CPenSelector pen(m_crGridColor, 1, dc, m_nGridStyle);
    if (transparentGrid) dc->SetBkMode(TRANSPARENT);
    dc->MoveTo(from);
    dc->LineTo(to);
    dc->SetBkMode(OPAQUE);
}

void CXGraphAxis::DrawLog(CDCEx* target)
{
    std::unique_ptr<CDCEx> hidden;
    if (!m_bVisible) hidden = MakeThrowAwayContext(target);
    CDCEx* dc = hidden ? hidden.get() : target;
    const CRect plot = PlotRect();
    const CSize title = ScaleAndMeasureHead(dc);
    int farEnd;
    if (m_nKind == xAxis) {
        farEnd = static_cast<int>(plot.right - m_dMarkerSpace);
        m_nLength = static_cast<int>(plot.right - m_dHeadSpace - m_dMarkerSpace) - plot.left;
    } else {
        farEnd = static_cast<int>(plot.top + m_dMarkerSpace);
        m_nLength = plot.bottom - static_cast<int>(plot.top + m_dHeadSpace + m_dMarkerSpace);
    }
    DrawAcrossPlot(dc);
    DrawTitle(dc, title, farEnd);

    if (!(m_nKind == yAxis && m_nPlacement != 0 && m_nPlacement != 1) && m_dMin > 0.0 && m_dMax > 0.0 &&
        std::isfinite(m_dMin) && std::isfinite(m_dMax)) {
        const double lo = std::pow(10.0, std::floor(std::log10(m_dMin)));
        const double hi = std::pow(10.0, std::ceil(std::log10(m_dMax)));
        int decades = 0;
        for (double d = lo; d < hi && decades < 700; d *= 10.0, ++decades) {
            int k = 1;
            for (double v = d; v < 10.0 * d && k < 10; v = d * ++k) {
                if (v < m_dMin || v > m_dMax) continue;
                const ChartPoint p{v, v};
                const CPoint pixel = GetPointForValue(p);
                const double pos = m_nKind == yAxis ? pixel.y : pixel.x;
                // Only decade values carry a label; a Y axis uses the date form here too.
                DrawTick(dc, v, pos, k == 1, false, m_bDateTime);
            }
        }
    }

    DrawAxisLine(dc, farEnd);
}

void CXGraphAxis::DrawColorRanges(CDCEx* dc)
{
    if (m_ColorRanges.empty()) return;
    const CRect plot = PlotRect();
    CQuickFont quick("Arial", 12, FW_BOLD, 0);
    CFontSelector font(&quick, dc, true);
    const int bkMode = dc->SetBkMode(TRANSPARENT);
    for (const ColorRange& range : m_ColorRanges) {
        CRect band;
        const ChartPoint from{range.from, range.from};
        const ChartPoint to{range.to, range.to};
        if (m_nKind == yAxis) {
            const int a = std::clamp(static_cast<int>(GetPointForValue(from).y), static_cast<int>(plot.top), static_cast<int>(plot.bottom));
            const int b = std::clamp(static_cast<int>(GetPointForValue(to).y), static_cast<int>(plot.top), static_cast<int>(plot.bottom));
            band = CRect(plot.left, b, plot.right, a);
        } else {
            const int a = std::clamp(static_cast<int>(GetPointForValue(from).x), static_cast<int>(plot.left), static_cast<int>(plot.right));
            const int b = std::clamp(static_cast<int>(GetPointForValue(to).x), static_cast<int>(plot.left), static_cast<int>(plot.right));
            band = CRect(a, plot.top, b, plot.bottom);
        }
        if (range.fillStyle == 6) {
            if (range.color == range.color2) {
                CBrush brush(range.color);
                dc->FillRect(band, &brush);
            }
        } else if (range.fillStyle >= 0 && range.fillStyle <= 5) {
            CPenSelector pen(range.color, 1, dc, PS_SOLID);
            CBrushSelector brush(range.color, range.fillStyle, dc);
            dc->Rectangle(band);
        }
        if (range.text[0] != '\0') {
            CRect inner = band;
            inner.DeflateRect(2, 2);
            dc->DrawText(CString(range.text), inner, 0);
        }
    }
    dc->SetBkMode(bkMode);
}

void CXGraphAxis::DrawValueLines(CDCEx* dc)
{
    if (m_ValueLines.empty()) return;
    const CRect plot = PlotRect();
    CQuickFont quick("Arial", 12, FW_BOLD, 0);
    CFontSelector font(&quick, dc, true);
    const int bkMode = dc->SetBkMode(TRANSPARENT);
    for (const AxisValueLine& line : m_ValueLines) {
        const int width = static_cast<short>(line.penWidth & 0xFFFF);
        CPenSelector pen(line.color, width, dc, line.penStyle);
        const ChartPoint value{line.value, line.value};
        if (m_nKind == yAxis) {
            const int y = GetPointForValue(value).y;
            if (y < plot.top || y > plot.bottom) continue;
            CQuickFont lineFont(line.font);
            CFontSelector selected(&lineFont, dc, true);
            dc->MoveTo(plot.left, y);
            dc->LineTo(plot.right, y);
            if (line.showValue) dc->TextOut(dc->ScaleX(plot.left), dc->ScaleY(y), FormatTickLabel(line.value));
            if (!line.text.IsEmpty()) {
                const CSize w = dc->GetTextExtent("W");
                CRect r(plot.left, y, plot.right, y - w.cy);
                r.NormalizeRect();
                r = dc->ScaleRect(r);
                dc->CDC::DrawText(line.text, r, DT_SINGLELINE | DT_RIGHT);
            }
        } else {
            const int x = GetPointForValue(value).x;
            if (x < plot.left || x > plot.right) continue;
            CQuickFont lineFont(line.font);
            CFontSelector selected(&lineFont, dc, true);
            dc->MoveTo(x, plot.bottom);
            dc->LineTo(x, plot.top);
            if (line.showValue) dc->TextOut(dc->ScaleX(x), dc->ScaleY(plot.bottom), FormatTickLabel(line.value));
            if (!line.text.IsEmpty()) {
                const CSize w = dc->GetTextExtent("W");
                CRect r(x, plot.top + w.cy, x + w.cx, plot.bottom);
                r.NormalizeRect();
                r = dc->ScaleRect(r);
                dc->TextOut(r.left - w.cy, r.top + w.cx, line.text);
            }
        }
    }
    dc->SetBkMode(bkMode);
}

int CXGraphAxis::CurveIndexBase() const { return m_pGraph ? m_pGraph->GetAxisIndex(this) : -1; }

int CXGraphAxis::DrawCurveMarkers(CDCEx* dc, bool draw)
{
    if (!m_bShowMarkers) return 0;
    const int s = m_nMarkerSize;
    const int self = CurveIndexBase();
    const CRect plot = PlotRect();
    int count = 0;
    int dx = m_nKind == xAxis ? s : 0;
    int dy = 0;
    if (m_pGraph && self >= 0) {
        for (int i = 0; i < m_pGraph->GetCurveCount(); ++i) {
            const CXGraphDataSerie& curve = m_pGraph->GetCurve(i);
            if (!curve.m_bVisible) continue;
            if ((m_nKind == xAxis ? curve.m_nXAxis : curve.m_nYAxis) != self) continue;
            const int number = curve.m_nMarkerType != 0 ? curve.m_nMarker : i;
            int x, y;
            if (m_nKind == xAxis) {
                x = plot.right - dx;
                y = m_nOriginY - s / 2 + dy;
            } else {
                x = m_nPlacement != 1 ? m_nOriginX - s / 2 - dx : m_nOriginX - s / 2 + dx;
                y = m_rcPlot.top + dy;
            }
            if (draw) DrawCurveMarker(dc, x, y, number, s, curve.m_crColor, curve.m_nMarkerType == 1);
            ++count;
            if (m_nKind == xAxis) {
                if (count % 2 == 0) {
                    dx += s;
                    dy = 0;
                } else {
                    dy += s;
                }
            } else {
                if (count % 3 == 0) {
                    dy += s;
                    dx = 0;
                } else {
                    dx += s;
                }
            }
        }
    }
    if (m_nKind == xAxis) {
        if (count % 2 == 1) dx += s;
        return dx;
    }
    if (count % 3 != 0) dy += s;
    return dy;
}

void CXGraphAxis::DrawCurveMarker(CDCEx* dc, int x, int y, int n, int size, COLORREF color, bool useSymbol)
{
    if (useSymbol) {
        // A symbol number from a file that names no painter draws nothing.
        if (n >= 0 && n < kMarkerPainterCount) kMarkerPainters[n](x, y, size, color, 0, dc);
        return;
    }
    const bool mono = dc->m_bMonochrome;
    dc->FillSolidRect(CRect(x, y, x + size, y + size), mono ? RGB(0, 0, 0) : color);
    CQuickFont quick("Arial", size, 100, 0);
    CFontSelector font(&quick, dc, true);
    COLORREF textColor = RGB(255, 255, 255);
    if (!mono) {
        int v = std::max(GetRValue(color), GetGValue(color));
        v = std::max(v, GetBValue(color) / 2);
        textColor = v <= 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    }
    const COLORREF previous = dc->SetTextColor(textColor);
    CString text;
    text.Format("%d", n + 1);
    CRect r(x, y, x + size, y + size);
    dc->DrawText(text, r, DT_CENTER);
    dc->SetTextColor(previous);
}

void CXGraphAxis::DrawArrow(CDCEx* dc, int x, int y, int direction, int size)
{
    size = std::clamp(size, 0, 1000);
    for (int i = 0; i < size; ++i) {
        switch (direction) {
        case 0:
            dc->MoveTo(x + i, y - i);
            dc->LineTo(x + i, y + i);
            break;
        case 1:
            dc->MoveTo(x - i, y + i);
            dc->LineTo(x + i, y + i);
            break;
        case 2:
            dc->MoveTo(x - size + i, y - (size - i));
            dc->LineTo(x - size + i, y + (size - i));
            break;
        case 3:
            dc->MoveTo(x - (size - i), y + i);
            dc->LineTo(x + (size - i), y + i);
            break;
        default: return;
        }
    }
}
