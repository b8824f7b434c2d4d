#pragma once
// CFloat32: converts between a double and the four-byte floating-point pattern that the
// sensors keep in their configuration blocks, most significant byte first.
//
// For the default widths (8-bit exponent, 23-bit mantissa) the layout is that of a single-
// precision float, but the sensors know no special values: every exponent field, zero and all
// ones included, is an ordinary binary exponent with the hidden leading 1. A conversion to bytes
// truncates the mantissa instead of rounding it, so a value read back never exceeds the value
// written.

#include "platform/win_types.h"

class CFloat32 {
public:
    // Either width may be null. A given exponent width of 1 to 30 wins; else a given mantissa
    // width of 1 to 30 fixes the exponent width as 31 minus it; anything else gives 8 and 23.
    explicit CFloat32(const int* exponentBits = nullptr, const int* mantissaBits = nullptr);
    virtual ~CFloat32() = default;

    // Decodes the pattern b0 (most significant) .. b3. With keepTiny false, a value inside the
    // zero band (the magnitudes of the patterns 00 00 00 01 and 80 00 00 01) comes back as 0.0.
    double BytesToDouble(const BYTE* b0, const BYTE* b1, const BYTE* b2, const BYTE* b3, bool keepTiny);

    // Encodes *value; the pattern is then available through GetBytes. Returns false, and leaves
    // the pattern of the previous conversion as it was, for a value that has no pattern: a
    // magnitude too large for the exponent field, an infinity or a NaN.
    bool DoubleToBytes(const double* value);

    // The four bytes (most significant first) of the pattern of the last successful DoubleToBytes.
    const BYTE* GetBytes() const { return m_aPattern; }

    int GetExponentBits() const { return m_nExponentBits; }
    int GetMantissaBits() const { return m_nMantissaBits; }
    int GetBias() const { return m_nHalfRange - 1; }
    double GetZeroBandUpper() const { return m_dZeroUpper; }
    double GetZeroBandLower() const { return m_dZeroLower; }

private:
    int m_nExponentBits = 8;
    int m_nMantissaBits = 23;
    int m_nHalfRange = 128;  // 2^(e-1); the bias is one less
    BYTE m_aPattern[4] = {0, 0, 0, 0};
    double m_dZeroUpper = 0.0;
    double m_dZeroLower = 0.0;
};
