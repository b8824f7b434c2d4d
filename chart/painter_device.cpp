#include "chart/painter_device.h"

#include <QPrinter>
#include <cmath>

#include "chart/font_mapping.h"
#include "platform/qt_text.h"

namespace chart {

namespace {

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Coordinates are kept within a range the raster engine handles; beyond it a damaged value
// would only cost time.
constexpr int kCoordinateLimit = 1 << 22;
int Clamp(int v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); }
QPoint ToQPoint(CPoint p) { return {Clamp(p.x), Clamp(p.y)}; }

Qt::BrushStyle HatchStyle(int hatch)
{
    switch (hatch) {
    case HS_HORIZONTAL: return Qt::HorPattern;
    case HS_VERTICAL: return Qt::VerPattern;
    case HS_FDIAGONAL: return Qt::FDiagPattern;
    case HS_BDIAGONAL: return Qt::BDiagPattern;
    case HS_CROSS: return Qt::CrossPattern;
    default: return Qt::DiagCrossPattern;
    }
}

QBrush ToQBrush(const CBrush& brush)
{
    switch (brush.kind()) {
    case CBrush::Kind::Null: return Qt::NoBrush;
    case CBrush::Kind::Solid: return QBrush(ToQColor(brush.color()));
    case CBrush::Kind::Hatched: return QBrush(ToQColor(brush.color()), HatchStyle(brush.hatch()));
    }
    return Qt::NoBrush;
}

}  // namespace

PainterDevice::~PainterDevice() = default;

void PainterDevice::BeginPainting(QPaintDevice* device)
{
    m_target = device;
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(device)) {
        m_painter.reset();
        return;
    }
    ForgetApplied();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    ClipChanged();
}

void PainterDevice::EndPainting()
{
    if (m_painter) m_painter->end();
    m_painter.reset();
}

int PainterDevice::GetDeviceCaps(int index) const
{
    if (!m_target) return 0;
    switch (index) {
    case HORZRES: return m_target->width();
    case VERTRES: return m_target->height();
    case LOGPIXELSX: return m_target->logicalDpiX();
    case LOGPIXELSY: return m_target->logicalDpiY();
    case NUMCOLORS: return m_numColors;
    case BITSPIXEL: return 32;
    case RASTERCAPS: return 0;
    default: return 0;
    }
}

void PainterDevice::ApplyRop()
{
    const GdiState& s = state();
    if (m_ropApplied && m_appliedRop == s.rop2 && m_appliedBkMode == s.bkMode && m_appliedBkColor == s.bkColor) return;
    m_ropApplied = true;
    m_appliedRop = s.rop2;
    m_appliedBkMode = s.bkMode;
    m_appliedBkColor = s.bkColor;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (SupportsRasterOps()) {
        switch (state().rop2) {
        case R2_NOTXORPEN: mode = QPainter::RasterOp_NotSourceXorDestination; break;
        case R2_XORPEN: mode = QPainter::RasterOp_SourceXorDestination; break;
        case R2_NOT: mode = QPainter::RasterOp_NotDestination; break;
        default: break;
        }
    }
    m_painter->setCompositionMode(mode);
    m_painter->setBackgroundMode(state().bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(ToQColor(state().bkColor));
}

void PainterDevice::ApplyPen(bool forOutline)
{
    const CPen& pen = state().pen;
    if (m_penApplied && m_appliedPen.style() == pen.style() && m_appliedPen.width() == pen.width() &&
        m_appliedPen.color() == pen.color()) {
        return;
    }
    m_penApplied = true;
    m_appliedPen = pen;
    if (pen.style() == PS_NULL) {
        m_painter->setPen(Qt::NoPen);
        return;
    }
    QPen qpen(ToQColor(pen.color()));
    const int width = std::clamp(pen.width(), 1, 1000);
    qpen.setWidth(width);
    if (width > 1) {
        qpen.setCapStyle(Qt::RoundCap);
        qpen.setJoinStyle(Qt::RoundJoin);
    } else {
        qpen.setCapStyle(Qt::FlatCap);
        qpen.setJoinStyle(Qt::MiterJoin);
    }
    // The dash patterns of a one-pixel pen; wider dashed pens scale with their width.
    const DashPattern dashes = DashPatternOf(pen.style());
    if (dashes.count) {
        QList<qreal> lengths;
        for (int i = 0; i < dashes.count; ++i) lengths.append(dashes.lengths[static_cast<std::size_t>(i)]);
        qpen.setDashPattern(lengths);
    }
    (void)forOutline;
    m_painter->setPen(qpen);
}

void PainterDevice::ApplyBrush(const CBrush& brush) { m_painter->setBrush(ToQBrush(brush)); }

std::optional<PixelLineWriter> PainterDevice::DirectLines()
{
    const GdiState& s = state();
    const CPen& pen = s.pen;
    if (pen.width() > 1 || s.rop2 != R2_COPYPEN) return std::nullopt;
    const DashPattern dashes = DashPatternOf(pen.style());
    // The gaps of a dashed line over an opaque background are the painter's to fill.
    if (dashes.count && s.bkMode == OPAQUE) return std::nullopt;
    QImage* image = DirectPixels();
    if (!image) return std::nullopt;
    CRect area(0, 0, image->width(), image->height());
    if (s.clipped) area.IntersectRect(area, s.clip);
    return PixelLineWriter(*image, area, qRgb(GetRValue(pen.color()), GetGValue(pen.color()), GetBValue(pen.color())), dashes);
}

void PainterDevice::Line(CPoint from, CPoint to)
{
    if (!m_painter || state().pen.style() == PS_NULL) return;
    const QPoint a = ToQPoint(from);
    const QPoint b = ToQPoint(to);
    if (a == b) return;
    if (const auto direct = DirectLines(); direct && direct->Fits(from, to)) {
        direct->Draw(from, to);
        return;
    }
    ApplyRop();
    ApplyPen(false);
    // A one-pixel line with flat caps leaves out the pixel of its larger end, as a lone line of the
    // pixel writer does.
    m_painter->drawLine(a, b);
}

void PainterDevice::Polyline(const std::vector<CPoint>& points)
{
    if (!m_painter || state().pen.style() == PS_NULL || points.size() < 2) return;
    // Every line leaves out its larger end and starts its pen pattern afresh, so the pixels are
    // those of one LineTo after the other. With a thin pen that copies its colour into an image,
    // the lines (a curve's thousands of short pieces) are written straight into the pixels.
    // Vertical lines that follow each other in one column cover, together, the rows from the
    // smallest y of their points up to but without the largest: they are written as one run.
    const auto direct = DirectLines();
    m_lines.resize(0);
    bool inRun = false;
    CPoint runTop, runBottom;
    const auto endRun = [&] {
        if (inRun) direct->Draw(runTop, runBottom);
        inRun = false;
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        const CPoint& from = points[i - 1];
        const CPoint& to = points[i];
        if (from == to) continue;
        if (!direct || !direct->Fits(from, to)) {
            endRun();
            m_lines.append(QLine(ToQPoint(from), ToQPoint(to)));
        } else if (from.x == to.x) {
            if (!inRun) runTop = runBottom = from;
            inRun = true;
            runTop.y = std::min({runTop.y, from.y, to.y});
            runBottom.y = std::max({runBottom.y, from.y, to.y});
        } else {
            endRun();
            direct->Draw(from, to);
        }
    }
    endRun();
    if (m_lines.isEmpty()) return;
    ApplyRop();
    ApplyPen(false);
    if (direct) {
        // Lines drawn in one call meet at their joints; alone each is what LineTo draws.
        for (const QLine& line : m_lines) m_painter->drawLine(line);
    } else {
        m_painter->drawLines(m_lines.constData(), static_cast<int>(m_lines.size()));
    }
}

void PainterDevice::Rectangle(const CRect& rect)
{
    if (!m_painter) return;
    CRect r = rect;
    r.NormalizeRect();
    ApplyRop();
    const bool noPen = state().pen.style() == PS_NULL;
    // Without an outline the filled area is one pixel smaller to the right and bottom.
    const int shrink = noPen ? 1 : 0;
    if (state().brush.kind() != CBrush::Kind::Null && r.Width() - shrink > 0 && r.Height() - shrink > 0) {
        m_painter->fillRect(QRect(Clamp(r.left), Clamp(r.top), r.Width() - shrink, r.Height() - shrink),
                            ToQBrush(state().brush));
    }
    if (!noPen && r.Width() > 0 && r.Height() > 0) {
        ApplyPen(true);
        m_painter->setBrush(Qt::NoBrush);
        if (r.Width() == 1 || r.Height() == 1) m_painter->drawLine(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
        else m_painter->drawRect(QRect(Clamp(r.left), Clamp(r.top), r.Width() - 1, r.Height() - 1));
    }
}

void PainterDevice::Ellipse(const CRect& rect)
{
    if (!m_painter) return;
    CRect r = rect;
    r.NormalizeRect();
    if (r.Width() < 1 || r.Height() < 1) return;
    ApplyRop();
    ApplyPen(true);
    ApplyBrush(state().brush);
    m_painter->drawEllipse(QRect(Clamp(r.left), Clamp(r.top), std::max(0, r.Width() - 1), std::max(0, r.Height() - 1)));
}

void PainterDevice::Polygon(const std::vector<CPoint>& points)
{
    if (!m_painter || points.size() < 2) return;
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const CPoint& p : points) polygon << ToQPoint(p);
    ApplyRop();
    ApplyPen(true);
    ApplyBrush(state().brush);
    m_painter->drawPolygon(polygon, Qt::OddEvenFill);
}

void PainterDevice::FillRect(const CRect& rect, const CBrush& brush)
{
    if (!m_painter || brush.kind() == CBrush::Kind::Null) return;
    CRect r = rect;
    r.NormalizeRect();
    if (r.IsRectEmpty()) return;
    // Area fills copy the brush whatever the line raster operation is.
    m_ropApplied = false;
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->setBackgroundMode(state().bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(ToQColor(state().bkColor));
    m_painter->fillRect(QRect(Clamp(r.left), Clamp(r.top), std::min(r.Width(), 2 * kCoordinateLimit),
                              std::min(r.Height(), 2 * kCoordinateLimit)),
                        ToQBrush(brush));
}

void PainterDevice::FocusRect(const CRect& rect)
{
    if (!m_painter) return;
    CRect r = rect;
    r.NormalizeRect();
    if (r.Width() < 1 || r.Height() < 1) return;
    ForgetApplied();
    QPen dotted(SupportsRasterOps() ? QColor(255, 255, 255) : QColor(0, 0, 0));
    dotted.setWidth(1);
    dotted.setDashPattern({1, 1});
    dotted.setCapStyle(Qt::FlatCap);
    m_painter->setCompositionMode(SupportsRasterOps() ? QPainter::RasterOp_SourceXorDestination
                                                      : QPainter::CompositionMode_SourceOver);
    m_painter->setBackgroundMode(Qt::TransparentMode);
    m_painter->setPen(dotted);
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
}

void PainterDevice::Text(CPoint p, const CString& text, const CRect& clip)
{
    if (!m_painter || text.IsEmpty()) return;
    const LOGFONT& lf = state().font;
    const FontWithMetrics& font = CachedFont(lf);
    // The text laid out once and kept with its font: the chart draws the same texts every time.
    const QStaticText& laid = font.Laid(std::string(text.GetString(), static_cast<std::size_t>(text.GetLength())));
    // The baseline lies ascent whole pixels below the anchor, as with the text's own layout.
    const double baseline = static_cast<double>(font.ascent) - font.metrics.ascent();
    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    // The opaque background is filled here, in the background colour of the moment.
    m_painter->setBackgroundMode(Qt::TransparentMode);
    if (!clip.IsRectEmpty()) {
        m_painter->setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()), Qt::IntersectClip);
    }
    m_painter->setFont(font.font);
    const CSize extent = MeasureText(text);
    const QPoint at = ToQPoint(p);
    const bool upwards = (lf.lfEscapement % 3600 + 3600) % 3600 == 900;
    if (upwards) {
        // Text that runs upwards: the anchor stays the top-left corner of the unrotated text.
        m_painter->translate(at);
        m_painter->rotate(-90.0);
        if (state().bkMode == OPAQUE) m_painter->fillRect(QRect(0, 0, extent.cx, extent.cy), ToQColor(state().bkColor));
        m_painter->setPen(ToQColor(state().textColor));
        m_painter->drawStaticText(QPointF(0.0, baseline), laid);
    } else {
        if (state().bkMode == OPAQUE) {
            m_painter->fillRect(QRect(at.x(), at.y(), extent.cx, extent.cy), ToQColor(state().bkColor));
        }
        m_painter->setPen(ToQColor(state().textColor));
        m_painter->drawStaticText(QPointF(at.x(), at.y() + baseline), laid);
    }
    m_painter->restore();
}

void PainterDevice::Blit(const CRect& dest, const QImage& source, CPoint sourceTopLeft)
{
    if (!m_painter || dest.IsRectEmpty()) return;
    m_ropApplied = false;
    m_painter->setCompositionMode(QPainter::CompositionMode_Source);
    m_painter->drawImage(QRect(dest.left, dest.top, dest.Width(), dest.Height()), source,
                         QRect(sourceTopLeft.x, sourceTopLeft.y, dest.Width(), dest.Height()));
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterDevice::ClipChanged()
{
    if (!m_painter) return;
    if (state().clipped) {
        const CRect& c = state().clip;
        m_painter->setClipRect(QRect(c.left, c.top, std::max(0, c.Width()), std::max(0, c.Height())));
    } else {
        m_painter->setClipping(false);
    }
}

void PainterDevice::StateRestored() { ClipChanged(); }

// ---------------------------------------------------------------------------------------------

ImageDevice::ImageDevice(QImage& image) : m_image(image) { BeginPainting(&m_image); }

ImageDevice::~ImageDevice() { EndPainting(); }

QImage* ImageDevice::DirectPixels()
{
    // Only a picture of whole 32-bit pixels that no other image shares: writing into a shared
    // one would first copy it away from the painter.
    const QImage::Format f = m_image.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied) return nullptr;
    return m_image.isDetached() ? &m_image : nullptr;
}

PrinterDevice::PrinterDevice(QPrinter& printer) : m_printer(printer) { m_target = &printer; }

PrinterDevice::~PrinterDevice()
{
    if (m_inDoc) EndDoc();
}

int PrinterDevice::GetDeviceCaps(int index) const
{
    if (index == NUMCOLORS && m_numColors < 0) {
        return m_printer.colorMode() == QPrinter::GrayScale ? 2 : -1;
    }
    return PainterDevice::GetDeviceCaps(index);
}

bool PrinterDevice::StartDoc(const CString& name)
{
    if (m_inDoc) return false;
    m_printer.setDocName(platform::ToQString(name));
    BeginPainting(&m_printer);
    m_inDoc = painter() != nullptr;
    m_pageEnded = false;
    return m_inDoc;
}

bool PrinterDevice::StartPage()
{
    // The painter is on the first sheet from the start; every later page is a new sheet.
    if (!m_inDoc) {
        if (!StartDoc(CString("Graph"))) return false;
    }
    if (m_pageEnded) {
        m_printer.newPage();
        m_pageEnded = false;
    }
    return true;
}

bool PrinterDevice::EndPage()
{
    m_pageEnded = true;
    return m_inDoc;
}

bool PrinterDevice::EndDoc()
{
    if (!m_inDoc) return false;
    EndPainting();
    m_inDoc = false;
    return true;
}

}  // namespace chart
