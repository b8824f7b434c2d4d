#include "views/form_controls.h"

#include <QVariant>
#include <QWidget>

#include "platform/dialog.h"

namespace views {

void RegisterFormControls(CDialog& dialog, QWidget& formRoot)
{
    for (QWidget* child : formRoot.findChildren<QWidget*>()) {
        const QVariant id = child->property("ctrlId");
        if (id.isValid() && id.toInt() != 0) dialog.RegisterControl(id.toInt(), child);
    }
}

}  // namespace views
