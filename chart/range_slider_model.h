#pragma once
// The decisions of the range slider in plain C++: the total range, the chosen interval and the
// visible band with their invariants, the geometry of a paint, and what the mouse and the
// arrow keys do to the interval. The widget (range_slider.h) is a thin shell around it.

#include <functional>

#include "chart/colour_popup_logic.h"  // CellRect

namespace chart {

// Which bound a change message names (its wParam).
constexpr int kRangeLeftChanged = 0;
constexpr int kRangeRightChanged = 1;
constexpr int kRangeBothMoved = 2;

// Where the parts of the slider are painted, in client pixels.
struct RangeSliderGeometry {
    int arrowWidth = 0;
    int trackLength = 0;
    CellRect leftArrow;
    CellRect rightArrow;
    CellRect interval;      // the white bar between the thumbs
    bool showBand = false;
    CellRect band;          // the light yellow visible band
    CellRect focus;
    // The triangles inside the thumbs, three corners each (x, y pairs).
    int leftTriangle[6] = {};
    int rightTriangle[6] = {};
};

enum class RangeSliderKey { Decrease, Increase };

class RangeSliderModel {
public:
    // Called with kRangeLeftChanged, kRangeRightChanged or kRangeBothMoved on every change
    // that the slider announces.
    std::function<void(int which)> onChange;

    void SetTotalRange(double a, double b);
    void SetInterval(double a, double b);
    void SetVisibleBand(double a, double b);
    void GetInterval(double& left, double& right) const;
    // Stores the flag; true when it changed.
    bool SetShowVisibleRange(bool show);
    bool SetVertical(bool vertical);
    bool SetInverted(bool inverted);

    bool IsHorizontal() const { return m_bHorizontal; }
    bool IsDragging() const { return m_bDragging; }
    int DragPart() const { return m_nDragPart; }
    double Max() const { return m_dMax; }
    double Left() const { return m_dLeft; }
    double Right() const { return m_dRight; }
    double VisibleRight() const { return m_dVisibleRight; }
    int TrackLength() const { return m_nTrackLength; }

    // The geometry of a paint of a client area; stores the thumb rectangles, the arrow width and
    // the track length for the mouse and the keys, as painting does.
    RangeSliderGeometry Layout(int clientWidth, int clientHeight, bool hasFocus);

    // Mouse, in client pixels. Press starts a drag when it hits a thumb or the bar.
    bool Press(int x, int y, int clientWidth, int clientHeight);
    void Move(int x, int y);
    // True when a drag ended.
    bool Release();
    // An arrow key (left/up decrease, right/down increase); shift moves only the right bound.
    // Returns whether the slider handled it (it announces a change then).
    bool Key(RangeSliderKey key, bool shift);

private:
    void Notify(int which);
    void CheckRange();
    void CheckVisibleRange();
    // The pixel of a value along the track (0 for an empty range).
    int PixelOf(double value, int trackLength) const;

    double m_dMin = 0.0;
    double m_dMax = 1.0;
    double m_dLeft = 0.0;
    double m_dRight = 1.0;
    double m_dVisibleLeft = 0.0;
    double m_dVisibleRight = 0.0;
    bool m_bVisibleBandSet = false;
    int m_nArrowWidth = 10;
    bool m_bHorizontal = true;
    bool m_bShowVisibleRange = false;
    bool m_bInverted = false;
    bool m_bDragging = false;
    int m_nDragPart = 0;
    CellRect m_rcLeftArrow;
    CellRect m_rcRightArrow;
    int m_nTrackLength = 0;
    int m_dragOffsetX = 0;
    int m_dragOffsetY = 0;
};

}  // namespace chart
