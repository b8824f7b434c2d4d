#pragma once
// The drawn entries of the property pages' lists: pen styles as lines (grid style, line
// style), the eight marker symbols, and the pictures of the seven area fills.

#include <QIcon>

class QComboBox;

namespace chart {

// count items, each drawn as a horizontal line in the pen style of its index; 16 pixels high.
void MakePenStyleList(QComboBox* combo, int count);
// Eight items, each the chart's marker symbol of its index.
void MakeMarkerList(QComboBox* combo);
// The area fill of a curve's fill style: hatches 0 to 5, solid 6.
QIcon FillStyleIcon(int style);

}  // namespace chart
