// Four-byte floating-point patterns of the configuration blocks.

#include "protocol/float32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<int> Encode(CFloat32& f, double value)
{
    EXPECT_TRUE(f.DoubleToBytes(&value)) << value;
    const BYTE* b = f.GetBytes();
    return {b[0], b[1], b[2], b[3]};
}

double Decode(CFloat32& f, std::vector<int> b, bool keepTiny)
{
    const BYTE b0 = static_cast<BYTE>(b[0]), b1 = static_cast<BYTE>(b[1]), b2 = static_cast<BYTE>(b[2]),
               b3 = static_cast<BYTE>(b[3]);
    return f.BytesToDouble(&b0, &b1, &b2, &b3, keepTiny);
}

using Ints = std::vector<int>;

TEST(Float32ToBytes, OrdinaryValuesTruncateTheMantissa)
{
    CFloat32 f;
    EXPECT_EQ(Ints({0x3F, 0x80, 0x00, 0x00}), Encode(f, 1.0));
    EXPECT_EQ(Ints({0xC0, 0x20, 0x00, 0x00}), Encode(f, -2.5));
    EXPECT_EQ(Ints({0x42, 0xC8, 0x00, 0x00}), Encode(f, 100.0));
    EXPECT_EQ(Ints({0x3D, 0xCC, 0xCC, 0xCC}), Encode(f, 0.1));  // rounding would give ...CD
    for (double power = 1.0 / 1024; power < 1e30; power *= 2)  // exact powers keep a zero mantissa
        EXPECT_EQ(0, Encode(f, power)[3]) << power;
}

TEST(Float32ToBytes, ZeroBandAndTinyValues)
{
    CFloat32 f;
    EXPECT_EQ(Ints({0, 0, 0, 0}), Encode(f, 0.0));
    EXPECT_EQ(Ints({0, 0, 0, 0}), Encode(f, -0.0));
    EXPECT_EQ(Ints({0, 0, 0, 0}), Encode(f, 1e-39));
    EXPECT_EQ(Ints({0x00, 0x02, 0xAB, 0x1E}), Encode(f, 6e-39));  // exponent field 0 with the hidden 1
}

TEST(Float32ToBytes, ValuesWithoutPatternAreRefused)
{
    CFloat32 f;
    Encode(f, 1.0);
    for (double bad : {1e39, -1e39, std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(f.DoubleToBytes(&bad)) << bad;
        EXPECT_EQ(0x3F, f.GetBytes()[0]);  // the last good pattern stays
        EXPECT_EQ(0x80, f.GetBytes()[1]);
    }
}

TEST(Float32FromBytes, NoSpecialValues)
{
    CFloat32 f;
    EXPECT_DOUBLE_EQ(std::ldexp(1.0, 128), Decode(f, {0x7F, 0x80, 0x00, 0x00}, false));
    EXPECT_DOUBLE_EQ(1.5 * std::ldexp(1.0, 128), Decode(f, {0x7F, 0xC0, 0x00, 0x00}, false));
    EXPECT_DOUBLE_EQ(6.805646932770577e38, Decode(f, {0x7F, 0xFF, 0xFF, 0xFF}, false));
    EXPECT_DOUBLE_EQ(std::ldexp(1.0, -127), Decode(f, {0x00, 0x00, 0x00, 0x00}, true));
    EXPECT_EQ(0.0, Decode(f, {0x00, 0x00, 0x00, 0x00}, false));
}

TEST(Float32FromBytes, ZeroBandOnlyWithoutKeepTiny)
{
    CFloat32 f;
    EXPECT_DOUBLE_EQ(5.877473155409902e-39, Decode(f, {0x00, 0x00, 0x00, 0x02}, false));
    EXPECT_DOUBLE_EQ(5.877473155409902e-39, Decode(f, {0x00, 0x00, 0x00, 0x02}, true));
    EXPECT_EQ(0.0, Decode(f, {0x00, 0x00, 0x00, 0x01}, false));
    EXPECT_EQ(0.0, Decode(f, {0x80, 0x00, 0x00, 0x01}, false));
    EXPECT_NEAR(5.87747245476067e-39, f.GetZeroBandUpper(), 1e-52);
    EXPECT_NEAR(-5.87747245476067e-39, f.GetZeroBandLower(), 1e-52);
}

TEST(Float32Widths, GivenWidthsAndFallbacks)
{
    const int eleven = 11;
    CFloat32 wide(&eleven, nullptr);
    EXPECT_EQ(11, wide.GetExponentBits());
    EXPECT_EQ(20, wide.GetMantissaBits());
    EXPECT_EQ(1023, wide.GetBias());

    const int twenty = 20;
    CFloat32 byMantissa(nullptr, &twenty);
    EXPECT_EQ(11, byMantissa.GetExponentBits());

    const int zero = 0, tooWide = 40;
    EXPECT_EQ(8, CFloat32(&zero, &twenty).GetExponentBits());  // a given exponent width below 1
    EXPECT_EQ(8, CFloat32(&tooWide, nullptr).GetExponentBits());
    EXPECT_EQ(23, CFloat32().GetMantissaBits());

    double value = -1234.5;
    ASSERT_TRUE(wide.DoubleToBytes(&value));
    const BYTE* p = wide.GetBytes();
    EXPECT_DOUBLE_EQ(-1234.5, wide.BytesToDouble(&p[0], &p[1], &p[2], &p[3], false));
}

TEST(Float32RoundTrip, NeverGrowsAndStaysWithinTheMantissa)
{
    CFloat32 f;
    for (double v : {3.14159265358979, -0.001, 123456.789, 1e-20, 2.5e37}) {
        ASSERT_TRUE(f.DoubleToBytes(&v));
        const BYTE* p = f.GetBytes();
        const double back = f.BytesToDouble(&p[0], &p[1], &p[2], &p[3], false);
        EXPECT_LE(std::fabs(back), std::fabs(v));
        EXPECT_NEAR(v, back, std::fabs(v) * std::ldexp(1.0, -23)) << v;
    }
}

}  // namespace
