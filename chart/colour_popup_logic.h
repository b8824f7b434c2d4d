#pragma once
// The decisions of the colour pop-up in plain C++: the layout of its cells, which cell a
// point or a key leads to, and which cell a colour opens on.

#include "platform/win_types.h"

namespace chart {

// Cell indexes besides the grid cells 0..count-1.
constexpr int kNoCell = -1;
constexpr int kCustomCell = -2;   // "More Colors..."
constexpr int kDefaultCell = -3;  // "Automatic"

// Right and bottom edges are exclusive, as in the system's rectangles.
struct CellRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    CellRect Deflated(int d) const { return {left + d, top + d, right - d, bottom - d}; }
};

struct TextExtent {
    int cx = 0, cy = 0;
};

struct ColourPopupLayout {
    int count = 40;
    int columns = 8;
    int rows = 5;
    int boxSize = 18;
    int margin = 2;
    bool hasDefault = false;
    bool hasCustom = false;
    CellRect window;       // screen coordinates
    CellRect defaultText;  // client coordinates
    CellRect customText;   // client coordinates

    // Client rectangle of grid cell i (an empty rectangle for an invalid index).
    CellRect CellRectOf(int index) const;
    // The cell under a client point as the mouse sees it, kNoCell when none.
    int CellAt(int x, int y) const;
};

struct ColourPopupGeometryInput {
    int left = 0, top = 0;        // screen point below the button's bottom-left corner
    int buttonHeight = 0;
    int screenWidth = 1024, screenHeight = 768;
    int margin = 2;               // the system's edge width
    int count = 40;
    bool hasDefault = false;
    bool hasCustom = false;
    TextExtent defaultExtent;     // the two texts measured in the pop-up font
    TextExtent customExtent;
};

ColourPopupLayout LayoutColourPopup(const ColourPopupGeometryInput& input);

// The cell that shows as chosen when the pop-up opens on colour.
int FindChosenIndex(COLORREF colour, bool hasDefault, bool hasCustom);

enum class PopupKey { Up, Down, Left, Right };
// The hot cell after a navigation key, from the hot cell before it (kNoCell right after opening).
int NextHotIndex(PopupKey key, int hot, int count, int columns, bool hasDefault, bool hasCustom);

}  // namespace chart
