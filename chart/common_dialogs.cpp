#include "chart/common_dialogs.h"

#include <QColorDialog>

namespace chart {

namespace {
CommonDialogs g_defaultDialogs;
CommonDialogs* g_dialogs = nullptr;
}  // namespace

bool CommonDialogs::ChooseColour(COLORREF initial, COLORREF& chosen, QWidget* parent)
{
    const QColor start(GetRValue(initial), GetGValue(initial), GetBValue(initial));
    const QColor colour = QColorDialog::getColor(start, parent);
    if (!colour.isValid()) return false;
    chosen = RGB(colour.red(), colour.green(), colour.blue());
    return true;
}

CommonDialogs& GetCommonDialogs()
{
    return g_dialogs ? *g_dialogs : g_defaultDialogs;
}

void SetCommonDialogs(CommonDialogs* dialogs)
{
    g_dialogs = dialogs;
}

}  // namespace chart
