#pragma once
// Bitmap resources by id, as pages name them (CWndImage::SetBitmap, button pictures).
// A folder that brings pictures registers them at start-up; the indicator icons are drawn on
// demand (res/icons/indicator_icons.h) and need no registration.

#include <QImage>

#include "platform/win_types.h"

namespace controls {

// Registers (or replaces) the picture of a bitmap id. A null image removes it.
void RegisterBitmapResource(UINT bitmapId, const QImage& image);
// The picture of a bitmap id; a null image when the id has none.
QImage LoadBitmapResource(UINT bitmapId);

}  // namespace controls
