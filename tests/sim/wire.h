#pragma once
// The sensor's side of the wire: check bytes, start-byte doubling, frame building and the
// reader that turns the host's byte stream back into request frames.
//
// Frame layout (both directions): STX, letter, two address bytes, data count n, n data bytes,
// then the check bytes S and W over everything from the letter to the last data byte. On the
// wire every 0x02 after the leading STX is sent twice. Stream records are the exception: they
// are raw bytes without framing.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;
constexpr std::uint8_t kHello = '@';

struct CheckBytes {
    std::uint8_t s = 0;
    std::uint8_t w = 0;
};

// S is the byte sum modulo 256; W sums the successive S values with end-around carry
// (an overflow subtracts 255), so W never becomes 0 once it has wrapped.
CheckBytes ComputeCheckBytes(const std::uint8_t* first, std::size_t count);

// A complete frame before doubling: 0x02, letter, addr1, addr2, n, data, S, W.
Bytes BuildFrame(std::uint8_t letter, std::uint8_t addr1, std::uint8_t addr2, const Bytes& data);

// Doubles every 0x02 after byte 0, as the frame goes onto the wire.
Bytes StuffStx(const Bytes& frame);

// The 16-bit check words of a configuration block over its 28 bytes (code byte and content):
// A is the plain sum, B the running sum of A with end-around carry (an overflow subtracts 65535).
struct BlockCheckWords {
    std::uint16_t a = 0;
    std::uint16_t b = 0;
};
BlockCheckWords ComputeBlockCheckWords(const std::uint8_t* bytes28);

// Splits the host's byte stream into request frames. It drops bytes outside frames, folds
// doubled 0x02 bytes inside a frame, abandons a frame that stays incomplete for longer than
// the inter-byte time-out, and reports two or more 0x02 bytes in a row at a frame boundary as
// a stop signal (the host ends a measured-value stream with a run of 0x02 bytes; no request
// carries 0x02 as its letter).
class HostFrameReader {
public:
    struct Event {
        enum class Kind { Frame, StopSignal };
        Kind kind = Kind::Frame;
        Bytes frame;  // Frame: the whole frame, doubling removed
    };

    explicit HostFrameReader(std::int64_t interByteTimeoutUs = 100'000)
        : m_timeoutUs(interByteTimeoutUs)
    {
    }

    std::vector<Event> Feed(const std::uint8_t* data, std::size_t length, std::int64_t nowUs);
    void Reset();

private:
    enum class State { Idle, GotStx, InFrame, InFrameAfterStx };
    void Append(std::uint8_t byte, std::vector<Event>& events);

    std::int64_t m_timeoutUs;
    std::int64_t m_lastByteUs = 0;
    State m_state = State::Idle;
    bool m_stopReported = false;
    Bytes m_frame;
};

}  // namespace sim
