#pragma once
// The common dialogs that the chart's pages open (colour and font), behind one seam so that
// tests run without a screen and answer them as a user would.

#include "platform/win_types.h"

class QWidget;

namespace chart {

class CommonDialogs {
public:
    virtual ~CommonDialogs() = default;
    // The full colour dialog opened on initial; false when the user cancelled.
    virtual bool ChooseColour(COLORREF initial, COLORREF& chosen, QWidget* parent);
};

// The dialogs in use; the default ones show Qt's dialogs.
CommonDialogs& GetCommonDialogs();
// Installs other dialogs (tests); null restores the default ones. Not owned.
void SetCommonDialogs(CommonDialogs* dialogs);

}  // namespace chart
