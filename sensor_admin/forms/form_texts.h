#pragma once
// Small helpers the forms share: texts from the string table onto controls, and a progress bar.

#include <QString>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CDialog;
class CXListCtrl;

namespace sensor_admin {

QString Text(UINT id);
void SetText(CDialog& form, int controlId, UINT textId);
void SetProgress(CDialog& form, int controlId, int percent, bool visible = true);
// Sets the list's column headings (adds the columns the first time).
void SetHeadings(CXListCtrl& list, const UINT* ids, int count);
// Makes every column as wide as its widest text (heading included).
void FitColumns(CXListCtrl& list);
// The choice among several connected sensors ("Sensor 1" ...): shown with two or more, the
// current one selected, enabled while the page is idle.
void ShowSensorChoice(CDialog& form, int comboId, int sensors, int current, bool enabled);

}  // namespace sensor_admin
