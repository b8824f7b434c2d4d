#include "chart/recording_device.h"

namespace chart {

MeasuringDevice::MeasuringDevice(int width, int height, int dpiX, int dpiY)
    : m_width(width), m_height(height), m_dpiX(dpiX), m_dpiY(dpiY)
{
}

int MeasuringDevice::GetDeviceCaps(int index) const
{
    switch (index) {
    case HORZRES: return m_width;
    case VERTRES: return m_height;
    case LOGPIXELSX: return m_dpiX;
    case LOGPIXELSY: return m_dpiY;
    case NUMCOLORS: return m_numColors;
    case BITSPIXEL: return 32;
    default: return 0;
    }
}

std::vector<DrawRecord> RecordingDevice::Of(DrawRecord::Op op) const
{
    std::vector<DrawRecord> out;
    for (const DrawRecord& r : m_records) {
        if (r.op == op) out.push_back(r);
    }
    return out;
}

DrawRecord& RecordingDevice::Add(DrawRecord::Op op)
{
    DrawRecord r{};
    r.op = op;
    r.pen = state().pen;
    r.brush = state().brush;
    r.font = state().font;
    r.textColor = state().textColor;
    r.bkColor = state().bkColor;
    r.bkMode = state().bkMode;
    r.rop2 = state().rop2;
    m_records.push_back(r);
    return m_records.back();
}

void RecordingDevice::Line(CPoint from, CPoint to) { Add(DrawRecord::Op::Line).rect = CRect(from.x, from.y, to.x, to.y); }
void RecordingDevice::Rectangle(const CRect& r) { Add(DrawRecord::Op::Rectangle).rect = r; }
void RecordingDevice::Ellipse(const CRect& r) { Add(DrawRecord::Op::Ellipse).rect = r; }
void RecordingDevice::Polygon(const std::vector<CPoint>& points) { Add(DrawRecord::Op::Polygon).points = points; }

void RecordingDevice::FillRect(const CRect& r, const CBrush& brush)
{
    DrawRecord& rec = Add(DrawRecord::Op::FillRect);
    rec.rect = r;
    rec.brush = brush;
}

void RecordingDevice::FocusRect(const CRect& r) { Add(DrawRecord::Op::FocusRect).rect = r; }

void RecordingDevice::Text(CPoint p, const CString& text, const CRect& clip)
{
    // The lines of a DrawText are part of its record.
    if (m_inDrawText) return;
    DrawRecord& rec = Add(DrawRecord::Op::Text);
    rec.rect = CRect(p.x, p.y, p.x, p.y);
    rec.text = text;
    (void)clip;
}

int RecordingDevice::DrawText(const CString& text, CRect& rect, UINT format)
{
    if (!(format & DT_CALCRECT)) {
        DrawRecord& rec = Add(DrawRecord::Op::DrawText);
        rec.rect = rect;
        rec.text = text;
        rec.format = format;
    }
    m_inDrawText = true;
    const int height = DcDevice::DrawText(text, rect, format);
    m_inDrawText = false;
    return height;
}

void RecordingDevice::Blit(const CRect& dest, const QImage&, CPoint) { Add(DrawRecord::Op::Blit).rect = dest; }

}  // namespace chart
