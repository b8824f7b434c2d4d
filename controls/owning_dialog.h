#pragma once
// How a control finds the page it belongs to, for its notifications.

#include <QWidget>

class CDialog;

namespace controls {

// The nearest dialog among the control's ancestors; null when it has none.
CDialog* OwningDialog(const QWidget* control);

}  // namespace controls
