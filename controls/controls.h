#pragma once
// The control library of the pages: every control a Designer form may use as a promoted
// widget, reached by the page through its control id (platform/dialog.h), and the resources
// they show.
//
//   CLedButton   multi-state indicator lamp with caption (led_button.h)
//   CKombiBox    drop-down list with an item datum per entry (kombi_box.h)
//   CCheckBox    check box with set-if-different helpers (check_box.h)
//   CBrowseCtrl  path field with a file or folder browse button (browse_ctrl.h)
//   CMyEdit      entry field with a character filter and a numeric value (my_edit.h)
//   CXListCtrl   report list with coloured, checkable and progress cells (xlist_ctrl.h)
//   indicator icons (res/icons/indicator_icons.h)

#include "controls/browse_ctrl.h"
#include "controls/check_box.h"
#include "controls/kombi_box.h"
#include "controls/led_button.h"
#include "controls/my_edit.h"
#include "controls/xlist_ctrl.h"
