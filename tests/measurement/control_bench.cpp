#include "tests/measurement/control_bench.h"

#include "workflow/connection_state.h"

namespace control_test {

void FakeControlFrame::DiagramSetRunState(int state, int value)
{
    runStates.push_back({state, value});
    if (recorder) recorder->SetRunState(state, value);
}

void FakeControlFrame::DiagramStartGraph(bool now)
{
    calls.push_back(now ? "StartGraph(1)" : "StartGraph(0)");
    if (recorder) {
        views::DiagramSetup diagram;
        diagram.channelShown = {true, true, false, false, false, false};
        recorder->Setup(diagram);
        if (now) recorder->SetRunState(views::CurveRecorder::kRunFree, 0);
    }
}

int FakeControlFrame::DiagramPointCount() const { return data ? data->GetMaxPointCount() : 0; }

void FakeControlFrame::FinishMeasurement()
{
    calls.push_back("FinishMeasurement");
    if (!panel) return;
    panel->RunStopAddProgram();
    calls.push_back("RunStopAddProgram");
    panel->ResetButtonsAfterMeasurement();
    calls.push_back("ResetButtonsAfterMeasurement");
    panel->AfterMeasurement(0);
    calls.push_back("AfterMeasurement");
}

ControlBench::ControlBench()
{
    viewsFrame.com = &com;
    views_test::MakeTorqueChannel(*viewsFrame.tables.Entry(0), com, 0);
    views_test::MakeTorqueChannel(*viewsFrame.tables.Entry(1), com, 1);
    refresher.AttachSampleSink(&sink);
    cframe.recorder = &recorder;
    cframe.data = &data;
    panel = std::make_unique<measurement::CDlgMeasureDiagram>(cframe, launcher, loop);
    cframe.panel = panel.get();
    viewsFrame.panelSettings = panel->Settings();
    refresher.SetEvaluation(panel.get());
    workflow::WorkflowPeers peers = com.Peers();
    peers.frame = &wframe;
    peers.measureControl = panel.get();
    peers.diagram = &diagramPeer;
    com.m_pMainFrame = &wframe;
    wframe.com = &com;
    com.SetPeers(peers);
    com.m_pMeasureCtrlSettings = panel->Settings();
    cframe.setup.ResetChannelFlags();
    cframe.setup.samplePeriod = 0.001;
    panel->OnInitDialog();
}

ControlBench::~ControlBench()
{
    refresher.SetEvaluation(nullptr);
    workflow::WorkflowPeers peers = com.Peers();
    peers.measureControl = nullptr;
    peers.diagram = nullptr;
    peers.frame = &frame;
    com.SetPeers(peers);
    com.m_pMainFrame = &frame;
    com.m_pMeasureCtrlSettings = nullptr;
}

bool ControlBench::Connect(const sim::SensorConfig& config)
{
    AddSensor("COM3", config);
    com.COM_SearchComPorts(0);
    if (!loop.RunUntil([this] { return wframe.sensorConnected && com.GetZMCOMConfgFlow() != ZM_START_INIT; }, 20000))
        return false;
    loop.RunFor(100);
    return true;
}

double ControlBench::ValueOfCounts(double counts) const { return counts * com.m_adScaleFactor[0]; }

sim::SensorConfig RampSensor(double slopePerS, double base)
{
    sim::SensorConfig config = workflow_test::AcceptedSensor();
    config.signalA.kind = sim::SignalSpec::Kind::Ramp;
    config.signalA.base = base;
    config.signalA.slopePerS = slopePerS;
    return config;
}

}  // namespace control_test
