// Measured values with unit prefix and decimals by type class.

#include "protocol/kadmor_send.h"

#include <gtest/gtest.h>

namespace {

struct Formatted {
    CString text, number, unit;
    int index = -99, decimals = -99;
    double factor = -99.0;
};

Formatted Format(const char* value, BYTE letter, int language = kLanguageEnglish)
{
    CKadmor_Send codec;
    Formatted f;
    codec.FormatValueByTypeClass(f.text, value, letter, language, &f.number, &f.unit, &f.index, &f.factor,
                                 &f.decimals);
    return f;
}

TEST(TorqueFormatting, PrefixAndDecimalsFollowTheMagnitude)
{
    Formatted f = Format("12300", 'D');
    EXPECT_EQ(CString("123.0 N·m"), f.text);
    EXPECT_EQ(CString("123.0"), f.number);
    EXPECT_EQ(CString("N·m"), f.unit);
    EXPECT_EQ(2, f.index);
    EXPECT_DOUBLE_EQ(0.01, f.factor);
    EXPECT_EQ(1, f.decimals);
    EXPECT_EQ(CString("123,0"), Format("12300", 'D', kLanguageGerman).number);

    EXPECT_EQ(CString("2.50 kN·m"), Format("250000", 'D').text);
    EXPECT_EQ(CString("50.0 MN·m"), Format("5000000000", 'D').text);
    EXPECT_EQ(CString("2000000 MN·m"), Format("200000000000000", 'D').text);
    EXPECT_EQ(CString("5.0 mN·m"), Format("0.5", 'D').text);
    EXPECT_EQ(CString("0.50 mN·m"), Format("0.05", 'D').text);
    EXPECT_EQ(CString("10.0 mN·m"), Format("1", 'D').text);
    EXPECT_EQ(CString("1.00 mN·m"), Format("0.1", 'D').text);  // 0.1 belongs to the lowest row
    EXPECT_EQ(CString("0.10 mN·m"), Format("0.01", 'D').text);
    EXPECT_EQ(CString("5.00 cN·m"), Format("5", 'D').text);
    EXPECT_EQ(CString("10.0 cN·m"), Format("10", 'D').text);
    EXPECT_EQ(CString("10.0 N·m"), Format("1000", 'D').text);
    EXPECT_EQ(CString("1.00 N·m"), Format("100", 'D').text);
}

TEST(ForceAndWeightFormatting, SharedRangesOwnUnits)
{
    EXPECT_EQ(CString("1.50 kN"), Format("1500", 'K').text);
    EXPECT_EQ(CString("1000.0 mN"), Format("1", 'K').text);
    EXPECT_EQ(CString("1000.0 mg"), Format("1", 'W').text);
    EXPECT_EQ(CString("20000 MN"), Format("20000000000", 'K').text);
    EXPECT_EQ(CString("9999.0 MN"), Format("9999000000", 'K').text);

    Formatted w = Format("2500000", 'W');
    EXPECT_EQ(CString("2.50 t"), w.text);
    EXPECT_EQ(3, w.index);
    EXPECT_EQ(1, w.decimals);  // two decimals shown, one reported
    EXPECT_EQ(2, Format("2500000", 'K').decimals);
    EXPECT_EQ(CString("25.0 kg"), Format("25000", 'W').text);
}

TEST(SingleUnitFormatting, FixedUnits)
{
    EXPECT_EQ(CString("1235 ADU"), Format("1234.6", 'X').text);
    EXPECT_EQ(CString("2.000 mV/V"), Format("2", 'd').text);
    EXPECT_EQ(CString("10.00 V"), Format("10", 'A').text);
    EXPECT_EQ(CString("20,00 mA"), Format("20", 'S', kLanguageFrench).text);
    Formatted t = Format("999.5", 'T');
    EXPECT_EQ(CString("999.50 °C"), t.text);
    EXPECT_EQ(3, t.decimals);
    EXPECT_EQ(2, t.unit.GetLength());  // the degree sign is one byte
    t = Format("1000", 'T');
    EXPECT_EQ(CString("1000 °C"), t.text);
    EXPECT_EQ(3, t.decimals);
    EXPECT_EQ(CString("1500 1/min"), Format("1500", 'Y').text);
}

TEST(ValueFormatting, InputsWithoutAShowableValue)
{
    EXPECT_EQ(CString("1.50 cN·m"), Format("1,5", 'D').text);
    for (const char* bad : {"-3", "0", "0.009", "99900000000000000", "9990000000000004", "nan", "inf", "-inf", "0x10", "abc", ""}) {
        Formatted f = Format(bad, 'D');
        EXPECT_EQ(CString("n.a."), f.text) << bad;
        EXPECT_EQ(-99, f.index) << bad;
        EXPECT_EQ(-99, f.decimals) << bad;
        EXPECT_TRUE(f.number.IsEmpty()) << bad;
    }
    EXPECT_EQ(CString("n.a."), Format(std::string(400, '9').c_str(), 'K').text);  // overflows to infinity
    EXPECT_EQ(CString("10.0 mN·m"), Format(" 1xyz", 'D').text);                  // leading number only
    EXPECT_EQ(CString("5.00 cN·m"), Format("5e3", 'D').text);                    // no exponents
}

TEST(ValueFormatting, UnknownTypeClass)
{
    Formatted f = Format("100", 'P');
    EXPECT_EQ(CString("n.a. TypeClass Unkonwn"), f.text);
    EXPECT_EQ(-99, f.index);
}

TEST(ValueFormatting, DecimalSeparatorOfTheLanguage)
{
    CString out;
    EXPECT_EQ(CString("1.234.5"), CKadmor_Send::FormatNumber(out, kLanguageEnglish, "1,234.5"));
    EXPECT_EQ(CString("1,234,5"), CKadmor_Send::FormatNumber(out, kLanguageSpanish, "1,234.5"));
}

}  // namespace
