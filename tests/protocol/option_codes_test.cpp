// Option code tables, the 16-bit decimal code and the stator type names.

#include "protocol/kadmor_send.h"

#include <gtest/gtest.h>

namespace {

TEST(OptionCodes, CountCode)
{
    CKadmor_Send codec;
    CString text;
    int index = 0, value = 0;
    codec.DecodeCountCode(text, 9, &index, &value);
    EXPECT_EQ(-2, index);
    EXPECT_EQ(60, value);
    EXPECT_EQ(CString("60"), text);
    codec.DecodeCountCode(text, 20, &index, &value);
    EXPECT_EQ(8, index);
    EXPECT_EQ(1000, value);
    EXPECT_EQ(CString("1000"), text);
    codec.DecodeCountCode(text, 3, &index, &value);
    EXPECT_EQ(2, index);
    EXPECT_EQ(60, value);
}

TEST(OptionCodes, RangeCodeBothWays)
{
    EXPECT_EQ(0, CKadmor_Send::EncodeRangeCode(30));
    EXPECT_EQ(1, CKadmor_Send::EncodeRangeCode(31));
    EXPECT_EQ(2, CKadmor_Send::EncodeRangeCode(1000));
    EXPECT_EQ(3, CKadmor_Send::EncodeRangeCode(65536));
    EXPECT_EQ(0, CKadmor_Send::EncodeRangeCode(65537));
    EXPECT_EQ(30u, CKadmor_Send::DecodeRangeCode(4));
    EXPECT_EQ(30u, CKadmor_Send::DecodeRangeCode(-1));
    EXPECT_EQ(3000u, CKadmor_Send::DecodeRangeCode(3));
}

TEST(OptionCodes, MeasurandLetters)
{
    EXPECT_EQ(0, CKadmor_Send::GetSourceTypeCode('d'));
    EXPECT_EQ(3, CKadmor_Send::GetSourceTypeCode('D'));
    EXPECT_EQ(8, CKadmor_Send::GetSourceTypeCode('Y'));
    EXPECT_EQ(100, CKadmor_Send::GetSourceTypeCode('P'));
    EXPECT_EQ(-1, CKadmor_Send::GetSourceTypeCode('p'));
}

TEST(DecimalCode16, TextsOfTheCode)
{
    const std::pair<DWORD, const char*> cases[] = {
        {0x0123, "1.23"}, {0x1234, "23.4"}, {0x2500, "500"},   {0x3100, "1000"}, {0x0050, "0.5"},
        {0x0000, "0"},    {0x4123, "12300"}, {0x4000, ""},     {0xFFFF, ""},     {0x10000, ""},
        {0x1000, "0"},    {0x3123, "1230"},  {0x0905, "9.05"},
    };
    for (auto [code, text] : cases) {
        CString out = "stale";
        CKadmor_Send::FormatDecimalCode16(out, code);
        EXPECT_EQ(CString(text), out) << std::hex << code;
    }
}

TEST(DecimalCode16, ValuesReadDecimalDigitsOnly)
{
    EXPECT_DOUBLE_EQ(500.0, CKadmor_Send::DecimalCode16Value(0x2500));
    EXPECT_DOUBLE_EQ(0.5, CKadmor_Send::DecimalCode16Value(0x0050));
    EXPECT_DOUBLE_EQ(0.0, CKadmor_Send::DecimalCode16Value(0xFFFF));
    // Nibbles above 9 are no decimal digits: "1.e5" must not read as an exponent.
    EXPECT_DOUBLE_EQ(1.0, CKadmor_Send::DecimalCode16Value(0x01E5));
    EXPECT_DOUBLE_EQ(0.0, CKadmor_Send::DecimalCode16Value(0x0A00));
}

TEST(StatorTypeNames, UsbConverterByVariantAndRevision)
{
    CKadmor_Send codec;
    CString name;
    EXPECT_EQ(CString("TSL-USB2 mit Digitaleingang"), codec.GetStatorTypeName(name, 5, 12, 1, 0, kLanguageGerman));
    EXPECT_EQ(CString("TSL-USB2 with digital input"), codec.GetStatorTypeName(name, 5, 12, 1, 0, kLanguageEnglish));
    EXPECT_EQ(CString("TSL-USB"), codec.GetStatorTypeName(name, 5, 5, 1, 1, kLanguageGerman));
    EXPECT_EQ(CString("TSL-USB3"), codec.GetStatorTypeName(name, 5, 13, 1, 1, kLanguageEnglish));
    EXPECT_EQ(CString("VQ-USB"), codec.GetStatorTypeName(name, 5, 12, 0, 0, kLanguageGerman));
    EXPECT_EQ(CString(""), codec.GetStatorTypeName(name, 5, 12, 2, 0, kLanguageGerman));
}

TEST(StatorTypeNames, TablesByLanguage)
{
    CKadmor_Send codec;
    CString name;
    for (int language : {kLanguageGerman, kLanguageEnglish, kLanguageFrench, kLanguageSpanish})
        EXPECT_EQ(CString("n.a. [Stator Typ 12]Q-507163"), codec.GetStatorTypeName(name, 12, 0, 0, 0, language));
    EXPECT_EQ(CString("RS485 Speicher"), codec.GetStatorTypeName(name, 8, 0, 0, 0, kLanguageFrench));
    EXPECT_EQ(CString("RS485 memory"), codec.GetStatorTypeName(name, 8, 0, 0, 0, kLanguageEnglish));
    EXPECT_EQ(CString("unknown"), codec.GetStatorTypeName(name, 1, 0, 0, 0, 4000));  // any other offset
    EXPECT_EQ(CString("Quadrature Generator"), codec.GetStatorTypeName(name, 17, 0, 0, 0, kLanguageSpanish));
}

}  // namespace
