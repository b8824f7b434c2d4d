#pragma once
// Reading multi-byte fields (high byte first) from a padded block text. Internal to the codec.

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

// A writable view of a padded block text, byte by byte.
inline BYTE* BlockBytes(CString& block)
{
    return reinterpret_cast<BYTE*>(block.GetBuffer(0));
}

}  // namespace protocol
