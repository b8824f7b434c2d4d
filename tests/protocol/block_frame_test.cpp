// The configuration block frame: check words, validation, write frames, slots, text code and
// the blank fill shared by every parser.

#include "protocol/kadmor_send.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

using protocol_test::Bytes;
using protocol_test::MakeBlockFrame;
using protocol_test::ToInts;
using Ints = std::vector<int>;

namespace {

const CString kTabsAndBlank = CString('\t', 20) + " ";

CString FrameWithBlockBytes(int value)
{
    CString frame = Bytes({0x02, 'D', 0xFF, 0x01, 33, 0x00});
    frame += CString(static_cast<char>(value), 32);  // bytes 6 to 37
    frame += Bytes({0x00, 0x00});
    return frame;
}

TEST(BlockCheckWords, PlainSumAndEndAroundCarry)
{
    BYTE bytes[32];
    std::fill(bytes, bytes + 28, 0x01);
    CKadmor_Send::CalcBlockCheckWords(bytes);
    EXPECT_EQ(Ints({0x00, 0x1C, 0x01, 0x96}), ToInts(CString(reinterpret_cast<char*>(bytes + 28), 4)));

    std::fill(bytes, bytes + 28, 0xFF);
    CKadmor_Send::CalcBlockCheckWords(bytes);
    // A = 7140; B = 255 * 406 = 103530, less 65535 (not 65536) = 37995
    EXPECT_EQ(Ints({0x1B, 0xE4, 0x94, 0x6B}), ToInts(CString(reinterpret_cast<char*>(bytes + 28), 4)));
}

TEST(BlockValidation, EmptyBlocks)
{
    CString message;
    EXPECT_EQ(kBlockEmpty, CKadmor_Send::CheckBlock(FrameWithBlockBytes(0xFF), &message));
    EXPECT_EQ(CString("Block-Str ist Leer! Alles 0x00 or 0xFF   "), message);
    EXPECT_EQ(kBlockEmpty, CKadmor_Send::CheckBlock(FrameWithBlockBytes(0x00), &message));
}

TEST(BlockValidation, GoodBlockAndEachFault)
{
    CString message;
    EXPECT_EQ(0, CKadmor_Send::CheckBlock(MakeBlockFrame(0x80, 0x40), &message));
    EXPECT_EQ(kTabsAndBlank + "Block vollständig I.O. wird verwendet!   ", message);
    EXPECT_EQ(kTabsAndBlank.GetLength() + 41, message.GetLength());  // 'ä' is one byte

    EXPECT_EQ(kBlockCodeUnknown, CKadmor_Send::CheckBlock(MakeBlockFrame(0x00, 0x11), &message));
    EXPECT_EQ(kTabsAndBlank + "Block ID ist nicht bekannt!              ", message);

    CString wrongSum = MakeBlockFrame(0x00, 0x00);
    wrongSum.SetAt(35, static_cast<char>(wrongSum.ByteAt(35) ^ 1));
    EXPECT_EQ(7, CKadmor_Send::CheckBlock(wrongSum, &message));
    EXPECT_EQ(kTabsAndBlank + "          CheckSumme stimmt nicht!       " +
                  "Block ID ist nicht bekannt!              " + "Block ID ist nicht gesetzt 0x00 or 0xFF  ",
              message);

    CString wrongWeighted = MakeBlockFrame(0x01, 0x12);
    wrongWeighted.SetAt(37, static_cast<char>(wrongWeighted.ByteAt(37) ^ 1));
    EXPECT_EQ(kBlockWeightedSumWrong, CKadmor_Send::CheckBlock(wrongWeighted, nullptr));

    for (int code : {0x10, 0x12, 0x13, 0x14, 0x15, 0x40, 0x41, 0x42, 0x43})
        EXPECT_EQ(0, CKadmor_Send::CheckBlock(MakeBlockFrame(0, code), nullptr)) << code;
}

TEST(BlockValidation, ShortFramesReadAsBlankFilled)
{
    CString message;
    // 40 blanks: code 0x20 is unknown and neither check word matches
    EXPECT_EQ(14, CKadmor_Send::CheckBlock(CString(), &message));
    EXPECT_EQ(14, CKadmor_Send::CheckBlock(CString(' ', 40), nullptr));
}

TEST(BlockWriteFrame, CheckWordsCheckBytesAndInvalidation)
{
    CKadmor_Send codec;
    CString frame = MakeBlockFrame(0x82, 0x42, {{20, 0x77}});
    const CString sealed = frame;
    frame.SetAt(34, 0);  // stale check words are recomputed
    frame.SetAt(39, 0);
    CString out;
    codec.BuildWriteBlockFrame(out, frame, false);
    CString undoubled = out;
    EXPECT_EQ(ToInts(sealed), ToInts(undoubled));  // the filler holds no 0x02 byte

    codec.BuildWriteBlockFrame(out, frame, true);
    for (int i = 34; i < 38; ++i) EXPECT_EQ((sealed.ByteAt(i) + 0xCD) & 0xFF, out.ByteAt(i)) << i;
    EXPECT_EQ(0, CKadmor_Send::CheckAnswerFrame(out));              // S and W fit the frame as sent
    EXPECT_NE(0, CKadmor_Send::CheckBlock(out, nullptr) & kBlockSumWrong);
}

TEST(BlockWriteFrame, StartBytesAreDoubledAndShortFramesGiveNothing)
{
    CKadmor_Send codec;
    CString out = "old";
    const CString frame = MakeBlockFrame(0x02, 0x13, {{13, 0x02}});
    int stxAfterStart = 0;
    for (int i = 1; i < 40; ++i) stxAfterStart += frame.ByteAt(i) == 0x02 ? 1 : 0;
    codec.BuildWriteBlockFrame(out, frame, false);
    EXPECT_EQ(40 + stxAfterStart, out.GetLength());
    EXPECT_EQ(Ints({0x02, 0x02, 0x13}), ToInts(out.Mid(5, 3)));  // block number 0x02 doubled
    EXPECT_EQ(Ints({0x02, 0x02}), ToInts(out.Mid(14, 2)));

    codec.BuildWriteBlockFrame(out, frame.Left(39), false);
    EXPECT_TRUE(out.IsEmpty());
    codec.BuildWriteBlockFrame(out, CString("leer READ"), false);
    EXPECT_TRUE(out.IsEmpty());
}

TEST(BlockWriteFrame, PrepareSetsHeadAndExpectsAcknowledgement)
{
    CKadmor_Send codec;
    codec.SetSensorAddress(0x05, 0xFF);
    CString request;
    codec.BuildValueRequest(request);
    CString frame = MakeBlockFrame(0x83, 0x43);
    ASSERT_TRUE(codec.PrepareWriteBlockFrame(frame, 0x04));
    EXPECT_EQ(Ints({0x02, 'F', 0x05, 0xFF, 33, 0x04, 0x15}), ToInts(frame.Left(7)));
    EXPECT_EQ(0x06, codec.GetCommand());
    EXPECT_EQ(7, codec.GetAnswerLength());
    ASSERT_TRUE(codec.PrepareWriteBlockFrame(frame, 0x05));
    EXPECT_EQ(0xFF, frame.ByteAt(6));
    ASSERT_TRUE(codec.PrepareWriteBlockFrame(frame, 0x81));
    EXPECT_EQ(0x41, frame.ByteAt(6));

    CString shortFrame = frame.Left(20);
    EXPECT_FALSE(codec.PrepareWriteBlockFrame(shortFrame, 0x81));
    EXPECT_EQ(frame.Left(20), shortFrame);

    // A placeholder long enough to look like a frame is still no block answer.
    codec.BuildValueRequest(request);
    CString placeholder("EmptyBlockAndMakeSureThatThisAreMoreThanFourtyCharactersSoNeverCrashes");
    const CString kept = placeholder;
    EXPECT_FALSE(codec.PrepareWriteBlockFrame(placeholder, 0x03));
    EXPECT_EQ(kept, placeholder);
    EXPECT_EQ('A', codec.GetCommand());
}

TEST(BlockTextCode, AlphabetBothWays)
{
    EXPECT_EQ('a', CKadmor_Send::CharFromTextCode(0));
    EXPECT_EQ('A', CKadmor_Send::CharFromTextCode(26));
    EXPECT_EQ('0', CKadmor_Send::CharFromTextCode(52));
    EXPECT_EQ(' ', CKadmor_Send::CharFromTextCode(62));
    EXPECT_EQ('?', CKadmor_Send::CharFromTextCode(63));
    EXPECT_EQ('?', CKadmor_Send::CharFromTextCode(64));
    EXPECT_EQ('?', CKadmor_Send::CharFromTextCode(255));
    EXPECT_EQ(26, CKadmor_Send::TextCodeFromChar('A'));
    EXPECT_EQ(63, CKadmor_Send::TextCodeFromChar('-'));
    EXPECT_EQ(63, CKadmor_Send::TextCodeFromChar(0));
    EXPECT_EQ(63, CKadmor_Send::TextCodeFromChar(0xE4));  // a lower-case umlaut
    for (int code = 0; code < 64; ++code)
        EXPECT_EQ(code, CKadmor_Send::TextCodeFromChar(static_cast<BYTE>(CKadmor_Send::CharFromTextCode(code))));
}

TEST(BlockSlots, StartEmptyWithTheirNames)
{
    CKadmor_Send codec;
    const char* names[] = {"Stator Header", "Stator Hardware", "Stator Operation", "Stator SoftwareConfig",
                           "Rotor  Header",  "Rotor  FactoryCalib", "Rotor  UserCalib", "Rotor  Operation"};
    for (int slot = 0; slot < kBlockSlotCount; ++slot) {
        EXPECT_EQ(CString(names[slot]), codec.GetBlockSlot(slot).m_strName);
        EXPECT_EQ(CString("leer READ"), codec.GetBlockSlot(slot).m_strReadFrame);
        EXPECT_EQ(CString("leer WRITE"), codec.GetBlockSlot(slot).m_strWriteFrame);
        EXPECT_EQ(-2, codec.GetBlockReadResult(slot));
    }
    EXPECT_THROW(codec.GetBlockSlot(kBlockSlotCount), std::out_of_range);
    EXPECT_EQ(0x15, BlockCodeOfNumber(0x04));
    EXPECT_EQ(0xFF, BlockCodeOfNumber(0x84));
}

TEST(BlockContentAccess, BlankFill)
{
    EXPECT_EQ(CString(' ', 40), CKadmor_Send::PadBlockString(CString()));
    EXPECT_EQ(CString("ab") + CString(' ', 38), CKadmor_Send::PadBlockString("ab"));
    const CString longText('x', 45);
    EXPECT_EQ(longText, CKadmor_Send::PadBlockString(longText));
}

TEST(BlockContentAccess, ParsersKeepTheTextAsReceivedAndReadBlanks)
{
    CKadmor_Send codec;
    BYTE byte14 = 0, byte15 = 0;
    DWORD code = 0, serial = 0;
    CString status;
    codec.KadSend_ReadBlockGetContentStatorHeader(CString(), &code, &serial, &byte14, &byte15, &status);
    EXPECT_EQ(CString(), codec.GetBlockSlot(kSlotStatorHeader).m_strReadFrame);
    EXPECT_EQ(14, codec.GetBlockReadResult(kSlotStatorHeader));
    EXPECT_EQ(0x202020u, code);
    EXPECT_EQ(0x20202020u, serial);
    EXPECT_EQ(0x20, byte14);
    EXPECT_EQ(0x20, byte15);

    // A text of more than 40 characters is neither filled up nor cut.
    CString longer = MakeBlockFrame(0x00, 0x10, {{14, 0x99}}) + "tail";
    codec.KadSend_ReadBlockGetContentStatorHeader(longer, nullptr, nullptr, &byte14, nullptr);
    EXPECT_EQ(longer, codec.GetBlockSlot(kSlotStatorHeader).m_strReadFrame);
    EXPECT_EQ(0x99, byte14);
    EXPECT_EQ(0, codec.GetBlockReadResult(kSlotStatorHeader));
}

}  // namespace
