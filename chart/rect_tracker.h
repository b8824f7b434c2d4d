#pragma once
// CRectTracker: the frame with handles with which the user moves and resizes a chart object.
// A drag runs through the chart's own mouse handling: BeginDrag on the press, DragTo on each
// move, EndDrag on the release.

#include "chart/gdi_types.h"

class CDCEx;

class CRectTracker {
public:
    // Style bits
    static constexpr UINT solidLine = 1;
    static constexpr UINT dottedLine = 2;
    static constexpr UINT hatchedBorder = 4;
    static constexpr UINT resizeInside = 8;
    static constexpr UINT resizeOutside = 16;
    static constexpr UINT hatchInside = 32;

    // Hit codes
    static constexpr int hitNothing = -1;
    static constexpr int hitTopLeft = 0;
    static constexpr int hitTopRight = 1;
    static constexpr int hitBottomRight = 2;
    static constexpr int hitBottomLeft = 3;
    static constexpr int hitTop = 4;
    static constexpr int hitRight = 5;
    static constexpr int hitBottom = 6;
    static constexpr int hitLeft = 7;
    static constexpr int hitMiddle = 8;

    CRect m_rect;
    UINT m_nStyle = 0;
    int m_nHandleSize = 6;

    int HitTest(CPoint point) const;
    void Draw(CDCEx* dc) const;

    bool IsDragging() const { return m_dragHit != hitNothing; }
    void BeginDrag(int hit, CPoint start);
    void DragTo(CPoint point);
    // True when the rectangle changed during the drag.
    bool EndDrag();

private:
    CRect HandleRect(int handle) const;
    int m_dragHit = hitNothing;
    CPoint m_dragStart;
    CRect m_dragOriginal;
};
