#include "chart/chart_hooks.h"

#include <QFileDialog>
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

CString QtFileName(QWidget* owner, bool save, const CString& title, const CString& filter)
{
    const QString caption = platform::ToQString(title), filters = platform::ToQString(filter);
    const QString name = save ? QFileDialog::getSaveFileName(owner, caption, QString(), filters)
                              : QFileDialog::getOpenFileName(owner, caption, QString(), filters);
    return platform::FromQString(name);
}

Hooks MakeDefaults()
{
    Hooks hooks;
    hooks.popupMenu = QtPopupMenu;
    hooks.printDialog = QtPrintDialog;
    hooks.fileName = QtFileName;
    return hooks;
}

}  // namespace

Hooks& GetHooks()
{
    static Hooks hooks = MakeDefaults();
    return hooks;
}

}  // namespace chart
