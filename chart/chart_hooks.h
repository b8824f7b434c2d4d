#pragma once
// Seams between the chart core and what sits outside it: the chart's popup menus, the label's
// property dialog (built with the property pages), the print dialog, the chart files' file
// dialog and the in-place editor's window. The application installs the real ones; tests install answers.

#include <functional>
#include <utility>
#include <vector>

#include <QPoint>

#include "platform/cstring.h"

class QPrinter;
class QWidget;
class CXGraphLabel;

namespace chart {

struct MenuItem {
    int command;
    CString text;
};

struct Hooks {
    // Shows a popup menu at a global position and returns the chosen command, 0 for none.
    std::function<int(QWidget* owner, QPoint globalPos, const std::vector<MenuItem>& items)> popupMenu;
    // Opens the label's property dialog modally (the property pages install it).
    std::function<void(CXGraphLabel& label)> labelProperties;
    // Lets the user choose and set up a printer; false when cancelled.
    std::function<bool(QPrinter& printer)> printDialog;
    // Asks for the name of a file to write (save) or to read; empty when cancelled. The filter
    // takes the file dialog's form ("Charts (*.xgr)").
    std::function<CString(QWidget* owner, bool save, const CString& title, const CString& filter)> fileName;
};

// The process-wide hooks; empty members fall back to the Qt dialogs and menus.
Hooks& GetHooks();

}  // namespace chart
