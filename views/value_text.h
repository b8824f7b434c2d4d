#pragma once
// Texts of measured values as the views show them: the number with the channel's decimals and
// the language's decimal separator; "n.a." for what is no number; an overflow mark for a
// number too wide for the value fields.

#include "platform/cstring.h"

namespace views {

inline constexpr const char* kNotAvailable = "n.a.";
inline constexpr const char* kOverflowPositive = "+OVL";
inline constexpr const char* kOverflowNegative = "-OVL";
// Characters a value field holds: sign, digits, separator and decimals.
constexpr int kValueWidth = 11;
constexpr int kMaxDecimals = 6;

// decimals outside 0 to kMaxDecimals are brought into range; language 1000 writes ".",
// every other language ",".
CString FormatValue(double value, int decimals, int language, int maxWidth = kValueWidth);

}  // namespace views
