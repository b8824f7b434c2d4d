#pragma once
// The indicator icons of the program, drawn in code at whatever size a control asks, so they
// stay crisp at every size and need no image files.
//
//   176  lamp off (grey)          177  lamp green          178  lamp red
//   179  lamp yellow              214  busy (hourglass)    313  lamp blue

#include <QImage>

#include "platform/win_types.h"

namespace icons {

bool HasIndicatorIcon(UINT iconId);
// The icon drawn cx x cy pixels on a transparent ground; a null image for an id without a
// drawing or a size below 1.
QImage DrawIndicatorIcon(UINT iconId, int cx, int cy);

}  // namespace icons
