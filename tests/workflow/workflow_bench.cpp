#include "tests/workflow/workflow_bench.h"

#include <algorithm>

namespace workflow_test {

sim::SensorConfig AcceptedSensor(std::uint32_t serial)
{
    sim::SensorConfig config;
    config.identity.statorId = 4;
    config.identity.statorRevision = 6;
    config.identity.statorSerial = serial;
    return config;
}

Bench::Bench()
{
    ResetConnectionState();
    connection_state::ResetAllForTest();
    frame.com = &com;
    WirePeers(frame);
    control.timers.onTimer = [this](UINT_PTR id) {
        if (id == workflow::kCtrlPageTimerStatusWatch) com.COM_ReportUnstableConnection();
    };
}

void Bench::WirePeers(workflow::IWorkflowFrame& mainFrame)
{
    workflow::WorkflowPeers peers;
    peers.frame = &mainFrame;
    peers.connection = &connection;
    peers.startUp = &startUp;
    peers.measureControl = &control;
    peers.measureSetup = &setup;
    peers.information = &information;
    peers.calibration = &calibration;
    peers.diagnostic = &diagnostic;
    peers.sequencer = &sequencer;
    peers.documentation = &documentation;
    com.SetPeers(peers);
}

Bench::~Bench()
{
    // The ports go before the sensors they lead to.
    com.m_pPortMan.reset();
    for (auto& port : com.m_pPortManOfPort) port.reset();
}

sim::SimDevice& Bench::AddSensor(const CString& comName, const sim::SensorConfig& config, const CString& description,
                                 int baudRate)
{
    devices.push_back(std::make_unique<sim::SimulatedSensor>(config, loop));
    ports.Add(comName, description, &devices.back()->Port(0), baudRate);
    return *devices.back();
}

sim::SimDevice& Bench::AddDevice(int firstCom, const std::vector<sim::SensorConfig>& configs)
{
    devices.push_back(std::make_unique<sim::MultiportDevice>(configs, loop));
    for (int i = 0; i < devices.back()->PortCount(); ++i)
        ports.Add(CString::Formatted("COM%d", firstCom + i), "Tessaline USB sensor interface Port",
                  &devices.back()->Port(i));
    return *devices.back();
}

bool Bench::RunUntilConnected(std::int64_t maxMs)
{
    return loop.RunUntil([this] { return frame.sensorConnected && com.GetZMCOMConfgFlow() != ZM_START_INIT; }, maxMs);
}

std::int64_t Bench::LongestHoldMs(std::int64_t ms, const std::function<bool()>& done)
{
    std::int64_t longest = 0;
    for (const std::int64_t end = loop.NowMs() + ms; loop.NowMs() < end && !(done && done());) {
        const std::int64_t before = loop.NowMs();
        loop.RunUntil([&] { return done && done(); }, 1);
        longest = std::max(longest, loop.NowMs() - before - 1);
    }
    return longest;
}

bool Bench::SearchUntilAllActive()
{
    com.COM_SearchComPorts(0);
    return RunUntilConnected() && loop.RunUntil([this] { return com.m_nAutoActivateRow == -1; }, 5000);
}

bool Bench::ConnectSensor(const sim::SensorConfig& config)
{
    AddSensor("COM3", config);
    com.COM_SearchComPorts(0);
    return RunUntilConnected();
}

}  // namespace workflow_test
