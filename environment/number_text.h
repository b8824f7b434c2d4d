#pragma once
// Number texts as the user sees them: the decimal separator of the language ("." for
// English, "," for every other language) and reading the numbers the user types.
// Formatting itself is always done in the C locale.

#include "platform/cstring.h"
#include "workflow/port_names.h"

// The text with its decimal separator set for the language (languageOffset -1: the current
// one): "," for 0, 2000, 3000 and 4000, "." for 1000. Both '.' and ',' in the text are taken
// as the separator.
CString LocalizeDecimalSeparator(const CString& text, int languageOffset = -1);
// The value with that many decimals (0 to 15) and the language's separator.
CString FormatDouble(double value, int decimals, int languageOffset = -1);
// The number in a text typed by the user: only digits, signs, separators and an exponent
// count, ',' is read as '.'; 0.0 when no number is left.
double TextToDouble(const CString& text);
// Digits after the decimal point of a number text (',' read as '.'), at most 7; 0 without
// separator. It is defined beside the configuration writer, its first user.
int TextToFieldNumber(const CString& text);
// The decimal digits of the COM name in a port text; empty when there is none.
using workflow::ExtractComPortName;
// Message 5115 for a trigger or condition source that is not active: the word for channel
// (one sensor) or sensor (several), twice, and the channel letter ("A" + code) or the sensor
// number (code + 1).
CString BuildNotActiveText(int sourceCode, bool severalSensors);
