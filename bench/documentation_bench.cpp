// Documentation benchmarks: how fast measured-value lines of four channels are made and
// written, the longest the GUI thread is held while a measurement of a million value sets is
// collected, finished and written behind, and what a full disk costs it while a measurement runs.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "documentation/delimited_table.h"
#include "documentation/documentation_peers.h"
#include "documentation/meas_value_writer.h"
#include "documentation/measurement_recorder.h"
#include "platform/message_loop.h"
#include "tests/documentation/file_size_limit.h"

using namespace documentation;

namespace {

MeasurementDescription FourChannels()
{
    MeasurementDescription d;
    d.sensorIdentity = {"DRF-1 Nr. 123456"};
    d.channels = {{"A", "N·m", 3}, {"B", "1/min", 1}, {"C", "°", 2}, {"D", "W", 0}};
    d.measureRateText = "10 kHz";
    d.intervalSeconds = 0.0001;
    return d;
}

void FillSet(std::uint64_t i, double* values)
{
    const double x = static_cast<double>(i);
    values[0] = 123.456 * std::sin(x * 0.001);
    values[1] = 3000.0 + 0.1 * static_cast<double>(i % 1000);
    values[2] = static_cast<double>(i % 36000) / 100.0;
    values[3] = -42000.0 + static_cast<double>(i % 84000);
}

std::string TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "km3-doc-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data());
}

// Text of measured-value lines, four channels and the time column, into memory.
void BM_MeasValueLinesFormat(benchmark::State& state)
{
    CDelimitedTableWriter writer(Separators{';', ','});
    std::uint64_t i = 0;
    std::int64_t bytes = 0;
    double values[4];
    for (auto _ : state) {
        writer.Clear();
        for (int n = 0; n < 4096; ++n, ++i) {
            FillSet(i, values);
            writer.AppendNumber(static_cast<double>(i) * 0.0001, 4);
            writer.AppendNumber(values[0], 3);
            writer.AppendNumber(values[1], 1);
            writer.AppendNumber(values[2], 2);
            writer.AppendNumber(values[3], 0);
            writer.EndLine();
        }
        bytes += static_cast<std::int64_t>(writer.Size());
        benchmark::DoNotOptimize(writer.Buffer().data());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_MeasValueLinesFormat);

// The same lines through the measured-value file writer into a file.
void BM_MeasValueLinesToFile(benchmark::State& state)
{
    const std::string folder = TempFolder();
    CDocumentationSettings settings;
    for (auto& dir : settings.directory) dir = CString(folder);
    CMeasValueWriter writer;
    CString error, notice;
    if (!writer.Open(settings, kStorageIndexed, FourChannels(), FileLabels{}, error)) {
        state.SkipWithError(error.GetString());
        return;
    }
    std::uint64_t i = 0;
    double values[4];
    for (auto _ : state) {
        for (int n = 0; n < 4096; ++n, ++i) {
            FillSet(i, values);
            writer.List().Push(values, 4);
        }
        writer.WriteStep(1765000000, true, INT64_MAX, error, notice);
    }
    writer.Close();
    state.SetBytesProcessed(static_cast<std::int64_t>(std::filesystem::file_size(writer.FileName().GetString())));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_MeasValueLinesToFile);

class QuietFrame : public IMeasurementFrame {
public:
    MeasurementDescription DescribeMeasurement() const override { return FourChannels(); }
    void CollectLastSample() override {}
    void UpdateValueTexts() override {}
    void RedrawDiagram() override {}
    void CheckDiagramAutoStorage() override {}
    void OnMeasuringTimeReached() override {}
    bool TriggerWasActiveLastTime() const override { return false; }
    bool IoNioLastEvaluation(IoNioEvaluation&) const override { return false; }
    void ShowWriteProgress(int permille) override { writingBehind = permille != -1; }
    void ShowDocumentationMessage(const CString&) override {}
    // From the finish until the last file is written.
    bool writingBehind = false;
};

// Automatic storage of the measured values, file names indexed, into this folder.
CDocumentationSettings IndexedMeasValueSettings(const std::string& folder)
{
    CDocumentationSettings settings;
    for (auto& dir : settings.directory) dir = CString(folder);
    settings.autoStorage = 1;
    settings.storageMode[kMeasValues] = kStorageIndexed;
    return settings;
}

// A recorder paced by the timer of its own virtual loop, its frame quiet, its files open.
struct QuietRecording {
    explicit QuietRecording(const CDocumentationSettings& settings)
        : recorder(settings, times, CMeasurementRecorder::Pacing::LoopTimer, loop)
    {
        recorder.SetPeers(&frame, nullptr);
        recorder.OpenMeasValueFiles(0);
    }
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    MeasurementTimes times;
    QuietFrame frame;
    CMeasurementRecorder recorder;
};

// How long call holds the thread, in milliseconds; longestMs keeps the longest so far.
template <class Call>
double TimedMs(double& longestMs, Call&& call)
{
    const auto start = std::chrono::steady_clock::now();
    call();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    longestMs = std::max(longestMs, ms);
    return ms;
}

// A measurement of a million value sets at 10 kHz, collected on the GUI thread with the write
// steps in between, then finished: the longest single call is the longest stall.
void BM_GuiStallMillionSets(benchmark::State& state)
{
    const std::string folder = TempFolder();
    const CDocumentationSettings settings = IndexedMeasValueSettings(folder);
    const std::uint64_t sets = static_cast<std::uint64_t>(state.range(0));
    double longestMs = 0.0, finishMs = 0.0;
    for (auto _ : state) {
        QuietRecording run(settings);
        double values[4];
        for (std::uint64_t i = 0; i < sets; ++i) {
            FillSet(i, values);
            TimedMs(longestMs, [&] { run.recorder.CollectSample(values, 4); });
            if (i % 10 == 9) TimedMs(longestMs, [&] { run.loop.RunFor(1); });  // 10 sets per millisecond
        }
        finishMs = TimedMs(longestMs, [&] { run.recorder.FinishMeasurement(); });
        while (run.frame.writingBehind)
            TimedMs(longestMs, [&] { run.loop.RunFor(CMeasurementRecorder::kStepPeriodMs); });
    }
    state.counters["longest_stall_ms"] = longestMs;
    state.counters["finish_ms"] = finishMs;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_GuiStallMillionSets)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same million sets arriving all at once (a burst the loop could not keep up with), so
// that nearly everything is written behind after the finish.
void BM_GuiStallMillionSetsWrittenBehind(benchmark::State& state)
{
    const std::string folder = TempFolder();
    const CDocumentationSettings settings = IndexedMeasValueSettings(folder);
    double longestMs = 0.0;
    int steps = 0;
    for (auto _ : state) {
        QuietRecording run(settings);
        double values[4];
        for (std::uint64_t i = 0; i < 1000000; ++i) {
            FillSet(i, values);
            run.recorder.CollectSample(values, 4);
        }
        TimedMs(longestMs, [&] { run.recorder.FinishMeasurement(); });
        while (run.frame.writingBehind) {
            TimedMs(longestMs, [&] { run.loop.RunFor(CMeasurementRecorder::kStepPeriodMs); });
            ++steps;
        }
    }
    state.counters["longest_stall_ms"] = longestMs;
    state.counters["steps"] = steps;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_GuiStallMillionSetsWrittenBehind)->Iterations(1)->Unit(benchmark::kMillisecond);

// A measurement at 5000 sets a second whose file stops taking lines after its first second, as
// on a full disk: the real time the GUI thread spends on the measurement's sets and write steps
// for every second measured while the disk stays full. The file is tried again after a back-off,
// not at every set (which formatted a batch and failed thousands of times a second).
void BM_FullDiskGuiTimePerSecond(benchmark::State& state)
{
    const std::string folder = TempFolder();
    const CDocumentationSettings settings = IndexedMeasValueSettings(folder);
    constexpr int kSetsPerMs = 5;
    constexpr int kFullSeconds = 5;
    double guiMs = 0.0, longestMs = 0.0;
    for (auto _ : state) {
        QuietRecording run(settings);
        double values[4];
        std::uint64_t i = 0;
        const auto measure = [&](int ms, double& spentMs) {
            for (int t = 0; t < ms; ++t) {
                for (int n = 0; n < kSetsPerMs; ++n, ++i) {
                    FillSet(i, values);
                    spentMs += TimedMs(longestMs, [&] { run.recorder.CollectSample(values, 4); });
                }
                spentMs += TimedMs(longestMs, [&] { run.loop.RunFor(1); });
            }
        };
        double ignored = 0.0;
        measure(1000, ignored);
        const std::string file = std::filesystem::directory_iterator(folder)->path().string();
        documentation_test::FileSizeLimit full(std::filesystem::file_size(file));
        longestMs = 0.0;
        guiMs = 0.0;
        measure(kFullSeconds * 1000, guiMs);
        run.recorder.FreeConvertList();  // nothing left for the recovery file
    }
    state.counters["gui_ms_per_s"] = guiMs / kFullSeconds;
    state.counters["longest_stall_ms"] = longestMs;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FullDiskGuiTimePerSecond)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
