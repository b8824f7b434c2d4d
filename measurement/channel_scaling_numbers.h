#pragma once
// Number texts of the channel scaling page: the target value rounded to at most six significant
// characters (runs of nines rounded up), and a measured value shown with ten characters of
// integer part, point and decimals. Values that cannot be shown soundly read "n.a.".

#include "platform/cstring.h"

namespace measurement {

CString FormatScalingTarget(double value);
// With the language's decimal separator (languageOffset -1: the current language).
CString FormatScalingReading(double value, int languageOffset = -1);

}  // namespace measurement
