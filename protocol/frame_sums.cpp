// Check bytes S and W, start-byte doubling and the answer check.

#include "protocol/kadmor_send.h"

namespace {

constexpr BYTE kStx = 0x02;
constexpr int kFrameOverhead = 7;  // STX, letter, two address bytes, n, S, W
constexpr int kLongestAnswer = 41;

// S is the byte sum modulo 256; W sums the successive S values with end-around carry, so an
// overflow takes off 255, not 256.
void AccumulateSums(BYTE b, unsigned& sum, unsigned& weighted)
{
    sum += b;
    if (sum > 255) sum -= 256;
    weighted += sum;
    if (weighted > 255) weighted -= 255;
}

}  // namespace

void CKadmor_Send::CalcFrameSums(const BYTE* first, BYTE* out, int last)
{
    unsigned sum = 0, weighted = 0;
    for (int i = 0; i <= last; ++i) AccumulateSums(first[i], sum, weighted);
    out[0] = static_cast<BYTE>(sum);
    out[1] = static_cast<BYTE>(weighted);
}

void CKadmor_Send::FrameToString(CString& out, const BYTE* frame)
{
    const int length = kFrameOverhead + frame[4];
    CString text(static_cast<char>(frame[0]));
    for (int i = 1; i < length; ++i) {
        text.AppendChar(static_cast<char>(frame[i]));
        if (frame[i] == kStx) text.AppendChar(static_cast<char>(kStx));
    }
    out = text;
}

int CKadmor_Send::StuffStxInPlace(BYTE* buffer, int length)
{
    for (int i = 1; i < length; ++i) {
        if (buffer[i] != kStx) continue;
        for (int j = length; j > i; --j) buffer[j] = buffer[j - 1];
        ++length;
        ++i;  // skip the copy just made
    }
    return length;
}

int CKadmor_Send::CheckAnswerFrame(CString answer)
{
    const int length = answer.GetLength();
    if (length > kLongestAnswer) return kAnswerTooLong;
    // A frame must hold its head, its announced data and both check bytes; anything shorter
    // cannot be checked and is never good.
    if (length < kFrameOverhead) return kAnswerTooShort;
    const int n = answer.ByteAt(4);
    if (length < kFrameOverhead + n) return kAnswerTooShort;

    BYTE sums[2];
    CalcFrameSums(answer.bytes() + 1, sums, 3 + n);
    int result = 0;
    if (sums[0] != answer.ByteAt(length - 2)) result += kAnswerSumWrong;
    if (sums[1] != answer.ByteAt(length - 1)) result += kAnswerWeightedSumWrong;
    return result;
}

void AppendFrameSums(CString& frame)
{
    unsigned sum = 0, weighted = 0;
    for (int i = 1; i < frame.GetLength(); ++i) AccumulateSums(frame.ByteAt(i), sum, weighted);
    frame.AppendChar(static_cast<char>(sum));
    frame.AppendChar(static_cast<char>(weighted));
}

void StuffStx(CString& frame)
{
    CString stuffed(static_cast<char>(kStx));
    for (int i = 1; i < frame.GetLength(); ++i) {
        const char ch = frame.GetAt(i);
        stuffed.AppendChar(ch);
        if (static_cast<BYTE>(ch) == kStx) stuffed.AppendChar(ch);
    }
    frame = stuffed;
}
