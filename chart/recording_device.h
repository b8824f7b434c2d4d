#pragma once
// Devices without pixels: one that records every primitive for tests, and one that only
// measures text for layout. Both have a settable resolution and colour depth, so that a test
// can stand in for a printer.

#include <vector>

#include "chart/dc.h"

namespace chart {

// A device that draws nothing and answers the questions of layout.
class MeasuringDevice : public DcDevice {
public:
    MeasuringDevice(int width = 800, int height = 600, int dpiX = 96, int dpiY = 96);
    int GetDeviceCaps(int index) const override;
    void SetNumColors(int colors) { m_numColors = colors; }
    void SetPrinting(bool printing) { m_printing = printing; }
    bool IsPrinting() const override { return m_printing; }

    void Line(CPoint, CPoint) override {}
    void Rectangle(const CRect&) override {}
    void Ellipse(const CRect&) override {}
    void Polygon(const std::vector<CPoint>&) override {}
    void FillRect(const CRect&, const CBrush&) override {}
    void FocusRect(const CRect&) override {}
    void Text(CPoint, const CString&, const CRect&) override {}
    void Blit(const CRect&, const QImage&, CPoint) override {}

private:
    int m_width;
    int m_height;
    int m_dpiX;
    int m_dpiY;
    int m_numColors = -1;
    bool m_printing = false;
};

// One recorded primitive, with the state it was drawn with.
struct DrawRecord {
    enum class Op { Line, Rectangle, Ellipse, Polygon, FillRect, FocusRect, Text, DrawText, Blit };
    Op op;
    CRect rect;                  // Line: from (left, top) to (right, bottom)
    std::vector<CPoint> points;  // Polygon
    CString text;                // Text, DrawText
    UINT format = 0;             // DrawText
    CPen pen;
    CBrush brush;                // FillRect: the brush given; others: the selected brush
    LOGFONT font{};
    COLORREF textColor = 0;
    COLORREF bkColor = 0;
    int bkMode = 0;
    int rop2 = 0;
};

class RecordingDevice : public MeasuringDevice {
public:
    using MeasuringDevice::MeasuringDevice;
    const std::vector<DrawRecord>& records() const { return m_records; }
    void Clear() { m_records.clear(); }
    // The records of one kind, in drawing order.
    std::vector<DrawRecord> Of(DrawRecord::Op op) const;

    void Line(CPoint from, CPoint to) override;
    void Rectangle(const CRect& r) override;
    void Ellipse(const CRect& r) override;
    void Polygon(const std::vector<CPoint>& points) override;
    void FillRect(const CRect& r, const CBrush& brush) override;
    void FocusRect(const CRect& r) override;
    void Text(CPoint p, const CString& text, const CRect& clip) override;
    int DrawText(const CString& text, CRect& rect, UINT format) override;
    void Blit(const CRect& dest, const QImage& source, CPoint sourceTopLeft) override;

private:
    DrawRecord& Add(DrawRecord::Op op);
    std::vector<DrawRecord> m_records;
    bool m_inDrawText = false;
};

}  // namespace chart
