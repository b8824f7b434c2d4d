#pragma once
// Texts of values under formats that come from users and from chart files.
//
// A display format is accepted only when it is literal text with "%%" and at most one
// floating-point conversion (flags, a width and a precision of reasonable size); anything else
// (a string or integer conversion, "*", several conversions) falls back to "%5.3f", so that no
// stored or typed format can make the formatting read what is not there.
// Date formats (a strftime-like set of codes) go through our own formatter.

#include "platform/cstring.h"

namespace chart {

constexpr const char* kFallbackFormat = "%5.3f";

bool IsSafeDoubleFormat(const CString& format);
// The value under the format, or under the fallback when the format is not safe.
CString FormatDouble(const CString& format, double value);
// An OLE date (days since 1899-12-30) under a date format; empty outside the dates the
// original accepted (years 100 to 9999) or for a value that is not a number.
CString FormatOleDate(double date, const CString& format);

}  // namespace chart
