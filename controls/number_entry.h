#pragma once
// The plain number rules of the entry field (CMyEdit), testable without widgets.

#include "platform/cstring.h"

namespace controls {

// The number a text begins with, "," and "." both read as the decimal separator: an optional
// sign, digits and decimals ("-12,5 V" gives -12.5). 0.0 when the text begins with none.
// Never reads exponents, hexadecimal, "inf" or "nan".
double LeadingNumber(const CString& text);

// text with every "," and "." replaced by separator.
CString WithDecimalSeparator(CString text, char separator);

}  // namespace controls
