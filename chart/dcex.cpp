#include "chart/dcex.h"

#include <algorithm>
#include <cmath>

CDCEx::~CDCEx() = default;

void CDCEx::ComputeScale(const CDC* target)
{
    const double sx = ScreenLogPixels();
    const double sy = ScreenLogPixels();
    const CDC* t = target ? target : this;
    const double tx = t->GetDeviceCaps(LOGPIXELSX);
    const double ty = t->GetDeviceCaps(LOGPIXELSY);
    // The larger resolution over the smaller: drawing is enlarged, never reduced.
    float fx = static_cast<float>(tx >= sx ? tx / sx : sx / tx);
    float fy = static_cast<float>(ty >= sy ? ty / sy : sy / ty);
    const int colors = t->GetDeviceCaps(NUMCOLORS);
    m_bMonochrome = colors >= 0 && colors <= 255;
    if (!(fy >= 1e-10f) || !std::isfinite(fy)) fy = 1.0f;
    if (!(fx >= 1e-10f) || !std::isfinite(fx)) fx = 1.0f;
    m_fScaleX = fx;
    m_fScaleY = fy;
    m_bScaleKnown = true;
}

void CDCEx::EnsureScale()
{
    if (m_bScaling && !m_bScaleKnown) ComputeScale(nullptr);
}

int CDCEx::ScaleX(int x)
{
    if (!m_bScaling) return x;
    EnsureScale();
    return static_cast<int>(static_cast<double>(x) * static_cast<double>(m_fScaleX));
}

int CDCEx::ScaleY(int y)
{
    if (!m_bScaling) return y;
    EnsureScale();
    return static_cast<int>(static_cast<double>(y) * static_cast<double>(m_fScaleY));
}

CRect CDCEx::ScaleRect(const RECT& r) { return {ScaleX(r.left), ScaleY(r.top), ScaleX(r.right), ScaleY(r.bottom)}; }

CPoint CDCEx::MoveTo(int x, int y) { return CDC::MoveTo(ScaleX(x), ScaleY(y)); }
bool CDCEx::LineTo(int x, int y) { return CDC::LineTo(ScaleX(x), ScaleY(y)); }

bool CDCEx::Rectangle(int x1, int y1, int x2, int y2)
{
    return CDC::Rectangle(ScaleX(x1), ScaleY(y1), ScaleX(x2), ScaleY(y2));
}

bool CDCEx::Ellipse(int x1, int y1, int x2, int y2)
{
    return CDC::Ellipse(ScaleX(x1), ScaleY(y1), ScaleX(x2), ScaleY(y2));
}

bool CDCEx::Polygon(const POINT* points, int count)
{
    if (!m_bScaling || !points || count <= 0) return CDC::Polygon(points, count);
    std::vector<POINT> scaled(points, points + count);
    for (POINT& p : scaled) {
        p.x = ScaleX(p.x);
        p.y = ScaleY(p.y);
    }
    return CDC::Polygon(scaled.data(), count);
}

bool CDCEx::Polyline(const POINT* points, int count)
{
    if (!m_bScaling || !points || count <= 0) return CDC::Polyline(points, count);
    std::vector<POINT> scaled(points, points + count);
    for (POINT& p : scaled) {
        p.x = ScaleX(p.x);
        p.y = ScaleY(p.y);
    }
    return CDC::Polyline(scaled.data(), count);
}

void CDCEx::FillRect(const RECT& r, const CBrush* brush) { CDC::FillRect(ScaleRect(r), brush); }
void CDCEx::FillSolidRect(const RECT& r, COLORREF color) { CDC::FillSolidRect(ScaleRect(r), color); }

void CDCEx::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    // Position and size scale as two points, each pair by the X and Y factor.
    CDC::FillSolidRect(ScaleX(x), ScaleY(y), ScaleX(cx), ScaleY(cy), color);
}

void CDCEx::DrawFocusRect(const RECT& r) { CDC::DrawFocusRect(ScaleRect(r)); }

int CDCEx::DrawText(const CString& text, RECT& rect, UINT format)
{
    if (format & DT_CALCRECT) {
        // The caller's rectangle is scaled in place, so the result comes back in device units.
        rect = ScaleRect(rect);
        return CDC::DrawText(text, rect, format);
    }
    CRect copy = ScaleRect(rect);
    return CDC::DrawText(text, copy, format);
}

// ---------------------------------------------------------------------------------------------
// Selectors

CPenSelector::CPenSelector(COLORREF color, int width, CDCEx* dc, int style) : m_pDC(dc)
{
    dc->EnsureScale();
    int w = width;
    if (dc->m_bScaling && style == PS_SOLID) {
        w = static_cast<int>(std::clamp(static_cast<double>(width) * static_cast<double>(dc->m_fScaleX), -1e6, 1e6));
    }
    m_pen.CreatePen(style, w, color);
    m_oldPen = dc->SelectObject(m_pen);
}

CPenSelector::~CPenSelector() { m_pDC->SelectObject(m_oldPen); }

CBrushSelector::CBrushSelector(COLORREF color, CDCEx* dc) : m_pDC(dc)
{
    dc->EnsureScale();
    m_brush.CreateSolidBrush(color);
    m_oldBrush = dc->SelectObject(m_brush);
}

CBrushSelector::CBrushSelector(COLORREF color, int hatchStyle, CDCEx* dc) : m_pDC(dc)
{
    dc->EnsureScale();
    m_brush.CreateHatchBrush(hatchStyle, color);
    m_oldBrush = dc->SelectObject(m_brush);
}

CBrushSelector::~CBrushSelector() { m_pDC->SelectObject(m_oldBrush); }

CFontSelector::CFontSelector(const CFont* font, CDCEx* dc, bool scale) : m_pDC(dc)
{
    dc->EnsureScale();
    if (dc->m_bScaling && scale && font && font->GetSafeHandle()) {
        LOGFONT lf = font->logFont();
        // In doubles and clamped: a height from a damaged file must not overflow.
        const double height = (static_cast<double>(lf.lfHeight) - 1.0) * static_cast<double>(dc->m_fScaleY);
        const double width = static_cast<double>(lf.lfWidth) * static_cast<double>(dc->m_fScaleX);
        lf.lfHeight = static_cast<LONG>(std::clamp(height, -1e6, 1e6));
        lf.lfWidth = static_cast<LONG>(std::clamp(width, -1e6, 1e6));
        m_scaledFont.CreateFontIndirect(&lf);
        m_oldFont = dc->SelectObject(m_scaledFont);
    } else if (font) {
        m_oldFont = dc->SelectObject(*font);
    } else {
        m_oldFont = dc->SelectObject(CFont());
    }
}

CFontSelector::~CFontSelector() { m_pDC->SelectObject(m_oldFont); }

CQuickFont::CQuickFont(const char* face, int height, int weight, BYTE underline)
{
    CreateFont(height, 0, 0, 0, weight, 0, underline != 0 ? 1 : 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
               CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0, face);
}

// ---------------------------------------------------------------------------------------------
// Marker painters

namespace {

// The filled symbols: a black outline, filled in the colour (black on a reduced-colour device).
void DrawFilledMarker(const POINT* points, int count, COLORREF color, CDCEx* dc)
{
    CPenSelector pen(0, 1, dc, PS_SOLID);
    CBrushSelector brush(dc->m_bMonochrome ? 0 : color, dc);
    dc->Polygon(points, count);
}

}  // namespace

void DrawMarkerSquare(int x, int y, int size, COLORREF color, int, CDCEx* dc)
{
    CPenSelector pen(0, 1, dc, PS_SOLID);
    CBrushSelector brush(dc->m_bMonochrome ? 0 : color, dc);
    dc->Rectangle(x, y, x + size, y + size);
}

void DrawMarkerCircle(int x, int y, int size, COLORREF color, int, CDCEx* dc)
{
    CPenSelector pen(0, 1, dc, PS_SOLID);
    CBrushSelector brush(dc->m_bMonochrome ? 0 : color, dc);
    dc->Ellipse(x, y, x + size, y + size);
}

void DrawMarkerCross(int x, int y, int size, COLORREF color, int, CDCEx* dc)
{
    CPenSelector pen(dc->m_bMonochrome ? 0 : color, 2, dc, PS_SOLID);
    dc->MoveTo(x, y);
    dc->LineTo(x + size, y + size);
    dc->MoveTo(x + size, y);
    dc->LineTo(x, y + size);
}

void DrawMarkerDiamond(int x, int y, int size, COLORREF color, int, CDCEx* dc)
{
    const POINT p[4] = {{x + size / 2, y}, {x + size, y + size / 2}, {x + size / 2, y + size}, {x, y + size / 2}};
    DrawFilledMarker(p, 4, color, dc);
}

void DrawMarkerTriangleLeft(int x, int y, int size, COLORREF color, int, CDCEx* dc)
{
    const POINT p[3] = {{x + size - 1, y}, {x, y + size / 2}, {x + size - 1, y + size}};
    DrawFilledMarker(p, 3, color, dc);
}

void DrawMarkerTriangleUp(int x, int y, int size, COLORREF color, int, CDCEx* dc)
{
    const POINT p[3] = {{x + size / 2, y}, {x + size, y + size}, {x, y + size}};
    DrawFilledMarker(p, 3, color, dc);
}

void DrawMarkerTriangleRight(int x, int y, int size, COLORREF color, int, CDCEx* dc)
{
    const POINT p[3] = {{x, y}, {x + size, y + size / 2}, {x, y + size}};
    DrawFilledMarker(p, 3, color, dc);
}

void DrawMarkerTriangleDown(int x, int y, int size, COLORREF color, int, CDCEx* dc)
{
    const POINT p[3] = {{x, y}, {x + size, y}, {x + size / 2, y + size}};
    DrawFilledMarker(p, 3, color, dc);
}

const MarkerPainter kMarkerPainters[kMarkerPainterCount] = {
    DrawMarkerSquare,       DrawMarkerCircle,     DrawMarkerCross,         DrawMarkerDiamond,
    DrawMarkerTriangleLeft, DrawMarkerTriangleUp, DrawMarkerTriangleRight, DrawMarkerTriangleDown,
};

CSize GetMultiLineTextExtent(CDCEx* dc, const CString& text)
{
    if (text.Find('\n') >= 0) {
        CRect rect(0, 0, 0, 0);
        const int height = dc->DrawText(text, rect, DT_CALCRECT | DT_VCENTER | DT_CENTER);
        return {rect.Width(), height};
    }
    return dc->GetTextExtent(text);
}
