#pragma once
// One-pixel lines written straight into the pixels of a 32-bit image. A line is drawn pixel for
// pixel as the raster engine draws a lone line with a one-pixel flat-capped pen: one pixel per
// step along its longer direction, from the smaller end up to but without the larger end
// (whichever way the line runs), the other coordinate stepped in 16.16 fixed point; a dash
// pattern starts at the line's first point. Drawing a curve's thousands of short segments this
// way costs a few nanoseconds each instead of a trip through the painter.

#include <QImage>
#include <array>

#include "chart/gdi_types.h"

namespace chart {

// The dash pattern of a one-pixel pen of a GDI style: lengths of dash, gap, dash, gap ... in
// pixels, 32 at most in all; an empty pattern (count 0) for a solid line.
struct DashPattern {
    std::array<int, 6> lengths{};
    int count = 0;
    int total = 0;
};
DashPattern DashPatternOf(int penStyle);

class PixelLineWriter {
public:
    // Writes colour into image within clip (already inside the image), with the given pattern.
    PixelLineWriter(QImage& image, const CRect& clip, QRgb color, const DashPattern& dashes);

    // Whether the line from a to b can be written here as the painter would draw it: both ends
    // inside the image (the painter cuts lines that leave it, which moves their pixels).
    bool Fits(CPoint a, CPoint b) const
    {
        return a.x >= 0 && a.y >= 0 && b.x >= 0 && b.y >= 0 && a.x < m_width && b.x < m_width && a.y < m_height &&
               b.y < m_height;
    }
    // Draws the line from a to b; the caller has checked Fits.
    void Draw(CPoint a, CPoint b) const;

private:
    uchar* m_bits;
    qsizetype m_stride;
    int m_width;
    int m_height;
    CRect m_clip;
    QRgb m_color;
    DashPattern m_dashes;
    std::array<bool, 32> m_on{};  // per step of the pattern: drawn or not
};

}  // namespace chart
