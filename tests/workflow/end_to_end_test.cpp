// The whole connection of one sensor in real time: km3-sensor-sim runs as its own process on a
// pseudo-terminal, and the controller reaches it through the real port library. Every wait has
// a generous bound and ends as soon as the awaited thing has happened.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "port/enumeration.h"
#include "port/port_list.h"
#include "port/port_settings_store.h"
#include "tests/workflow/workflow_bench.h"
#include "workflow/port_man_adapter.h"

extern char** environ;

using namespace workflow_test;

namespace {

constexpr int kBoundMs = 20'000;

class SensorProcess {
public:
    explicit SensorProcess(std::vector<std::string> args)
    {
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), KM3_SENSOR_SIM_PATH);
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, KM3_SENSOR_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_stdout = out[0];
    }
    ~SensorProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_stdout >= 0) ::close(m_stdout);
    }
    // The first line of its output: the pseudo-terminal it serves.
    std::string DevicePath()
    {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBoundMs);
        while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd p{m_stdout, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char buffer[512];
            const ssize_t n = ::read(m_stdout, buffer, sizeof buffer);
            if (n <= 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        std::istringstream line(text);
        std::string path;
        line >> path;
        return path;
    }
    bool Started() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
};

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
    SensorProcess sensor({"--stator-id=4", "--stator-rev=6", "--serial=4711"});
    ASSERT_TRUE(sensor.Started());
    const std::string pty = sensor.DevicePath();
    ASSERT_FALSE(pty.empty());
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
