#include "measurement/control_state_to_widget.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "controls/kombi_box.h"
#include "measurement/page_controls.h"
#include "platform/qt_text.h"

namespace measurement {

void ShowComboState(CKombiBox& combo, const ControlState& state)
{
    bool same = combo.count() == static_cast<int>(state.entries.size());
    for (int i = 0; same && i < combo.count(); ++i) {
        const ComboEntry& e = state.entries[static_cast<std::size_t>(i)];
        same = combo.GetItemData(i) == static_cast<UINT_PTR>(e.datum) && combo.GetLBText(i) == e.text;
    }
    if (!same) {
        combo.ResetContent();
        for (const ComboEntry& e : state.entries) combo.AddItem(e.text, static_cast<UINT_PTR>(e.datum));
    }
    if (combo.GetCurSel() != state.selection) combo.SetCurSel(state.selection);
}

void ShowControlState(QWidget& control, const ControlState& state)
{
    const QString text = platform::ToQString(state.text);
    const bool keepFormText = control.property("formText").toBool() && state.text.IsEmpty();
    if (auto* combo = dynamic_cast<CKombiBox*>(&control)) {
        ShowComboState(*combo, state);
    } else if (auto* button = dynamic_cast<QAbstractButton*>(&control)) {
        if (!keepFormText && button->text() != text) button->setText(text);
        if (button->isCheckable() && button->isChecked() != state.checked) button->setChecked(state.checked);
    } else if (auto* edit = dynamic_cast<QLineEdit*>(&control)) {
        if (edit->text() != text) edit->setText(text);
    } else if (auto* label = dynamic_cast<QLabel*>(&control)) {
        if (!keepFormText && label->text() != text) label->setText(text);
    } else if (auto* group = dynamic_cast<QGroupBox*>(&control)) {
        if (!keepFormText && group->title() != text) group->setTitle(text);
    }
    control.setEnabled(state.enabled);
    control.setVisible(state.shown);
}

}  // namespace measurement
