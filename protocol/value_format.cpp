// Measured values shown with the unit prefix and decimals that suit their magnitude.

#include "protocol/decimal_text.h"
#include "protocol/kadmor_send.h"

#include <cmath>

namespace {

constexpr char kNotAvailable[] = "n.a.";
constexpr double kSmallest = 0.01;
constexpr double kLargest = 9.99e15;

// One row of a unit table: what a value of the row's magnitude is shown as.
struct UnitChoice {
    const char* unit;
    int index;
    double factor;
    int printedDecimals;
    int reportedDecimals;
};

// The value to show, or false when there is none: not a number, not finite, or outside the
// range of magnitudes a unit table covers (zero and negative values included).
bool ReadMagnitude(CString value, double& v)
{
    value.Replace(',', '.');
    v = protocol::LeadingDecimalNumber(value);
    return std::isfinite(v) && v >= kSmallest && v <= kLargest;
}

// Decade of v: the number of divisions by 10 while v is 10 or more. Below 10, the number of
// multiplications by 10 while v is above 0 and at most 1, as a negative count (0 for 1 < v < 10).
int Decade(double v)
{
    int k = 0;
    double w = v;
    while (w >= 10.0) {
        w /= 10.0;
        ++k;
    }
    if (k > 0) return k;
    int m = 0;
    while (w > 0.0 && w <= 1.0 && m < 3) {
        w *= 10.0;
        ++m;
    }
    return -m;
}

UnitChoice TorqueUnit(double v)
{
    const int d = Decade(v);
    if (d >= 12) return {"MN·m", 4, 1e-8, 0, 0};
    if (d >= 9) return {"MN·m", 4, 1e-8, 1, 1};
    if (d >= 6) return {"kN·m", 3, 1e-5, 1, 1};
    if (d == 5) return {"kN·m", 3, 1e-5, 2, 2};
    if (d >= 3) return {"N·m", 2, 0.01, 1, 1};
    if (d == 2) return {"N·m", 2, 0.01, 2, 2};
    if (d == 1) return {"cN·m", 1, 1.0, 1, 1};
    if (d == 0) return {"cN·m", 1, 1.0, 2, 2};
    if (d == -1) return {"mN·m", 0, 10.0, 1, 1};
    return {"mN·m", 0, 10.0, 2, 2};
}

// Force and weight share one range table; only the unit names differ.
UnitChoice ForceOrWeightUnit(double v, bool weight)
{
    const int d = Decade(v);
    if (d >= 10) return {weight ? "t" : "MN", weight ? 3 : 4, 1e-6, 0, 0};
    if (d >= 7) return {weight ? "t" : "MN", weight ? 3 : 4, 1e-6, 1, 1};
    if (d == 6) return {weight ? "t" : "MN", weight ? 3 : 4, 1e-6, 2, weight ? 1 : 2};
    if (d >= 4) return {weight ? "kg" : "kN", weight ? 2 : 3, 0.001, 1, 1};
    if (d == 3) return {weight ? "kg" : "kN", weight ? 2 : 3, 0.001, 2, 2};
    if (d >= 1) return {weight ? "g" : "N", weight ? 1 : 2, 1.0, 1, 1};
    if (d == 0) return {weight ? "g" : "N", weight ? 1 : 2, 1.0, 2, 2};
    return {weight ? "mg" : "mN", 0, 1000.0, 1, 1};
}

// Temperature and speed: whole numbers from 1000 on.
UnitChoice WholeFromThousand(double v, const char* unit)
{
    return {unit, 0, 1.0, v >= 1000.0 ? 0 : 2, 3};
}

template <typename ChooseUnit>
CString FormatWithUnit(CString& out, const CString& value, int language, CString* numberText, CString* unitText,
                       int* unitIndex, double* unitFactor, int* decimals, ChooseUnit chooseUnit)
{
    double v = 0.0;
    if (!ReadMagnitude(value, v)) {
        out = kNotAvailable;
        return out;
    }
    const UnitChoice choice = chooseUnit(v);
    CString number;
    number.Format("%0.*f", choice.printedDecimals, v * choice.factor);
    CKadmor_Send::FormatNumber(number, language, number);

    out = number + " " + choice.unit;
    if (numberText) *numberText = number;
    if (unitText) *unitText = choice.unit;
    if (unitIndex) *unitIndex = choice.index;
    if (unitFactor) *unitFactor = choice.factor;
    if (decimals) *decimals = choice.reportedDecimals;
    return out;
}

}  // namespace

CString CKadmor_Send::FormatValueByTypeClass(CString& out, CString value, BYTE letter, int language,
                                             CString* numberText, CString* unitText, int* unitIndex,
                                             double* unitFactor, int* decimals) const
{
    switch (letter) {
    case 'D': return FormatTorqueValue(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals);
    case 'K': return FormatForceValue(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals);
    case 'W': return FormatWeightValue(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals);
    case 'X': return FormatAduValue(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals);
    case 'd': return FormatStrainValue(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals);
    case 'A': return FormatVoltageValue(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals);
    case 'S': return FormatCurrentValue(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals);
    case 'T':
        return FormatTemperatureValue(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals);
    case 'Y': return FormatSpeedValue(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals);
    default:
        out = "n.a. TypeClass Unkonwn";
        return out;
    }
}

bool CKadmor_Send::FormatMagnitude(double value, BYTE letter, int language, CString& numberText, CString& unitText,
                                   double* unitFactor) const
{
    CString out, number, unit;
    FormatValueByTypeClass(out, CString::Formatted("%.6f", value), letter, language, &number, &unit, nullptr,
                           unitFactor, nullptr);
    if (number.IsEmpty() || unit.IsEmpty()) {
        numberText.Empty();
        unitText.Empty();
        return false;
    }
    numberText = number;
    unitText = unit;
    return true;
}

CString CKadmor_Send::FormatTorqueValue(CString& out, CString value, int language, CString* numberText,
                                        CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const
{
    return FormatWithUnit(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals, TorqueUnit);
}

CString CKadmor_Send::FormatForceValue(CString& out, CString value, int language, CString* numberText,
                                       CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const
{
    return FormatWithUnit(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals,
                          [](double v) { return ForceOrWeightUnit(v, false); });
}

CString CKadmor_Send::FormatWeightValue(CString& out, CString value, int language, CString* numberText,
                                        CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const
{
    return FormatWithUnit(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals,
                          [](double v) { return ForceOrWeightUnit(v, true); });
}

CString CKadmor_Send::FormatAduValue(CString& out, CString value, int language, CString* numberText,
                                     CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const
{
    return FormatWithUnit(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals,
                          [](double) { return UnitChoice{"ADU", 0, 1.0, 0, 0}; });
}

CString CKadmor_Send::FormatStrainValue(CString& out, CString value, int language, CString* numberText,
                                        CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const
{
    return FormatWithUnit(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals,
                          [](double) { return UnitChoice{"mV/V", 0, 1.0, 3, 3}; });
}

CString CKadmor_Send::FormatVoltageValue(CString& out, CString value, int language, CString* numberText,
                                         CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const
{
    return FormatWithUnit(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals,
                          [](double) { return UnitChoice{"V", 0, 1.0, 2, 2}; });
}

CString CKadmor_Send::FormatCurrentValue(CString& out, CString value, int language, CString* numberText,
                                         CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const
{
    return FormatWithUnit(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals,
                          [](double) { return UnitChoice{"mA", 0, 1.0, 2, 2}; });
}

CString CKadmor_Send::FormatTemperatureValue(CString& out, CString value, int language, CString* numberText,
                                             CString* unitText, int* unitIndex, double* unitFactor,
                                             int* decimals) const
{
    return FormatWithUnit(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals,
                          [](double v) { return WholeFromThousand(v, "°C"); });
}

CString CKadmor_Send::FormatSpeedValue(CString& out, CString value, int language, CString* numberText,
                                       CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const
{
    return FormatWithUnit(out, value, language, numberText, unitText, unitIndex, unitFactor, decimals,
                          [](double v) { return WholeFromThousand(v, "1/min"); });
}

CString CKadmor_Send::FormatNumber(CString& out, int language, CString text)
{
    if (language == kLanguageEnglish)
        text.Replace(',', '.');
    else
        text.Replace('.', ',');
    out = text;
    return out;
}
