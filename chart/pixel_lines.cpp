#include "chart/pixel_lines.h"

#include <algorithm>
#include <cstdlib>

namespace chart {

DashPattern DashPatternOf(int penStyle)
{
    DashPattern p;
    const auto set = [&p](std::initializer_list<int> lengths) {
        for (int l : lengths) {
            p.lengths[static_cast<std::size_t>(p.count++)] = l;
            p.total += l;
        }
    };
    switch (penStyle) {
    case PS_DASH: set({18, 6}); break;
    case PS_DOT: set({3, 3}); break;
    case PS_DASHDOT: set({9, 6, 3, 6}); break;
    case PS_DASHDOTDOT: set({9, 3, 3, 3, 3, 3}); break;
    default: break;
    }
    return p;
}

PixelLineWriter::PixelLineWriter(QImage& image, const CRect& clip, QRgb color, const DashPattern& dashes)
    : m_bits(image.bits()), m_stride(image.bytesPerLine()), m_width(image.width()), m_height(image.height()), m_clip(clip),
      m_color(color), m_dashes(dashes)
{
    int at = 0;
    for (int i = 0; i < dashes.count; ++i) {
        for (int k = 0; k < dashes.lengths[static_cast<std::size_t>(i)]; ++k) m_on[static_cast<std::size_t>(at++)] = i % 2 == 0;
    }
}

void PixelLineWriter::Draw(CPoint a, CPoint b) const
{
    // u runs along the longer direction, v along the other.
    const bool steep = std::abs(b.x - a.x) < std::abs(b.y - a.y);
    int u1 = steep ? a.y : a.x;
    int v1 = steep ? a.x : a.y;
    int u2 = steep ? b.y : b.x;
    int v2 = steep ? b.x : b.y;
    if (u1 == u2) return;
    const bool reversed = u1 > u2;
    if (reversed) {
        std::swap(u1, u2);
        std::swap(v1, v2);
    }
    const int steps = u2 - u1;
    const int rise = v2 - v1;
    const int inc = rise == 0                ? 0
                    : std::abs(rise) < 32768 ? rise * 65536 / steps
                                             : static_cast<int>(static_cast<long long>(rise) * 65536 / steps);
    // A rising line is sampled half a step in, a falling one at its start.
    int v = v1 * 65536 + (inc > 0 ? inc >> 1 : 0);
    // The steps inside the clip along u.
    const int uMin = steep ? m_clip.top : m_clip.left;
    const int uEnd = steep ? m_clip.bottom : m_clip.right;
    const int vMin = steep ? m_clip.left : m_clip.top;
    const int vEnd = steep ? m_clip.right : m_clip.bottom;
    const int first = std::max(0, uMin - u1);
    const int last = std::min(steps, uEnd - u1);
    if (first >= last) return;
    v += first * inc;
    // One step along u moves by a row (steep) or by a pixel; the pixel across is v's whole part.
    uchar* line = steep ? m_bits + static_cast<qsizetype>(u1 + first) * m_stride : m_bits + static_cast<qsizetype>(u1 + first) * 4;
    const qsizetype along = steep ? m_stride : 4;
    const qsizetype across = steep ? 4 : m_stride;
    if (inc == 0 && m_dashes.count == 0) {
        // A run straight along a row or a column: its place across is checked once.
        const int pv = v >> 16;
        if (pv < vMin || pv >= vEnd) return;
        uchar* p = line + pv * across;
        for (int k = first; k < last; ++k, p += along) *reinterpret_cast<QRgb*>(p) = m_color;
        return;
    }
    if (m_dashes.count == 0) {
        for (int k = first; k < last; ++k, v += inc, line += along) {
            const int pv = v >> 16;
            if (pv >= vMin && pv < vEnd) *reinterpret_cast<QRgb*>(line + pv * across) = m_color;
        }
        return;
    }
    // The pattern runs from the line's first point, whichever end that is.
    const int total = m_dashes.total;
    int phase = (reversed ? steps - 1 - first : first) % total;
    const int turn = reversed ? total - 1 : 1;
    for (int k = first; k < last; ++k, v += inc, line += along) {
        const int pv = v >> 16;
        if (m_on[static_cast<std::size_t>(phase)] && pv >= vMin && pv < vEnd) *reinterpret_cast<QRgb*>(line + pv * across) = m_color;
        phase += turn;
        if (phase >= total) phase -= total;
    }
}

}  // namespace chart
