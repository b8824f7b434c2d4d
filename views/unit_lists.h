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

// The name in the language (offset 0 to 3000) of a unit of the measurand that the codec names
// by its German text, as the magnitudes it formats do; a text that names no unit of the
// measurand is returned as it is.
CString UnitNameInLanguage(BYTE typeClass, const CString& germanName, int language);

}  // namespace views
