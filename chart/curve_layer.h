#pragma once
// The curves of the screen's back buffer, kept between paints. A live curve grows at its right
// end while everything else stays: the columns of the plot left of the first pixel that any
// curve changed are taken over from the last paint, and only the columns from there on are
// drawn again. The picture is the one a paint of everything would give: a column is taken over
// only when what lies under the curves there (background, grid, bands, lines across) is the same
// pixel for pixel, every curve looks the same, and the pixel path of every curve is the same up
// to that column. Anything else (another plot, a curve that fills an area, a curve whose path
// goes back and forth, another curve) draws every curve whole, as before.

#include <QImage>
#include <vector>

#include "chart/xgraph_data_serie.h"

class CDCEx;

namespace chart {

class CurveLayer {
public:
    // Draws the visible curves onto image, the back buffer dc draws into, within plot (the
    // dc's clip), after everything that lies under the curves has been drawn.
    void Draw(CDCEx* dc, QImage& image, const CRect& plot, std::vector<CXGraphDataSerie>& curves);

    // How the draws went: how many drew every curve whole (the others drew only from a column
    // on); the column the last draw started from (the plot's right edge when nothing changed).
    int WholeDraws() const { return m_wholeDraws; }
    int LastDrawFrom() const { return m_lastFrom; }

private:
    struct DrawnCurve {
        bool drawn = false;
        CurveLook look;
        std::vector<POINT> path;
    };
    // The first column whose pixels may differ from the last paint, or plot.right.
    int FirstChangedColumn(const std::vector<DrawnCurve>& now, const CRect& plot) const;
    // Whether the last paint's plot can be taken over: the same plot, curves and looks, and
    // the same pixels under the curves.
    bool CanTakeOver(const std::vector<DrawnCurve>& now, const QImage& image, const CRect& plot) const;

    bool m_valid = false;
    CRect m_plot;
    QSize m_size;
    QImage m_under;  // the plot's pixels under the curves at the last paint
    QImage m_over;   // the plot's pixels with the curves
    std::vector<DrawnCurve> m_curves;
    int m_wholeDraws = 0;
    int m_lastFrom = 0;
};

}  // namespace chart
