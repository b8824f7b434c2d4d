#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace {

using platform::Cp1252ToUtf16;
using platform::Cp1252ToUtf8;
using platform::Utf16ToCp1252;
using platform::Utf8ToCp1252;

TEST(Codepage, SensorUnitsAreSingleBytes)
{
    // Sources are compiled to Windows-1252: each of these is one byte per character.
    EXPECT_EQ(2u, std::string("°C").size());
    EXPECT_EQ('\xB0', std::string("°C")[0]);
    EXPECT_EQ('\xB5', std::string("µ")[0]);
    EXPECT_EQ('\xE4', std::string("ä")[0]);
    EXPECT_EQ('\xDF', std::string("ß")[0]);
    EXPECT_EQ('\x80', std::string("€")[0]);
}

TEST(Codepage, RoundTripThroughUtf16AndUtf8)
{
    for (const std::string text : {"°C", "µm", "Drehmoment ä", "Fuß", "5 €", ""}) {
        EXPECT_EQ(text, Utf16ToCp1252(Cp1252ToUtf16(text)));
        EXPECT_EQ(text, Utf8ToCp1252(Cp1252ToUtf8(text)));
    }
    EXPECT_EQ(u"\u00B0C", Cp1252ToUtf16("°C"));
    EXPECT_EQ(u"\u20AC", Cp1252ToUtf16("€"));
    EXPECT_EQ("\xC2\xB5", Cp1252ToUtf8("µ"));
    EXPECT_EQ("\xE2\x82\xAC", Cp1252ToUtf8("€"));
}

TEST(Codepage, EveryByteSurvives)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(all, Utf16ToCp1252(Cp1252ToUtf16(all)));
    EXPECT_EQ(all, Utf8ToCp1252(Cp1252ToUtf8(all)));
}

TEST(Codepage, UnmappableAndBrokenInput)
{
    EXPECT_EQ("?", Utf16ToCp1252(u"\u4E2D"));
    EXPECT_EQ("?", Utf16ToCp1252(u"\U0001F600"));  // a surrogate pair is one character
    EXPECT_EQ("a?", Utf8ToCp1252("a\xE2\x82"));     // truncated sequence
    EXPECT_EQ("?b", Utf8ToCp1252("\xFF" "b"));
}

}  // namespace
