#pragma once
// On a page that scrolls, the mouse wheel scrolls the page: a drop-down, spin box or date field
// under the pointer takes the wheel only while it has the focus (after the user clicked it or
// tabbed to it), so that turning the wheel never changes a setting by accident.

class QWidget;

namespace controls {

// Applies the rule to every such control on the page, present now.
void WheelOnlyWithFocus(QWidget& page);

}  // namespace controls
