// Request frames, check bytes, start-byte doubling, the answer check and the small helpers.

#include "protocol/kadmor_send.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

using protocol_test::Bytes;
using protocol_test::ToInts;
using Ints = std::vector<int>;

namespace {

class RequestFrames : public ::testing::Test {
protected:
    CKadmor_Send codec;
    CString out;
};

TEST_F(RequestFrames, StatusAndValueRequestsCarryCheckBytes)
{
    codec.SetSensorAddress(0x01, 0xFF);
    codec.BuildStatusLongRequest(out);
    EXPECT_EQ(Ints({0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A}), ToInts(out));  // W wraps by 255: 0x109 -> 0x0A
    EXPECT_EQ('B', codec.GetCommand());
    EXPECT_EQ(21, codec.GetAnswerLength());

    codec.BuildValueRequest(out);
    EXPECT_EQ(Ints({0x02, 0x41, 0x01, 0xFF, 0x00, 0x41, 0x06}), ToInts(out));
    EXPECT_EQ(16, codec.GetAnswerLength());

    codec.SetSensorAddress(0x12, 0x34);
    codec.BuildValueRequest(out);
    EXPECT_EQ(Ints({0x02, 0x41, 0x12, 0x34, 0x00, 0x87, 0xA3}), ToInts(out));
}

TEST_F(RequestFrames, StartBytesInsideTheFrameAreDoubled)
{
    codec.SetSensorAddress(0x02, 0xFF);
    codec.SetAnswerLength(99);
    codec.BuildCtrlOnRequest(out);
    EXPECT_EQ(Ints({0x02, 0x45, 0x02, 0x02, 0xFF, 0x01, 0x01, 0x48, 0x62}), ToInts(out));
    EXPECT_EQ('E', codec.GetCommand());
    EXPECT_EQ(99, codec.GetAnswerLength());  // 'E' expects no particular length

    codec.BuildCtrlOffRequest(out);
    EXPECT_EQ(0x00, out.ByteAt(6));
}

TEST_F(RequestFrames, BlockReadRecordsTheExpectedBlock)
{
    codec.SetSensorAddress(0x01, 0xFF);
    codec.ReadConfig(&out, 0x80);
    EXPECT_EQ(Ints({0x02, 0x44, 0x01, 0xFF, 0x01, 0x80, 0xC5, 0xD8}), ToInts(out));
    EXPECT_EQ(0x80, codec.GetBlockNumber());
    EXPECT_EQ('D', codec.GetCommand());
    EXPECT_EQ(40, codec.GetAnswerLength());

    codec.BuildValueRequest(out);
    const CString before = out;
    codec.ReadConfig(nullptr, 0x03);
    EXPECT_EQ(before, out);
    EXPECT_EQ(0x03, codec.GetBlockNumber());
    EXPECT_EQ('D', codec.GetCommand());
    EXPECT_EQ(40, codec.GetAnswerLength());
}

TEST_F(RequestFrames, MeasureSetupCarriesRateAndSelector)
{
    codec.SetSensorAddress(0x01, 0xFF);
    codec.BuildMeasureSetupC(out);
    EXPECT_EQ(Ints({0x02, 0x5A, 0x01, 0xFF, 0x05, 0x03, 0x19, 0x00, 0x00, 0x43, 0xBE, 0x03}), ToInts(out));
    EXPECT_EQ('Z', codec.GetCommand());

    codec.BuildMeasureSetupA(out);
    EXPECT_EQ('A', out.ByteAt(9));
    codec.BuildMeasureSetupB(out);
    EXPECT_EQ('B', out.ByteAt(9));

    // The rate byte as the 'Z' request carries it; an index beyond the table keeps the last one.
    const std::pair<int, int> rates[] = {{10, 151}, {13, 151}, {-1, 151}, {7, 27}};
    for (const auto& [index, rate] : rates) {
        codec.SetRateCode(index);
        codec.BuildMeasureSetupA(out);
        EXPECT_EQ(rate, out.ByteAt(6)) << index;
    }
}

TEST_F(RequestFrames, AddressKeepsTheSensorsAcknowledgement)
{
    codec.SetSensorAddress(0x01, 0xFF);
    EXPECT_EQ(0x06, codec.GetAckSum());
    EXPECT_EQ(0x17, codec.GetAckWeightedSum());
    EXPECT_EQ(0x06, codec.GetCommand());
    EXPECT_EQ(7, codec.GetAnswerLength());
    EXPECT_EQ(0x01, codec.GetAddressHi());
    EXPECT_EQ(0xFF, codec.GetAddressLo());

    codec.BuildAck(out, true);
    EXPECT_EQ(Ints({0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}), ToInts(out));
    codec.BuildAck(out, false);
    EXPECT_EQ(Ints({0x02, 0x06, 0x01, 0xFF, 0x00, 0x06, 0x19}), ToInts(out));
    EXPECT_EQ(0x17, codec.GetAckWeightedSum());  // only the swapped form is kept
}

TEST_F(RequestFrames, AngleZeroExpectsTheRestartAnswer)
{
    codec.SetSensorAddress(0x01, 0xFF);
    codec.BuildAngleZeroRequest(out);
    EXPECT_EQ('M', out.ByteAt(1));
    EXPECT_EQ('K', codec.GetCommand());
    codec.BuildRestartRequest(out);
    EXPECT_EQ('K', out.ByteAt(1));
    EXPECT_EQ('K', codec.GetCommand());
}

TEST_F(RequestFrames, NakIsDoubledInPlace)
{
    codec.SetSensorAddress(0x02, 0xFF);
    BYTE buffer[kNakBufferSize] = {};
    EXPECT_EQ(8, codec.BuildNak(buffer));
    EXPECT_EQ(Ints({0x02, 0x15, 0x02, 0x02, 0xFF, 0x00, 0x16, 0x58}),
              ToInts(CString(reinterpret_cast<const char*>(buffer), 8)));
    EXPECT_EQ(0x15, codec.GetCommand());
    EXPECT_EQ(8, codec.GetAnswerLength());
}

TEST(FrameTexts, StuffStxAlwaysStartsWithOneStx)
{
    CString frame = Bytes({0x41, 0x02, 0x03, 0x02});
    StuffStx(frame);
    EXPECT_EQ(Ints({0x02, 0x02, 0x02, 0x03, 0x02, 0x02}), ToInts(frame));

    CString empty;
    StuffStx(empty);
    EXPECT_EQ(Ints({0x02}), ToInts(empty));
}

TEST(FrameTexts, AppendFrameSumsCoversEverythingAfterTheStx)
{
    CString frame = Bytes({0x02, 0x42, 0x01, 0xFF, 0x00});
    AppendFrameSums(frame);
    EXPECT_EQ(Ints({0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A}), ToInts(frame));
}

TEST(AnswerCheck, FlagsWrongCheckBytesAndLengths)
{
    const CString good = Bytes({0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A});
    EXPECT_EQ(0, CKadmor_Send::CheckAnswerFrame(good));
    EXPECT_EQ(8, CKadmor_Send::CheckAnswerFrame(Bytes({0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0B})));
    EXPECT_EQ(4, CKadmor_Send::CheckAnswerFrame(Bytes({0x02, 0x42, 0x01, 0xFF, 0x00, 0x43, 0x0A})));
    EXPECT_EQ(12, CKadmor_Send::CheckAnswerFrame(Bytes({0x02, 0x42, 0x01, 0xFF, 0x00, 0x00, 0x00})));
    EXPECT_NE(0, CKadmor_Send::CheckAnswerFrame(good + CString('\0')));  // a byte behind W
    EXPECT_EQ(16, CKadmor_Send::CheckAnswerFrame(CString('x', 42)));
    EXPECT_EQ(0, CKadmor_Send::CheckAnswerFrame(protocol_test::MakeBlockFrame(0x80, 0x40)));
}

TEST(AnswerCheck, ShortFramesFailWithoutReadingPastTheEnd)
{
    EXPECT_EQ(kAnswerTooShort, CKadmor_Send::CheckAnswerFrame(CString()));
    EXPECT_EQ(kAnswerTooShort, CKadmor_Send::CheckAnswerFrame(Bytes({0x02, 0x42})));
    EXPECT_EQ(kAnswerTooShort, CKadmor_Send::CheckAnswerFrame(Bytes({0x02, 0x42, 0x01, 0xFF, 0x00, 0x42})));
    // n = 3 announces ten bytes; seven are there
    EXPECT_EQ(kAnswerTooShort, CKadmor_Send::CheckAnswerFrame(Bytes({0x02, 0x42, 0x01, 0xFF, 0x03, 0x42, 0x0A})));
}

TEST(IntegerHelpers, SixteenBitReadAndWrite)
{
    EXPECT_EQ(-1, CKadmor_Send::GetInt16(0xFF, 0xFF));
    EXPECT_EQ(-32768, CKadmor_Send::GetInt16(0x80, 0x00));
    EXPECT_EQ(32767, CKadmor_Send::GetInt16(0x7F, 0xFF));
    EXPECT_EQ(65535u, CKadmor_Send::GetUInt16(0xFF, 0xFF));

    BYTE hi = 0x12, lo = 0x34;
    EXPECT_FALSE(CKadmor_Send::SetInt16(-32768, &hi, &lo));
    EXPECT_EQ(0x12, hi);
    EXPECT_EQ(0x34, lo);
    EXPECT_FALSE(CKadmor_Send::SetInt16(32768, &hi, &lo));
    EXPECT_TRUE(CKadmor_Send::SetInt16(-1, &hi, &lo));
    EXPECT_EQ(0xFF, hi);
    EXPECT_EQ(0xFF, lo);
    EXPECT_TRUE(CKadmor_Send::SetInt16(-32767, &hi, &lo));
    EXPECT_EQ(0x80, hi);
    EXPECT_EQ(0x01, lo);

    EXPECT_FALSE(CKadmor_Send::SetUInt16(70000, &hi, &lo));
    EXPECT_EQ(0x80, hi);
    EXPECT_EQ(0x00, lo);
    EXPECT_TRUE(CKadmor_Send::SetUInt16(65535, &hi, &lo));
    EXPECT_EQ(0xFF, hi);
    EXPECT_EQ(0xFF, lo);
}

TEST(IntegerHelpers, SplitAndCopyBit)
{
    BYTE b[4];
    CKadmor_Send::SplitUInt32(0x1'2345'6789ull, &b[0], &b[1], &b[2], &b[3]);
    EXPECT_EQ(Ints({0x23, 0x45, 0x67, 0x89}), ToInts(CString(reinterpret_cast<const char*>(b), 4)));

    CKadmor_Send codec;
    BYTE target = 0x0F;
    const BYTE source = 0x80;
    EXPECT_TRUE(codec.CopyBit(&target, 6, &source, 7));
    EXPECT_EQ(0x4F, target);
    EXPECT_TRUE(codec.CopyBit(&target, 0, &source, 0));
    EXPECT_EQ(0x4E, target);
    EXPECT_FALSE(codec.CopyBit(&target, 8, &source, 0));
    EXPECT_EQ(0x4E, target);
}

}  // namespace
