#pragma once
// Helpers of the codec tests: byte texts written as lists, and block frames whose check words
// are computed here, independently of the codec.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/cstring.h"

#include <ostream>

// Shows byte texts readably in failure messages: printable bytes as they are, others in hex.
void PrintTo(const CString& text, std::ostream* os);

namespace protocol_test {

CString Bytes(std::initializer_list<int> bytes);
std::vector<int> ToInts(const CString& text);

// A 40-byte 'D' answer for block with code byte code; content[i] goes to frame byte 7 + i,
// the rest of bytes 7..33 are filler. Check words and check bytes are right.
CString MakeBlockFrame(int block, int code, const std::vector<std::pair<int, int>>& bytesAt = {});
// Recomputes check words (bytes 34..37) and S, W (38, 39) of a 40-byte frame in place.
void Reseal(CString& frame);
// Sets byte at of a frame text and reseals it.
void SetByteAndReseal(CString& frame, int at, int value);

// Seconds since 1970 of a UTC date.
std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second);

}  // namespace protocol_test

namespace protocol_test {

// Switches the process to another time zone for one test and back to the pinned one.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;
};

}  // namespace protocol_test
