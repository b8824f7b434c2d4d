// Printing the diagram: the whole chart on one page of the printer the user chooses in the print
// dialog or prints on from the print preview, drawn by the chart's own print pass.

#include <QPrinter>

#include "chart/chart_hooks.h"
#include "chart/painter_device.h"
#include "chart/xgraph.h"
#include "platform/message_box.h"
#include "platform/qt_text.h"
#include "views/graphic_display_wnd.h"
#include "views/view_texts.h"

void CGraphicDisplayWnd::PrintGraph(CDC* dc) { m_pGraph->PrintGraph(dc); }

void CGraphicDisplayWnd::PrintGraphRect(CDC* dc, int left, int top, int right, int bottom)
{
    m_pGraph->PrintGraphRect(dc, left, top, right, bottom);
}

bool CGraphicDisplayWnd::Print()
{
    const chart::Hooks& hooks = chart::GetHooks();
    // Without a printer the dialog offers only the PDF file; the user is told why.
    if (hooks.printerPresent && !hooks.printerPresent())
        AfxMessageBox(views::ViewText(views::kTextNoPrinter), platform::MB_ICONINFORMATION);
    QPrinter printer(QPrinter::HighResolution);
    if (!hooks.printDialog || !hooks.printDialog(printer)) return false;
    return PrintOn(printer, false);
}

bool CGraphicDisplayWnd::PrintPreview()
{
    const chart::Hooks& hooks = chart::GetHooks();
    if (!hooks.printPreview) return false;
    QPrinter printer(QPrinter::HighResolution);
    bool drawn = true;
    const bool printed = hooks.printPreview(this, printer, [&](QPrinter& target) { drawn = PrintOn(target, true) && drawn; });
    return printed && drawn;
}

bool CGraphicDisplayWnd::PrintOn(QPrinter& printer, bool preview)
{
    RepaintSamples();
    CDC dc(std::make_shared<chart::PrinterDevice>(printer));
    // A preview draws its page without ending it: the preview goes on to show it.
    dc.SetPreviewAttribute(preview);
    if (!dc.StartDoc("Diagram")) {
        const QString target = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        AfxMessageBox(views::ViewText(views::kTextChartNotPrinted) + "\n" + platform::FromQString(target), platform::MB_ICONWARNING);
        return false;
    }
    PrintGraph(&dc);
    if (preview) dc.EndDoc();
    return true;
}
