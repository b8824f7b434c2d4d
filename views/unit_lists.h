#pragma once
// The units a channel can be shown in, by the measurand letter of its sensor ('D' torque,
// 'K' force, 'W' weight, 'X' miscellaneous, 'd' strain, 'A' voltage, 'S' current,
// 'T' temperature, 'Y' speed or, with angle set, angle). Factors convert from the unit the
// sensor gives its range in (cN·m, N, g, ADU, mV/V, V, mA, °C, 1/min, °). Every list ends with
// the end entry (kUnitListEnd, "n.a."); an unknown letter gives "ADU" alone.

#include <vector>

#include "views/display_tables.h"

namespace views {

std::vector<UnitEntry> UnitListOf(BYTE typeClass, bool angle = false);

}  // namespace views
