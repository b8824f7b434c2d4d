// The whole connection of one sensor in real time: km3-sensor-sim runs as its own process on a
// pseudo-terminal, and the controller reaches it through the real port library. Every wait has
// a generous bound and ends as soon as the awaited thing has happened.

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "port/enumeration.h"
#include "port/port_list.h"
#include "port/port_settings_store.h"
#include "tests/sim/sim_process.h"
#include "tests/workflow/workflow_bench.h"
#include "workflow/port_man_adapter.h"

using namespace workflow_test;

namespace {

constexpr int kBoundMs = 20'000;

// The port library of this process sees no machine devices, only the sensor's terminal.
struct OnlyTheSensorTerminal {
    std::filesystem::path root;
    std::shared_ptr<MemoryPortSettingsStore> settings = std::make_shared<MemoryPortSettingsStore>();
    explicit OnlyTheSensorTerminal(const std::string& ptyPath)
    {
        char pattern[] = "/tmp/km3-workflow-e2e-XXXXXX";
        root = ::mkdtemp(pattern);
        std::filesystem::create_directories(root / "sys");
        std::filesystem::create_directories(root / "run");
        ::setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
        SetEnumerationRoots({(root / "sys").string(), "/dev"});
        SetPortSettingsStore(settings);
        ThePortList().Clear();
        settings->AddExtraSerialDevice("Tessaline USB sensor interface Port", ptyPath.c_str());
        RefreshPortList();
    }
    ~OnlyTheSensorTerminal()
    {
        ThePortList().Clear();
        SetEnumerationRoots({});
        SetPortSettingsStore(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

}  // namespace

TEST(EndToEnd, OneSensorOnAPseudoTerminalIsFoundIdentifiedAndConnected)
{
    if (!std::filesystem::exists(KM3_SENSOR_SIM_PATH)) GTEST_SKIP() << "km3-sensor-sim is not built: " << KM3_SENSOR_SIM_PATH;
    sim::testing::SimProcess sensor({"--stator-id=4", "--stator-rev=6", "--serial=4711"}, kBoundMs);
    ASSERT_TRUE(sensor.Started());
    const std::vector<std::string> ptys = sensor.DevicePaths();
    ASSERT_FALSE(ptys.empty());
    const std::string& pty = ptys[0];
    OnlyTheSensorTerminal machine(pty);

    platform::MessageLoop loop(platform::MessageLoop::Time::Real);
    workflow::PortManSensorPortFactory ports;
    CComPort com(&ports);
    workflow::WorkflowTimerWindow window(com, loop);
    FakeFrame frame(window);
    FakeConnectionPage connection;
    FakeStartUpPage startUp;
    FakeMeasureControlPage control;
    FakeMeasureSetupPage setup;
    FakeInformationPage information;
    workflow::WorkflowPeers peers;
    peers.frame = &frame;
    peers.connection = &connection;
    peers.startUp = &startUp;
    peers.measureControl = &control;
    peers.measureSetup = &setup;
    peers.information = &information;
    com.SetPeers(peers);
    control.timers.onTimer = [&](UINT_PTR id) {
        if (id == workflow::kCtrlPageTimerStatusWatch) com.COM_ReportUnstableConnection();
    };
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink scope(&boxes);

    com.COM_SearchComPorts(0);
    const bool connected = loop.RunUntil(
        [&] { return frame.sensorConnected && com.GetZMCOMConfgFlow() == ZM_STOP_MEASURE; }, kBoundMs);
    ASSERT_TRUE(connected) << "state " << com.GetZMCOMConfgFlow() << ", rows " << com.m_nPortRecCount;
    EXPECT_EQ(com.m_nSensorPortCount, 1);
    EXPECT_EQ(com.m_PortRec[0].m_nState, kPortStateActive);
    EXPECT_EQ(com.m_Sensor[0].m_sStatorHeader.nSerialNo, 4711u);
    EXPECT_EQ(com.m_Sensor[0].m_sIdent[kIdentStatorRevision], 6);
    EXPECT_EQ(com.m_PortRec[0].m_nBaudRate, 115200);
    EXPECT_EQ(boxes.Count(), 0u);
    com.m_pPortMan.reset();
}
