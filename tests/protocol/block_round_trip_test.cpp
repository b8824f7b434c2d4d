// Every block read from a sensor, written back through its builder and write frame, and read
// again, keeps every field; the written frame passes both the frame and the block check.

#include "protocol/kadmor_send.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

#include <functional>

using protocol_test::MakeBlockFrame;

namespace {

// What the receive chain does before a parser sees a frame: doubled start bytes become one.
CString Undouble(const CString& sent)
{
    CString frame;
    for (int i = 0; i < sent.GetLength(); ++i) {
        frame.AppendChar(sent.GetAt(i));
        if (i > 0 && sent.ByteAt(i) == 0x02 && i + 1 < sent.GetLength() && sent.ByteAt(i + 1) == 0x02) ++i;
    }
    return frame;
}

CString Describe(const BlockDateTm& d)
{
    return CString::Formatted("%d-%d-%d %d:%d:%d", d.tm_year, d.tm_mon, d.tm_mday, d.tm_hour, d.tm_min, d.tm_sec);
}

struct BlockCase {
    const char* name;
    BYTE number;
    BYTE code;
    std::vector<std::pair<int, int>> content;
    // Reads every field of the block into one text.
    std::function<CString(CKadmor_Send&, const CString&)> read;
    // Writes the fields read from `from` into the prepared text `block` (null: no builder).
    std::function<bool(CKadmor_Send&, const CString& from, CString& block)> write;
};

CString ReadStatorHeader(CKadmor_Send& c, const CString& b)
{
    DWORD code = 0, serial = 0;
    BYTE b14 = 0, b15 = 0;
    c.KadSend_ReadBlockGetContentStatorHeader(b, &code, &serial, &b14, &b15);
    return CString::Formatted("%u %u %u %u", code, serial, b14, b15);
}

CString ReadRotorHeader(CKadmor_Send& c, const CString& b)
{
    DWORD code = 0, serial = 0, codeA = 0, codeB = 0;
    BYTE b14 = 0, type = 0, b18 = 0, b19 = 0, b22 = 0;
    double a = 0, bv = 0;
    c.KadSend_ReadBlockGetContentRotorHeader(b, &code, &serial, &b14, &type, &codeA, &a, &b18, &b19, &codeB, &bv,
                                             &b22);
    return CString::Formatted("%u %u %u %u %u %g %u %u %u %g %u", code, serial, b14, type, codeA, a, b18, b19, codeB,
                              bv, b22);
}

CString ReadStatorHardware(CKadmor_Send& c, const CString& b)
{
    std::int64_t date = 0;
    BlockDateTm d;
    BYTE option = 0, count = 0;
    CString text;
    c.KadSend_ReadBlockGetContentStatorHardware(b, &date, &d, &option, &count, &text);
    return CString::Formatted("%lld %u %u ", static_cast<long long>(date), option, count) + Describe(d) + " " + text;
}

struct Operation {
    std::int64_t date = 0;
    BlockDateTm d;
    BYTE b12 = 0, bit0 = 0, bus = 0, flag = 0, baud = 0, encoder = 0, b18 = 0;
    DWORD filterA = 0, filterB = 0;
    CString text;

    CString Read(CKadmor_Send& c, const CString& b)
    {
        c.KadSend_ReadBlockGetContentStatorOperation(b, &date, &d, &b12, &bit0, &bus, &flag, &baud, &encoder, &b18,
                                                     &filterA, &filterB, &text);
        return CString::Formatted("%lld %u %u %u %u %u %u %u %u %u ", static_cast<long long>(date), b12, bit0, bus,
                                  flag, baud, encoder, b18, filterA, filterB) +
               Describe(d) + " " + text;
    }
};

struct SwConfig {
    BYTE kind = 0, c5A = 0, c5B = 0, c3A = 0, c3B = 0, c4A = 0, c4B = 0, fA = 0, fB = 0, sA = 0, sB = 0, c2A = 0,
         c2B = 0;
    double scaleA = 0, scaleB = 0;
    CString unitA, unitB;
    int count = 0, b32 = 0;

    CString Read(CKadmor_Send& c, const CString& b)
    {
        c.KadSend_ReadBlockGetContentStatorSoftwareConfiguration(b, &kind, &scaleA, &scaleB, &unitA, &unitB, &c5A,
                                                                 &c5B, &c3A, &c3B, &c4A, &c4B, &fA, &fB, &sA, &sB,
                                                                 &count, &b32, &c2A, &c2B);
        return CString::Formatted("%u %.17g %.17g [", kind, scaleA, scaleB) + unitA + "][" + unitB +
               CString::Formatted("] %u %u %u %u %u %u %u %u %u %u %d %d %u %u", c5A, c5B, c3A, c3B, c4A, c4B, fA,
                                  fB, sA, sB, count, b32, c2A, c2B);
    }
    bool Write(CKadmor_Send& c, CString& b) const
    {
        return c.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(&b, &kind, &scaleA, &scaleB, &unitA, &unitB,
                                                                         &c5A, &c5B, &c3A, &c3B, &c4A, &c4B, &fA,
                                                                         &fB, &sA, &sB, &count, &b32, &c2A, &c2B);
    }
};

struct Calib {
    std::int64_t date = 0;
    BlockDateTm d;
    DWORD gA = 0, gB = 0, cA = 0, cB = 0, fsA = 0, fsB = 0, iA = 0, iB = 0, raw = 0;
    double gAf = 0, gBf = 0, cAf = 0, cBf = 0, iAf = 0, iBf = 0;
    LONG oA = 0, oB = 0;
    CString text;

    CString Read(CKadmor_Send& c, const CString& b, bool user)
    {
        if (user)
            c.KadSend_ReadBlockGetContentRotorCalibUser(b, &date, &d, &gA, &gAf, &oA, &gB, &gBf, &oB, &cA, &cAf, &cB,
                                                        &cBf, &fsA, &fsB, &iA, &iAf, &iB, &iBf, &text, nullptr, &raw);
        else
            c.KadSend_ReadBlockGetContentRotorCalibFactory(b, &date, &d, &gA, &gAf, &oA, &gB, &gBf, &oB, &cA, &cAf,
                                                           &cB, &cBf, &fsA, &fsB, &iA, &iAf, &iB, &iBf, &text,
                                                           nullptr, kCalibFactory, &raw);
        return CString::Formatted("%lld %u %u %g %d %u %g %d %u %g %u %g %u %u %u %g %u %g ",
                                  static_cast<long long>(date), raw, gA, gAf, oA, gB, gBf, oB, cA, cAf, cB, cBf, fsA,
                                  fsB, iA, iAf, iB, iBf) +
               Describe(d) + " " + text;
    }
    bool Write(CKadmor_Send& c, CString& b, bool user) const
    {
        if (user)
            return c.KadSend_WriteBlockSetContentRotorCalibUser(&b, &date, &gA, &oA, &gB, &oB, &cA, &cB, &fsA, &fsB,
                                                                &iA, &iB);
        return c.KadSend_WriteBlockSetContentRotorCalibFactory(&b, &date, &gA, &oA, &gB, &oB, &cA, &cB, &fsA, &fsB,
                                                               &iA, &iB, kCalibFactory);
    }
};

struct RotorOperation {
    std::int64_t date = 0;
    BlockDateTm d;
    CString text, a, b;

    CString Read(CKadmor_Send& c, const CString& block)
    {
        c.KadSend_ReadBlockGetContentRotorOperation(block, &date, &d, &text, &a, &b);
        return CString::Formatted("%lld ", static_cast<long long>(date)) + Describe(d) + " " + text + " [" + a +
               "][" + b + "]";
    }
    bool Write(CKadmor_Send& c, CString& block)
    {
        return c.KadSend_WriteBlockSetContentRotorOperation(&block, &date, &a, &b);
    }
};

const BlockCase kCases[] = {
    {"stator header", 0x00, 0x10, {{7, 0x02}, {8, 0x02}, {9, 0x03}, {10, 0x80}, {13, 0x02}, {14, 0x0E}, {15, 0xF0}},
     ReadStatorHeader, nullptr},
    {"stator hardware", 0x01, 0x12, {{7, 0x5C}, {8, 0x02}, {9, 0x2F}, {10, 0x16}, {16, 0x02}, {17, 0x14}},
     ReadStatorHardware, nullptr},
    {"stator operation", 0x02, 0x13,
     {{7, 0x5C}, {8, 0x7E}, {9, 0x02}, {10, 0x00}, {11, 0x02}, {12, 0x03}, {13, 0x02}, {15, 0xF1}, {16, 0x0A},
      {17, 0x07}, {18, 0x02}, {19, 0x0B}, {20, 0xB8}, {21, 0x02}, {22, 0x02}},
     [](CKadmor_Send& c, const CString& b) { return Operation().Read(c, b); },
     [](CKadmor_Send& c, const CString& from, CString& b) {
         Operation o;
         o.Read(c, from);
         return c.KadSend_WriteBlockSetContentStatorOperation(&b, &o.date, &o.b12, &o.bus, &o.flag, &o.baud,
                                                              &o.encoder, &o.b18, &o.filterA, &o.filterB);
     }},
    {"stator software configuration", 0x03, 0x14,
     {{7, 0x04}, {8, 0x40}, {9, 0x02}, {10, 0x02}, {11, 0x02}, {12, 0xC2}, {13, 0xC8}, {14, 0x00}, {15, 0x01},
      {16, 'N'}, {17, 0xB7}, {18, 'm'}, {19, ' '}, {20, ' '}, {21, 0xB0}, {22, 'C'}, {23, ' '}, {24, ' '}, {25, ' '},
      {26, 0xA2}, {27, 0x5D}, {28, 0xD2}, {29, 0x6B}, {30, 0x02}, {31, 0x02}, {32, 0x02}, {33, 0x99}},
     [](CKadmor_Send& c, const CString& b) { return SwConfig().Read(c, b); },
     [](CKadmor_Send& c, const CString& from, CString& b) {
         SwConfig s;
         s.Read(c, from);
         return s.Write(c, b);
     }},
    {"rotor header", 0x80, 0x40,
     {{7, 0x00}, {8, 0x02}, {9, 0x02}, {13, 0x07}, {15, 0x59}, {16, 0x25}, {17, 0x00}, {18, 0x02}, {20, 0x00},
      {21, 0x50}, {22, 0x02}},
     ReadRotorHeader, nullptr},
    {"rotor factory calibration", 0x81, 0x41,
     {{7, 0x5C}, {8, 0x7E}, {9, 0x2F}, {10, 0x02}, {11, 0x80}, {12, 0x02}, {13, 0xFF}, {14, 0xFE}, {15, 0x40},
      {16, 0x00}, {17, 0x02}, {18, 0x02}, {19, 0x7F}, {20, 0xFF}, {21, 0x00}, {22, 0x02}, {23, 0x75}, {24, 0x30},
      {25, 0x02}, {26, 0x02}, {27, 0x00}, {28, 0x64}, {29, 0x02}, {30, 0x02}},
     [](CKadmor_Send& c, const CString& b) { return Calib().Read(c, b, false); },
     [](CKadmor_Send& c, const CString& from, CString& b) {
         Calib k;
         k.Read(c, from, false);
         return k.Write(c, b, false);
     }},
    {"rotor user calibration", 0x82, 0x42,
     {{7, 0x02}, {8, 0x02}, {9, 0x02}, {10, 0x02}, {11, 0x7F}, {12, 0x00}, {13, 0x80}, {14, 0x01}, {15, 0x80},
      {16, 0x02}, {17, 0x02}, {18, 0x02}, {19, 0x80}, {20, 0x00}, {21, 0x80}, {22, 0x00}, {23, 0xFF}, {24, 0xFF},
      {25, 0x00}, {26, 0x00}, {27, 0x27}, {28, 0x10}, {29, 0x00}, {30, 0x01}},
     [](CKadmor_Send& c, const CString& b) { return Calib().Read(c, b, true); },
     [](CKadmor_Send& c, const CString& from, CString& b) {
         Calib k;
         k.Read(c, from, true);
         return k.Write(c, b, true);
     }},
    {"rotor operation", 0x83, 0x43,
     {{7, 0x5C}, {8, 0x7E}, {9, 0x2F}, {10, 0x16}, {11, 0x02}, {12, 0x02}, {22, 0x02}, {23, 0x1A}, {24, 0x75},
      {25, 0xC2}, {26, 0x33}, {27, 0x44}, {28, 0x80}, {29, 0x02}, {30, 0x3F}, {31, 0x55}, {32, 0x02}, {33, 0x02}},
     [](CKadmor_Send& c, const CString& b) { return RotorOperation().Read(c, b); },
     [](CKadmor_Send& c, const CString& from, CString& b) {
         RotorOperation r;
         r.Read(c, from);
         return r.Write(c, b);
     }},
};

class BlockRoundTrip : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlockRoundTrip, ParseBuildParseKeepsEveryField)
{
    const BlockCase& block = GetParam();
    CKadmor_Send codec;
    codec.SetSensorAddress(0x02, 0xFF);
    const CString answer = MakeBlockFrame(block.number, block.code, block.content);
    ASSERT_EQ(0, CKadmor_Send::CheckBlock(answer, nullptr));
    const CString fields = block.read(codec, answer);

    CString prepared = answer;
    ASSERT_TRUE(codec.PrepareWriteBlockFrame(prepared, block.number));
    if (block.write) {
        ASSERT_TRUE(block.write(codec, answer, prepared));
    }

    CString sent;
    codec.BuildWriteBlockFrame(sent, prepared, false);
    ASSERT_GT(sent.GetLength(), 40);  // the content holds 0x02 bytes, which go out doubled
    const CString written = Undouble(sent);
    ASSERT_EQ(40, written.GetLength());
    EXPECT_EQ('F', written.ByteAt(1));
    EXPECT_EQ(0x02, written.ByteAt(2));
    EXPECT_EQ(0, CKadmor_Send::CheckAnswerFrame(written));
    EXPECT_EQ(0, CKadmor_Send::CheckBlock(written, nullptr));
    EXPECT_EQ(answer.Mid(5, 29), written.Mid(5, 29)) << "content bytes changed";

    CKadmor_Send reader;
    EXPECT_EQ(fields, block.read(reader, written));
}

INSTANTIATE_TEST_SUITE_P(AllEightBlocks, BlockRoundTrip, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BlockCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (ch == ' ') ch = '_';
                             return name;
                         });

}  // namespace
