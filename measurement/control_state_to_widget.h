#pragma once
// Copies one control's state from a page's control board onto its Qt control: text (caption,
// edit text, label or group title), combo entries and selection, check state, enabled and
// shown. Only what differs is written, so a user's edit in progress is not disturbed. A caption
// the form itself gives (property "formText") stays unless the board holds a text.

class QWidget;

namespace measurement {

struct ControlState;

void ShowControlState(QWidget& control, const ControlState& state);

}  // namespace measurement
