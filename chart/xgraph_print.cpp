// Printing the chart (on a printer the user chooses, or into a context a caller prepared) and
// its pictures as bitmaps.

#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "chart/chart_hooks.h"
#include "chart/dib.h"
#include "chart/painter_device.h"
#include "chart/xgraph.h"

using namespace chart;

void CXGraph::DrawPrint(CDCEx* dc, const CRect& area)
{
    // The chart is laid out over the window's client area, whatever the size of the paper, so
    // that labels, which sit at client pixels, keep their place among axes and curves. The
    // context enlarges that layout as a whole to fit the area given in its own units.
    const int width = std::max(1, this->width());
    const int height = std::max(1, this->height());
    const double fit = std::min(area.Width() / (width * static_cast<double>(dc->m_fScaleX)),
                                area.Height() / (height * static_cast<double>(dc->m_fScaleY)));
    if (fit > 0.0 && std::isfinite(fit)) {
        dc->m_fScaleX = static_cast<float>(dc->m_fScaleX * fit);
        dc->m_fScaleY = static_cast<float>(dc->m_fScaleY * fit);
    }
    const CPoint origin(static_cast<int>(area.left / dc->m_fScaleX), static_cast<int>(area.top / dc->m_fScaleY));
    m_rcPrint = CRect(origin.x, origin.y, origin.x + width, origin.y + height);
    m_pPrintDC = dc;
    dc->m_bScaling = true;
    m_ptHit = CPoint(-1, -1);
    // Objects at client pixels move with the layout's origin for the print pass.
    const auto shiftObjects = [this](int dx, int dy) {
        if (dx == 0 && dy == 0) return;
        for (CXGraphObject* object : m_Objects) object->m_Rect.OffsetRect(dx, dy);
    };
    shiftObjects(origin.x, origin.y);
    Paint(dc, m_rcPrint, Stage::All);
    shiftObjects(-origin.x, -origin.y);
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
    DrawPrint(&dc, CRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES)));
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
    const CRect area(left, top, right, bottom);
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
