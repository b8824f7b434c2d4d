#pragma once
// Drawing devices over QPainter: an image (the chart's pictures and the screen's back buffer)
// and a printer (paper or PDF). The painter's transform stays the identity: every coordinate
// arriving here is already a device pixel.

#include <QImage>
#include <QPainter>
#include <memory>
#include <optional>

#include "chart/dc.h"
#include "chart/pixel_lines.h"

class QPrinter;

namespace chart {

class PainterDevice : public DcDevice {
public:
    ~PainterDevice() override;

    int GetDeviceCaps(int index) const override;
    // Colours the target can show; below 256 the chart draws in black and white. -1: all.
    void SetNumColors(int colors) { m_numColors = colors; }

    void Line(CPoint from, CPoint to) override;
    void Polyline(const std::vector<CPoint>& points) override;
    void Rectangle(const CRect& r) override;
    void Ellipse(const CRect& r) override;
    void Polygon(const std::vector<CPoint>& points) override;
    void FillRect(const CRect& r, const CBrush& brush) override;
    void FocusRect(const CRect& r) override;
    void Text(CPoint p, const CString& text, const CRect& clip) override;
    void Blit(const CRect& dest, const QImage& source, CPoint sourceTopLeft) override;
    void ClipChanged() override;
    void StateRestored() override;

protected:
    PainterDevice() = default;
    // Raster operations work on images only; printers draw plainly.
    virtual bool SupportsRasterOps() const { return true; }
    // The image whose pixels may be written directly while painting, or null.
    virtual QImage* DirectPixels() { return nullptr; }
    QPainter* painter() { return m_painter.get(); }
    void BeginPainting(QPaintDevice* device);
    void EndPainting();
    int m_numColors = -1;
    QPaintDevice* m_target = nullptr;

private:
    void ApplyPen(bool forOutline);
    void ApplyBrush(const CBrush& brush);
    void ApplyRop();
    // The painter keeps what was applied last; it is set again only when the state differs.
    // Operations that set the painter's pen or composition themselves forget what was applied.
    void ForgetApplied() { m_ropApplied = m_penApplied = false; }
    std::unique_ptr<QPainter> m_painter;
    bool m_ropApplied = false;
    int m_appliedRop = 0;
    int m_appliedBkMode = 0;
    COLORREF m_appliedBkColor = 0;
    bool m_penApplied = false;
    CPen m_appliedPen;
    QList<QLine> m_lines;
    // A writer of the current pen's lines straight into the image's pixels, or nothing when the
    // pen, raster operation or target asks for the painter.
    std::optional<PixelLineWriter> DirectLines();
};

// Draws into an image the caller owns; the image must outlive the device.
class ImageDevice : public PainterDevice {
public:
    explicit ImageDevice(QImage& image);
    ~ImageDevice() override;
    QImage& image() { return m_image; }

protected:
    QImage* DirectPixels() override;

private:
    QImage& m_image;
};

// Draws onto a printer. StartDoc begins the painter, StartPage after EndPage starts a new sheet,
// EndDoc finishes the document.
class PrinterDevice : public PainterDevice {
public:
    explicit PrinterDevice(QPrinter& printer);
    ~PrinterDevice() override;
    bool IsPrinting() const override { return true; }
    int GetDeviceCaps(int index) const override;

    bool StartDoc(const CString& name) override;
    bool StartPage() override;
    bool EndPage() override;
    bool EndDoc() override;

protected:
    bool SupportsRasterOps() const override { return false; }

private:
    QPrinter& m_printer;
    bool m_inDoc = false;
    bool m_pageEnded = false;
};

}  // namespace chart
