// Writes the seed corpora made of the simulated sensor's answers: what a sensor really sends
// lets the fuzzers start deep inside the parsers instead of guessing frames and check bytes.
// Run once after a change of a target's input form, then commit the files:
//
//   build-fuzz/fuzz/sim/km3-fuzz-seeds fuzz
//
// It writes fuzz/workflow/seeds/fuzz_workflow_receive/, fuzz/protocol/seeds/fuzz_codec/,
// fuzz/sim/seeds/fuzz_sim_request/, fuzz/sensor_admin/seeds/fuzz_calibration/ and
// fuzz/measurement/seeds/fuzz_setup_fields/. The first bytes of each seed follow the input form that
// the target's source describes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/sim/engine.h"

namespace {

using sim::Bytes;

// Indices into kChainStates of fuzz/workflow/workflow_receive_fuzz.cpp.
constexpr std::uint8_t kStateStartMeasure = 0;
constexpr std::uint8_t kStateSingleShot = 4;
constexpr std::uint8_t kStateStartInit = 5;
constexpr std::uint8_t kStateGetStatus = 8;
constexpr std::uint8_t kStateSearchConnected = 12;
constexpr std::uint8_t kStateSearchAddresses = 13;
constexpr std::uint8_t kStateUserCalibActivate = 14;
constexpr std::uint8_t kStateStatorOperationWrite = 22;
// Indices into kPortStates there, of the acknowledged writes and switches.
constexpr std::uint8_t kFirstAckPortState = 10;
constexpr std::uint8_t kAckPortStates = 7;
// Answer choices of ExpectAnswer there, and its page switches.
constexpr std::uint8_t kExpectValue = 1;
constexpr std::uint8_t kExpectStatus = 2;
constexpr std::uint8_t kExpectFirstBlock = 5;
constexpr std::uint8_t kExpectAck = 13;
constexpr std::uint8_t kWithPages = 0x10;
constexpr std::uint8_t kWithoutChannelB = 0x20;
constexpr std::uint8_t kWithoutChannelA = 0x40;
constexpr std::uint8_t kAngleChannel = 0x80;

const std::uint8_t kBlocks[] = {0x00, 0x01, 0x02, 0x03, 0x80, 0x81, 0x82, 0x83};

class Sensor {
public:
    Sensor() : m_engine(Config(), m_nowUs) {}

    // The sensor's whole answer to one request, as it arrives on the line.
    Bytes Ask(std::uint8_t letter, const Bytes& data = {}, int waitMs = 0)
    {
        const Bytes wire = sim::StuffStx(sim::BuildFrame(letter, 1, 0xFF, data));
        std::vector<sim::Batch> out;
        m_engine.OnHostBytes(wire.data(), wire.size(), m_nowUs, out);
        for (int ms = 0; ms < waitMs; ++ms) {
            m_nowUs += 1000;
            m_engine.Advance(m_nowUs, out);
        }
        Bytes answer;
        for (const sim::Batch& batch : out)
            for (const sim::Output& output : batch.outputs) answer.insert(answer.end(), output.bytes.begin(), output.bytes.end());
        return answer;
    }

private:
    static sim::SensorConfig Config()
    {
        sim::SensorConfig config;
        config.identity.calibrationState = 3;
        return config;
    }
    std::int64_t m_nowUs = 1'000'000;
    sim::SensorEngine m_engine;
};

// The frame as the codec reads it: doubled start bytes after the first undone.
Bytes Unstuffed(const Bytes& wire)
{
    Bytes frame;
    for (std::size_t i = 0; i < wire.size(); ++i) {
        frame.push_back(wire[i]);
        if (i > 0 && wire[i] == sim::kStx && i + 1 < wire.size() && wire[i + 1] == sim::kStx) ++i;
    }
    return frame;
}

void Write(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes)
{
    std::filesystem::create_directories(folder);
    std::FILE* file = std::fopen((folder / name).c_str(), "wb");
    if (!file) {
        std::perror((folder / name).c_str());
        std::exit(1);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// A receive-chain seed: state, switches, expected answer, then the deliveries, each at most
// 255 bytes with its length byte.
Bytes ChainSeed(std::uint8_t state, std::uint8_t switches, std::uint8_t expect, const std::vector<Bytes>& deliveries)
{
    Bytes seed = {state, switches, expect};
    for (const Bytes& delivery : deliveries) {
        for (std::size_t pos = 0; pos < delivery.size(); pos += 255) {
            const std::size_t n = std::min<std::size_t>(255, delivery.size() - pos);
            seed.push_back(static_cast<std::uint8_t>(n));
            seed.insert(seed.end(), delivery.begin() + static_cast<long>(pos), delivery.begin() + static_cast<long>(pos + n));
        }
    }
    return seed;
}

// A multiport seed: deliveries on ports 0 and 1, each padded to the four-byte steps of the
// target's length field.
Bytes PortSeed(std::uint8_t portState, std::uint8_t expect, const Bytes& delivery)
{
    Bytes seed = {static_cast<std::uint8_t>(0x80 | 3 * portState), 0x00, expect};
    Bytes padded = delivery;
    padded.resize((padded.size() + 3) / 4 * 4, 0x00);
    for (std::uint8_t port = 0; port < 2; ++port) {
        seed.push_back(static_cast<std::uint8_t>(port << 6 | padded.size() / 4));
        seed.insert(seed.end(), padded.begin(), padded.end());
    }
    return seed;
}

// The data of an answer frame: what lies between its length byte and its check bytes.
Bytes FrameData(const Bytes& wire)
{
    const Bytes frame = Unstuffed(wire);
    return frame.size() > 7 ? Bytes(frame.begin() + 5, frame.end() - 2) : Bytes{};
}

// A calibration seed: switches, reference values, readings taken before, the user
// calibration block, then the value answer repeated count times.
Bytes CalibrationSeed(std::uint8_t switches, const Bytes& userBlock, const Bytes& value, int count)
{
    Bytes seed = {switches, 0x27, 0x10, 0x27, 0x10, 0x80, 0x00, 0x80, 0x00, 0x90, 0x00, 0x90, 0x00};
    seed.push_back(static_cast<std::uint8_t>(userBlock.size()));
    seed.insert(seed.end(), userBlock.begin(), userBlock.end());
    for (; count > 0; count -= 256) {
        seed.push_back(static_cast<std::uint8_t>(std::min(count, 256) - 1));
        seed.push_back(static_cast<std::uint8_t>(value.size()));
        seed.insert(seed.end(), value.begin(), value.end());
    }
    return seed;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <fuzz folder of the repository>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const auto chain = root / "workflow" / "seeds" / "fuzz_workflow_receive";
    const auto codec = root / "protocol" / "seeds" / "fuzz_codec";
    const auto requests = root / "sim" / "seeds" / "fuzz_sim_request";
    const auto calibration = root / "sensor_admin" / "seeds" / "fuzz_calibration";
    const auto setupFields = root / "measurement" / "seeds" / "fuzz_setup_fields";

    Sensor sensor;
    const Bytes status = sensor.Ask('B');
    const Bytes value = sensor.Ask('A');
    const Bytes ack = sensor.Ask('E', {0x01});
    std::vector<Bytes> blocks;
    for (std::uint8_t block : kBlocks) blocks.push_back(sensor.Ask('D', {block}));
    const Bytes refusal = sensor.Ask('D', {0x42});
    const Bytes hello = sensor.Ask('K', {}, 300);
    const Bytes stream = sensor.Ask('Z', {0x03, 25, 0, 0, 'C'}, 60);

    // The identification: status answer, then the eight blocks, each asked for by the last.
    std::vector<Bytes> identification = {status};
    identification.insert(identification.end(), blocks.begin(), blocks.end());
    Write(chain, "identification", ChainSeed(kStateStartInit, 0x40, kExpectStatus, identification));
    Write(chain, "status", ChainSeed(kStateGetStatus, 0x00, kExpectStatus, {status}));
    Write(chain, "search_status", ChainSeed(kStateSearchAddresses, 0x60, kExpectStatus, {status}));
    Write(chain, "search_connected", ChainSeed(kStateSearchConnected, 0x40, kExpectStatus, {status, blocks[0]}));
    for (std::size_t i = 0; i < blocks.size(); ++i)
        Write(chain, "block_" + std::to_string(i), ChainSeed(kStateStartInit, 0x40, static_cast<std::uint8_t>(kExpectFirstBlock + i), {blocks[i]}));
    Write(chain, "refusal", ChainSeed(kStateStartInit, 0x40, kExpectFirstBlock, {refusal}));
    Write(chain, "activation_ack_hello", ChainSeed(kStateUserCalibActivate, 0x00, 0, {ack, hello}));
    Write(chain, "operation_write_ack", ChainSeed(kStateStatorOperationWrite, 0x00, 0, {ack, hello}));
    Write(chain, "single_shot", ChainSeed(kStateSingleShot, 0x00, kExpectValue, {value}));
    Write(chain, "stream", ChainSeed(kStateStartMeasure, 0x06, 0, {stream}));
    // One channel of the set-up page selected: records of three bytes.
    const Bytes streamA = sensor.Ask('Z', {0x03, 25, 0, 0, 'A'}, 60);
    const Bytes streamB = sensor.Ask('Z', {0x03, 25, 0, 0, 'B'}, 60);
    Write(chain, "stream_channel_a", ChainSeed(kStateStartMeasure, 0x06, kWithPages | kWithoutChannelB, {streamA}));
    Write(chain, "stream_channel_b", ChainSeed(kStateStartMeasure, 0x06, kWithPages | kWithoutChannelA, {streamB}));
    Write(chain, "stream_angle", ChainSeed(kStateStartMeasure, 0x06, kWithPages | kWithoutChannelB | kAngleChannel, {streamA}));
    // The acknowledgement of each write or switch on the ports of a multiport device.
    for (std::uint8_t i = 0; i < kAckPortStates; ++i)
        Write(chain, "port_ack_" + std::to_string(i), PortSeed(kFirstAckPortState + i, kWithPages | kExpectAck, ack));

    // A calibration: the zero point, the control signal, and the scale value that ends in the
    // computation (zero point and control signal taken, the new values accepted, with and
    // without the control signal, on a single and a dual device).
    const Bytes& userBlock = blocks[6];
    const Bytes valueData = value;
    Write(calibration, "zero_point", CalibrationSeed(0x00, userBlock, valueData, 300));
    Write(calibration, "control_signal", CalibrationSeed(0x0A, userBlock, valueData, 300));
    Write(calibration, "scale_value", CalibrationSeed(0x99, userBlock, valueData, 300));
    Write(calibration, "scale_without_control", CalibrationSeed(0x8D, userBlock, valueData, 300));
    Write(calibration, "scale_dual_device", CalibrationSeed(0xF9, userBlock, valueData, 300));

    // The set-up page's reader: the data of the eight block answers.
    Bytes setup;
    for (const Bytes& block : blocks) {
        const Bytes content = FrameData(block);
        setup.push_back(static_cast<std::uint8_t>(content.size()));
        setup.insert(setup.end(), content.begin(), content.end());
    }
    Write(setupFields, "identification", setup);

    // The codec: byte 0 the reader (0 answers and status, 1 + 4 n block parser n, 2 block date),
    // byte 1 language and option code.
    Bytes seed = {0, 0x20};
    const Bytes statusFrame = Unstuffed(status);
    seed.insert(seed.end(), statusFrame.begin(), statusFrame.end());
    Write(codec, "status", seed);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Bytes frame = Unstuffed(blocks[i]);
        seed = {static_cast<std::uint8_t>(1 + 4 * i), static_cast<std::uint8_t>(0x20 * (i % 5))};
        seed.insert(seed.end(), frame.begin(), frame.end());
        Write(codec, "block_" + std::to_string(i), seed);
    }
    seed = {2, 0xC0};
    const Bytes dated = Unstuffed(blocks[1]);
    seed.insert(seed.end(), dated.begin(), dated.end());
    Write(codec, "date", seed);
    Write(codec, "options", {3, 0x45, '1', '2', '.', '5'});

    // The sensor's request reader: switches, then writes (length, milliseconds before, bytes).
    const auto request = [](std::uint8_t letter, const Bytes& data, std::uint8_t ms) {
        const Bytes wire = sim::StuffStx(sim::BuildFrame(letter, 1, 0xFF, data));
        Bytes write = {static_cast<std::uint8_t>(wire.size()), ms};
        write.insert(write.end(), wire.begin(), wire.end());
        return write;
    };
    const auto concat = [](std::initializer_list<Bytes> parts) {
        Bytes all = {0x01};
        for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    Write(requests, "status_value", concat({request('B', {}, 0), request('A', {}, 5)}));
    Write(requests, "block_read_write", concat({request('D', {0x02}, 0), request('F', Bytes(40, 0x30), 5)}));
    Write(requests, "stream_stop", concat({request('Z', {0x03, 25, 0, 0, 'C'}, 0), request('E', {0x01}, 20),
                                          Bytes{10, 10, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}}));
    Write(requests, "restart", concat({request('K', {}, 0), request('M', {}, 250)}));
    std::printf("seeds written under %s\n", root.c_str());
    return 0;
}
