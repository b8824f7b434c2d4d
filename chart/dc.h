#pragma once
// CDC: the drawing context every chart element draws through.
//
// A context is a thin handle on a DcDevice, which holds the drawing state (pen, brush, font,
// colours, modes, current position, clipping) and puts the primitives onto a target: an image,
// a printer, a recording for tests, or nothing at all while only text is measured. Two CDC
// objects attached to one device share its state, as two handles on one device context did.
//
// The conventions are those the chart's geometry was designed for: right and bottom edges of
// rectangles lie outside them, LineTo leaves out its last pixel, TextOut anchors the top-left
// corner of the text, an opaque background fills behind text, polygons fill even-odd.

#include <memory>
#include <vector>

#include "chart/gdi_types.h"
#include "platform/cstring.h"

class QImage;

class CPen {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    bool CreatePen(int style, int width, COLORREF color)
    {
        m_style = style;
        m_width = width;
        m_color = color;
        return true;
    }
    int style() const { return m_style; }
    int width() const { return m_width; }
    COLORREF color() const { return m_color; }

private:
    int m_style = PS_SOLID;
    int m_width = 1;
    COLORREF m_color = 0;
};

class CBrush {
public:
    enum class Kind { Null, Solid, Hatched };
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    bool CreateSolidBrush(COLORREF color)
    {
        m_kind = Kind::Solid;
        m_color = color;
        return true;
    }
    // Hatch styles outside 0..5 give a solid brush rather than an unusable one.
    bool CreateHatchBrush(int hatch, COLORREF color)
    {
        m_kind = (hatch >= HS_HORIZONTAL && hatch <= HS_DIAGCROSS) ? Kind::Hatched : Kind::Solid;
        m_hatch = hatch;
        m_color = color;
        return true;
    }
    static CBrush Null() { return CBrush(); }
    Kind kind() const { return m_kind; }
    COLORREF color() const { return m_color; }
    int hatch() const { return m_hatch; }

private:
    Kind m_kind = Kind::Null;
    COLORREF m_color = 0;
    int m_hatch = 0;
};

class CFont {
public:
    CFont() = default;
    bool CreateFontIndirect(const LOGFONT* lf)
    {
        if (!lf) return false;
        m_lf = *lf;
        m_created = true;
        return true;
    }
    bool CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, const char* face);
    const LOGFONT& logFont() const { return m_lf; }
    bool GetSafeHandle() const { return m_created; }
    bool DeleteObject()
    {
        const bool had = m_created;
        m_created = false;
        return had;
    }

private:
    LOGFONT m_lf{};
    bool m_created = false;
};

// What a device draws with at one moment.
struct GdiState {
    CPen pen;
    CBrush brush{RGB(255, 255, 255)};
    LOGFONT font{};
    COLORREF textColor = 0;
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    CPoint position;
    bool clipped = false;
    CRect clip;
};

// The target behind one or more contexts. Coordinates reaching a device are device pixels.
class DcDevice {
public:
    DcDevice();
    virtual ~DcDevice();
    DcDevice(const DcDevice&) = delete;
    DcDevice& operator=(const DcDevice&) = delete;

    GdiState& state() { return m_state; }
    int Save();
    bool Restore(int level);

    virtual int GetDeviceCaps(int index) const = 0;
    virtual bool IsPrinting() const { return false; }
    // The area that may be drawn on, in device pixels.
    virtual CRect ClipBox() const;

    // Primitives in device pixels, drawn with the current state.
    virtual void Line(CPoint from, CPoint to) = 0;
    // Lines through the points in order; by default one Line per pair.
    virtual void Polyline(const std::vector<CPoint>& points);
    virtual void Rectangle(const CRect& r) = 0;
    virtual void Ellipse(const CRect& r) = 0;
    virtual void Polygon(const std::vector<CPoint>& points) = 0;
    virtual void FillRect(const CRect& r, const CBrush& brush) = 0;
    virtual void FocusRect(const CRect& r) = 0;
    // One line of text with its top-left corner at p; clip limits it when not empty.
    virtual void Text(CPoint p, const CString& text, const CRect& clip) = 0;
    // The multi-line layout of DrawText; devices that record override it.
    virtual int DrawText(const CString& text, CRect& rect, UINT format);
    virtual void Blit(const CRect& dest, const QImage& source, CPoint sourceTopLeft) = 0;
    virtual void ClipChanged() {}
    virtual void StateRestored() {}

    // Text metrics of the current font.
    virtual CSize MeasureText(const CString& text) const;
    virtual int FontHeight() const;

    // Print jobs; ordinary devices accept and ignore them.
    virtual bool StartDoc(const CString&) { return true; }
    virtual bool StartPage() { return true; }
    virtual bool EndPage() { return true; }
    virtual bool EndDoc() { return true; }

private:
    GdiState m_state;
    std::vector<GdiState> m_saved;
};

class CDC {
public:
    CDC() = default;
    explicit CDC(std::shared_ptr<DcDevice> device) : m_device(std::move(device)) {}
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Attaching makes this context draw on the device of another one, sharing its state.
    void Attach(std::shared_ptr<DcDevice> device) { m_device = std::move(device); }
    void Detach() { m_device.reset(); }
    const std::shared_ptr<DcDevice>& device() const { return m_device; }

    // A print preview draws on one device and answers its questions about another.
    void SetPreviewAttribute(bool separate) { m_separateAttrib = separate; }
    bool HasSeparateAttribDC() const { return m_separateAttrib; }

    int GetDeviceCaps(int index) const { return m_device->GetDeviceCaps(index); }
    bool IsPrinting() const { return m_device->IsPrinting(); }

    // State
    CPen SelectObject(const CPen& pen);
    CBrush SelectObject(const CBrush& brush);
    CFont SelectObject(const CFont& font);
    void SelectStockObject(int stock);
    const CBrush& GetCurrentBrush() const { return m_device->state().brush; }
    const LOGFONT& GetCurrentFont() const { return m_device->state().font; }
    virtual COLORREF SetBkColor(COLORREF color);
    virtual COLORREF SetTextColor(COLORREF color);
    COLORREF GetBkColor() const { return m_device->state().bkColor; }
    int SetBkMode(int mode);
    int SetROP2(int rop);
    int GetROP2() const { return m_device->state().rop2; }
    int SaveDC() { return m_device->Save(); }
    bool RestoreDC(int level);
    void IntersectClipRect(const CRect& rect);
    void SelectClipRgn(std::nullptr_t);
    CRect GetClipBox() const;

    // Drawing, in device pixels
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    bool LineTo(int x, int y);
    bool LineTo(POINT p) { return LineTo(p.x, p.y); }
    bool Rectangle(int x1, int y1, int x2, int y2);
    bool Rectangle(const RECT& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    bool Ellipse(int x1, int y1, int x2, int y2);
    bool Ellipse(const RECT& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }
    bool Polygon(const POINT* points, int count);
    // Lines through the points in order; the current position does not move.
    bool Polyline(const POINT* points, int count);
    void FillRect(const RECT& r, const CBrush* brush);
    // Fills with the colour and, as the original did, leaves it as the background colour.
    void FillSolidRect(const RECT& r, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void DrawFocusRect(const RECT& r);
    bool TextOut(int x, int y, const CString& text);
    int DrawText(const CString& text, RECT& rect, UINT format);
    CSize GetTextExtent(const CString& text) const { return m_device->MeasureText(text); }
    bool BitBlt(int x, int y, int width, int height, const QImage& source, int sx, int sy);

    bool StartDoc(const CString& name) { return m_device->StartDoc(name); }
    bool StartPage() { return m_device->StartPage(); }
    bool EndPage() { return m_device->EndPage(); }
    bool EndDoc() { return m_device->EndDoc(); }

protected:
    std::shared_ptr<DcDevice> m_device;
    bool m_separateAttrib = false;
};

// The dots per inch of the screen the chart's geometry is designed for.
int ScreenLogPixels();
