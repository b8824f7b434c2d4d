#pragma once
// Copies one control's state from a page's control board onto its Qt control: text (caption,
// edit text, label or group title), combo entries and selection, check state, enabled and
// shown. Only what differs is written, so a user's edit in progress is not disturbed. A caption
// the form itself gives (property "formText") stays unless the board holds a text.

class CKombiBox;
class QWidget;

namespace measurement {

struct ControlState;

// Refills the box only when its entries differ, so an unchanged list keeps the user's place.
void ShowComboState(CKombiBox& combo, const ControlState& state);
void ShowControlState(QWidget& control, const ControlState& state);

}  // namespace measurement
