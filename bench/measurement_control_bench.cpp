// Value sets of six channels through the trigger evaluation (start and stop by channel levels
// with hysteresis, one armed measurement cycling through start and stop events) and the
// pass/fail judgement of both conditions. Items per second = value sets per second.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "measurement/pass_fail_evaluation.h"
#include "measurement/trigger_evaluation.h"

namespace {

using namespace measurement;

class CountingActions : public ITriggerActions {
public:
    void OnStartEvent(int, double) override
    {
        ++starts;
        state->recording = 1;
        state->stopArmed = 0;
    }
    void OnStopEvent(int, double) override
    {
        ++stops;
        state->recording = 0;
        state->startArmed = 0;
    }
    int PointsRecorded() const override { return 0; }
    std::int64_t Now() const override { return 0; }
    void ShowAroundTrigger(int, int, double, char, char, double, double, bool) override {}
    TriggerState* state = nullptr;
    long starts = 0, stops = 0;
};

std::vector<double> SawTooth(std::size_t sets)
{
    std::vector<double> values(sets * 6);
    for (std::size_t s = 0; s < sets; ++s)
        for (std::size_t c = 0; c < 6; ++c) values[s * 6 + c] = std::fmod(static_cast<double>(s + 37 * c), 100.0);
    return values;
}

void BM_TriggerAndPassFail(benchmark::State& st)
{
    const std::size_t sets = 4096;
    const std::vector<double> values = SawTooth(sets);
    TriggerState t;
    t.startSource = 1;
    t.startValue = 60.0;
    t.startHysteresis = 5.0;
    t.stopSource = 1;
    t.stopValue = 90.0;
    t.stopHysteresis = 5.0;
    CountingActions actions;
    actions.state = &t;
    const ParsedLimits limits = ParseLimits("10", "95", "", "80,5");
    long passed = 0;
    std::size_t s = 0;
    for (auto _ : st) {
        const double* set = &values[s * 6];
        for (int c = 0; c < 6; ++c) EvaluateMeasureTriggers(t, true, c, set[c], false, actions);
        const IoNioVerdict v = JudgeConditions(set, 0, 1, limits);
        passed += v.condition1 & v.condition2;
        s = (s + 1) & (sets - 1);
    }
    benchmark::DoNotOptimize(passed);
    st.SetItemsProcessed(st.iterations());
    st.counters["starts"] = static_cast<double>(actions.starts);
}
BENCHMARK(BM_TriggerAndPassFail);

}  // namespace
