#pragma once
// Number texts of the set-up page: the decimal separator of the page's language ("." in
// English, "," otherwise), trailing zeros, and reading user input with "," or "." alike.

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace measurement {

constexpr int kEnglish = 1000;
constexpr int kFrench = 2000;

// "," for every language but English.
char DecimalSeparator(int language);
// Replaces the "." of a C-formatted number by the language's separator.
CString LocalizeSeparator(const CString& text, int language);
// Removes zeros after the decimal separator ("." or ","), then a trailing separator; a text
// without a separator stays as it is.
CString TrimZeros(const CString& text);
// Reads a number typed by the user: blanks trimmed, "," taken as ".", only a plain decimal
// number (sign, digits, one point) is accepted. False and value 0 for anything else.
bool ParseUserNumber(const CString& text, double& value);
// The value with that many decimals, zeros trimmed, in the language's separator.
CString FormatTrimmed(double value, int decimals, int language);
// Digits after the decimal point of a limit text, at most 7.
int DecimalsOfText(const CString& text);

}  // namespace measurement
