#include "chart/chart_hooks.h"

#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/qt_text.h"

namespace chart {

namespace {

int QtPopupMenu(QWidget* owner, QPoint globalPos, const std::vector<MenuItem>& items)
{
    QMenu menu(owner);
    for (const MenuItem& item : items) menu.addAction(platform::ToQString(item.text))->setData(item.command);
    QAction* chosen = menu.exec(globalPos);
    return chosen ? chosen->data().toInt() : 0;
}

bool QtPrintDialog(QPrinter& printer)
{
    QPrintDialog dialog(&printer);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    return dialog.exec() == QDialog::Accepted;
}

Hooks MakeDefaults()
{
    Hooks hooks;
    hooks.popupMenu = QtPopupMenu;
    hooks.printDialog = QtPrintDialog;
    return hooks;
}

}  // namespace

Hooks& GetHooks()
{
    static Hooks hooks = MakeDefaults();
    return hooks;
}

}  // namespace chart
