#include "chart/dc.h"

#include <QFontMetricsF>
#include <QImage>
#include <cmath>

#include "chart/font_mapping.h"
#include "platform/qt_text.h"

COLORREF GetSysColor(int index)
{
    switch (index) {
    case COLOR_APPWORKSPACE: return RGB(171, 171, 171);
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_HIGHLIGHT: return RGB(0, 120, 215);
    case COLOR_INACTIVEBORDER: return RGB(244, 247, 252);
    default: return 0;
    }
}

int ScreenLogPixels() { return 96; }

bool CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* face)
{
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    lf.SetFaceName(face ? face : "");
    return CreateFontIndirect(&lf);
}

// ---------------------------------------------------------------------------------------------
// DcDevice

DcDevice::DcDevice()
{
    m_state.font.lfHeight = 16;
    m_state.font.lfWeight = FW_NORMAL;
    m_state.font.SetFaceName("Arial");
}

DcDevice::~DcDevice() = default;

int DcDevice::Save()
{
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

bool DcDevice::Restore(int level)
{
    // -1 restores the state saved last; a positive level the state of that SaveDC.
    if (level < 0) level = static_cast<int>(m_saved.size()) + 1 + level;
    if (level < 1 || level > static_cast<int>(m_saved.size())) return false;
    m_state = m_saved[static_cast<std::size_t>(level - 1)];
    m_saved.resize(static_cast<std::size_t>(level - 1));
    StateRestored();
    return true;
}

void DcDevice::Polyline(const std::vector<CPoint>& points)
{
    for (std::size_t i = 1; i < points.size(); ++i) Line(points[i - 1], points[i]);
}

CRect DcDevice::ClipBox() const
{
    CRect box(0, 0, GetDeviceCaps(HORZRES), GetDeviceCaps(VERTRES));
    if (m_state.clipped) {
        CRect clipped;
        clipped.IntersectRect(box, m_state.clip);
        return clipped;
    }
    return box;
}

CSize DcDevice::MeasureText(const CString& text) const
{
    const chart::FontWithMetrics& font = chart::CachedFont(m_state.font);
    return {font.Width(std::string(text.GetString(), static_cast<std::size_t>(text.GetLength()))), font.height};
}

int DcDevice::FontHeight() const { return chart::CachedFont(m_state.font).height; }

int DcDevice::DrawText(const CString& text, CRect& rect, UINT format)
{
    // Lines break only at line feeds; a carriage return before one belongs to the break.
    std::vector<CString> lines;
    if (format & DT_SINGLELINE) {
        CString one = text;
        one.Remove('\r');
        one.Remove('\n');
        lines.push_back(one);
    } else {
        int start = 0;
        while (true) {
            const int lf = text.Find('\n', start);
            CString line = lf < 0 ? text.Mid(start) : text.Mid(start, lf - start);
            if (line.GetLength() > 0 && line.GetAt(line.GetLength() - 1) == '\r') line = line.Left(line.GetLength() - 1);
            lines.push_back(line);
            if (lf < 0) break;
            start = lf + 1;
        }
    }
    const int lineHeight = FontHeight();
    int maxWidth = 0;
    std::vector<int> widths;
    for (const CString& line : lines) {
        widths.push_back(line.IsEmpty() ? 0 : MeasureText(line).cx);
        maxWidth = std::max(maxWidth, widths.back());
    }
    const int height = lineHeight * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
        rect.right = rect.left + maxWidth;
        rect.bottom = rect.top + height;
        return height;
    }
    int y = rect.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) y = rect.top + (rect.Height() - height) / 2;
        else if (format & DT_BOTTOM) y = rect.bottom - height;
    }
    const CRect clip = (format & DT_NOCLIP) ? CRect() : CRect(std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
                                                              std::max(rect.left, rect.right), std::max(rect.top, rect.bottom));
    if (!(format & DT_NOCLIP) && clip.IsRectEmpty()) return height;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int x = rect.left;
        if (format & DT_CENTER) x = rect.left + (rect.Width() - widths[i]) / 2;
        else if (format & DT_RIGHT) x = rect.right - widths[i];
        if (!lines[i].IsEmpty()) Text({x, y}, lines[i], clip);
        y += lineHeight;
    }
    return height;
}

// ---------------------------------------------------------------------------------------------
// CDC

CDC::~CDC() = default;

CPen CDC::SelectObject(const CPen& pen)
{
    CPen previous = m_device->state().pen;
    m_device->state().pen = pen;
    return previous;
}

CBrush CDC::SelectObject(const CBrush& brush)
{
    CBrush previous = m_device->state().brush;
    m_device->state().brush = brush;
    return previous;
}

CFont CDC::SelectObject(const CFont& font)
{
    CFont previous;
    previous.CreateFontIndirect(&m_device->state().font);
    if (font.GetSafeHandle()) m_device->state().font = font.logFont();
    return previous;
}

void CDC::SelectStockObject(int stock)
{
    if (stock == NULL_BRUSH) m_device->state().brush = CBrush::Null();
    else if (stock == NULL_PEN) m_device->state().pen = CPen(PS_NULL, 0, 0);
}

COLORREF CDC::SetBkColor(COLORREF color)
{
    const COLORREF previous = m_device->state().bkColor;
    m_device->state().bkColor = color;
    return previous;
}

COLORREF CDC::SetTextColor(COLORREF color)
{
    const COLORREF previous = m_device->state().textColor;
    m_device->state().textColor = color;
    return previous;
}

int CDC::SetBkMode(int mode)
{
    const int previous = m_device->state().bkMode;
    if (mode == OPAQUE || mode == TRANSPARENT) m_device->state().bkMode = mode;
    return previous;
}

int CDC::SetROP2(int rop)
{
    const int previous = m_device->state().rop2;
    m_device->state().rop2 = rop;
    return previous;
}

bool CDC::RestoreDC(int level) { return m_device->Restore(level); }

void CDC::IntersectClipRect(const CRect& rect)
{
    GdiState& s = m_device->state();
    CRect r = rect;
    r.NormalizeRect();
    if (s.clipped) {
        CRect both;
        both.IntersectRect(s.clip, r);
        s.clip = both;
    } else {
        s.clip = r;
    }
    s.clipped = true;
    m_device->ClipChanged();
}

void CDC::SelectClipRgn(std::nullptr_t)
{
    m_device->state().clipped = false;
    m_device->ClipChanged();
}

CRect CDC::GetClipBox() const { return m_device->ClipBox(); }

CPoint CDC::MoveTo(int x, int y)
{
    const CPoint previous = m_device->state().position;
    m_device->state().position = CPoint(x, y);
    return previous;
}

bool CDC::LineTo(int x, int y)
{
    const CPoint from = m_device->state().position;
    m_device->Line(from, CPoint(x, y));
    m_device->state().position = CPoint(x, y);
    return true;
}

bool CDC::Rectangle(int x1, int y1, int x2, int y2)
{
    m_device->Rectangle(CRect(x1, y1, x2, y2));
    return true;
}

bool CDC::Ellipse(int x1, int y1, int x2, int y2)
{
    m_device->Ellipse(CRect(x1, y1, x2, y2));
    return true;
}

bool CDC::Polyline(const POINT* points, int count)
{
    if (!points || count < 2) return false;
    std::vector<CPoint> copy(points, points + count);
    m_device->Polyline(copy);
    return true;
}

bool CDC::Polygon(const POINT* points, int count)
{
    if (!points || count < 2) return false;
    std::vector<CPoint> copy(points, points + count);
    m_device->Polygon(copy);
    return true;
}

void CDC::FillRect(const RECT& r, const CBrush* brush)
{
    if (brush) m_device->FillRect(CRect(r), *brush);
}

void CDC::FillSolidRect(const RECT& r, COLORREF color)
{
    SetBkColor(color);
    m_device->FillRect(CRect(r), CBrush(color));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    FillSolidRect(CRect(x, y, x + cx, y + cy), color);
}

void CDC::DrawFocusRect(const RECT& r) { m_device->FocusRect(CRect(r)); }

bool CDC::TextOut(int x, int y, const CString& text)
{
    if (!text.IsEmpty()) m_device->Text({x, y}, text, CRect());
    return true;
}

int CDC::DrawText(const CString& text, RECT& rect, UINT format)
{
    CRect r(rect);
    const int height = m_device->DrawText(text, r, format);
    if (format & DT_CALCRECT) rect = r;
    return height;
}

bool CDC::BitBlt(int x, int y, int width, int height, const QImage& source, int sx, int sy)
{
    m_device->Blit(CRect(x, y, x + width, y + height), source, CPoint(sx, sy));
    return true;
}
