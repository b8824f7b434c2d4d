#pragma once
// A measurement documented under virtual time: fakes of the main frame and the control panel
// that record what the recorder asks of them, a virtual wall clock, and the settings of a
// fresh folder. Value sets come from a loop timer at the measuring interval, as the stream
// would deliver them.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "documentation/documentation_peers.h"
#include "documentation/measurement_recorder.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "temp_folder.h"

namespace documentation_test {

using namespace documentation;

class FakeFrame : public IMeasurementFrame {
public:
    MeasurementDescription description;
    std::vector<std::string>* calls = nullptr;
    std::vector<CString> messages;
    std::vector<int> progress;
    int timeReached = 0;
    bool triggerWasActive = false;
    bool hasEvaluation = false;
    IoNioEvaluation evaluation;

    MeasurementDescription DescribeMeasurement() const override { return description; }
    void CollectLastSample() override { calls->push_back("CollectLastSample"); }
    void UpdateValueTexts() override { calls->push_back("UpdateValueTexts"); }
    void RedrawDiagram() override { calls->push_back("RedrawDiagram"); }
    void CheckDiagramAutoStorage() override { calls->push_back("CheckDiagramAutoStorage"); }
    void OnMeasuringTimeReached() override { ++timeReached; }
    bool TriggerWasActiveLastTime() const override { return triggerWasActive; }
    bool IoNioLastEvaluation(IoNioEvaluation& e) const override
    {
        e = evaluation;
        return hasEvaluation;
    }
    void ShowWriteProgress(int permille) override { progress.push_back(permille); }
    void ShowDocumentationMessage(const CString& text) override { messages.push_back(text); }
};

class FakePanel : public IControlPanelEnd {
public:
    std::vector<std::string>* calls = nullptr;
    std::vector<std::pair<UINT_PTR, UINT>> timers;
    void RunStopAddProgram() override { calls->push_back("RunStopAddProgram"); }
    void ResetButtonsAfterMeasurement() override { calls->push_back("ResetButtonsAfterMeasurement"); }
    void AfterMeasurement(int flag) override { calls->push_back("AfterMeasurement(" + std::to_string(flag) + ")"); }
    void SetTimer(UINT_PTR id, UINT ms) override { timers.emplace_back(id, ms); }
};

// Seconds since 1970 at the start of every test's virtual clock.
constexpr std::int64_t kEpoch = platform::VirtualClock::kCalendarStartUs / 1'000'000;

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest();
    ~RecorderTest() override;

    // Four channels A to D with units and decimals, 10 ms interval.
    static MeasurementDescription FourChannels(double intervalSeconds = 0.01, double durationSeconds = 0.0);
    // The value of channel c in set i, exactly representable with the channel's decimals.
    static double ValueOf(std::uint64_t i, int c);
    void PushSet(std::uint64_t i);
    // Delivers sets at the interval for ms of virtual time.
    void Measure(std::int64_t ms);
    // Checks a measured-value file: header rows, column line, and count sets from set `from` on.
    void ExpectFileHoldsSets(const std::string& path, std::uint64_t count, std::int64_t firstRecordSeconds,
                             std::uint64_t from = 0);
    void Start() { recorder->OpenMeasValueFiles(0); }
    // The frame shows a write progress from the finish until the last file is written.
    bool ShowsWriteProgress() const { return !frame.progress.empty() && frame.progress.back() != -1; }

    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink sink{&boxes};
    TempFolder dir;
    CDocumentationSettings settings;
    MeasurementTimes times;
    std::vector<std::string> calls;
    FakeFrame frame;
    FakePanel panel;
    std::unique_ptr<CMeasurementRecorder> recorder;
    // The user's data folder, where the recorder saves the sets their file refused for good.
    TempFolder recoveryDir;
    std::string recoveryFolder;
    std::uint64_t nextSet = 0;
};

}  // namespace documentation_test
