#include "controls/check_box.h"

CCheckBox::CCheckBox(QWidget* parent) : QCheckBox(parent) {}

bool CCheckBox::SetChecked(bool checked)
{
    if (isChecked() != checked) setChecked(checked);
    return isChecked();
}

bool CCheckBox::Enable(bool enable)
{
    setEnabled(enable);
    return enable;
}

bool CCheckBox::Show(bool show)
{
    setVisible(show);
    return show;
}
