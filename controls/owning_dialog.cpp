#include "controls/owning_dialog.h"

#include "platform/dialog.h"

namespace controls {

CDialog* OwningDialog(const QWidget* control)
{
    for (QWidget* w = control ? control->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* dialog = dynamic_cast<CDialog*>(w)) return dialog;
    return nullptr;
}

}  // namespace controls
