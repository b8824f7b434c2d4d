#include "chart/curve_layer.h"

#include <algorithm>
#include <cstring>

#include "chart/dcex.h"

namespace chart {

namespace {

// Copies the columns [left, right) of the plot's rows between the image and a picture of the
// plot alone (plot.left is the picture's column 0).
void CopyColumns(const QImage& from, QImage& to, const CRect& plot, int left, int right, bool intoPlotPicture)
{
    if (right <= left) return;
    const std::size_t bytes = static_cast<std::size_t>(right - left) * 4;
    for (int y = plot.top; y < plot.bottom; ++y) {
        const int fromRow = intoPlotPicture ? y : y - plot.top;
        const int toRow = intoPlotPicture ? y - plot.top : y;
        const int fromColumn = intoPlotPicture ? left : left - plot.left;
        const int toColumn = intoPlotPicture ? left - plot.left : left;
        std::memcpy(to.scanLine(toRow) + static_cast<std::size_t>(toColumn) * 4,
                    from.constScanLine(fromRow) + static_cast<std::size_t>(fromColumn) * 4, bytes);
    }
}

// Whether a path's x never falls: its pixels then change only right of where it first differs.
bool RunsRightwards(const std::vector<POINT>& path)
{
    for (std::size_t i = 1; i < path.size(); ++i)
        if (path[i].x < path[i - 1].x) return false;
    return true;
}

}  // namespace

bool CurveLayer::CanTakeOver(const std::vector<DrawnCurve>& now, const QImage& image, const CRect& plot) const
{
    if (!m_valid || plot != m_plot || image.size() != m_size || now.size() != m_curves.size()) return false;
    for (std::size_t i = 0; i < now.size(); ++i) {
        const DrawnCurve& a = now[i];
        const DrawnCurve& b = m_curves[i];
        if (a.drawn != b.drawn || (a.drawn && !(a.look == b.look))) return false;
    }
    const std::size_t bytes = static_cast<std::size_t>(plot.Width()) * 4;
    for (int y = plot.top; y < plot.bottom; ++y)
        if (std::memcmp(image.constScanLine(y) + static_cast<std::size_t>(plot.left) * 4, m_under.constScanLine(y - plot.top), bytes) != 0)
            return false;
    return true;
}

int CurveLayer::FirstChangedColumn(const std::vector<DrawnCurve>& now, const CRect& plot) const
{
    int from = plot.right;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (!now[i].drawn) continue;
        const std::vector<POINT>& a = now[i].path;
        const std::vector<POINT>& b = m_curves[i].path;
        const std::size_t common = std::min(a.size(), b.size());
        std::size_t k = 0;
        while (k < common && a[k].x == b[k].x && a[k].y == b[k].y) ++k;
        if (k == a.size() && k == b.size()) continue;
        // Both paths run rightwards from their last common point: every pixel they do not share
        // lies right of it, give or take the pen's reach.
        if (k == 0) return plot.left;
        from = std::min(from, static_cast<int>(a[k - 1].x) - now[i].look.Reach());
    }
    return std::clamp(from, static_cast<int>(plot.left), static_cast<int>(plot.right));
}

void CurveLayer::Draw(CDCEx* dc, QImage& image, const CRect& plot, std::vector<CXGraphDataSerie>& curves)
{
    std::vector<DrawnCurve> now(curves.size());
    for (std::size_t i = 0; i < curves.size(); ++i) {
        if (!curves[i].m_bVisible) continue;
        now[i].drawn = curves[i].BuildPath(now[i].path);
        now[i].look = curves[i].GetLook(dc->m_bMonochrome);
    }
    // Only curves that fill no area and run rightwards change at their right end alone; a plot
    // beyond the picture has no pixels to keep.
    bool layered = true;
    for (const DrawnCurve& c : now) layered = layered && (!c.drawn || (!c.look.filled && RunsRightwards(c.path)));
    CRect area;
    area.IntersectRect(plot, CRect(0, 0, image.width(), image.height()));
    const auto drawWhole = [&] {
        for (std::size_t i = 0; i < curves.size(); ++i)
            if (now[i].drawn) curves[i].DrawPath(dc, now[i].path, 0, now[i].look);
        ++m_wholeDraws;
        m_lastFrom = plot.left;
    };
    if (!layered || area != plot || plot.IsRectEmpty() || image.format() != QImage::Format_RGB32) {
        drawWhole();
        m_valid = false;
        return;
    }

    if (CanTakeOver(now, image, plot)) {
        const int from = FirstChangedColumn(now, plot);
        CopyColumns(m_over, image, plot, plot.left, from, false);
        if (from < plot.right) {
            const int saved = dc->SaveDC();
            dc->IntersectClipRect(CRect(from, plot.top, plot.right, plot.bottom));
            for (std::size_t i = 0; i < curves.size(); ++i) {
                if (!now[i].drawn) continue;
                // From the last point far enough left that no pixel of what comes before it
                // reaches into the columns drawn again.
                const std::vector<POINT>& path = now[i].path;
                const int before = from - now[i].look.Reach();
                const auto first = std::partition_point(path.begin(), path.end(), [before](const POINT& p) { return p.x < before; });
                const std::size_t start = first == path.begin() ? 0 : static_cast<std::size_t>(first - path.begin()) - 1;
                curves[i].DrawPath(dc, path, start, now[i].look);
            }
            dc->RestoreDC(saved);
            CopyColumns(image, m_over, plot, from, plot.right, true);
        }
        m_lastFrom = from;
    } else {
        if (m_under.width() != plot.Width() || m_under.height() != plot.Height() || m_under.format() != image.format()) {
            m_under = QImage(plot.Width(), plot.Height(), image.format());
            m_over = QImage(plot.Width(), plot.Height(), image.format());
        }
        CopyColumns(image, m_under, plot, plot.left, plot.right, true);
        drawWhole();
        CopyColumns(image, m_over, plot, plot.left, plot.right, true);
        m_valid = true;
        m_plot = plot;
        m_size = image.size();
    }
    m_curves = std::move(now);
}

}  // namespace chart
