#include "protocol_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

void PrintTo(const CString& text, std::ostream* os)
{
    *os << '"';
    for (int i = 0; i < text.GetLength(); ++i) {
        const unsigned b = text.ByteAt(i);
        if (b >= 0x20 && b < 0x7F && b != '\\')
            *os << static_cast<char>(b);
        else
            *os << "\\x" << "0123456789ABCDEF"[b >> 4] << "0123456789ABCDEF"[b & 0xF];
    }
    *os << "\" (" << text.GetLength() << " bytes)";
}

namespace protocol_test {

namespace {

// Block dates are shown in local time: every test of this binary sees one fixed zone.
class PinnedTimeZone : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
};

[[maybe_unused]] ::testing::Environment* const kPinnedTimeZone =
    ::testing::AddGlobalTestEnvironment(new PinnedTimeZone);

}  // namespace

CString Bytes(std::initializer_list<int> bytes)
{
    CString text;
    for (int b : bytes) text.AppendChar(static_cast<char>(b));
    return text;
}

std::vector<int> ToInts(const CString& text)
{
    std::vector<int> out;
    for (int i = 0; i < text.GetLength(); ++i) out.push_back(text.ByteAt(i));
    return out;
}

void Reseal(CString& frame)
{
    unsigned a = 0, b = 0;
    for (int i = 6; i <= 33; ++i) {
        a = (a + frame.ByteAt(i)) % 65536;
        b += a;
        if (b > 65535) b -= 65535;
    }
    frame.SetAt(34, static_cast<char>(a >> 8));
    frame.SetAt(35, static_cast<char>(a & 0xFF));
    frame.SetAt(36, static_cast<char>(b >> 8));
    frame.SetAt(37, static_cast<char>(b & 0xFF));
    unsigned s = 0, w = 0;
    for (int i = 1; i <= 37; ++i) {
        s = (s + frame.ByteAt(i)) % 256;
        w += s;
        if (w > 255) w -= 255;
    }
    frame.SetAt(38, static_cast<char>(s));
    frame.SetAt(39, static_cast<char>(w));
}

CString MakeBlockFrame(int block, int code, const std::vector<std::pair<int, int>>& bytesAt)
{
    CString frame = Bytes({0x02, 'D', 0xFF, 0x01, 33, block, code});
    for (int i = 7; i < 40; ++i) frame.AppendChar(static_cast<char>(0x30 + i));  // recognisable filler
    for (auto [at, value] : bytesAt) frame.SetAt(at, static_cast<char>(value));
    Reseal(frame);
    return frame;
}

void SetByteAndReseal(CString& frame, int at, int value)
{
    frame.SetAt(at, static_cast<char>(value));
    Reseal(frame);
}

std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return static_cast<std::int64_t>(timegm(&t));
}

}  // namespace protocol_test

namespace protocol_test {

ScopedTimeZone::ScopedTimeZone(const char* zone)
{
    setenv("TZ", zone, 1);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone()
{
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
}

}  // namespace protocol_test
