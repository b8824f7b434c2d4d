#pragma once
// Registers the controls of a Designer form with the dialog under the ids their dynamic
// property "ctrlId" carries.

class CDialog;
class QWidget;

namespace views {

void RegisterFormControls(CDialog& dialog, QWidget& formRoot);

}  // namespace views
