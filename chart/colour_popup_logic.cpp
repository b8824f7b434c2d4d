#include "chart/colour_popup_logic.h"

#include <algorithm>

#include "chart/colour_table.h"

namespace chart {

CellRect ColourPopupLayout::CellRectOf(int index) const
{
    if (index < 0 || index >= count) return {};
    const int column = index % columns;
    const int row = index / columns;
    int top = row * boxSize + margin;
    if (hasDefault) top += defaultText.Height() + margin;
    const int left = column * boxSize + margin;
    return {left, top, left + boxSize, top + boxSize};
}

int ColourPopupLayout::CellAt(int x, int y) const
{
    // The point is moved by the margin before any test, the text cells included.
    x -= margin;
    y -= margin;
    if (hasCustom && customText.Contains(x, y)) return kCustomCell;
    if (hasDefault && defaultText.Contains(x, y)) return kDefaultCell;
    if (hasDefault) y -= defaultText.Height();
    if (x < 0 || y < 0) return kNoCell;
    const int column = x / boxSize;
    const int row = y / boxSize;
    if (column >= columns || row >= rows) return kNoCell;
    const int index = row * columns + column;
    return index < count ? index : kNoCell;
}

ColourPopupLayout LayoutColourPopup(const ColourPopupGeometryInput& input)
{
    ColourPopupLayout layout;
    layout.count = std::clamp(input.count, 1, 100);
    layout.margin = input.margin;
    layout.hasDefault = input.hasDefault;
    layout.hasCustom = input.hasCustom;
    layout.boxSize = 18;
    if (layout.boxSize - 2 * layout.margin - 2 < 5) layout.boxSize = 2 * layout.margin + 7;

    TextExtent text;
    if (input.hasDefault || input.hasCustom) {
        text.cx = std::max(input.hasDefault ? input.defaultExtent.cx : 0, input.hasCustom ? input.customExtent.cx : 0);
        text.cy = std::max(input.hasDefault ? input.defaultExtent.cy : 0, input.hasCustom ? input.customExtent.cy : 0);
        text.cy += 2 * layout.margin + 2;
    }

    layout.columns = 8;
    layout.rows = layout.count / layout.columns + (layout.count % layout.columns ? 1 : 0);

    const int m = layout.margin;
    CellRect& w = layout.window;
    w = {input.left, input.top, input.left + layout.columns * layout.boxSize + 2 * m,
         input.top + layout.rows * layout.boxSize + 2 * m};

    if (input.hasDefault) {
        if (text.cx > w.Width()) w.right = w.left + text.cx;
        layout.defaultText = {m, m, m + w.Width() - 2 * m, text.cy + 2 * m};
        w.bottom += layout.defaultText.Height() + 2 * m;
    }
    if (input.hasCustom) {
        if (text.cx > w.Width()) w.right = w.left + text.cx;
        const int height = w.Height();
        layout.customText = {m, height, m + w.Width() - 2 * m, height + m + text.cy};
        w.bottom += layout.customText.Height() + 2 * m;
    }

    // Keep the pop-up on the screen; at the bottom it opens above its button.
    if (w.right > input.screenWidth) {
        const int shift = w.right - input.screenWidth;
        w.left -= shift;
        w.right -= shift;
    }
    if (w.left < 0) {
        w.right -= w.left;
        w.left = 0;
    }
    if (w.bottom > input.screenHeight) {
        const int shift = input.buttonHeight + w.Height();
        w.top -= shift;
        w.bottom -= shift;
    }
    return layout;
}

int FindChosenIndex(COLORREF colour, bool hasDefault, bool hasCustom)
{
    if (colour == CLR_DEFAULT && hasDefault) return kDefaultCell;
    for (int i = 0; i < kColourTableSize; ++i)
        if (kColourTable[i].colour == colour) return i;
    return hasCustom ? kCustomCell : kNoCell;
}

namespace {

// The first of the text cells that exists, in the given preference, else the fallback cell.
int FirstPresent(int first, int second, bool hasDefault, bool hasCustom, int fallback)
{
    auto present = [&](int cell) { return cell == kDefaultCell ? hasDefault : hasCustom; };
    if (present(first)) return first;
    if (present(second)) return second;
    return fallback;
}

}  // namespace

int NextHotIndex(PopupKey key, int hot, int count, int columns, bool hasDefault, bool hasCustom)
{
    const int last = count - 1;
    // Towards the end of the grid the custom cell follows, towards the start the default one.
    const int afterGrid = FirstPresent(kCustomCell, kDefaultCell, hasDefault, hasCustom, 0);
    const int beforeGrid = FirstPresent(kDefaultCell, kCustomCell, hasDefault, hasCustom, last);
    const bool forward = key == PopupKey::Down || key == PopupKey::Right;

    if (hot == kNoCell) return forward ? afterGrid : beforeGrid;
    if (hot == kDefaultCell) return forward ? 0 : (hasCustom ? kCustomCell : last);
    if (hot == kCustomCell) return forward ? (hasDefault ? kDefaultCell : 0) : last;

    switch (key) {
    case PopupKey::Down: return hot + columns <= last ? hot + columns : afterGrid;
    case PopupKey::Up: return hot - columns >= 0 ? hot - columns : beforeGrid;
    case PopupKey::Right: return hot + 1 <= last ? hot + 1 : afterGrid;
    case PopupKey::Left: return hot - 1 >= 0 ? hot - 1 : beforeGrid;
    }
    return hot;
}

}  // namespace chart
