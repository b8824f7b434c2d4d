#pragma once
// Reading multi-byte fields (high byte first) from a padded block text, and writing its date.
// Internal to the codec.

#include <cstdint>

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace protocol {

inline DWORD BlockUInt16(const CString& block, int at)
{
    return (DWORD{block.ByteAt(at)} << 8) | block.ByteAt(at + 1);
}

inline DWORD BlockUInt24(const CString& block, int at)
{
    return (DWORD{block.ByteAt(at)} << 16) | (DWORD{block.ByteAt(at + 1)} << 8) | block.ByteAt(at + 2);
}

inline DWORD BlockUInt32(const CString& block, int at)
{
    return (DWORD{block.ByteAt(at)} << 24) | (DWORD{block.ByteAt(at + 1)} << 16) |
           (DWORD{block.ByteAt(at + 2)} << 8) | block.ByteAt(at + 3);
}

// Stores a block date (seconds since 1970, UTC) in its place in the block bytes.
void PutBlockDate(BYTE* bytes, std::int64_t date);

// A writable view of a padded block text, byte by byte.
inline BYTE* BlockBytes(CString& block)
{
    return reinterpret_cast<BYTE*>(block.GetBuffer(0));
}

}  // namespace protocol
