// Recognising a sensor's measured-value stream in bytes that arrived unasked.

#include <array>

#include "protocol/kadmor_send.h"

namespace {

// Records are led by a sequence byte that counts up by one modulo 256: three bytes for one
// channel, five for two. Seven records in order happen by chance in other bytes less often than
// once in 2^48 places, while every 43 bytes of a stream hold at least seven whole records.
constexpr int kRecordLengths[] = {3, 5};

}  // namespace

bool CKadmor_Send::HoldsValueRecords(const CString& bytes)
{
    const int length = bytes.GetLength();
    for (int recordLength : kRecordLengths) {
        // Per phase of the record grid: how many records in order end at the byte looked at.
        std::array<int, 5> inOrder{};
        for (int i = recordLength; i < length; ++i) {
            int& run = inOrder[static_cast<std::size_t>(i % recordLength)];
            const BYTE expected = static_cast<BYTE>(bytes.ByteAt(i - recordLength) + 1);
            run = bytes.ByteAt(i) == expected ? run + 1 : 0;
            if (run + 1 >= kValueRecordsInOrder) return true;
        }
    }
    return false;
}
