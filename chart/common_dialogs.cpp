#include "chart/common_dialogs.h"

#include <QColorDialog>
#include <QFontDialog>

#include "platform/qt_text.h"

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

bool CommonDialogs::ChooseFont(LOGFONT& font, COLORREF& colour, QWidget* parent)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, QFont(), parent);
    if (!ok) return false;
    LOGFONT lf;
    // Heights are character heights in pixels, negative as the system's font records store them.
    const int pixels = chosen.pixelSize() > 0 ? chosen.pixelSize() : static_cast<int>(chosen.pointSizeF() * 96.0 / 72.0 + 0.5);
    lf.lfHeight = -pixels;
    lf.lfWeight = chosen.bold() ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = chosen.italic() ? 1 : 0;
    lf.lfUnderline = chosen.underline() ? 1 : 0;
    lf.lfStrikeOut = chosen.strikeOut() ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.SetFaceName(platform::FromQString(chosen.family()).GetString());
    font = lf;
    colour = 0;
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
