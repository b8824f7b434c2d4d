// The km3 program as its own process against km3-sensor-sim processes on pseudo-terminals that
// the settings file lists: the start-up search finds the sensors and connects, the per-sensor
// logs record it, and SIGTERM ends the program in order (log end entries, settings saved,
// exit status 0).
#include <gtest/gtest.h>

#include <memory>

#include "tests/e2e/km3_process.h"
#include "tests/e2e/precedence.h"
#include "tests/sim/sim_process.h"

namespace {

// The simulated sensors and the program, started by the tests' thread, inherit its precedence.
class Precedence : public ::testing::Environment {
public:
    void SetUp() override { e2e::TakePrecedenceOverOtherWork(); }
};
const auto* const kPrecedence = ::testing::AddGlobalTestEnvironment(new Precedence);

using e2e::CountOf;
using e2e::ReadFile;
using e2e::WaitFor;

constexpr const char* kConnected = "Verbindung hergestellt";
constexpr const char* kProgramEnd = "Programmende";
// A search probes every serial device of the machine too; a sanitizer build is slow.
constexpr int kConnectBoundMs = 60'000;

// The settings list the k-th device (from 1) as "Simulator<k>"; a log names the port it
// recorded with that description.
std::string PortOfDevice(std::size_t k)
{
    return "   Simulator" + std::to_string(k) + "\r\n";
}

std::vector<std::string> SensorArgs(unsigned serial)
{
    return {"--serial=" + std::to_string(serial), "--stator-id=4", "--stator-rev=6"};
}

// Ends the program and checks the order of its last steps: every log that recorded a
// connection ends with the program's end entry after it, and the settings were written.
void TerminateInOrder(e2e::Km3Process& km3, const e2e::Km3Home& home, const std::vector<unsigned>& connected)
{
    ASSERT_TRUE(km3.Running()) << "km3 ended by itself";
    EXPECT_EQ(km3.Terminate(), 0);
    for (unsigned serial : connected) {
        const std::string log = ReadFile(home.SensorLog(serial));
        const auto end = log.rfind(kProgramEnd);
        ASSERT_NE(end, std::string::npos) << "no end entry in the log of sensor " << serial << ":\n" << log;
        EXPECT_GT(end, log.rfind(kConnected)) << log;
    }
    const std::string ini = ReadFile(home.IniPath());
    EXPECT_NE(ini.find("Width="), std::string::npos) << "window placement not saved:\n" << ini;
    // The extra devices survive the program's own save.
    EXPECT_NE(ini.find("[SERIALCOMM]"), std::string::npos) << ini;
    // The settings are saved after the logs were ended.
    for (unsigned serial : connected)
        EXPECT_GE(e2e::fs::last_write_time(home.IniPath()), e2e::fs::last_write_time(home.SensorLog(serial)));
}

TEST(ProgramStartUp, FindsConnectsAndLogsOneSensorThenEndsInOrderOnSigterm)
{
    sim::testing::SimProcess sensor(SensorArgs(4711));
    const auto paths = sensor.DevicePaths();
    ASSERT_EQ(paths.size(), 1u);
    e2e::Km3Home home;
    home.WriteSettings(paths);
    e2e::Km3Process km3(home);
    ASSERT_TRUE(km3.Started());
    ASSERT_TRUE(WaitFor([&] { return CountOf(ReadFile(home.SensorLog(4711)), kConnected) >= 1 || !km3.Running(); },
                        kConnectBoundMs) && km3.Running())
        << "no connection recorded in " << home.SensorLog(4711);
    EXPECT_NE(ReadFile(home.SensorLog(4711)).find("Port: COM"), std::string::npos);
    TerminateInOrder(km3, home, {4711});
}

TEST(ProgramStartUp, FourSeparateSensorsAreFoundAndConnected)
{
    // Four sensors of their own (different serial numbers), each on its own port.
    std::vector<std::unique_ptr<sim::testing::SimProcess>> sensors;
    std::vector<std::string> paths;
    const std::vector<unsigned> serials{5101, 5102, 5103, 5104};
    for (unsigned serial : serials) {
        sensors.push_back(std::make_unique<sim::testing::SimProcess>(SensorArgs(serial)));
        const auto own = sensors.back()->DevicePaths();
        ASSERT_EQ(own.size(), 1u);
        paths.push_back(own[0]);
    }
    e2e::Km3Home home;
    home.WriteSettings(paths);
    e2e::Km3Process km3(home);
    ASSERT_TRUE(km3.Started());
    std::vector<unsigned> connected;
    auto collect = [&] {
        connected.clear();
        for (unsigned serial : serials)
            if (CountOf(ReadFile(home.SensorLog(serial)), kConnected) >= 1) connected.push_back(serial);
        return connected.size() == serials.size() || !km3.Running();
    };
    ASSERT_TRUE(WaitFor(collect, kConnectBoundMs) && km3.Running()) << connected.size() << " of 4 connected";
    TerminateInOrder(km3, home, connected);
    // Each log names its sensor's own port, once, and ends once.
    for (std::size_t i = 0; i < serials.size(); ++i) {
        const std::string log = ReadFile(home.SensorLog(serials[i]));
        EXPECT_EQ(CountOf(log, kConnected), 1) << log;
        EXPECT_EQ(CountOf(log, "Port: COM"), 1) << log;
        EXPECT_NE(log.find(PortOfDevice(i + 1)), std::string::npos) << log;
        EXPECT_EQ(CountOf(log, kProgramEnd), 1) << log;
    }
}

TEST(ProgramStartUp, AFourPortMultiportDeviceIsConnectedAsOne)
{
    auto args = SensorArgs(777);
    args.insert(args.begin(), "--sensors=4");
    sim::testing::SimProcess device(args);
    const auto paths = device.DevicePaths();
    ASSERT_EQ(paths.size(), 4u);
    e2e::Km3Home home;
    home.WriteSettings(paths);
    e2e::Km3Process km3(home);
    ASSERT_TRUE(km3.Started());
    // The four sensors share the device's serial number and so its log: the device is
    // connected when each of them is, port by port.
    ASSERT_TRUE(WaitFor([&] { return CountOf(ReadFile(home.SensorLog(777)), kConnected) >= 4 || !km3.Running(); },
                        kConnectBoundMs) && km3.Running())
        << "not every sensor's connection recorded in " << home.SensorLog(777) << ":\n" << ReadFile(home.SensorLog(777));
    TerminateInOrder(km3, home, {777});
    // One connection entry per sensor, each naming its own port, and one end entry each.
    const std::string log = ReadFile(home.SensorLog(777));
    EXPECT_EQ(CountOf(log, kConnected), 4) << log;
    for (std::size_t k = 1; k <= 4; ++k) EXPECT_EQ(CountOf(log, PortOfDevice(k)), 1) << log;
    EXPECT_EQ(CountOf(log, kProgramEnd), 4) << log;
}

}  // namespace
