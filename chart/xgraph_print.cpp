// Printing the chart (on a printer the user chooses, or into a context a caller prepared) and
// its pictures as bitmaps.

#include <QPrinter>

#include "chart/chart_hooks.h"
#include "chart/dib.h"
#include "chart/painter_device.h"
#include "chart/xgraph.h"

using namespace chart;

void CXGraph::DrawPrint(CDCEx* dc, const CRect& area)
{
    m_rcPrint = area;
    m_pPrintDC = dc;
    dc->m_bScaling = true;
    m_ptHit = CPoint(-1, -1);
    Paint(dc, m_rcPrint, Stage::All);
}

void CXGraph::OnPrint()
{
    QPrinter printer(QPrinter::HighResolution);
    const Hooks& hooks = GetHooks();
    if (!hooks.printDialog || !hooks.printDialog(printer)) return;
    CDCEx dc(std::make_shared<PrinterDevice>(printer));
    dc.ComputeScale(&dc);
    dc.StartDoc("Graph");
    dc.StartPage();
    const CRect area(0, 0, static_cast<int>(dc.GetDeviceCaps(HORZRES) / dc.m_fScaleX),
                     static_cast<int>(dc.GetDeviceCaps(VERTRES) / dc.m_fScaleY));
    DrawPrint(&dc, area);
    dc.EndPage();
    dc.EndDoc();
    m_pPrintDC = nullptr;
    // The layout followed the page; the window lays itself out again.
    Invalidate(true);
}

void CXGraph::PrintGraphRect(CDC* target, int left, int top, int right, int bottom)
{
    CDCEx dc(target->device());
    dc.ComputeScale(target);
    const CRect area(static_cast<int>(left / dc.m_fScaleX), static_cast<int>(top / dc.m_fScaleY),
                     static_cast<int>(right / dc.m_fScaleX), static_cast<int>(bottom / dc.m_fScaleY));
    if (target->HasSeparateAttribDC()) {
        dc.m_bPreview = true;
        DrawPrint(&dc, area);
    } else {
        dc.m_bPreview = false;
        dc.StartPage();
        DrawPrint(&dc, area);
        dc.EndPage();
        dc.EndDoc();
    }
    m_pPrintDC = nullptr;
    dc.Detach();
    Invalidate(true);
}

void CXGraph::PrintGraph(CDC* target)
{
    PrintGraphRect(target, 0, 0, static_cast<int>(target->GetDeviceCaps(HORZRES)), static_cast<int>(target->GetDeviceCaps(VERTRES)));
}

std::vector<BYTE> CXGraph::GetBitmap()
{
    if (!m_pPicture) RenderScreen();
    if (!m_pPicture) return {};
    return DDBToDIB(*m_pPicture, BI_RGB);
}

bool CXGraph::SaveBitmap(const CString& fileName)
{
    if (!m_pPicture) return false;
    const std::vector<BYTE> dib = DDBToDIB(*m_pPicture, BI_RGB);
    if (dib.empty()) return false;
    return WriteDIB(fileName, dib);
}
