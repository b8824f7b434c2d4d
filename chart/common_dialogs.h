#pragma once
// The common dialogs that the chart's pages open (colour and font), behind one seam so that
// tests run without a screen and answer them as a user would.

#include "chart/gdi_types.h"
#include "platform/win_types.h"

class QWidget;

namespace chart {

class CommonDialogs {
public:
    virtual ~CommonDialogs() = default;
    // The full colour dialog opened on initial; false when the user cancelled.
    virtual bool ChooseColour(COLORREF initial, COLORREF& chosen, QWidget* parent);
    // The font dialog with screen fonts and effects, no initial font; on OK the chosen font and
    // the colour chosen with it (black unless the dialog offers colours). False when cancelled.
    virtual bool ChooseFont(LOGFONT& font, COLORREF& colour, QWidget* parent);
};

// The dialogs in use; the default ones show Qt's dialogs.
CommonDialogs& GetCommonDialogs();
// Installs other dialogs (tests); null restores the default ones. Not owned.
void SetCommonDialogs(CommonDialogs* dialogs);

}  // namespace chart
