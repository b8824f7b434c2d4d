#include "chart/range_slider_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace chart {

namespace {

CellRect Transposed(const CellRect& r)
{
    return {r.top, r.left, r.bottom, r.right};
}

void TransposeTriangle(int (&t)[6])
{
    for (int i = 0; i < 6; i += 2) std::swap(t[i], t[i + 1]);
}

}  // namespace

void RangeSliderModel::Notify(int which)
{
    if (onChange) onChange(which);
}

void RangeSliderModel::SetTotalRange(double a, double b)
{
    if (b < a) std::swap(a, b);
    if (m_bInverted) {
        m_dMin = -b;
        m_dMax = -a;
    } else {
        m_dMin = a;
        m_dMax = b;
    }
    CheckRange();
}

void RangeSliderModel::SetInterval(double a, double b)
{
    if (m_bInverted) {
        m_dLeft = -b;
        m_dRight = -a;
    } else {
        m_dLeft = a;
        m_dRight = b;
    }
    CheckRange();
}

void RangeSliderModel::SetVisibleBand(double a, double b)
{
    if (m_bInverted) {
        m_dVisibleLeft = -b;
        m_dVisibleRight = -a;
    } else {
        m_dVisibleLeft = a;
        m_dVisibleRight = b;
    }
    m_bVisibleBandSet = true;
    CheckVisibleRange();
}

void RangeSliderModel::GetInterval(double& left, double& right) const
{
    if (m_bInverted) {
        left = -m_dRight;
        right = -m_dLeft;
    } else {
        left = m_dLeft;
        right = m_dRight;
    }
}

bool RangeSliderModel::SetShowVisibleRange(bool show)
{
    if (show == m_bShowVisibleRange) return false;
    m_bShowVisibleRange = show;
    return true;
}

bool RangeSliderModel::SetVertical(bool vertical)
{
    if (m_bHorizontal == !vertical) return false;
    m_bHorizontal = !vertical;
    return true;
}

bool RangeSliderModel::SetInverted(bool inverted)
{
    if (inverted == m_bInverted) return false;
    m_bInverted = inverted;
    auto flip = [](double& first, double& second) {
        const double oldFirst = first;
        first = -second;
        second = -oldFirst;
    };
    flip(m_dLeft, m_dRight);
    flip(m_dMin, m_dMax);
    flip(m_dVisibleLeft, m_dVisibleRight);
    return true;
}

void RangeSliderModel::CheckRange()
{
    if (m_dLeft < m_dMin) {
        m_dLeft = m_dMin;
        Notify(kRangeLeftChanged);
        if (m_dLeft > m_dRight) {
            m_dRight = m_dLeft;
            Notify(kRangeRightChanged);
        }
    }
    if (m_dRight > m_dMax) {
        m_dRight = m_dMax;
        Notify(kRangeRightChanged);
        if (m_dRight < m_dLeft) {
            m_dLeft = m_dRight;
            Notify(kRangeLeftChanged);
        }
    }
}

void RangeSliderModel::CheckVisibleRange()
{
    if (m_dVisibleLeft > m_dVisibleRight) std::swap(m_dVisibleLeft, m_dVisibleRight);
    if (m_dVisibleLeft < m_dMin) {
        m_dVisibleLeft = m_dMin;
        if (m_dVisibleRight < m_dVisibleLeft) m_dVisibleRight = m_dVisibleLeft;
    }
    if (m_dVisibleRight > m_dMax) {
        m_dVisibleRight = m_dMax;
        if (m_dVisibleLeft > m_dVisibleRight) m_dVisibleLeft = m_dVisibleRight;
    }
}

int RangeSliderModel::PixelOf(double value, int trackLength) const
{
    const double span = m_dMax - m_dMin;
    // An empty total range (or a track without room) has every value at the start.
    if (!(span > 0.0) || trackLength <= 0) return 0;
    const double pixel = (value - m_dMin) / span * trackLength + 0.5;
    if (!std::isfinite(pixel)) return 0;
    return static_cast<int>(std::clamp(pixel, -1.0e6, 1.0e6));
}

RangeSliderGeometry RangeSliderModel::Layout(int clientWidth, int clientHeight, bool hasFocus)
{
    // Painted as a horizontal slider; a vertical one is the same with x and y exchanged.
    const int length = m_bHorizontal ? clientWidth : clientHeight;
    const int h = m_bHorizontal ? clientHeight : clientWidth;

    RangeSliderGeometry g;
    const int a = h * 3 / 4;
    m_nArrowWidth = a;
    m_nTrackLength = length - 2 * a;
    g.arrowWidth = a;
    g.trackLength = m_nTrackLength;

    const int x1 = PixelOf(m_dLeft, m_nTrackLength);
    const int x2 = PixelOf(m_dRight, m_nTrackLength);
    g.leftArrow = {x1, 0, x1 + a, h};
    g.rightArrow = {x2 + a, 0, x2 + 2 * a, h};
    const int leftTriangle[6] = {x1 + a / 3, h / 3, x1 + a / 3, 2 * h / 3, x1 + 2 * a / 3, h / 2};
    const int rightTriangle[6] = {x2 + a + 2 * a / 3, h / 3, x2 + a + 2 * a / 3, 2 * h / 3, x2 + a + a / 3, h / 2};
    std::copy(std::begin(leftTriangle), std::end(leftTriangle), g.leftTriangle);
    std::copy(std::begin(rightTriangle), std::end(rightTriangle), g.rightTriangle);
    g.interval = {x1 + a + 1, 1, x2 + a, h - 1};
    g.showBand = m_bShowVisibleRange && m_bVisibleBandSet && m_dRight > m_dVisibleLeft && m_dLeft < m_dVisibleRight;
    if (g.showBand) {
        const int b1 = PixelOf(m_dVisibleLeft, m_nTrackLength);
        const int b2 = PixelOf(m_dVisibleRight, m_nTrackLength);
        g.band = {std::max(b1, x1) + a, 1, std::min(b2, x2) + a, h - 1};
    }
    if (hasFocus) g.focus = g.interval.Deflated(3);

    if (!m_bHorizontal) {
        g.leftArrow = Transposed(g.leftArrow);
        g.rightArrow = Transposed(g.rightArrow);
        g.interval = Transposed(g.interval);
        g.band = Transposed(g.band);
        g.focus = Transposed(g.focus);
        TransposeTriangle(g.leftTriangle);
        TransposeTriangle(g.rightTriangle);
    }
    m_rcLeftArrow = g.leftArrow;
    m_rcRightArrow = g.rightArrow;
    return g;
}

bool RangeSliderModel::Press(int x, int y, int clientWidth, int clientHeight)
{
    if (m_bDragging) return false;
    const CellRect bar = m_bHorizontal
                             ? CellRect{m_rcLeftArrow.right + 1, 0, m_rcRightArrow.left - 1, clientHeight}
                             : CellRect{0, m_rcLeftArrow.bottom + 1, clientWidth, m_rcRightArrow.top - 1};
    const CellRect* parts[3] = {&m_rcLeftArrow, &m_rcRightArrow, &bar};
    for (int part = 0; part < 3; ++part) {
        const CellRect& r = *parts[part];
        if (!r.Contains(x, y)) continue;
        m_bDragging = true;
        m_nDragPart = part;
        m_dragOffsetX = x - (r.left + r.right) / 2;
        m_dragOffsetY = y - (r.top + r.bottom) / 2;
        return true;
    }
    return false;
}

void RangeSliderModel::Move(int x, int y)
{
    if (!m_bDragging) return;
    // Without room for the track the pixels name no values.
    if (m_nTrackLength <= 0) return;
    const int p = m_bHorizontal ? x - m_dragOffsetX : y - m_dragOffsetY;
    const int a = m_nArrowWidth;
    const double s = (m_dMax - m_dMin) / m_nTrackLength;
    switch (m_nDragPart) {
    case 0:
        m_dLeft = (p - a / 2) * s + m_dMin;
        if (m_dLeft > m_dRight) m_dLeft = m_dRight;
        if (m_dLeft <= m_dMin) m_dLeft = m_dMin;
        Notify(kRangeLeftChanged);
        break;
    case 1:
        m_dRight = (p - 3 * a / 2) * s + m_dMin;
        if (m_dLeft >= m_dRight) m_dRight = m_dLeft;
        if (m_dRight > m_dMax) m_dRight = m_dMax;
        Notify(kRangeRightChanged);
        break;
    default: {
        const double width = m_dRight - m_dLeft;
        const double centre = (p - a) * s + m_dMin;
        m_dLeft = centre - width / 2;
        m_dRight = centre + width / 2;
        if (m_dLeft <= m_dMin) {
            m_dLeft = m_dMin;
            m_dRight = m_dLeft + width;
        }
        if (m_dRight > m_dMax) {
            m_dRight = m_dMax;
            m_dLeft = m_dRight - width;
        }
        Notify(kRangeBothMoved);
        break;
    }
    }
}

bool RangeSliderModel::Release()
{
    if (!m_bDragging) return false;
    m_bDragging = false;
    return true;
}

bool RangeSliderModel::Key(RangeSliderKey key, bool shift)
{
    if (m_nTrackLength <= 0) return true;
    const double s = (m_dMax - m_dMin) / m_nTrackLength;
    if (s == 0.0 || !std::isfinite(s)) return true;
    int i = static_cast<int>((m_dLeft - m_dMin) / s + 0.5);
    int j = static_cast<int>((m_dRight - m_dMin) / s + 0.5);
    const int step = key == RangeSliderKey::Increase ? 1 : -1;
    if (!shift) i += step;
    j += step;
    if (i >= 0 && j <= m_nTrackLength) {
        m_dLeft = i * s + m_dMin;
        m_dRight = j * s + m_dMin;
    }
    Notify(shift ? kRangeLeftChanged : kRangeBothMoved);
    return true;
}

}  // namespace chart
