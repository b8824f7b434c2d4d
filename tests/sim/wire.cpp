#include "tests/sim/wire.h"

namespace sim {

CheckBytes ComputeCheckBytes(const std::uint8_t* first, std::size_t count)
{
    unsigned s = 0;
    unsigned w = 0;
    for (std::size_t i = 0; i < count; ++i) {
        s += first[i];
        if (s > 255) s -= 256;
        w += s;
        if (w > 255) w -= 255;
    }
    return {static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(w)};
}

Bytes BuildFrame(std::uint8_t letter, std::uint8_t addr1, std::uint8_t addr2, const Bytes& data)
{
    Bytes frame;
    frame.reserve(7 + data.size());
    for (std::uint8_t b : {kStx, letter, addr1, addr2, static_cast<std::uint8_t>(data.size())}) frame.push_back(b);
    for (std::uint8_t b : data) frame.push_back(b);
    const CheckBytes check = ComputeCheckBytes(frame.data() + 1, frame.size() - 1);
    frame.push_back(check.s);
    frame.push_back(check.w);
    return frame;
}

Bytes StuffStx(const Bytes& frame)
{
    Bytes out;
    out.reserve(frame.size() + 4);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        out.push_back(frame[i]);
        if (i > 0 && frame[i] == kStx) out.push_back(kStx);
    }
    return out;
}

BlockCheckWords ComputeBlockCheckWords(const std::uint8_t* bytes28)
{
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    for (int i = 0; i < 28; ++i) {
        a += bytes28[i];
        if (a > 65535) a -= 65536;
        b += a;
        if (b > 65535) b -= 65535;
    }
    return {static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b)};
}

void HostFrameReader::Reset()
{
    m_state = State::Idle;
    m_stopReported = false;
    m_frame.clear();
}

std::vector<HostFrameReader::Event> HostFrameReader::Feed(const std::uint8_t* data,
                                                          std::size_t length, std::int64_t nowUs)
{
    std::vector<Event> events;
    if (length == 0) return events;
    if (m_state != State::Idle && nowUs - m_lastByteUs > m_timeoutUs) Reset();
    m_lastByteUs = nowUs;

    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t byte = data[i];
        switch (m_state) {
        case State::Idle:
            if (byte == kStx) {
                m_frame.assign(1, kStx);
                m_state = State::GotStx;
                m_stopReported = false;
            }
            break;
        case State::GotStx:
            if (byte == kStx) {
                if (!m_stopReported) events.push_back({Event::Kind::StopSignal, {}});
                m_stopReported = true;
            } else {
                Append(byte, events);
            }
            break;
        case State::InFrame:
            if (byte == kStx) {
                m_state = State::InFrameAfterStx;
            } else {
                Append(byte, events);
            }
            break;
        case State::InFrameAfterStx:
            if (byte == kStx) {
                m_state = State::InFrame;
                Append(kStx, events);
            } else {
                // A single 0x02 inside a frame starts the next one: the frame before it was
                // cut short and is abandoned.
                m_frame.assign(1, kStx);
                m_state = State::GotStx;
                m_stopReported = false;
                Append(byte, events);
            }
            break;
        }
    }
    return events;
}

void HostFrameReader::Append(std::uint8_t byte, std::vector<Event>& events)
{
    m_frame.push_back(byte);
    m_state = State::InFrame;
    if (m_frame.size() >= 5 && m_frame.size() == 7u + m_frame[4]) {
        events.push_back({Event::Kind::Frame, std::move(m_frame)});
        m_frame.clear();
        m_state = State::Idle;
    }
}

}  // namespace sim
