#pragma once
// Port texts: the port list gives each port as its COM name, a blank and the driver's
// description ("COM7 Tessaline USB sensor interface Port").

#include "platform/cstring.h"

namespace workflow {

// The decimal digits of the COM name in the text (after a '[' when there is one, following
// "COM"); empty when the text holds no COM name.
CString ExtractComPortName(const CString& portText);
// The COM number of the text, or -1 when it has none.
int ComPortNumber(const CString& portText);
// True for a text that begins with "COM" followed by a digit.
bool IsComPortText(const CString& text);

}  // namespace workflow
