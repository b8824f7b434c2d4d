#pragma once
// What the set-up's axis assignment makes of the diagram: the source of the x axis, and which
// measured channels are drawn over it.

#include "measurement/measure_setup_record.h"
#include "views/views_frame.h"

namespace measurement {

// `diagram` comes with the measured channels, each recorded in the curve store. The diagram draws
// what the set-up page's axes show: the measured channel of every shown Y axis, over time or over the channel
// on the x axis. A Y axis that is off, or shows the x axis' channel or a channel not measured,
// adds no curve; with none left the diagram draws none.
void ApplyAxisAssignment(const CMeasureSetup& setup, views::DiagramSetup& diagram);

}  // namespace measurement
