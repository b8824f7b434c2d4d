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

// A control whose caption the form gives shows it while the page gives none: the form's text is
// kept on the control when it is first shown, so that a text the page gave for a while goes back.
QString CaptionOf(QWidget& control, const QString& formText, const QString& pageText)
{
    if (!control.property("formText").toBool()) return pageText;
    QVariant own = control.property("formTextOwn");
    if (!own.isValid()) {
        own = formText;
        control.setProperty("formTextOwn", own);
    }
    return pageText.isEmpty() ? own.toString() : pageText;
}

void ShowControlState(QWidget& control, const ControlState& state)
{
    const QString text = platform::ToQString(state.text);
    if (auto* combo = dynamic_cast<CKombiBox*>(&control)) {
        ShowComboState(*combo, state);
    } else if (auto* button = dynamic_cast<QAbstractButton*>(&control)) {
        const QString caption = CaptionOf(control, button->text(), text);
        if (button->text() != caption) button->setText(caption);
        if (button->isCheckable() && button->isChecked() != state.checked) button->setChecked(state.checked);
    } else if (auto* edit = dynamic_cast<QLineEdit*>(&control)) {
        if (edit->text() != text) edit->setText(text);
    } else if (auto* label = dynamic_cast<QLabel*>(&control)) {
        const QString caption = CaptionOf(control, label->text(), text);
        if (label->text() != caption) label->setText(caption);
    } else if (auto* group = dynamic_cast<QGroupBox*>(&control)) {
        const QString caption = CaptionOf(control, group->title(), text);
        if (group->title() != caption) group->setTitle(caption);
    }
    control.setEnabled(state.enabled);
    control.setVisible(state.shown);
}

}  // namespace measurement
