// Feeds arbitrary host byte streams to the simulated sensor: its request reader (framing,
// doubled start bytes, the inter-byte time-out, stop signals) and the answers to every request
// letter, block writes and stream set-ups included. The sensor serves every end-to-end test and
// the program km3-sensor-sim, where it reads whatever a test or a user sends to its terminal.
//
// Input: byte 0 the sensor's switches (strict addressing, its number); then writes, each a
// length byte, a byte of milliseconds that pass before it, and that many bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/sim/engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    sim::SensorConfig config;
    config.strictAddress = (data[0] & 0x80) != 0;
    config.identity.address = static_cast<std::uint8_t>(1 + (data[0] & 0x07));
    config.restartMs = 5;
    std::int64_t nowUs = 1'000'000;
    sim::SensorEngine sensor(config, nowUs);

    std::vector<sim::Batch> out;
    std::size_t pos = 1;
    while (pos + 2 <= size) {
        const std::size_t length = std::min<std::size_t>(data[pos], size - pos - 2);
        nowUs += 1000 * static_cast<std::int64_t>(data[pos + 1]);
        pos += 2;
        sensor.Advance(nowUs, out);
        sensor.OnHostBytes(data + pos, length, nowUs, out);
        pos += length;
        // Streams run at up to 5000 records a second: keep what one input can ask for bounded.
        if (out.size() > 4096) out.clear();
    }
    const std::int64_t next = sensor.NextWakeUs();
    if (next >= 0 && next - nowUs < 50'000) sensor.Advance(next, out);
    return 0;
}
