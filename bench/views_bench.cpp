// The views' new-values entry (ChannelRefresher::RefreshChannelViews):
// - sets: value sets of four channels into the curve store, every set shown (no decimation),
//   the repaint folded into the bounded timer, which never fires inside the loop;
// - repaints: 20,000 value sets a second for ten seconds of virtual time, every set shown;
//   the counter gives the views' repaints per second.
#include <benchmark/benchmark.h>

#include "tests/views/views_test_support.h"
#include "views/curve_recorder.h"

namespace {

// The diagram's side without widgets: every set into the store.
class StoreSink : public views::ISampleSink {
public:
    explicit StoreSink(CDataManager& store) : recorder(store)
    {
        views::DiagramSetup setup;
        setup.channelShown = {true, true, true, true, false, false};
        recorder.Setup(setup, kPoints);
        recorder.SetRunState(views::CurveRecorder::kRunFree, 0);
    }
    void AddValueSet(const views::ValueSet& set) override
    {
        // The store is started again before it outgrows the bench's memory.
        if (recorder.SetCount() == kPoints) {
            views::DiagramSetup setup;
            setup.channelShown = {true, true, true, true, false, false};
            recorder.Setup(setup, kPoints);
            recorder.SetRunState(views::CurveRecorder::kRunFree, 0);
        }
        recorder.Add(set);
    }
    void RepaintSamples() override { ++repaints; }
    static constexpr int kPoints = 1 << 20;
    views::CurveRecorder recorder;
    long long repaints = 0;
};

struct Setup {
    Setup()
    {
        frame.com = &com;
        for (int c = 0; c < 4; ++c) views_test::MakeTorqueChannel(*frame.tables.Entry(c), com, c);
        frame.settings.cDecimation = 0;
        refresher.AttachSampleSink(&sink);
    }
    CComPort com;
    views_test::TestFrame frame;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    views::ChannelRefresher refresher{frame, loop};
    CDataManager store;
    StoreSink sink{store};
};

void BM_ValueSetsIntoTheCurveStore(benchmark::State& state)
{
    Setup s;
    LONG v = 0;
    for (auto _ : state) {
        for (int c = 0; c < 4; ++c) s.com.m_aiValue[static_cast<std::size_t>(c)] = v + c;
        ++v;
        s.refresher.RefreshChannelViews(0);
    }
    benchmark::DoNotOptimize(s.store.GetPointCount(0));
    state.SetItemsProcessed(state.iterations());
    state.counters["repaints"] = static_cast<double>(s.refresher.RepaintCount());
}
BENCHMARK(BM_ValueSetsIntoTheCurveStore);

void BM_RepaintsAt20000SetsPerSecond(benchmark::State& state)
{
    constexpr int kSeconds = 10;
    double perSecond = 0.0;
    for (auto _ : state) {
        Setup s;
        LONG v = 0;
        for (int ms = 0; ms < kSeconds * 1000; ++ms) {
            for (int i = 0; i < 20; ++i) {
                for (int c = 0; c < 4; ++c) s.com.m_aiValue[static_cast<std::size_t>(c)] = v + c;
                ++v;
                s.refresher.RefreshChannelViews(0);
            }
            s.loop.RunFor(1);
        }
        perSecond = static_cast<double>(s.refresher.RepaintCount()) / kSeconds;
    }
    state.counters["repaints_per_s"] = perSecond;
}
BENCHMARK(BM_RepaintsAt20000SetsPerSecond)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
