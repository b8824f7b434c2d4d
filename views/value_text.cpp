#include "views/value_text.h"

#include <algorithm>
#include <cmath>

#include "protocol/kadmor_send.h"

namespace views {

CString FormatValue(double value, int decimals, int language, int maxWidth)
{
    if (!std::isfinite(value)) return kNotAvailable;
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    // Too large for any field: decided before printing, so no huge text is ever built.
    if (std::fabs(value) >= 1e15) return value < 0 ? kOverflowNegative : kOverflowPositive;
    CString text = CString::Formatted("%.*f", decimals, value);
    // "-0.00" of a tiny negative value reads as a sign without a value.
    if (text[0] == '-' && text.FindOneOf("123456789") < 0) text = text.Mid(1);
    if (text.GetLength() > maxWidth) return value < 0 ? kOverflowNegative : kOverflowPositive;
    CString out;
    return CKadmor_Send::FormatNumber(out, language, text);
}

}  // namespace views
