#pragma once
// Helpers shared by the simulated sensor's tests.

#include <string>

#include "platform/cstring.h"
#include "tests/sim/engine.h"
#include "tests/sim/wire.h"

namespace sim::testing {

inline Bytes ToBytes(const CString& text) { return Bytes(text.bytes(), text.bytes() + text.GetLength()); }

inline std::string Hex(const Bytes& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

// A request as the host puts it on the wire: address (number, 0xFF), doubled start bytes.
inline Bytes Request(std::uint8_t letter, const Bytes& data = {}, std::uint8_t number = 1)
{
    return StuffStx(BuildFrame(letter, number, 0xFF, data));
}

// Removes the doubling of start bytes from one answer frame.
inline Bytes Unstuff(const Bytes& wire)
{
    Bytes out;
    for (std::size_t i = 0; i < wire.size(); ++i) {
        out.push_back(wire[i]);
        if (i > 0 && wire[i] == kStx && i + 1 < wire.size() && wire[i + 1] == kStx) ++i;
    }
    return out;
}

inline bool CheckBytesRight(const Bytes& frame)
{
    if (frame.size() < 7 || frame.size() != 7u + frame[4]) return false;
    const CheckBytes check = ComputeCheckBytes(frame.data() + 1, frame.size() - 3);
    return check.s == frame[frame.size() - 2] && check.w == frame[frame.size() - 1];
}

}  // namespace sim::testing

#include <vector>

#include "platform/message_loop.h"
#include "tests/sim/device.h"

namespace sim::testing {

// Collects what a simulated port delivers, with the loop time of each delivery.
struct Recorder {
    struct Delivery {
        std::int64_t atMs;
        Bytes bytes;
    };
    platform::MessageLoop& loop;
    std::vector<Delivery> deliveries;
    bool hungUp = false;

    Recorder(platform::MessageLoop& l, SimPort& port) : loop(l)
    {
        port.SetDeliveryCallback([this](const CString& bytes) { deliveries.push_back({loop.NowMs(), ToBytes(bytes)}); });
        port.SetHangupCallback([this] { hungUp = true; });
    }
    Bytes All() const
    {
        Bytes all;
        for (const auto& d : deliveries) all.insert(all.end(), d.bytes.begin(), d.bytes.end());
        return all;
    }
    void Clear() { deliveries.clear(); }
};

}  // namespace sim::testing
