// Parsers and builders of the eight configuration blocks, block by block.

#include "protocol/kadmor_send.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using protocol_test::Bytes;
using protocol_test::MakeBlockFrame;
using protocol_test::SetByteAndReseal;
using protocol_test::ToInts;
using protocol_test::UtcSeconds;
using Ints = std::vector<int>;

namespace {

// A block as the sensor sent it, turned into the head of a write frame.
CString Prepared(CKadmor_Send& codec, CString frame, BYTE block)
{
    EXPECT_TRUE(codec.PrepareWriteBlockFrame(frame, block));
    return frame;
}

// Positions at which two texts differ.
std::vector<int> Differences(const CString& a, const CString& b)
{
    std::vector<int> at;
    for (int i = 0; i < std::min(a.GetLength(), b.GetLength()); ++i)
        if (a.GetAt(i) != b.GetAt(i)) at.push_back(i);
    return at;
}

void PutDate(CString& frame, std::int64_t seconds)
{
    for (int k = 0; k < 4; ++k) frame.SetAt(7 + k, static_cast<char>((seconds >> (24 - 8 * k)) & 0xFF));
    protocol_test::Reseal(frame);
}

// ---- Stator header ------------------------------------------------------------------------------

TEST(StatorHeaderBlock, CodesAndSerialNumber)
{
    CKadmor_Send codec;
    DWORD code = 0, serial = 0;
    BYTE b14 = 0, b15 = 0;
    CString status;
    codec.KadSend_ReadBlockGetContentStatorHeader(
        MakeBlockFrame(0, 0x10, {{7, 0x00}, {8, 0x01}, {9, 0x00}, {10, 0xFF}, {11, 0xFF}, {12, 0xFF}, {13, 0xFF},
                                 {14, 0x07}, {15, 0x08}}),
        &code, &serial, &b14, &b15, &status);
    EXPECT_EQ(256u, code);
    EXPECT_EQ(4294967295u, serial);
    EXPECT_EQ(7, b14);
    EXPECT_EQ(8, b15);
    EXPECT_EQ(0, codec.GetBlockReadResult(kSlotStatorHeader));
    EXPECT_GE(status.Find("Block vollständig I.O."), 0);
}

TEST(StatorHeaderBlock, CutAnswerReadsBlanksAndShowsTheDamage)
{
    CKadmor_Send codec;
    DWORD serial = 0;
    const CString cut = MakeBlockFrame(0, 0x10, {{10, 0x01}, {11, 0x02}, {12, 0x03}}).Left(13);
    codec.KadSend_ReadBlockGetContentStatorHeader(cut, nullptr, &serial, nullptr, nullptr);
    EXPECT_EQ(0x01020320u, serial);
    EXPECT_NE(0, codec.GetBlockReadResult(kSlotStatorHeader));
}

TEST(StatorHeaderBlock, NullOutputsAreSkipped)
{
    CKadmor_Send codec;
    const CString frame = MakeBlockFrame(0, 0x10);
    codec.KadSend_ReadBlockGetContentStatorHeader(frame, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(frame, codec.GetBlockSlot(kSlotStatorHeader).m_strReadFrame);
    EXPECT_EQ(0, codec.GetBlockReadResult(kSlotStatorHeader));
}

// ---- Rotor header -------------------------------------------------------------------------------

TEST(RotorHeaderBlock, FullScaleCodesAndValues)
{
    CKadmor_Send codec;
    DWORD header = 0, serial = 0, codeA = 0, codeB = 0;
    BYTE b14 = 0, typeClass = 0, b18 = 0, b19 = 0, b22 = 0;
    double valueA = -1, valueB = -1;
    codec.KadSend_ReadBlockGetContentRotorHeader(
        MakeBlockFrame(0x80, 0x40, {{9, 0x05}, {13, 0x09}, {14, 0x0E}, {15, 0x59}, {16, 0x25}, {17, 0x00}, {18, 0x12},
                                    {19, 0x13}, {20, 0x00}, {21, 0x50}, {22, 0x16}}),
        &header, &serial, &b14, &typeClass, &codeA, &valueA, &b18, &b19, &codeB, &valueB, &b22);
    EXPECT_EQ(0x373805u, header);
    EXPECT_EQ(0x3A3B3C09u, serial);
    EXPECT_EQ(0x0E, b14);
    EXPECT_EQ(89, typeClass);
    EXPECT_EQ(9472u, codeA);
    EXPECT_DOUBLE_EQ(500.0, valueA);
    EXPECT_EQ(0x12, b18);
    EXPECT_EQ(0x13, b19);
    EXPECT_EQ(80u, codeB);
    EXPECT_DOUBLE_EQ(0.5, valueB);
    EXPECT_EQ(0x16, b22);

    codec.KadSend_ReadBlockGetContentRotorHeader(MakeBlockFrame(0x80, 0x40, {{16, 0xFF}, {17, 0xFF}}), nullptr,
                                                 nullptr, nullptr, nullptr, &codeA, &valueA, nullptr, nullptr,
                                                 nullptr, nullptr, nullptr);
    EXPECT_EQ(65535u, codeA);
    EXPECT_DOUBLE_EQ(0.0, valueA);
}

TEST(RotorHeaderBlock, OnlySlotWithoutOutputs)
{
    CKadmor_Send codec;
    const CString frame = MakeBlockFrame(0x80, 0x11);
    codec.KadSend_ReadBlockGetContentRotorHeader(frame, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                 nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(frame, codec.GetBlockSlot(kSlotRotorHeader).m_strReadFrame);
    EXPECT_EQ(kBlockCodeUnknown, codec.GetBlockReadResult(kSlotRotorHeader));
}

// ---- Stator software configuration --------------------------------------------------------------

struct SwConfig {
    BYTE kind = 0;
    double scaleA = 0, scaleB = 0;
    CString unitA, unitB;
    BYTE code5A = 0, code5B = 0, code3A = 0, code3B = 0, code4A = 0, code4B = 0, flagA = 0, flagB = 0;
    BYTE activeA = 0, activeB = 0;
    int count = 0, byte32 = 0;
    BYTE code2A = 0, code2B = 0;

    void Read(CKadmor_Send& codec, const CString& block)
    {
        codec.KadSend_ReadBlockGetContentStatorSoftwareConfiguration(
            block, &kind, &scaleA, &scaleB, &unitA, &unitB, &code5A, &code5B, &code3A, &code3B, &code4A, &code4B,
            &flagA, &flagB, &activeA, &activeB, &count, &byte32, &code2A, &code2B);
    }
    bool Write(CKadmor_Send& codec, CString& block) const
    {
        return codec.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
            &block, &kind, &scaleA, &scaleB, &unitA, &unitB, &code5A, &code5B, &code3A, &code3B, &code4A, &code4B,
            &flagA, &flagB, &activeA, &activeB, &count, &byte32, &code2A, &code2B);
    }
};

CString SwConfigBlock(std::initializer_list<std::pair<int, int>> bytesAt = {})
{
    CString frame = MakeBlockFrame(0x03, 0x14, {{26, 0}, {27, 0}, {28, 0}, {29, 0}, {30, 0}, {31, 1}});
    for (auto [at, value] : bytesAt) frame.SetAt(at, static_cast<char>(value));
    protocol_test::Reseal(frame);
    return frame;
}

TEST(StatorSwConfigBlock, PackedBitsAndScalingOnlyFromAGoodBlock)
{
    CKadmor_Send codec;
    SwConfig c;
    c.Read(codec, SwConfigBlock({{7, 4}, {8, 0x3F}, {9, 0x80}, {10, 0}, {11, 0}, {12, 0xC0}, {13, 0x20}, {14, 0},
                                 {15, 0}, {16, 'N'}, {17, 'm'}, {18, ' '}, {19, ' '}, {20, ' '}, {21, ' '}, {22, 'k'},
                                 {23, 'g'}, {24, ' '}, {25, ' '}, {26, 0xB3}, {27, 0x5F}, {28, 0xE9}, {29, 0x56},
                                 {30, 0x27}, {31, 0x0F}, {32, 0x21}}));
    EXPECT_EQ(4, c.kind);
    EXPECT_DOUBLE_EQ(1.0, c.scaleA);
    EXPECT_DOUBLE_EQ(-2.5, c.scaleB);
    EXPECT_EQ(CString("Nm"), c.unitA);
    EXPECT_EQ(CString("kg"), c.unitB);  // blanks on both sides go
    EXPECT_EQ(0x13, c.code5A);
    EXPECT_EQ(0x1F, c.code5B);
    EXPECT_EQ(5, c.code3A);
    EXPECT_EQ(2, c.code3B);
    EXPECT_EQ(9, c.code4A);
    EXPECT_EQ(6, c.code4B);
    EXPECT_EQ(1, c.flagA);
    EXPECT_EQ(0, c.flagB);
    EXPECT_EQ(1, c.activeA);
    EXPECT_EQ(1, c.activeB);
    EXPECT_EQ(2, c.code2A);  // bits 5, 4 of 0xE9: 1, 0
    EXPECT_EQ(1, c.code2B);  // bits 5, 4 of 0x56: 0, 1
    EXPECT_EQ(9999, c.count);
    EXPECT_EQ(0x21, c.byte32);

    CString damaged = SwConfigBlock({{28, 0x40}, {29, 0x40}});
    damaged.SetAt(35, static_cast<char>(damaged.ByteAt(35) ^ 1));
    c.Read(codec, damaged);
    EXPECT_EQ(0, c.activeA);
    EXPECT_EQ(0, c.activeB);
}

TEST(StatorSwConfigBlock, SetupCountOutsideItsRangeReadsAsOne)
{
    CKadmor_Send codec;
    SwConfig c;
    c.Read(codec, SwConfigBlock({{30, 0x27}, {31, 0x10}}));
    EXPECT_EQ(1, c.count);
    c.Read(codec, SwConfigBlock({{30, 0x00}, {31, 0x00}}));
    EXPECT_EQ(1, c.count);
    c.Read(codec, SwConfigBlock({{30, 0x00}, {31, 0x07}}));
    EXPECT_EQ(7, c.count);
}

TEST(StatorSwConfigBlock, UnitTextsAreFiveSingleBytes)
{
    CKadmor_Send codec;
    CString block = Prepared(codec, SwConfigBlock(), 0x03);
    const CString three = "  kN", seven = "1234567", celsius = "°C";
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
        &block, nullptr, nullptr, nullptr, &three, &seven, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(CString("kN   12345"), block.Mid(16, 10));

    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
        &block, nullptr, nullptr, nullptr, &celsius, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(Ints({0xB0, 'C', ' ', ' ', ' '}), ToInts(block.Mid(16, 5)));

    SwConfig c;
    c.Read(codec, block);
    EXPECT_EQ(celsius, c.unitA);
    EXPECT_EQ(CString("12345"), c.unitB);
}

TEST(StatorSwConfigBlock, BitFieldsChangeOnlyTheirOwnBits)
{
    CKadmor_Send codec;
    CString block = Prepared(codec, SwConfigBlock({{26, 0x1F}, {28, 0x0F}, {29, 0x30}}), 0x03);
    const BYTE code3 = 5, activeTwo = 2, flagTwo = 2, code2 = 2;
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
        &block, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &code3, nullptr, nullptr, nullptr,
        &flagTwo, nullptr, &activeTwo, nullptr, nullptr, nullptr, nullptr, &code2));
    EXPECT_EQ(0xBF, block.ByteAt(26));
    EXPECT_EQ(0x8F, block.ByteAt(28));  // flag input 2 sets bit 7; scaling input 2 leaves bit 6 clear
    EXPECT_EQ(0x20, block.ByteAt(29));  // 2-bit code 2: bit 5 set, bit 4 cleared

    const BYTE activeOne = 1;
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
        &block, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, &activeOne, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0xCF, block.ByteAt(28));
    EXPECT_EQ(block, codec.GetBlockSlot(kSlotStatorSwConfig).m_strWriteFrame);
}

TEST(StatorSwConfigBlock, ScaleFactorsKeepTheirPrecisionAndUnrepresentableOnesAreRefused)
{
    CKadmor_Send codec;
    const CString prepared = Prepared(codec, SwConfigBlock(), 0x03);
    CString block = prepared;
    const double scaleA = 1.2345678, scaleB = -98765.4321;
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
        &block, nullptr, &scaleA, &scaleB, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    SwConfig c;
    c.Read(codec, block);
    EXPECT_NEAR(scaleA, c.scaleA, std::ldexp(1.0, -23) * 2);
    EXPECT_NEAR(scaleB, c.scaleB, 98765.4321 * std::ldexp(1.0, -23));

    const CString before = block;
    const CString writeFrame = codec.GetBlockSlot(kSlotStatorSwConfig).m_strWriteFrame;
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e39}) {
        EXPECT_FALSE(codec.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
            &block, nullptr, &scaleA, &bad, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(before, block);
        EXPECT_EQ(writeFrame, codec.GetBlockSlot(kSlotStatorSwConfig).m_strWriteFrame);
    }
}

TEST(StatorSwConfigBlock, SetupCountTooLargeGoesOutAsMarker)
{
    CKadmor_Send codec;
    CString block = Prepared(codec, SwConfigBlock(), 0x03);
    const int count = 70000, byte32 = 0x1FF;
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
        &block, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, &count, &byte32, nullptr, nullptr));
    EXPECT_EQ(Ints({0x80, 0x00, 0xFF}), ToInts(block.Mid(30, 3)));
}

// ---- Builders refuse blocks that were never read ------------------------------------------------

TEST(BlockBuilders, RefuseTextsThatAreNoBlockFrame)
{
    CKadmor_Send codec;
    const BYTE baud = 7;
    const std::int64_t date = 0;
    CString serial = "AB";
    const LONG offset = 1;
    const BYTE kind = 4;
    const CString neverRead[] = {
        CString(),
        CString("leer READ"),
        CString("EmptyBlockAndMakeSureThatThisAreMoreThanFourtyCharactersSoNeverCrashesBecauseTheStringIsTooShort"),
        MakeBlockFrame(0x02, 0x13).Left(39),
    };
    for (const CString& text : neverRead) {
        CString block = text;
        EXPECT_FALSE(codec.KadSend_WriteBlockSetContentStatorOperation(&block, &date, nullptr, nullptr, nullptr,
                                                                       &baud, nullptr, nullptr, nullptr, nullptr));
        EXPECT_FALSE(codec.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
            &block, &kind, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
        EXPECT_FALSE(codec.KadSend_WriteBlockSetContentRotorCalibUser(&block, &date, nullptr, &offset, nullptr,
                                                                      nullptr, nullptr, nullptr, nullptr, nullptr,
                                                                      nullptr, nullptr));
        EXPECT_FALSE(codec.KadSend_WriteBlockSetContentRotorOperation(&block, &date, &serial, nullptr));
        EXPECT_EQ(text, block);
    }
    for (int slot = 0; slot < kBlockSlotCount; ++slot)
        EXPECT_EQ(CString("leer WRITE"), codec.GetBlockSlot(slot).m_strWriteFrame);
}

// ---- Stator hardware ----------------------------------------------------------------------------

TEST(StatorHardwareBlock, DateAndBytes)
{
    CKadmor_Send codec;
    CString frame = MakeBlockFrame(0x01, 0x12, {{16, 0xFF}, {17, 0x14}});
    PutDate(frame, UtcSeconds(2019, 3, 5, 8, 7, 2));  // 09:07:02 in Berlin
    std::int64_t date = 0;
    BlockDateTm tm;
    BYTE option = 0, count = 0;
    CString text;
    codec.KadSend_ReadBlockGetContentStatorHardware(frame, &date, &tm, &option, &count, &text);
    EXPECT_EQ(UtcSeconds(2019, 3, 5, 8, 7, 2), date);
    EXPECT_EQ(2019, tm.tm_year);
    EXPECT_EQ(3, tm.tm_mon);
    EXPECT_EQ(9, tm.tm_hour);
    EXPECT_EQ(CString("05.03.2019 09:07:02 Uhr"), text);
    EXPECT_EQ(255, option);
    EXPECT_EQ(0x14, count);
}

TEST(StatorHardwareBlock, NoDateTextWithoutADateConversion)
{
    CKadmor_Send codec;
    CString text = "untouched";
    BYTE option = 0;
    codec.KadSend_ReadBlockGetContentStatorHardware(MakeBlockFrame(0x01, 0x12), nullptr, nullptr, &option, nullptr,
                                                    &text);
    EXPECT_EQ(CString("untouched"), text);
}

// ---- Stator operation ---------------------------------------------------------------------------

TEST(StatorOperationBlock, Fields)
{
    CKadmor_Send codec;
    BYTE b12 = 0, bit0 = 0, bus = 0, flag = 0, baud = 0, encoder = 0, b18 = 0;
    DWORD filterA = 0, filterB = 0;
    codec.KadSend_ReadBlockGetContentStatorOperation(
        MakeBlockFrame(0x02, 0x13, {{12, 0x03}, {13, 0x05}, {15, 0xF1}, {16, 0x09}, {17, 0x07}, {18, 0x12},
                                    {19, 0x0B}, {20, 0xB8}, {21, 0xFF}, {22, 0xFF}}),
        nullptr, nullptr, &b12, &bit0, &bus, &flag, &baud, &encoder, &b18, &filterA, &filterB, nullptr);
    EXPECT_EQ(3, b12);
    EXPECT_EQ(1, bit0);
    EXPECT_EQ(5, bus);
    EXPECT_EQ(1, flag);
    EXPECT_EQ(9, baud);
    EXPECT_EQ(7, encoder);
    EXPECT_EQ(0x12, b18);
    EXPECT_EQ(3000u, filterA);
    EXPECT_EQ(65535u, filterB);
}

TEST(StatorOperationBlock, BuilderChangesOnlyTheFieldsGiven)
{
    CKadmor_Send codec;
    const CString prepared = Prepared(codec, MakeBlockFrame(0x02, 0x13, {{15, 0xF0}}), 0x02);
    CString block = prepared;
    const BYTE baud = 0x0A;
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentStatorOperation(&block, nullptr, nullptr, nullptr, nullptr, &baud,
                                                                  nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::vector<int>({16}), Differences(prepared, block));
    EXPECT_EQ(0x0A, block.ByteAt(16));
    EXPECT_EQ(block, codec.GetBlockSlot(kSlotStatorOperation).m_strWriteFrame);

    const BYTE flagOne = 1, flagTwo = 2;
    block = prepared;
    codec.KadSend_WriteBlockSetContentStatorOperation(&block, nullptr, nullptr, nullptr, &flagOne, nullptr, nullptr,
                                                      nullptr, nullptr, nullptr);
    EXPECT_EQ(0xF1, block.ByteAt(15));
    block = prepared;
    codec.KadSend_WriteBlockSetContentStatorOperation(&block, nullptr, nullptr, nullptr, &flagTwo, nullptr, nullptr,
                                                      nullptr, nullptr, nullptr);
    EXPECT_EQ(0xF0, block.ByteAt(15));

    const DWORD tooLarge = 70000, filter = 3000;
    codec.KadSend_WriteBlockSetContentStatorOperation(&block, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                      nullptr, &filter, &tooLarge);
    EXPECT_EQ(Ints({0x0B, 0xB8, 0x80, 0x00}), ToInts(block.Mid(19, 4)));
}

// ---- Rotor calibration --------------------------------------------------------------------------

struct Calib {
    std::int64_t date = 0;
    BlockDateTm tm;
    DWORD gainCodeA = 0, gainCodeB = 0, controlCodeA = 0, controlCodeB = 0, fullA = 0, fullB = 0, inaccCodeA = 0,
          inaccCodeB = 0, raw = 0;
    double gainA = 0, gainB = 0, controlA = 0, controlB = 0, inaccA = 0, inaccB = 0;
    LONG offsetA = 0, offsetB = 0;
    CString text;

    void ReadUser(CKadmor_Send& codec, const CString& block)
    {
        codec.KadSend_ReadBlockGetContentRotorCalibUser(block, &date, &tm, &gainCodeA, &gainA, &offsetA, &gainCodeB,
                                                        &gainB, &offsetB, &controlCodeA, &controlA, &controlCodeB,
                                                        &controlB, &fullA, &fullB, &inaccCodeA, &inaccA, &inaccCodeB,
                                                        &inaccB, &text, nullptr, &raw);
    }
    void ReadFactory(CKadmor_Send& codec, const CString& block)
    {
        codec.KadSend_ReadBlockGetContentRotorCalibFactory(
            block, &date, &tm, &gainCodeA, &gainA, &offsetA, &gainCodeB, &gainB, &offsetB, &controlCodeA, &controlA,
            &controlCodeB, &controlB, &fullA, &fullB, &inaccCodeA, &inaccA, &inaccCodeB, &inaccB, &text, nullptr,
            kCalibFactory, &raw);
    }
};

TEST(RotorCalibBlocks, FactorsOffsetsAndInaccuracies)
{
    CKadmor_Send codec;
    Calib c;
    c.ReadFactory(codec, MakeBlockFrame(0x81, 0x41, {{11, 0x80}, {12, 0x00}, {13, 0xFF}, {14, 0xFE}, {15, 0x40},
                                                     {16, 0x00}, {17, 0x00}, {18, 0x05}, {19, 0x80}, {20, 0x01},
                                                     {21, 0x00}, {22, 0x00}, {23, 0x75}, {24, 0x30}, {25, 0x00},
                                                     {26, 0x01}, {27, 0x00}, {28, 0x00}, {29, 0xFF}, {30, 0xFF}}));
    EXPECT_EQ(32768u, c.gainCodeA);
    EXPECT_DOUBLE_EQ(1.0, c.gainA);
    EXPECT_EQ(-2, c.offsetA);
    EXPECT_EQ(16384u, c.gainCodeB);
    EXPECT_DOUBLE_EQ(0.5, c.gainB);
    EXPECT_EQ(5, c.offsetB);
    EXPECT_EQ(32769u, c.controlCodeA);
    EXPECT_DOUBLE_EQ(32769 / 32768.0, c.controlA);
    EXPECT_EQ(0u, c.controlCodeB);
    EXPECT_EQ(30000u, c.fullA);
    EXPECT_EQ(1u, c.fullB);
    EXPECT_EQ(0u, c.inaccCodeA);
    EXPECT_EQ(0.0, c.inaccA);
    EXPECT_EQ(0u, c.inaccCodeB);
    EXPECT_EQ(0.0, c.inaccB);
    EXPECT_EQ(0, codec.GetBlockReadResult(kSlotRotorFactoryCalib));

    c.ReadFactory(codec, MakeBlockFrame(0x81, 0x41, {{27, 0x00}, {28, 0x64}}));
    EXPECT_EQ(100u, c.inaccCodeA);
    EXPECT_DOUBLE_EQ(0.01, c.inaccA);
}

TEST(RotorCalibBlocks, UserParserKeepsItsOwnSlot)
{
    CKadmor_Send codec;
    const CString factory = MakeBlockFrame(0x81, 0x41);
    Calib c;
    c.ReadFactory(codec, factory);
    CString damagedUser = MakeBlockFrame(0x82, 0x42, {{13, 0x00}, {14, 0x07}});
    damagedUser.SetAt(37, 0);
    c.ReadUser(codec, damagedUser);
    EXPECT_EQ(7, c.offsetA);
    EXPECT_EQ(damagedUser, codec.GetBlockSlot(kSlotRotorUserCalib).m_strReadFrame);
    EXPECT_NE(0, codec.GetBlockReadResult(kSlotRotorUserCalib));
    EXPECT_EQ(factory, codec.GetBlockSlot(kSlotRotorFactoryCalib).m_strReadFrame);
    EXPECT_EQ(0, codec.GetBlockReadResult(kSlotRotorFactoryCalib));
}

TEST(RotorCalibBlocks, WritingTheUserBlockLeavesTheFactorySlot)
{
    CKadmor_Send codec;
    CString block = Prepared(codec, MakeBlockFrame(0x82, 0x42), 0x82);
    const LONG offset = -2;
    const DWORD gain = 16384, inaccuracy = 70000;
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentRotorCalibUser(&block, nullptr, &gain, &offset, nullptr, nullptr,
                                                                 nullptr, nullptr, nullptr, nullptr, &inaccuracy,
                                                                 nullptr));
    EXPECT_EQ(Ints({0x40, 0x00, 0xFF, 0xFE}), ToInts(block.Mid(11, 4)));
    EXPECT_EQ(Ints({0x80, 0x00}), ToInts(block.Mid(27, 2)));
    EXPECT_EQ(block, codec.GetBlockSlot(kSlotRotorUserCalib).m_strWriteFrame);
    EXPECT_EQ(CString("leer WRITE"), codec.GetBlockSlot(kSlotRotorFactoryCalib).m_strWriteFrame);
}

TEST(RotorCalibBlocks, OffsetOutsideSixteenBitsRefusesTheWrite)
{
    CKadmor_Send codec;
    const CString prepared = Prepared(codec, MakeBlockFrame(0x82, 0x42, {{13, 0x01}, {14, 0x02}}), 0x82);
    const DWORD gain = 16384;
    for (LONG offset : {LONG{-32768}, LONG{32768}, LONG{100000}}) {
        CString block = prepared;
        EXPECT_FALSE(codec.KadSend_WriteBlockSetContentRotorCalibUser(&block, nullptr, &gain, nullptr, nullptr,
                                                                      &offset, nullptr, nullptr, nullptr, nullptr,
                                                                      nullptr, nullptr))
            << offset;
        EXPECT_EQ(prepared, block);  // neither the old offset nor the other fields go out as new
        EXPECT_EQ(CString("leer WRITE"), codec.GetBlockSlot(kSlotRotorUserCalib).m_strWriteFrame);
    }
    CString block = prepared;
    const LONG edge = -32767;
    EXPECT_TRUE(codec.KadSend_WriteBlockSetContentRotorCalibFactory(&block, nullptr, nullptr, &edge, nullptr, nullptr,
                                                                    nullptr, nullptr, nullptr, nullptr, nullptr,
                                                                    nullptr, kCalibFactory));
    EXPECT_EQ(Ints({0x80, 0x01}), ToInts(block.Mid(13, 2)));
    EXPECT_EQ(block, codec.GetBlockSlot(kSlotRotorFactoryCalib).m_strWriteFrame);
}

TEST(RotorCalibBlocks, DateBefore1970LocallyStillDeliversTheNumbers)
{
    protocol_test::ScopedTimeZone westOfUtc("America/New_York");
    CKadmor_Send codec;
    Calib c;
    c.date = 99;
    c.raw = 99;
    c.ReadFactory(codec, MakeBlockFrame(0x81, 0x41, {{7, 0}, {8, 0}, {9, 0}, {10, 0}}));
    EXPECT_EQ(CString("ERROR DATE TIME"), c.text);
    EXPECT_EQ(0, c.date);
    EXPECT_EQ(0u, c.raw);
    EXPECT_EQ(1969, c.tm.tm_year);
}

// ---- Rotor operation ----------------------------------------------------------------------------

struct Serials {
    CString a, b;
    void Read(CKadmor_Send& codec, const CString& block)
    {
        codec.KadSend_ReadBlockGetContentRotorOperation(block, nullptr, nullptr, nullptr, &a, &b);
    }
};

TEST(RotorOperationBlock, SerialNumbersInSixBitCode)
{
    CKadmor_Send codec;
    CString block = Prepared(codec, MakeBlockFrame(0x83, 0x43), 0x83);
    CString a = "A1", b = "xY9 z";
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentRotorOperation(&block, nullptr, &a, &b));
    Ints lowBitsA;
    for (int i = 23; i < 29; ++i) lowBitsA.push_back(block.ByteAt(i) & 0x3F);
    EXPECT_EQ(Ints({26, 53, 62, 62, 62, 62}), lowBitsA);
    EXPECT_EQ(block, codec.GetBlockSlot(kSlotRotorOperation).m_strWriteFrame);

    Serials s;
    s.Read(codec, block);
    EXPECT_EQ(CString("A1"), s.a);
    EXPECT_EQ(CString("xY9 z"), s.b);
}

TEST(RotorOperationBlock, CharactersOutsideTheAlphabetBecomeQuestionMarks)
{
    CKadmor_Send codec;
    CString block = Prepared(codec, MakeBlockFrame(0x83, 0x43), 0x83);
    CString a = "ä-1234567";  // one byte for the umlaut, cut after six characters
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentRotorOperation(&block, nullptr, &a, nullptr));
    Serials s;
    s.Read(codec, block);
    EXPECT_EQ(CString("??1234"), s.a);
}

TEST(RotorOperationBlock, ChannelsAreWrittenIndependently)
{
    CKadmor_Send codec;
    CString block = Prepared(codec, MakeBlockFrame(0x83, 0x43), 0x83);
    CString a = "AAAAAA", b = "Zz09?q";
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentRotorOperation(&block, nullptr, &a, &b));
    CString newA = "k7";
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentRotorOperation(&block, nullptr, &newA, nullptr));
    Serials s;
    s.Read(codec, block);
    EXPECT_EQ(CString("k7"), s.a);
    EXPECT_EQ(CString("Zz09?q"), s.b);
    CString newB = "B";
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentRotorOperation(&block, nullptr, nullptr, &newB));
    s.Read(codec, block);
    EXPECT_EQ(CString("k7"), s.a);
    EXPECT_EQ(CString("B"), s.b);
}

TEST(RotorOperationBlock, NotAvailableMarksAnEmptyStore)
{
    CKadmor_Send codec;
    CString block = Prepared(codec, MakeBlockFrame(0x83, 0x43), 0x83);
    CString a = "n.a.", b = "n.a.";
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentRotorOperation(&block, nullptr, &a, &b));
    EXPECT_EQ(CString("??????"), a);
    EXPECT_EQ(CString(static_cast<char>(0xFF), 9), block.Mid(23, 9));
    Serials s;
    s.Read(codec, block);
    EXPECT_EQ(CString("n.a."), s.a);
    EXPECT_EQ(CString("n.a."), s.b);

    CString oneDiffers = MakeBlockFrame(0x83, 0x43, {{23, 0xFF}, {24, 0xFF}, {25, 0xFF}, {26, 0xFF}, {27, 0xFF},
                                                     {28, 0xFF}, {29, 0xFF}, {30, 0xFF}, {31, 0x7F}});
    s.Read(codec, oneDiffers);
    EXPECT_EQ(CString("??????"), s.a);
    EXPECT_EQ(CString("?????F"), s.b);  // the top bits of byte 31 make up the last character
}

TEST(RotorOperationBlock, DateIsWrittenWhenGiven)
{
    CKadmor_Send codec;
    CString block = Prepared(codec, MakeBlockFrame(0x83, 0x43), 0x83);
    const std::int64_t date = 0x5C7E2F16;
    ASSERT_TRUE(codec.KadSend_WriteBlockSetContentRotorOperation(&block, &date, nullptr, nullptr));
    EXPECT_EQ(Ints({0x5C, 0x7E, 0x2F, 0x16}), ToInts(block.Mid(7, 4)));
    std::int64_t back = 0;
    codec.KadSend_ReadBlockGetContentRotorOperation(block, &back, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(date, back);
}

}  // namespace
