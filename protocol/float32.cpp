#include "protocol/float32.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int kDefaultExponentBits = 8;
constexpr int kWordBits = 31;  // exponent plus mantissa; bit 31 is the sign

bool IsUsableWidth(const int* bits) { return bits && *bits >= 1 && *bits < kWordBits; }

}  // namespace

CFloat32::CFloat32(const int* exponentBits, const int* mantissaBits)
{
    if (IsUsableWidth(exponentBits)) {
        m_nExponentBits = *exponentBits;
    } else if (!exponentBits && IsUsableWidth(mantissaBits)) {
        m_nExponentBits = kWordBits - *mantissaBits;
    } else {
        m_nExponentBits = kDefaultExponentBits;
    }
    m_nMantissaBits = kWordBits - m_nExponentBits;
    m_nHalfRange = 1 << (m_nExponentBits - 1);

    const BYTE zero = 0x00, one = 0x01, sign = 0x80;
    m_dZeroUpper = BytesToDouble(&zero, &zero, &zero, &one, true);
    m_dZeroLower = BytesToDouble(&sign, &zero, &zero, &one, true);
}

double CFloat32::BytesToDouble(const BYTE* b0, const BYTE* b1, const BYTE* b2, const BYTE* b3, bool keepTiny)
{
    const std::uint32_t word = (std::uint32_t{*b0} << 24) | (std::uint32_t{*b1} << 16) |
                               (std::uint32_t{*b2} << 8) | std::uint32_t{*b3};
    const double sign = (word & 0x80000000u) ? -1.0 : 1.0;
    const std::uint32_t mantissaMask = (std::uint32_t{1} << m_nMantissaBits) - 1;
    const std::uint32_t exponentField =
        (word >> m_nMantissaBits) & ((std::uint32_t{1} << m_nExponentBits) - 1);
    const int exponent = static_cast<int>(exponentField) - (m_nHalfRange - 1);
    const double significand = std::ldexp(1.0, m_nMantissaBits) + static_cast<double>(word & mantissaMask);

    // Scaling by a power of two is exact in double precision for every width we accept.
    double value = sign * std::ldexp(significand, exponent - m_nMantissaBits);
    if (!keepTiny && value >= m_dZeroLower && value <= m_dZeroUpper) value = 0.0;
    return value;
}

bool CFloat32::DoubleToBytes(const double* value)
{
    const double x = *value;
    if (!std::isfinite(x)) return false;

    if (x >= m_dZeroLower && x <= m_dZeroUpper) {
        for (BYTE& b : m_aPattern) b = 0;
        return true;
    }

    const double magnitude = std::fabs(x);
    // frexp gives magnitude = m * 2^e with m in [0.5, 1): floor(log2 |x|) is e - 1, exactly,
    // where a logarithm quotient could land a hair below an exact power of two.
    int binaryExponent = 0;
    std::frexp(magnitude, &binaryExponent);
    const int exponent = binaryExponent - 1;

    const long long biased = static_cast<long long>(m_nHalfRange - 1) + exponent;
    if (biased < 0 || biased >= (1LL << m_nExponentBits)) return false;

    const double fraction = std::ldexp(magnitude, -exponent) - 1.0;  // in [0, 1)
    const auto mantissa = static_cast<std::uint32_t>(std::trunc(std::ldexp(fraction, m_nMantissaBits)));

    std::uint32_t word = (x < 0.0) ? 0x80000000u : 0u;
    word |= static_cast<std::uint32_t>(biased) << m_nMantissaBits;
    word |= mantissa & ((std::uint32_t{1} << m_nMantissaBits) - 1);

    m_aPattern[0] = static_cast<BYTE>(word >> 24);
    m_aPattern[1] = static_cast<BYTE>(word >> 16);
    m_aPattern[2] = static_cast<BYTE>(word >> 8);
    m_aPattern[3] = static_cast<BYTE>(word);
    return true;
}
