#pragma once
// What the set-up's axis assignment makes of the diagram: the source of the x axis, and which
// measured channels are drawn over it.

#include "measurement/measure_setup_record.h"
#include "views/views_frame.h"

namespace measurement {

// `diagram` comes with a curve for every measured channel. With time on the x axis it stays so.
// With a measured channel or power value on the x axis, the curves become the measured Y
// sources of the shown Y axes, the x channel left out, each drawn over the x channel's value;
// when no such source is left the diagram stays on time, so that it never shows an x axis with
// nothing over it.
void ApplyAxisAssignment(const CMeasureSetup& setup, views::DiagramSetup& diagram);

}  // namespace measurement
