// Recorded measured-value streams through the controller's receive path into a counting
// new-values entry: one port with two channels (5-byte records), and a multiport device of four
// ports (3-byte records each, merged into value sets). Reports records per second and the time
// per record.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/message_loop.h"
#include "platform/wnd.h"
#include "tests/workflow/peer_defaults.h"
#include "workflow/com_port.h"

namespace {

// The new-values entry counts; everything else the frame offers does nothing.
class CountingFrame : public workflow_test::FrameDefaults {
public:
    explicit CountingFrame(platform::MessageLoop& loop) : FrameDefaults(m_window), m_window(loop) {}
    void RefreshChannelViews(int) override { ++sets; }
    long long sets = 0;

private:
    CWnd m_window;
};

// The controller on a virtual-time loop, with the counting frame as its only peer.
struct CountingController {
    CountingController()
    {
        workflow::WorkflowPeers peers;
        peers.frame = &frame;
        com.SetPeers(peers);
    }
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    CountingFrame frame{loop};
    CComPort com;
};

constexpr int kRecordsPerPort = 25600;  // a whole number of sequence wraps
constexpr int kRecordsPerDelivery = 40;

CString Ack() { return CString("\x02\x06\xFF\x01\x00\x06\x17", 7); }

// One port's recording, cut into deliveries as a port worker hands them over.
std::vector<CString> Recording(int recordLength, int valueOffset)
{
    std::vector<CString> deliveries;
    CString delivery;
    for (int i = 0; i < kRecordsPerPort; ++i) {
        const int value = (i * 7 + valueOffset) % 30000;
        delivery.AppendChar(static_cast<char>(i & 0xFF));
        for (int c = 1; c < recordLength; c += 2) {
            delivery.AppendChar(static_cast<char>((value >> 8) & 0xFF));
            delivery.AppendChar(static_cast<char>(value & 0xFF));
        }
        if ((i + 1) % kRecordsPerDelivery == 0) {
            deliveries.push_back(delivery);
            delivery.Empty();
        }
    }
    return deliveries;
}

void BM_SinglePortTwoChannels(benchmark::State& state)
{
    CountingController rig;
    CComPort& com = rig.com;
    com.SetSensorAddress(1, 0xFF);
    com.SetInterpolateLostValues(1);
    com.SetZMCOMConfgFlow(ZM_START_MEASURE_SOSM);
    com.m_bMeasureRunning = 1;
    com.m_nDisplayDecimation = 10;
    const CString ack = Ack();
    com.OnReceiveChain(ack.GetLength(), reinterpret_cast<LPARAM>(ack.bytes()));
    const std::vector<CString> recording = Recording(5, 0);
    for (auto _ : state) {
        for (const CString& delivery : recording)
            com.OnReceiveChain(static_cast<WPARAM>(delivery.GetLength()), reinterpret_cast<LPARAM>(delivery.bytes()));
    }
    if (rig.frame.sets != static_cast<long long>(state.iterations()) * kRecordsPerPort) state.SkipWithError("records lost");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecordsPerPort);
    state.counters["time/record"] = benchmark::Counter(static_cast<double>(state.iterations()) * kRecordsPerPort,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_FourPortsMerged(benchmark::State& state)
{
    constexpr int kPorts = 4;
    CountingController rig;
    CComPort& com = rig.com;
    com.m_nCountActivePorts = kPorts;
    com.COM_ResetRealSensorIndex();
    com.SetInterpolateLostValues(1);
    com.SetZMCOMConfgFlow(ZM_4xS_START_SSOSM);
    com.m_bMeasureRunning = 1;
    com.m_nDisplayDecimation = 10;
    const CString ack = Ack();
    com.OnReceivePort(0, ack.GetLength(), reinterpret_cast<LPARAM>(ack.bytes()));
    std::vector<std::vector<CString>> recordings;
    for (int p = 0; p < kPorts; ++p) recordings.push_back(Recording(3, p * 1000));
    const std::size_t deliveries = recordings[0].size();
    for (auto _ : state) {
        for (std::size_t d = 0; d < deliveries; ++d) {
            for (int p = 0; p < kPorts; ++p) {
                const CString& delivery = recordings[static_cast<std::size_t>(p)][d];
                com.OnReceivePort(p, static_cast<WPARAM>(delivery.GetLength()), reinterpret_cast<LPARAM>(delivery.bytes()));
            }
        }
    }
    if (!com.m_bMeasureRunning) state.SkipWithError("the merge stopped");
    // One record per port and set.
    const double records = static_cast<double>(state.iterations()) * kRecordsPerPort * kPorts;
    state.SetItemsProcessed(static_cast<std::int64_t>(records));
    state.counters["sets"] = static_cast<double>(rig.frame.sets);
    state.counters["time/record"] = benchmark::Counter(records, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_SinglePortTwoChannels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FourPortsMerged)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
