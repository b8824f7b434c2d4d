#include "platform/cstring.h"
#include "platform/cstring_array.h"

#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>

namespace {

TEST(CStringBytes, EmbeddedZerosAreContent)
{
    const char frame[] = {0x02, 0x42, 0x00, 0x00, 0x42, 0x0A};
    CString s(frame, 6);
    EXPECT_EQ(6, s.GetLength());
    EXPECT_EQ(0, s.GetAt(2));
    CString copy = s;
    copy += CString("\0\x05", 2);
    EXPECT_EQ(8, copy.GetLength());
    EXPECT_EQ(5, copy.GetAt(7));
    EXPECT_EQ(2, copy.Find('\0', 0));
    EXPECT_EQ(CString("\x00\x00", 2), s.Mid(2, 2));
    EXPECT_FALSE(s == CString("\x02\x42"));  // not cut at the first zero
}

TEST(CStringBytes, AccessOutsideThrows)
{
    CString s("ab");
    EXPECT_THROW(s.GetAt(2), std::out_of_range);
    EXPECT_THROW(s.GetAt(-1), std::out_of_range);
    EXPECT_THROW(s.SetAt(5, 'x'), std::out_of_range);
    s.SetAt(1, 'c');
    EXPECT_EQ(CString("ac"), s);
}

TEST(CStringExtract, ClampsLikeTheOriginal)
{
    CString s("Hello");
    EXPECT_EQ(CString("llo"), s.Mid(2));
    EXPECT_EQ(CString(""), s.Mid(7));
    EXPECT_EQ(CString("He"), s.Mid(-3, 2));
    EXPECT_EQ(CString("Hello"), s.Left(99));
    EXPECT_EQ(CString(""), s.Left(-1));
    EXPECT_EQ(CString("lo"), s.Right(2));
    EXPECT_EQ(CString("Hello"), s.Right(10));
}

TEST(CStringEdit, ReplaceInsertDeleteRemove)
{
    CString s("a,b,,c");
    EXPECT_EQ(3, s.Replace(",", ";"));
    EXPECT_EQ(CString("a;b;;c"), s);
    EXPECT_EQ(0, s.Replace("", "x"));
    EXPECT_EQ(1, s.Replace(";;", ";"));
    EXPECT_EQ(CString("a;b;c"), s);
}

TEST(CStringEdit, InsertDeleteClamp)
{
    CString s("abc");
    EXPECT_EQ(4, s.Insert(10, 'd'));
    EXPECT_EQ(CString("abcd"), s);
    EXPECT_EQ(6, s.Insert(-5, "xy"));
    EXPECT_EQ(CString("xyabcd"), s);
    EXPECT_EQ(4, s.Delete(0, 2));
    EXPECT_EQ(2, s.Delete(2, 100));
    EXPECT_EQ(CString("ab"), s);
    EXPECT_EQ(2, s.Delete(5));
    CString r("a.b.c");
    EXPECT_EQ(2, r.Remove('.'));
    EXPECT_EQ(CString("abc"), r);
}

TEST(CStringEdit, TrimAndCase)
{
    CString s(" \t x y \r\n");
    EXPECT_EQ(CString("x y"), s.Trim());
    CString z("00120");
    EXPECT_EQ(CString("12"), z.Trim('0'));
    CString umlaut("Äpfel ÖL ß");
    umlaut.MakeLower();
    EXPECT_EQ(CString("äpfel öl ß"), umlaut);
    umlaut.MakeUpper();
    EXPECT_EQ(CString("ÄPFEL ÖL ß"), umlaut);
    EXPECT_EQ(0, CString("Größe").CompareNoCase("GRÖßE"));
}

TEST(CStringCompare, UnsignedByteOrder)
{
    EXPECT_LT(CString("a").Compare("\xE4"), 0);  // 0xE4 sorts after 'a' as an unsigned byte
    EXPECT_LT(CString("ab").Compare("abc"), 0);
    EXPECT_EQ(0, CString("abc").Compare("abc"));
    EXPECT_TRUE(CString("x") < CString("y"));
}

TEST(CStringFormat, AlwaysTheCLocale)
{
    // Whatever the user's locale, numbers use '.'.
    const char* previous = std::setlocale(LC_ALL, "de_DE.UTF-8");
    CString s;
    s.Format("%0.3f", 1.5);
    EXPECT_EQ(CString("1.500"), s);
    s.AppendFormat(" %d %s", 42, "x");
    EXPECT_EQ(CString("1.500 42 x"), s);
    if (previous) std::setlocale(LC_ALL, "C");
}

TEST(CStringFormat, LongResults)
{
    CString s;
    s.Format("%0500d", 7);
    EXPECT_EQ(500, s.GetLength());
    EXPECT_EQ('7', s.GetAt(499));
}

TEST(CStringSplit, Span)
{
    EXPECT_EQ(CString("123"), CString("123abc").SpanIncluding("0123456789"));
    EXPECT_EQ(CString("abc"), CString("abc[1]").SpanExcluding("["));
}

TEST(CStringArrayTest, GrowsAndChecks)
{
    CStringArray a;
    EXPECT_EQ(0, a.Add("x"));
    a.Add("y");
    a.RemoveAt(1, 10);
    EXPECT_EQ(1, a.GetSize());
    EXPECT_THROW(a.GetAt(5), std::out_of_range);
    EXPECT_THROW(a.GetAt(-1), std::out_of_range);
}

}  // namespace
