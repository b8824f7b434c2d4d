#include "chart/chart_hooks.h"

#include <QActionGroup>
#include <QFileDialog>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/qt_text.h"

namespace chart {

namespace {

int QtPopupMenu(QWidget* owner, QPoint globalPos, const std::vector<MenuItem>& items)
{
    QMenu menu(owner);
    QActionGroup* alternatives = nullptr;
    for (const MenuItem& item : items) {
        if (item.command == 0 && item.text.IsEmpty()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(platform::ToQString(item.text));
        action->setData(item.command);
        action->setEnabled(item.enabled);
        if (item.checkable) {
            if (!alternatives) alternatives = new QActionGroup(&menu);
            alternatives->addAction(action);
            action->setCheckable(true);
            action->setChecked(item.checked);
        }
    }
    QAction* chosen = menu.exec(globalPos);
    return chosen ? chosen->data().toInt() : 0;
}

bool QtPrintDialog(QPrinter& printer)
{
    QPrintDialog dialog(&printer);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    // Qt's print to file writes a PDF: on a machine without printers the one way to print.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrintPreview(QWidget* owner, QPrinter& printer, const std::function<void(QPrinter&)>& paint)
{
    QPrintPreviewDialog dialog(&printer, owner);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&paint](QPrinter* target) { paint(*target); });
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrinterPresent() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

CString QtFileName(QWidget* owner, bool save, const CString& title, const CString& filter)
{
    const QString caption = platform::ToQString(title), filters = platform::ToQString(filter);
    QFileDialog dialog(owner, caption, QString(), filters);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Added before the dialog asks whether to replace a file, so that it asks about the right one.
    if (save) dialog.setDefaultSuffix(platform::ToQString(FilterExtension(filter).Mid(1)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return CString();
    return platform::FromQString(dialog.selectedFiles().constFirst());
}

Hooks MakeDefaults()
{
    Hooks hooks;
    hooks.popupMenu = QtPopupMenu;
    hooks.printDialog = QtPrintDialog;
    hooks.printPreview = QtPrintPreview;
    hooks.printerPresent = QtPrinterPresent;
    hooks.fileName = QtFileName;
    return hooks;
}

}  // namespace

CString FilterExtension(const CString& filter)
{
    const int star = filter.Find("*.");
    if (star < 0) return CString();
    const CString extension = filter.Mid(star + 1);
    const int end = extension.FindOneOf(" ;)");
    return end < 0 ? extension : extension.Left(end);
}

Hooks& GetHooks()
{
    static Hooks hooks = MakeDefaults();
    return hooks;
}

}  // namespace chart
