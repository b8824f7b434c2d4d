#pragma once
// Texts of the string table onto widgets and into message boxes, in the current language.

#include "platform/cstring.h"
#include "platform/message_box.h"
#include "platform/win_types.h"

class QWidget;

// Sets the window's text (a label's, a button's or group box's caption, an edit's text, else
// the window title) to the text of id followed by suffix. When the table has no such id the
// text becomes ">@<" followed by suffix and the result is false.
bool SetLangWindowText(QWidget* window, UINT id, const CString& suffix = CString());
// A message box with the text of id; returns the button pressed (IDOK, IDYES, ...). The help
// id is kept for the callers' sake; there is no context help.
int LangMessageBox(UINT id, UINT type = platform::MB_OK, UINT helpId = 0);
// Puts the caret at the end of an edit's text (line edit or multi-line edit) and scrolls it
// into view, so that the newest line of a growing protocol is visible.
void ScrollEditToEnd(QWidget* edit);
