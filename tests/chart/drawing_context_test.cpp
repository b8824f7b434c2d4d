// The drawing context: scaling to printers, the selectors, the marker painters, text measuring,
// the drawing conventions on images, the off-screen context and the plane geometry.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "chart/dcex.h"
#include "chart/mem_dc.h"
#include "chart/painter_device.h"
#include "chart/plane_geometry.h"
#include "chart/recording_device.h"

using chart::DrawRecord;
using chart::ImageDevice;
using chart::RecordingDevice;

namespace {

// A context on a recording device at the given resolution, with scaling as when printing.
struct PrinterLike {
    explicit PrinterLike(int dpiX = 600, int dpiY = 600, int colors = -1)
        : device(std::make_shared<RecordingDevice>(5000, 7000, dpiX, dpiY)), dc(device)
    {
        device->SetNumColors(colors);
        dc.ComputeScale(&dc);
        dc.m_bScaling = true;
    }
    std::shared_ptr<RecordingDevice> device;
    CDCEx dc;
};

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST(DrawingContextScale, PrinterAt600DpiScalesBy625AndTruncates)
{
    PrinterLike p;
    EXPECT_FLOAT_EQ(6.25f, p.dc.m_fScaleX);
    EXPECT_FLOAT_EQ(6.25f, p.dc.m_fScaleY);
    p.dc.MoveTo(10, 10);
    p.dc.LineTo(33, 17);
    const auto lines = p.device->Of(DrawRecord::Op::Line);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(CRect(62, 62, 206, 106), lines[0].rect);
}

TEST(DrawingContextScale, LowerResolutionEnlargesAndBadFactorsBecomeOne)
{
    PrinterLike p(72, 72);
    EXPECT_FLOAT_EQ(96.0f / 72.0f, p.dc.m_fScaleX);
    PrinterLike broken(0, 96);
    // 96 / 0 is infinite: unusable, so the factor is 1.
    EXPECT_FLOAT_EQ(1.0f, broken.dc.m_fScaleX);
    EXPECT_FLOAT_EQ(1.0f, broken.dc.m_fScaleY);
}

TEST(DrawingContextScale, UnscaledContextPassesCoordinatesThrough)
{
    auto device = std::make_shared<RecordingDevice>(100, 100, 600, 600);
    CDCEx dc(device);
    dc.MoveTo(10, 10);
    dc.LineTo(33, 17);
    EXPECT_EQ(CRect(10, 10, 33, 17), device->Of(DrawRecord::Op::Line)[0].rect);
    EXPECT_FALSE(dc.m_bScaleKnown);
}

TEST(DrawingContextScale, CalcRectScalesTheCallersRectangleOnlyWhenAsked)
{
    PrinterLike p;
    CRect calc(10, 20, 30, 40);
    p.dc.DrawText("x", calc, DT_CALCRECT);
    EXPECT_EQ(62, calc.left);
    EXPECT_EQ(125, calc.top);
    CRect drawn(10, 20, 30, 40);
    p.dc.DrawText("x", drawn, DT_LEFT);
    EXPECT_EQ(CRect(10, 20, 30, 40), drawn);
    EXPECT_EQ(CRect(62, 125, 187, 250), p.device->Of(DrawRecord::Op::DrawText)[0].rect);
}

TEST(DrawingContextScale, PolygonAndFillsScaleCopies)
{
    PrinterLike p;
    const POINT points[3] = {{0, 0}, {10, 0}, {0, 10}};
    p.dc.Polygon(points, 3);
    EXPECT_EQ(10, points[1].x);
    const auto poly = p.device->Of(DrawRecord::Op::Polygon);
    ASSERT_EQ(1u, poly.size());
    EXPECT_EQ(62, poly[0].points[1].x);
    p.dc.FillSolidRect(1, 2, 3, 4, RGB(1, 2, 3));
    EXPECT_EQ(CRect(6, 12, 6 + 18, 12 + 25), p.device->Of(DrawRecord::Op::FillRect)[0].rect);
}

TEST(DrawingContextSelectors, SolidPensWidenDashedPensKeepTheirWidth)
{
    PrinterLike p;
    // The pen each line is drawn with.
    auto line = [&p] {
        p.dc.MoveTo(0, 0);
        p.dc.LineTo(5, 5);
        return p.device->Of(DrawRecord::Op::Line).back().pen;
    };
    {
        CPenSelector pen(RGB(1, 2, 3), 3, &p.dc, PS_SOLID);
        EXPECT_EQ(18, line().width());
        {
            CPenSelector dashed(0, 1, &p.dc, PS_DASH);
            const CPen drawn = line();
            EXPECT_EQ(1, drawn.width());
            EXPECT_EQ(PS_DASH, drawn.style());
        }
        EXPECT_EQ(18, line().width());
    }
    EXPECT_EQ(1, line().width());
}

TEST(DrawingContextSelectors, ScaledFontTruncatesTheGrownHeight)
{
    PrinterLike p;
    CFont font;
    font.CreateFont(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    const LOGFONT before = p.dc.GetCurrentFont();
    {
        CFontSelector scaled(&font, &p.dc, true);
        EXPECT_EQ(-93, p.dc.GetCurrentFont().lfHeight);
        {
            CFontSelector plain(&font, &p.dc, false);
            EXPECT_EQ(-14, p.dc.GetCurrentFont().lfHeight);
        }
        EXPECT_EQ(-93, p.dc.GetCurrentFont().lfHeight);
    }
    EXPECT_EQ(before, p.dc.GetCurrentFont());
}

TEST(DrawingContextMarkers, DiamondOfOddSizeTruncatesHalf)
{
    auto device = std::make_shared<RecordingDevice>();
    CDCEx dc(device);
    DrawMarkerDiamond(0, 0, 7, RGB(255, 0, 0), 0, &dc);
    const auto poly = device->Of(DrawRecord::Op::Polygon);
    ASSERT_EQ(1u, poly.size());
    ASSERT_EQ(4u, poly[0].points.size());
    EXPECT_EQ(CPoint(3, 0), poly[0].points[0]);
    EXPECT_EQ(CPoint(7, 3), poly[0].points[1]);
    EXPECT_EQ(CPoint(3, 7), poly[0].points[2]);
    EXPECT_EQ(CPoint(0, 3), poly[0].points[3]);
    EXPECT_EQ(RGB(255, 0, 0), poly[0].brush.color());
    EXPECT_EQ(0u, poly[0].pen.color());
}

TEST(DrawingContextMarkers, TrianglesReachTheirEdgesAsDrawn)
{
    auto device = std::make_shared<RecordingDevice>();
    CDCEx dc(device);
    DrawMarkerTriangleLeft(0, 0, 10, 0, 0, &dc);
    DrawMarkerTriangleRight(0, 0, 10, 0, 0, &dc);
    const auto poly = device->Of(DrawRecord::Op::Polygon);
    EXPECT_EQ(9, poly[0].points[0].x);
    EXPECT_EQ(10, poly[1].points[1].x);
}

TEST(DrawingContextMarkers, ReducedColourPrinterDrawsEveryMarkerBlack)
{
    PrinterLike p(600, 600, 16);
    ASSERT_TRUE(p.dc.m_bMonochrome);
    for (int i = 0; i < kMarkerPainterCount; ++i) kMarkerPainters[i](0, 0, 10, RGB(0, 200, 0), 0, &p.dc);
    for (const DrawRecord& r : p.device->records()) {
        if (r.op == DrawRecord::Op::Line) EXPECT_EQ(0u, r.pen.color());
        else EXPECT_EQ(0u, r.brush.color());
    }
    PrinterLike full(600, 600, -1);
    EXPECT_FALSE(full.dc.m_bMonochrome);
    PrinterLike many(600, 600, 256);
    EXPECT_FALSE(many.dc.m_bMonochrome);
}

TEST(DrawingContextText, MultiLineTextIsMeasuredByLines)
{
    auto device = std::make_shared<RecordingDevice>();
    CDCEx dc(device);
    const CSize one = GetMultiLineTextExtent(&dc, "AB");
    const CSize two = GetMultiLineTextExtent(&dc, "A\nB");
    EXPECT_EQ(one.cy * 2, two.cy);
    EXPECT_LT(two.cx, one.cx);
    EXPECT_GT(one.cx, 0);
}

TEST(DrawingContextImage, LinesLeaveOutTheirLastPixelAndRectanglesTheirRightEdge)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        CDCEx dc(std::make_shared<ImageDevice>(image));
        dc.MoveTo(5, 5);
        dc.LineTo(15, 5);
        CPen red(PS_SOLID, 1, RGB(255, 0, 0));
        dc.SelectObject(red);
        CBrush blue(RGB(0, 0, 255));
        dc.SelectObject(blue);
        dc.Rectangle(20, 20, 30, 30);
    }
    EXPECT_EQ(0x000000u, Pixel(image, 5, 5));
    EXPECT_EQ(0x000000u, Pixel(image, 14, 5));
    EXPECT_EQ(0xFFFFFFu, Pixel(image, 15, 5));
    EXPECT_EQ(0xFF0000u, Pixel(image, 20, 20));
    EXPECT_EQ(0xFF0000u, Pixel(image, 29, 29));
    EXPECT_EQ(0xFFFFFFu, Pixel(image, 30, 30));
    EXPECT_EQ(0x0000FFu, Pixel(image, 25, 25));
}

TEST(DrawingContextImage, ThinLinesWrittenIntoThePixelsAreThoseThePainterDraws)
{
    // A curve's crowded columns, long and steep lines, lines that leave the picture, in a solid
    // and two dashed pens within a clip: the same pixels as the painter drawing one line after
    // the other.
    QImage image(300, 200, QImage::Format_RGB32);
    QImage expected(300, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    expected.fill(Qt::white);
    const CRect clip(20, 15, 270, 180);
    std::vector<POINT> path;
    unsigned seed = 12345;
    const auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(range));
    };
    for (int x = 0; x < 300; x += next(4) == 0 ? 1 + next(9) : 0) path.push_back(POINT{x, next(5) == 0 ? next(260) - 30 : 60 + next(90)});
    path.push_back(POINT{-40, 250});
    path.push_back(POINT{299, 0});
    path.push_back(POINT{0, 199});
    QPainter painter(&expected);
    painter.setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
    const auto pen = [](QColor color, QList<qreal> dashes) {
        QPen p(color);
        p.setWidth(1);
        p.setCapStyle(Qt::FlatCap);
        if (!dashes.isEmpty()) p.setDashPattern(dashes);
        return p;
    };
    {
        CDCEx dc(std::make_shared<ImageDevice>(image));
        dc.IntersectClipRect(clip);
        CPen solid(PS_SOLID, 1, RGB(0, 0, 255));
        dc.SelectObject(solid);
        dc.Polyline(path.data(), static_cast<int>(path.size()));
        painter.setPen(pen(QColor(0, 0, 255), {}));
        for (std::size_t i = 1; i < path.size(); ++i) painter.drawLine(QPoint(path[i - 1].x, path[i - 1].y), QPoint(path[i].x, path[i].y));
        dc.SetBkMode(TRANSPARENT);
        const std::pair<int, QList<qreal>> styles[] = {{PS_DOT, {3, 3}}, {PS_DASHDOT, {9, 6, 3, 6}}};
        for (const auto& [style, dashes] : styles) {
            CPen dashed(style, 1, RGB(200, 0, 0));
            dc.SelectObject(dashed);
            painter.setPen(pen(QColor(200, 0, 0), dashes));
            for (std::size_t i = 0; i + 1 < path.size(); i += 37) {
                const POINT a = path[i];
                const POINT b{path[(i * 7 + 11) % path.size()].x, path[i + 1].y + style};
                dc.MoveTo(a.x, a.y);
                dc.LineTo(b.x, b.y);
                painter.drawLine(QPoint(a.x, a.y), QPoint(b.x, b.y));
            }
        }
    }
    painter.end();
    int differing = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) differing += image.pixel(x, y) != expected.pixel(x, y);
    }
    EXPECT_EQ(0, differing);
}

TEST(DrawingContextImage, SolidFillBecomesTheBackgroundAndTextIsOpaque)
{
    QImage image(80, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        CDCEx dc(std::make_shared<ImageDevice>(image));
        dc.FillSolidRect(CRect(0, 0, 2, 2), RGB(0, 255, 0));
        EXPECT_EQ(RGB(0, 255, 0), dc.GetBkColor());
        dc.SetBkMode(OPAQUE);
        dc.TextOut(10, 10, " W");
    }
    // The text's top-left corner is where it was anchored, and its background is filled.
    EXPECT_EQ(0x00FF00u, Pixel(image, 10, 10));
    EXPECT_EQ(0xFFFFFFu, Pixel(image, 9, 9));
    {
        CDCEx dc(std::make_shared<ImageDevice>(image));
        dc.FillSolidRect(CRect(0, 30, 2, 32), RGB(255, 0, 0));
        dc.SetBkColor(RGB(0, 0, 255));
        dc.TextOut(40, 10, " W");
    }
    // The background of the moment counts, not that of an earlier fill.
    EXPECT_EQ(0x0000FFu, Pixel(image, 40, 10));
}

TEST(DrawingContextImage, PolygonsFillEvenOdd)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        CDCEx dc(std::make_shared<ImageDevice>(image));
        dc.SelectStockObject(NULL_PEN);
        dc.SelectObject(CBrush(RGB(0, 0, 0)));
        // A five-pointed star drawn in one stroke: its centre is covered twice.
        const POINT star[5] = {{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
        dc.Polygon(star, 5);
    }
    EXPECT_EQ(0xFFFFFFu, Pixel(image, 20, 20));
    EXPECT_EQ(0x000000u, Pixel(image, 20, 8));
}

TEST(DrawingContextMemory, PrintingTargetIsNotBufferedAndKeepsItsDevice)
{
    auto printer = std::make_shared<RecordingDevice>(200, 200, 600, 600);
    printer->SetPrinting(true);
    CDC target(printer);
    {
        CMemDC_Kadmor memory(&target);
        EXPECT_EQ(printer, memory.device());
        memory.MoveTo(0, 0);
        memory.LineTo(5, 5);
    }
    EXPECT_EQ(printer, target.device());
    EXPECT_EQ(1u, printer->Of(DrawRecord::Op::Line).size());
    EXPECT_TRUE(printer->Of(DrawRecord::Op::Blit).empty());
}

TEST(DrawingContextMemory, CopyRectangleLimitsTheUpdate)
{
    auto screen = std::make_shared<RecordingDevice>(200, 100);
    CDC target(screen);
    { CMemDC_Kadmor memory(&target, 10, 10, 50, 40, 0, 0, 200, 100); }
    const auto blits = screen->Of(DrawRecord::Op::Blit);
    ASSERT_EQ(1u, blits.size());
    EXPECT_EQ(CRect(10, 10, 50, 40), blits[0].rect);
    CDC whole(screen);
    screen->Clear();
    { CMemDC_Kadmor memory(&whole); }
    EXPECT_EQ(CRect(0, 0, 200, 100), screen->Of(DrawRecord::Op::Blit)[0].rect);
}

TEST(PlaneGeometry, DistanceToTheLineThroughTwoPoints)
{
    const POINT a{0, 0}, b{10, 0}, p{5, 3}, beyond{20, 2};
    EXPECT_DOUBLE_EQ(3.0, DistanceToSegment(&a, &b, &p));
    EXPECT_DOUBLE_EQ(2.0, DistanceToSegment(&a, &b, &beyond));
    const POINT v0{4, 0}, v1{4, 8}, q{1, 100};
    EXPECT_DOUBLE_EQ(3.0, DistanceToSegment(&v0, &v1, &q));
    EXPECT_TRUE(std::isnan(DistanceToSegment(&a, &a, &p)));
    EXPECT_EQ(nullptr, SubtractVector(nullptr, nullptr, nullptr));
    EXPECT_EQ(0.0, VectorLength(nullptr));
}
