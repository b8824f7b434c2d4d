// The diagram window's context menu: the chart's operation modes and commands, which the chart
// carries out itself, and the window's own chart files and printing.

#include <QCursor>
#include <QFileInfo>

#include "chart/chart_hooks.h"
#include "chart/xgraph.h"
#include "platform/message_box.h"
#include "platform/qt_text.h"
#include "views/graphic_display_wnd.h"
#include "views/view_texts.h"

namespace {

// The window's own commands, apart from the chart's (60000 and above).
enum : int { kSaveChart = 1, kLoadChart, kPrint, kPrintPreview };

struct ModeEntry {
    int operation;
    UINT command;
    UINT text;
};
constexpr ModeEntry kModes[] = {
    {chart::OP_SELECT, chart::IDM_SELECT_MODE, views::kTextSelectMode},
    {chart::OP_ZOOM, chart::IDM_ZOOM_MODE, views::kTextZoomMode},
    {chart::OP_PAN, chart::IDM_PAN_MODE, views::kTextPanMode},
    {chart::OP_CURSOR, chart::IDM_CURSOR_MODE, views::kTextCursorMode},
    {chart::OP_MEASURE, chart::IDM_MEASURE_MODE, views::kTextMeasureMode},
};

chart::MenuItem Entry(UINT command, UINT text, bool enabled = true)
{
    return {static_cast<int>(command), views::ViewText(text), enabled};
}

chart::MenuItem Separator() { return {0, CString()}; }

std::vector<chart::MenuItem> MenuOf(const CXGraph& graph)
{
    std::vector<chart::MenuItem> items;
    for (const ModeEntry& mode : kModes) {
        chart::MenuItem item = Entry(mode.command, mode.text);
        item.checkable = true;
        item.checked = graph.GetOperation() == mode.operation;
        items.push_back(item);
    }
    items.push_back(Separator());
    items.push_back(Entry(chart::IDM_UNDO_ZOOM, views::kTextUndoZoom, graph.GetZoomDepth() > 0));
    items.push_back(Entry(chart::IDM_RESET_ZOOM, views::kTextResetZoom));
    items.push_back(Separator());
    items.push_back(Entry(chart::IDM_INSERT_LABEL, views::kTextInsertLabel));
    // The trends are of the curve the right click was on, else of the one selected, else of
    // the only curve shown.
    const bool curveSelected = graph.GetTrendCurve() >= 0;
    items.push_back(Entry(chart::IDM_LINEAR_TREND, views::kTextLinearTrend, curveSelected));
    items.push_back(Entry(chart::IDM_CUBIC_TREND, views::kTextCubicTrend, curveSelected));
    items.push_back(Separator());
    items.push_back(Entry(chart::IDM_PROPERTIES, views::kTextProperties));
    items.push_back(Separator());
    items.push_back(Entry(kSaveChart, views::kTextSaveChart));
    items.push_back(Entry(kLoadChart, views::kTextLoadChart));
    items.push_back(Separator());
    items.push_back(Entry(kPrint, views::kTextPrint));
    items.push_back(Entry(kPrintPreview, views::kTextPrintPreview));
    return items;
}

// The name with the chart files' extension when it does not end in it already: a name such as
// "test 2.5" has a dot but no chart extension, and would be missing from the load dialog.
CString WithChartExtension(const CString& name)
{
    const CString extension = chart::FilterExtension(views::ViewText(views::kTextChartFilter));
    const bool hasIt = name.GetLength() >= extension.GetLength() && name.Right(extension.GetLength()).CompareNoCase(extension) == 0;
    return hasIt ? name : name + extension;
}

}  // namespace

void CGraphicDisplayWnd::ShowContextMenu()
{
    const chart::Hooks& hooks = chart::GetHooks();
    if (!hooks.popupMenu) return;
    const int chosen = hooks.popupMenu(m_pGraph, QCursor::pos(), MenuOf(*m_pGraph));
    switch (chosen) {
    case 0: return;
    case kSaveChart: SaveChartAs(); return;
    case kLoadChart: LoadChartFrom(); return;
    case kPrint: Print(); return;
    case kPrintPreview: PrintPreview(); return;
    default: m_pGraph->Wnd().SendMessage(chart::WM_COMMAND, static_cast<WPARAM>(chosen), 0); break;
    }
    // The chart's whole range again: the window follows the newest values as before the zoom.
    if (chosen == static_cast<int>(chart::IDM_RESET_ZOOM)) {
        m_bFollowData = true;
        UpdateSliders();
    }
}

void CGraphicDisplayWnd::SaveChartAs()
{
    const chart::Hooks& hooks = chart::GetHooks();
    if (!hooks.fileName) return;
    const CString typed = hooks.fileName(this, true, views::ViewText(views::kTextSaveChart), views::ViewText(views::kTextChartFilter));
    if (typed.IsEmpty()) return;
    const CString fileName = WithChartExtension(typed);
    // The dialog asked about replacing the name typed, not about the one with the extension.
    if (fileName != typed && QFileInfo::exists(platform::ToQString(fileName)) &&
        AfxMessageBox(CString::Formatted(views::ViewText(views::kTextChartExists).GetString(), fileName.GetString()),
                      platform::MB_YESNO | platform::MB_ICONQUESTION | platform::MB_DEFBUTTON2) != platform::IDYES)
        return;
    if (SaveChart(fileName)) return;
    AfxMessageBox(views::ViewText(views::kTextChartNotSaved) + "\n" + fileName, platform::MB_ICONWARNING);
}

void CGraphicDisplayWnd::LoadChartFrom()
{
    const chart::Hooks& hooks = chart::GetHooks();
    if (!hooks.fileName) return;
    const CString fileName =
        hooks.fileName(this, false, views::ViewText(views::kTextLoadChart), views::ViewText(views::kTextChartFilter));
    if (fileName.IsEmpty() || LoadChart(fileName)) return;
    AfxMessageBox(views::ViewText(views::kTextChartNotLoaded) + "\n" + fileName, platform::MB_ICONWARNING);
}
