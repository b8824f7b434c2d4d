#include "views/display_helper.h"

#include <cstdlib>

#include "views/unit_lists.h"

bool CDisplayHelper::FormatValueText(const CString& codeText, BYTE typeClass, int language, CString& valueText,
                                     CString& unitText, double& factor) const
{
    valueText = "n.a.";
    unitText = "n.a.";
    const CString trimmed = codeText;
    if (trimmed.IsEmpty() || trimmed.GetLength() > 8 || trimmed.SpanIncluding("0123456789abcdefABCDEF") != trimmed)
        return false;
    const DWORD code = static_cast<DWORD>(std::strtoul(trimmed.GetString(), nullptr, 16));
    const double value = DecimalCode16Value(code);
    CString number, unit;
    double unitFactor = 0.0;
    if (!FormatMagnitude(value, typeClass, language, number, unit, &unitFactor)) return false;
    valueText = number;
    // The codec names units in German; the views show them in the language asked for.
    unitText = views::UnitNameInLanguage(typeClass, unit, language);
    factor = unitFactor;
    return true;
}
