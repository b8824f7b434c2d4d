#pragma once
// Seams between the chart core and what sits outside it: the chart's popup menus, the label's
// property dialog (built with the property pages), the print dialog and print preview, the
// chart files' file dialog. The application installs the real ones; tests install answers.

#include <functional>
#include <utility>
#include <vector>

#include <QPoint>

#include "platform/cstring.h"

class QPrinter;
class QWidget;
class CXGraphLabel;

namespace chart {

// One entry of a popup menu; command 0 with no text is a separator. The checkable entries of a
// menu are alternatives, one of them checked.
struct MenuItem {
    int command;
    CString text;
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
};

struct Hooks {
    // Shows a popup menu at a global position and returns the chosen command, 0 for none.
    std::function<int(QWidget* owner, QPoint globalPos, const std::vector<MenuItem>& items)> popupMenu;
    // Opens the label's property dialog modally (the property pages install it).
    std::function<void(CXGraphLabel& label)> labelProperties;
    // Lets the user choose and set up a printer (a PDF file is one of the choices); false when
    // cancelled.
    std::function<bool(QPrinter& printer)> printDialog;
    // Shows a print preview drawn by paint, which is called again for every page set-up and
    // for the printer the user prints on from the preview; true when the user printed.
    std::function<bool(QWidget* owner, QPrinter& printer, const std::function<void(QPrinter&)>& paint)> printPreview;
    // Whether the machine has a printer installed.
    std::function<bool()> printerPresent;
    // Asks for the name of a file to write (save) or to read; empty when cancelled. The filter
    // takes the file dialog's form ("Charts (*.xgr)"); the save dialog gives a typed name
    // without extension the filter's one.
    std::function<CString(QWidget* owner, bool save, const CString& title, const CString& filter)> fileName;
};

// The process-wide hooks; empty members fall back to the Qt dialogs and menus.
Hooks& GetHooks();

// The extension of a file-dialog filter's first pattern with its dot ("Charts (*.xgr)" gives
// ".xgr"); empty when the filter has none.
CString FilterExtension(const CString& filter);

}  // namespace chart
