#pragma once
// The place of the main window in its normal (not maximized) state: where a window manager
// shows its title bar on the screen, and smaller than the screen's room for windows.

#include <QMargins>
#include <QRect>
#include <QSize>

namespace app {

// The place for a window asked to stand at `place` (empty: no place of its own) on a screen
// whose room for windows is `available`, with `frame` the border and title bar a window manager
// puts around it. A size that does not fit the room less the frame, or that fills the room,
// becomes nine tenths of the room, centred, as at a first start (never below `minimum`); the
// window is then moved into the room as far as its size allows, its title bar never above it.
QRect FitNormalPlace(const QRect& place, const QRect& available, const QMargins& frame, const QSize& minimum);

}  // namespace app
