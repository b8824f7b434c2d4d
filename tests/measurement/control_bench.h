#pragma once
// The control panel against the workflow controller and a simulated sensor under virtual time:
// the real panel registered at the controller, the views' new-values entry with the curve
// store behind it, and a fake of the panel's frame that records what the panel asks of it.

#include <map>
#include <memory>
#include <vector>

#include "measurement/measure_control_panel.h"
#include "tests/measurement/frame_fakes.h"
#include "tests/views/views_test_support.h"
#include "tests/workflow/workflow_bench.h"
#include "views/curve_recorder.h"
#include "views/data_manager.h"

namespace control_test {

class RecordingLauncher : public measurement::IAddOnLauncher {
public:
    bool StartProgram(const CString& path) override
    {
        started.push_back(path);
        return true;
    }
    bool OpenDocument(const CString& path) override
    {
        opened.push_back(path);
        return true;
    }
    std::vector<CString> started, opened;
};

class FakeControlFrame : public measurement_test::ControlFrameDefaults {
public:
    explicit FakeControlFrame(CComPort& com) : m_com(com) {}
    CComPort& Com() override { return m_com; }
    BYTE& Flag(measurement::FrameFlag flag) override { return flags[static_cast<std::size_t>(flag)]; }
    measurement::TriggerState& Triggers() override { return triggers; }
    void StoreTriggerModes() override
    {
        measurement::CopyTriggerModes(setup, triggers);
        UpdateTriggerFlags();
    }
    void UpdateTriggerFlags() override { measurement::DeriveTriggerArming(triggers); }
    std::int64_t Now() const override { return now; }
    const measurement::CMeasureSetup* SetupRecord() const override { return &setup; }
    double SetPeriodSeconds() const override { return setup.samplePeriod; }
    measurement::IoNioInputs GetIoNioInputs() const override { return ioNio; }
    CString AddOnProgramPath(bool start) const override { return start ? startProgram : stopProgram; }
    int ValuesPerSet() const override { return valuesPerSet; }
    void SetStatusText(UINT id) override { statusTexts.push_back(id); }
    void SetLight(int state) override { lights.push_back(state); }
    void DiagramSetRunState(int state, int value) override;
    void DiagramStartGraph(bool now) override;
    void DiagramLoadChannelSetup() override { ++channelSetups; }
    int DiagramPointCount() const override;
    void OpenMeasValueFiles(int) override { calls.push_back("OpenMeasValueFiles"); }
    // The frame's end of a measurement calls the panel's three steps in their order.
    void FinishMeasurement() override;
    void ConfigureMovingAverages(int mode) override { averageModes.push_back(mode); }
    void SetAngleZeroOptions(const std::array<BYTE, 2>& options) override { angleOptions = options; }

    measurement::CDlgMeasureDiagram* panel = nullptr;
    views::CurveRecorder* recorder = nullptr;
    CDataManager* data = nullptr;
    std::array<BYTE, static_cast<std::size_t>(measurement::FrameFlag::Count)> flags{};
    measurement::TriggerState triggers;
    std::int64_t now = 1700000000;
    measurement::CMeasureSetup setup;
    measurement::IoNioInputs ioNio;
    CString startProgram, stopProgram;
    int valuesPerSet = 2;
    std::vector<UINT> statusTexts;
    std::vector<int> lights;
    std::vector<std::pair<int, int>> runStates;
    int channelSetups = 0;
    std::vector<CString> calls;
    std::vector<int> averageModes;
    std::array<BYTE, 2> angleOptions{};

private:
    CComPort& m_com;
};

// Hands every value set of the views' new-values entry to the curve store.
class StoreSink : public views::ISampleSink {
public:
    explicit StoreSink(views::CurveRecorder& recorder) : m_recorder(recorder) {}
    void AddValueSet(const views::ValueSet& set) override { m_recorder.Add(set); }
    void RepaintSamples() override {}

private:
    views::CurveRecorder& m_recorder;
};

// The controller's frame whose new-values entry is the views' refresher.
class ViewsWorkflowFrame : public workflow_test::FakeFrame {
public:
    ViewsWorkflowFrame(CWnd& window, views::ChannelRefresher& refresher) : FakeFrame(window), m_refresher(refresher) {}
    void RefreshChannelViews(int reason) override
    {
        ++refreshCount;
        m_refresher.RefreshChannelViews(reason);
    }
    void ConfigureMovingAverages(int mode) override { m_refresher.ConfigureMovingAverages(mode); }
    int refreshCount = 0;

private:
    views::ChannelRefresher& m_refresher;
};

// The views' frame, whose measurement settings are the panel's.
class PanelViewsFrame : public views_test::TestFrame {
public:
    workflow::MeasureCtrlSettings* MeasureSettings() override { return panelSettings ? panelSettings : &settings; }
    workflow::MeasureCtrlSettings* panelSettings = nullptr;
};

// The controller's diagram peer: the start of a measurement starts the curve store.
class DiagramPeer : public workflow::IDiagramView {
public:
    explicit DiagramPeer(FakeControlFrame& frame) : m_frame(frame) {}
    void StartGraph(bool restart) override { m_frame.DiagramStartGraph(restart); }

private:
    FakeControlFrame& m_frame;
};

struct ControlBench : workflow_test::Bench {
    ControlBench();
    ~ControlBench();
    // Connects a sensor on COM3; the panel takes the connection as the controller reports it.
    bool Connect(const sim::SensorConfig& config);
    // The measured value of channel A for a count of the sensor.
    double ValueOfCounts(double counts) const;

    PanelViewsFrame viewsFrame;
    views::ChannelRefresher refresher{viewsFrame, loop};
    CDataManager data;
    views::CurveRecorder recorder{data};
    StoreSink sink{recorder};
    ViewsWorkflowFrame wframe{window, refresher};
    FakeControlFrame cframe{com};
    DiagramPeer diagramPeer{cframe};
    RecordingLauncher launcher;
    std::unique_ptr<measurement::CDlgMeasureDiagram> panel;
};

// A sensor whose channel A climbs steadily.
sim::SensorConfig RampSensor(double slopePerS, double base = 0.0);

}  // namespace control_test
