#pragma once
// From the stored font descriptions to Qt fonts.
//
// Chart files name Windows faces ("Arial"); they resolve to metric-compatible faces so that
// texts keep their widths. A positive height is the height of the character cell (ascent plus
// descent), a negative one the height of the characters themselves (the em size), as stored.

#include <QFont>

#include "chart/gdi_types.h"

namespace chart {

// The installed face that stands in for a face name of the stored files.
QString ResolveFaceName(const char* face);
QFont ToQFont(const LOGFONT& lf);

}  // namespace chart
