#pragma once
// Reading a number from a text the way the codec needs it: the leading plain decimal number
// (blanks, an optional sign, digits with at most one '.'), in the C locale. Hexadecimal forms,
// exponents, "nan" and "inf" are not numbers here: a text without a leading decimal number
// reads as 0.0, just as the C runtime's conversion gives 0.0 when nothing converts.

#include "platform/cstring.h"

namespace protocol {

double LeadingDecimalNumber(const CString& text);

}  // namespace protocol
