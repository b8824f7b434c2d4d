#pragma once
// CDCEx: the chart's drawing context with its own scaling from screen pixels to a device with
// more dots per inch (a printer), plus the scope objects that select a pen, brush or font and
// put the previous one back, the eight marker painters of the curves, and the measuring of
// multi-line text.
//
// The chart computes all geometry in screen pixels. While scaling is on every coordinate is
// multiplied by a per-axis factor (the larger resolution over the smaller, never below 1) and
// truncated toward zero; with scaling off everything passes through untouched.

#include "chart/dc.h"

class CDCEx : public CDC {
public:
    CDCEx() = default;
    explicit CDCEx(std::shared_ptr<DcDevice> device) : CDC(std::move(device)) {}
    ~CDCEx() override;

    // Computes both factors and the reduced-colour flag against target (null: this context).
    void ComputeScale(const CDC* target = nullptr);

    bool m_bScaleKnown = false;
    bool m_bMonochrome = false;    // the target shows fewer than 256 colours
    bool m_bScaling = false;       // coordinates are multiplied by the factors
    bool m_bPreview = false;       // drawing for a print preview
    bool m_bNoClipScaling = false; // clip rectangles are passed on unscaled
    float m_fScaleX = 1.0f;
    float m_fScaleY = 1.0f;

    COLORREF SetBkColor(COLORREF color) override { return CDC::SetBkColor(color); }
    COLORREF SetTextColor(COLORREF color) override { return CDC::SetTextColor(color); }

    // Scaling of single values and records (no change while scaling is off).
    int ScaleX(int x);
    int ScaleY(int y);
    CRect ScaleRect(const RECT& r);
    void EnsureScale();

    // The scaled drawing operations; they hide the plain ones of CDC.
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    bool LineTo(int x, int y);
    bool LineTo(POINT p) { return LineTo(p.x, p.y); }
    bool Rectangle(int x1, int y1, int x2, int y2);
    bool Rectangle(const RECT& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    bool Ellipse(int x1, int y1, int x2, int y2);
    bool Ellipse(const RECT& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }
    bool Polygon(const POINT* points, int count);
    bool Polyline(const POINT* points, int count);
    void FillRect(const RECT& r, const CBrush* brush);
    void FillSolidRect(const RECT& r, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void DrawFocusRect(const RECT& r);
    int DrawText(const CString& text, RECT& rect, UINT format);
};

// Selects a pen for the length of a scope. A solid pen widens with the X factor when printing.
class CPenSelector {
public:
    CPenSelector(COLORREF color, int width, CDCEx* dc, int style = PS_SOLID);
    ~CPenSelector();
    CPenSelector(const CPenSelector&) = delete;
    CPenSelector& operator=(const CPenSelector&) = delete;

private:
    CDCEx* m_pDC;
    CPen m_pen;
    CPen m_oldPen;
};

// Selects a solid brush, or a hatched one when a hatch style is given. Brushes never scale.
class CBrushSelector {
public:
    CBrushSelector(COLORREF color, CDCEx* dc);
    CBrushSelector(COLORREF color, int hatchStyle, CDCEx* dc);
    ~CBrushSelector();
    CBrushSelector(const CBrushSelector&) = delete;
    CBrushSelector& operator=(const CBrushSelector&) = delete;

private:
    CDCEx* m_pDC;
    CBrush m_brush;
    CBrush m_oldBrush;
};

// Selects a font; with scale set and scaling on, a copy grown by the factors.
class CFontSelector {
public:
    CFontSelector(const CFont* font, CDCEx* dc, bool scale);
    ~CFontSelector();
    CFontSelector(const CFontSelector&) = delete;
    CFontSelector& operator=(const CFontSelector&) = delete;

private:
    CDCEx* m_pDC;
    CFont m_scaledFont;
    CFont m_oldFont;
};

// A font made in one call.
class CQuickFont : public CFont {
public:
    CQuickFont(const char* face, int height, int weight, BYTE underline);
    explicit CQuickFont(const LOGFONT& lf) { CreateFontIndirect(&lf); }
};

// The marker symbols of the curves, in the order of their numbers.
using MarkerPainter = void (*)(int x, int y, int size, COLORREF color, int extra, CDCEx* dc);
void DrawMarkerSquare(int x, int y, int size, COLORREF color, int extra, CDCEx* dc);
void DrawMarkerCircle(int x, int y, int size, COLORREF color, int extra, CDCEx* dc);
void DrawMarkerCross(int x, int y, int size, COLORREF color, int extra, CDCEx* dc);
void DrawMarkerDiamond(int x, int y, int size, COLORREF color, int extra, CDCEx* dc);
void DrawMarkerTriangleLeft(int x, int y, int size, COLORREF color, int extra, CDCEx* dc);
void DrawMarkerTriangleUp(int x, int y, int size, COLORREF color, int extra, CDCEx* dc);
void DrawMarkerTriangleRight(int x, int y, int size, COLORREF color, int extra, CDCEx* dc);
void DrawMarkerTriangleDown(int x, int y, int size, COLORREF color, int extra, CDCEx* dc);
constexpr int kMarkerPainterCount = 8;
extern const MarkerPainter kMarkerPainters[kMarkerPainterCount];

// The size of a text; with a line feed in it, of all its lines laid out centred.
CSize GetMultiLineTextExtent(CDCEx* dc, const CString& text);
