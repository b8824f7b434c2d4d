// The long status answer and its diagnostic text.

#include "protocol/kadmor_send.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

using protocol_test::Bytes;

namespace {

// A 21-byte 'B' answer of sensor 3 with the given flags (byte 6), rotor id (byte 9) and
// watchdog time (byte 18).
CString StatusAnswer(int flags, int rotorId = 0x05, int watchdog = 42)
{
    return Bytes({0x02, 'B', 0xFF, 0x03, 14, 0x01, flags, 9, 7, rotorId, 0x84, 0, 0, 0, 0, 0, 0, 0, watchdog, 0, 0});
}

struct Decoded {
    BYTE number = 0xEE, ok = 0xEE, calibration = 0xEE, userActive = 0xEE, noInput = 0xEE, hmbUsb = 0xEE,
         oem = 0xEE, support = 0xEE, statorId = 0xEE, statorRev = 0xEE, rotorId = 0xEE, rotorRev = 0xEE,
         watchdog = 0xEE;
    CString text = "untouched";

    bool From(const CKadmor_Send& codec, const CString& answer)
    {
        return codec.DecodeStatusLong(answer, &number, &ok, &calibration, &userActive, &noInput, &hmbUsb, &oem,
                                      &support, &statorId, &statorRev, &rotorId, &rotorRev, &watchdog, &text);
    }
};

TEST(StatusAnswer, UserCalibratedUsbDevice)
{
    CKadmor_Send codec;
    Decoded d;
    ASSERT_TRUE(d.From(codec, StatusAnswer(0x43, 0x85)));
    EXPECT_EQ(3, d.number);
    EXPECT_EQ(1, d.ok);
    EXPECT_EQ(3, d.calibration);
    EXPECT_EQ(1, d.userActive);
    EXPECT_EQ(0, d.support);
    EXPECT_EQ(0, d.noInput);
    EXPECT_EQ(1, d.hmbUsb);
    EXPECT_EQ(0, d.oem);
    EXPECT_EQ(9, d.statorId);
    EXPECT_EQ(7, d.statorRev);
    EXPECT_EQ(5, d.rotorId);  // top bit is not part of it
    EXPECT_EQ(4, d.rotorRev);
    EXPECT_EQ(42, d.watchdog);
    for (const char* part : {"Benutzerkalibrierung", "mit digitalen Eingang", "HMB-USB", "Kadmor"})
        EXPECT_GE(d.text.Find(part), 0) << part;
}

TEST(StatusAnswer, OemDeviceWithoutDigitalInput)
{
    CKadmor_Send codec;
    Decoded d;
    ASSERT_TRUE(d.From(codec, StatusAnswer(0xAD)));
    EXPECT_EQ(1, d.calibration);
    EXPECT_EQ(0, d.userActive);
    EXPECT_EQ(3, d.support);
    EXPECT_EQ(1, d.noInput);
    EXPECT_EQ(0, d.hmbUsb);
    EXPECT_EQ(1, d.oem);
    EXPECT_GE(d.text.Find("ohne Kalibrierung (Offset = 0; Verstärkung = 1)"), 0);
    EXPECT_GE(d.text.Find("WPH-Box / VQ-RS 485 / VQ-USB"), 0);
    EXPECT_GE(d.text.Find("\t\t\t\t\t OEM\n"), 0);
}

TEST(StatusAnswer, TextHasElevenAlignedLines)
{
    CKadmor_Send codec;
    Decoded d;
    ASSERT_TRUE(d.From(codec, StatusAnswer(0x02)));
    int lines = 0;
    int start = 0;
    for (int end = d.text.Find('\n'); end >= 0; end = d.text.Find('\n', start)) {
        EXPECT_EQ(CString("\t\t\t\t "), d.text.Mid(start, 5)) << "line " << lines + 1;
        start = end + 1;
        ++lines;
    }
    EXPECT_EQ(11, lines);
    EXPECT_EQ(d.text.GetLength(), start);
    EXPECT_GE(d.text.Find("\t\t\t\t OK Byte: \t\t\t\t\t 1\n"), 0);
    EXPECT_GE(d.text.Find("\t\t\t\t Rotor   ID: \t\t\t\t 5\n"), 0);
    EXPECT_GE(d.text.Find("\t\t\t\t Watchdog T: \t\t\t\t 42\n"), 0);
    EXPECT_GE(d.text.Find("Werkskalibrierung"), 0);
}

TEST(StatusAnswer, ShortAnswersWriteNothing)
{
    CKadmor_Send codec;
    Decoded d;
    EXPECT_FALSE(d.From(codec, StatusAnswer(0x43).Left(17)));
    EXPECT_EQ(0xEE, d.number);
    EXPECT_EQ(0xEE, d.watchdog);
    EXPECT_EQ(CString("untouched"), d.text);
    EXPECT_FALSE(d.From(codec, CString()));
}

TEST(StatusAnswer, EighteenBytesReadTheMissingWatchdogAsZero)
{
    CKadmor_Send codec;
    Decoded d;
    ASSERT_TRUE(d.From(codec, StatusAnswer(0x43, 0x05, 42).Left(18)));
    EXPECT_EQ(0, d.watchdog);
    EXPECT_EQ(5, d.rotorId);
    EXPECT_GE(d.text.Find("Watchdog T: \t\t\t\t 0\n"), 0);
}

TEST(StatusAnswer, NullOutputsAreSkipped)
{
    CKadmor_Send codec;
    BYTE number = 0;
    EXPECT_TRUE(codec.DecodeStatusLong(StatusAnswer(0x43), &number, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(3, number);
}

}  // namespace
