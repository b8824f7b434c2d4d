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
}

bool PixelLineWriter::DashOn(int step) const
{
    int at = step % m_dashes.total;
    for (int i = 0; i < m_dashes.count; ++i) {
        if (at < m_dashes.lengths[static_cast<std::size_t>(i)]) return i % 2 == 0;
        at -= m_dashes.lengths[static_cast<std::size_t>(i)];
    }
    return false;
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
    const int inc = static_cast<int>(static_cast<long long>(v2 - v1) * 65536 / steps);
    // A rising line is sampled half a step in, a falling one at its start.
    int v = v1 * 65536 + (inc > 0 ? inc >> 1 : 0);
    // The steps inside the clip along u.
    const int uMin = steep ? m_clip.top : m_clip.left;
    const int uEnd = steep ? m_clip.bottom : m_clip.right;
    const int vMin = steep ? m_clip.left : m_clip.top;
    const int vEnd = steep ? m_clip.right : m_clip.bottom;
    const int first = std::max(0, uMin - u1);
    const int last = std::min(steps, uEnd - u1);
    v += first * inc;
    for (int k = first; k < last; ++k, v += inc) {
        const int pv = v >> 16;
        if (pv < vMin || pv >= vEnd) continue;
        if (m_dashes.count && !DashOn(reversed ? steps - 1 - k : k)) continue;
        const int x = steep ? pv : u1 + k;
        const int y = steep ? u1 + k : pv;
        reinterpret_cast<QRgb*>(m_bits + y * m_stride)[x] = m_color;
    }
}

}  // namespace chart
