// Feeds arbitrary sensor answers to the codec's readers: the answer check, the long status
// answer, the block check and the eight block parsers (with their date texts), and the option
// code tables. A parsed block is then patched back through its builder, as the configuration
// pages do with what they read. None of it may crash, read out of bounds or overflow.
//
// Input: byte 0 chooses the reader, byte 1 the language and a code for the option tables; the
// rest is the answer as it came off the line (start bytes already undoubled).
#include <cstddef>
#include <cstdint>

#include "protocol/kadmor_send.h"

namespace {

constexpr int kLanguages[] = {kLanguageGerman, kLanguageEnglish, kLanguageFrench, kLanguageSpanish, kDateTextYearFirst};

void ReadOptionCodes(CKadmor_Send& codec, BYTE code, const CString& answer, int language)
{
    CString text;
    int index = 0;
    int count = 0;
    codec.DecodeCountCode(text, code, &index, &count);
    const int range = answer.GetLength() >= 2 ? (answer.ByteAt(0) << 8 | answer.ByteAt(1)) : code;
    CKadmor_Send::EncodeRangeCode(CKadmor_Send::DecodeRangeCode(range));
    CKadmor_Send::GetSourceTypeCode(code);
    CKadmor_Send::FormatDecimalCode16(text, static_cast<DWORD>(range));
    CKadmor_Send::DecimalCode16Value(static_cast<DWORD>(range));
    const BYTE variant = answer.GetLength() >= 3 ? answer.ByteAt(2) : 0;
    codec.GetStatorTypeName(text, code, range & 0xFF, variant, code & 1, language);
    CString number, unit;
    int unitIndex = 0, decimals = 0;
    double factor = 0;
    codec.FormatValueByTypeClass(text, answer, code, language, &number, &unit, &unitIndex, &factor, &decimals);
}

void ReadStatus(CKadmor_Send& codec, const CString& answer)
{
    BYTE b[13] = {};
    CString text;
    codec.DecodeStatusLong(answer, &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &b[8], &b[9], &b[10],
                           &b[11], &b[12], &text);
}

// Parses the block as the reader chosen by which, then writes the values read back into it.
void ReadBlock(CKadmor_Send& codec, int which, const CString& block, int language)
{
    std::int64_t date = 0;
    BlockDateTm tm;
    CString dateText, status, s1, s2;
    DWORD d[12] = {};
    double v[8] = {};
    BYTE b[20] = {};
    LONG offsetA = 0, offsetB = 0;
    int setupCount = 0, byte32 = 0;
    CString frame = block;
    switch (which) {
    case 0:
        codec.KadSend_ReadBlockGetContentStatorHeader(block, &d[0], &d[1], &b[0], &b[1], &status);
        break;
    case 1:
        codec.KadSend_ReadBlockGetContentStatorHardware(block, &date, &tm, &b[0], &b[1], &dateText, &status);
        break;
    case 2:
        codec.KadSend_ReadBlockGetContentStatorOperation(block, &date, &tm, &b[0], &b[1], &b[2], &b[3], &b[4],
                                                         &b[5], &b[6], &d[0], &d[1], &dateText, &status);
        if (codec.PrepareWriteBlockFrame(frame, 0x02))
            codec.KadSend_WriteBlockSetContentStatorOperation(&frame, &date, &b[0], &b[2], &b[3], &b[4], &b[5],
                                                             &b[6], &d[0], &d[1]);
        break;
    case 3:
        codec.KadSend_ReadBlockGetContentStatorSoftwareConfiguration(
            block, &b[0], &v[0], &v[1], &s1, &s2, &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &b[8], &b[9],
            &b[10], &setupCount, &byte32, &b[11], &b[12], &status);
        if (codec.PrepareWriteBlockFrame(frame, 0x03))
            codec.KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
                &frame, &b[0], &v[0], &v[1], &s1, &s2, &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &b[8],
                &b[9], &b[10], &setupCount, &byte32, &b[11], &b[12]);
        break;
    case 4:
        codec.KadSend_ReadBlockGetContentRotorHeader(block, &d[0], &d[1], &b[0], &b[1], &d[2], &v[0], &b[2], &b[3],
                                                     &d[3], &v[1], &b[4], &status);
        break;
    case 5:
    case 6: {
        const bool user = which == 6;
        DWORD rawDate = 0;
        if (user)
            codec.KadSend_ReadBlockGetContentRotorCalibUser(block, &date, &tm, &d[0], &v[0], &offsetA, &d[1], &v[1],
                                                            &offsetB, &d[2], &v[2], &d[3], &v[3], &d[4], &d[5],
                                                            &d[6], &v[4], &d[7], &v[5], &dateText, &status, &rawDate);
        else
            codec.KadSend_ReadBlockGetContentRotorCalibFactory(block, &date, &tm, &d[0], &v[0], &offsetA, &d[1],
                                                               &v[1], &offsetB, &d[2], &v[2], &d[3], &v[3], &d[4],
                                                               &d[5], &d[6], &v[4], &d[7], &v[5], &dateText, &status,
                                                               kCalibFactory, &rawDate);
        if (codec.PrepareWriteBlockFrame(frame, user ? 0x82 : 0x81)) {
            if (user)
                codec.KadSend_WriteBlockSetContentRotorCalibUser(&frame, &date, &d[0], &offsetA, &d[1], &offsetB,
                                                                 &d[2], &d[3], &d[4], &d[5], &d[6], &d[7]);
            else
                codec.KadSend_WriteBlockSetContentRotorCalibFactory(&frame, &date, &d[0], &offsetA, &d[1], &offsetB,
                                                                    &d[2], &d[3], &d[4], &d[5], &d[6], &d[7],
                                                                    kCalibFactory);
        }
        break;
    }
    default:
        codec.KadSend_ReadBlockGetContentRotorOperation(block, &date, &tm, &dateText, &s1, &s2, &status);
        if (codec.PrepareWriteBlockFrame(frame, 0x83))
            codec.KadSend_WriteBlockSetContentRotorOperation(&frame, &date, &s1, &s2);
        break;
    }
    CKadmor_Send::FormatBlockDateText(language, &dateText, &date, nullptr);
    CKadmor_Send::FormatBlockDateText(language, &dateText, nullptr, &tm);
    CString message;
    CKadmor_Send::CheckBlock(block, &message);
    CString out;
    codec.BuildWriteBlockFrame(out, frame, (which & 1) != 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const int choice = data[0];
    const int language = kLanguages[(data[1] >> 5) % std::size(kLanguages)];
    const BYTE code = data[1];
    const CString answer(data + 2, static_cast<int>(size - 2));

    CKadmor_Send codec;
    switch (choice % 4) {
    case 0:
        CKadmor_Send::CheckAnswerFrame(answer);
        ReadStatus(codec, answer);
        break;
    case 1:
        ReadBlock(codec, (choice >> 2) % 8, answer, language);
        break;
    case 2: {
        std::int64_t date = 0;
        BlockDateTm tm;
        CString text;
        DWORD raw = 0;
        CKadmor_Send::ReadBlockDate(answer, &date, &tm, &text, &raw);
        CKadmor_Send::FormatBlockDateText(language, &text, &date, &tm);
        break;
    }
    default:
        ReadOptionCodes(codec, code, answer, language);
        break;
    }
    return 0;
}
