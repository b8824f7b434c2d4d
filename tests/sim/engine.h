#pragma once
// The simulated sensor's behaviour, free of threads and clocks: it is given the host's bytes
// and the current time, and returns what the sensor writes back. The drivers (in-process on the
// message loop, or on a pseudo-terminal) decide when it runs and how its writes travel.

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "tests/sim/faults.h"
#include "tests/sim/identity.h"
#include "tests/sim/signal.h"
#include "tests/sim/wire.h"

namespace sim {

struct SensorConfig {
    SensorIdentity identity;
    SignalSpec signalA;
    SignalSpec signalB;
    // Added to a channel's signal while the control signal is switched on.
    std::int16_t controlStepA = 4000;
    std::int16_t controlStepB = 4000;
    // Added to a channel's signal while the test load is on (SensorEngine::SetLoad; SIGUSR2
    // in the program): a known reference load for a calibration.
    std::int16_t loadA = 0;
    std::int16_t loadB = 0;
    // How long a restart keeps the sensor silent before its hello.
    int restartMs = 200;
    // Answer only requests that carry this sensor's number (off: answer every request, as on
    // a point-to-point line, where the host asks number 1 before it knows the real one).
    bool strictAddress = false;
    FaultPlan faults;
};

// Codes of the sensor's negative acknowledgements.
constexpr std::uint8_t kRefuseBadCheck = 1;    // request with wrong check bytes
constexpr std::uint8_t kRefuseBlock = 3;       // block the sensor does not have
constexpr std::uint8_t kRefuseBadRequest = 4;  // unknown letter or data that make no sense

// One piece of what the sensor writes; records carry their ordinal in the stream.
struct Output {
    Bytes bytes;
    long long recordOrdinal = -1;
};

// One write of the sensor: everything it sends at one instant for one cause (the request
// letter; a batch without outputs only tells that a request arrived).
struct Batch {
    std::uint8_t cause = 0;
    std::vector<Output> outputs;
};

class SensorEngine {
public:
    SensorEngine(const SensorConfig& config, std::int64_t startUs);

    void OnHostBytes(const std::uint8_t* data, std::size_t length, std::int64_t nowUs, std::vector<Batch>& out);
    // Sends what is due by now: stream records, the hello at the end of a restart.
    void Advance(std::int64_t nowUs, std::vector<Batch>& out);
    // When Advance next has something to do; -1: nothing planned.
    std::int64_t NextWakeUs() const;

    // The sensor's state, for tests.
    std::uint8_t Address() const { return m_address; }
    bool IsControlOn() const { return m_controlOn; }
    bool IsStreaming() const { return m_stream.active; }
    std::uint8_t StreamSelector() const { return m_stream.selector; }
    std::uint8_t StreamRateByte() const { return m_stream.rateByte; }
    long long RecordsSampled() const { return m_stream.sampled; }
    bool IsSlaveArmed() const { return m_slaveSelector != 0; }
    bool IsRestarting() const { return m_restartDoneUs >= 0; }
    // Power back after a cut: it starts as after a restart request, keeping its blocks.
    void PowerOn(std::int64_t nowUs) { BeginRestart(nowUs); }
    // From now on also refuses what the rule names, as if configured so from the start.
    void AddRefusal(const RefusalRule& rule)
    {
        m_config.faults.refusals.push_back(rule);
        m_refusalLeft.push_back(rule.times);
    }
    // Puts the configured test load on the channels or takes it off.
    void SetLoad(bool on) { m_loadOn = on; }
    bool IsLoadOn() const { return m_loadOn; }
    int CalibrationState() const { return m_calibrationState; }
    const BlockStore& Blocks() const { return m_blocks; }
    int RequestCount(std::uint8_t letter) const;
    // The channel values the sensor measures at a given time, control step and angle zero
    // included.
    std::int16_t ValueA(std::int64_t nowUs) const;
    std::int16_t ValueB(std::int64_t nowUs) const;

    // Multiport: the master's stream clock, and the slaves that sample on it.
    std::int64_t StreamStartUs() const { return m_stream.startUs; }
    std::int64_t StreamPeriodUs() const { return m_stream.periodUs; }
    bool LeadsStream() const { return m_stream.active && !m_stream.follower; }
    void FollowStream(std::int64_t startUs, std::int64_t periodUs);
    void EndFollowing();

    // The time between samples for a rate byte: 200 us per unit (1 -> 5000 samples/s,
    // 25 -> 200/s, 250 -> 20/s). Without a rate reduction every sample is a record.
    static std::int64_t RecordPeriodUs(std::uint8_t rateByte) { return 200 * static_cast<std::int64_t>(rateByte); }
    // The rate reduction the software-configuration block holds (bytes 30 and 31): the stream
    // sends one record, the mean of that many samples, per that many samples; 1 while the block
    // holds none or a count outside 1 to 9999.
    int RateReduction() const;

private:
    struct Stream {
        bool active = false;
        bool follower = false;
        std::uint8_t selector = 'C';
        std::uint8_t rateByte = 25;
        std::int64_t startUs = 0;
        std::int64_t periodUs = 5000;  // between two records
        int reduction = 1;             // samples averaged into one record, periodUs / reduction apart
        long long sampled = 0;  // records sampled so far (lost ones included)
    };

    void HandleFrame(const Bytes& frame, std::int64_t nowUs, std::vector<Batch>& out);
    void HandleWhileStreaming(std::uint8_t letter, const Bytes& data, std::int64_t nowUs, Batch& batch);
    void HandleRequest(std::uint8_t letter, const Bytes& data, std::int64_t nowUs, Batch& batch);
    void StartStream(std::uint8_t selector, std::uint8_t rateByte, std::int64_t nowUs);
    void StopStreams();
    void BeginRestart(std::int64_t nowUs);
    void FinishRestart();
    void EmitRecords(std::int64_t nowUs, std::vector<Batch>& out);
    Bytes Record(long long ordinal) const;

    // Answer frames, with the check-byte faults applied, ready for the wire.
    void Answer(Batch& batch, std::uint8_t letter, const Bytes& data);
    void Ack(Batch& batch) { Answer(batch, kAck, {}); }
    void Refuse(Batch& batch, std::uint8_t code) { Answer(batch, kNak, {code}); }
    bool TakeRefusal(std::uint8_t letter, const Bytes& data, std::uint8_t& code);

    SensorConfig m_config;
    std::int64_t m_bootUs;
    HostFrameReader m_reader;
    BlockStore m_blocks;
    std::uint8_t m_address;
    int m_calibrationState = 1;
    bool m_controlOn = false;
    bool m_loadOn = false;
    std::int32_t m_angleZero = 0;
    std::uint8_t m_slaveSelector = 0;  // armed by the slave set-up: the channel it streams
    std::int64_t m_restartDoneUs = -1;
    Stream m_stream;
    std::map<std::uint8_t, int> m_requests;
    std::vector<int> m_badCheckLeft;
    std::vector<int> m_refusalLeft;
};

}  // namespace sim
