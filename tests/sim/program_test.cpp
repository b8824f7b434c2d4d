// km3-sensor-sim as a process on pseudo-terminals. These tests run in real time: every wait
// has a generous bound and ends as soon as what it waits for has happened.

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/sim/sim_process.h"
#include "tests/sim/test_support.h"

namespace sim {
namespace {

using testing::CheckBytesRight;
using testing::Request;
using testing::SimProcess;
using testing::Unstuff;

constexpr int kBoundMs = 10'000;

void WriteAll(int fd, const Bytes& bytes) { ASSERT_EQ(static_cast<ssize_t>(bytes.size()), ::write(fd, bytes.data(), bytes.size())); }

// Reads until count bytes have come, the line hangs up, or the bound passes.
Bytes ReadBytes(int fd, std::size_t count)
{
    Bytes bytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBoundMs);
    while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        std::uint8_t buffer[1024];
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

TEST(SensorProgram, HelpAndBadOptions)
{
    SimProcess help({"--help"});
    ASSERT_TRUE(help.Started());
    const std::string usage = help.ReadOutput(false);
    EXPECT_NE(std::string::npos, usage.find("--hangup"));
    EXPECT_EQ(0, help.WaitExit());

    SimProcess wrong({"--no-such-option"});
    EXPECT_EQ(2, wrong.WaitExit());
}

TEST(SensorProgram, ServesOnAPseudoTerminalUntilSigterm)
{
    SimProcess sim({"--address=1", "--signal-a=constant:base=258"});
    ASSERT_TRUE(sim.Started());
    const auto paths = sim.DevicePaths();
    ASSERT_EQ(1u, paths.size());
    const int port = sim.OpenPort(paths[0]);
    ASSERT_GE(port, 0) << paths[0];

    WriteAll(port, {0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A});
    const Bytes status = Unstuff(ReadBytes(port, 21));
    ASSERT_EQ(21u, status.size());
    EXPECT_TRUE(CheckBytesRight(status));

    WriteAll(port, Request('Z', {0x03, 50, 0x00, 0x00, 'A'}));
    const Bytes stream = ReadBytes(port, 7 + 3 * 5);
    ASSERT_EQ(22u, stream.size());
    EXPECT_EQ((Bytes{0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}), Bytes(stream.begin(), stream.begin() + 7));
    EXPECT_EQ((Bytes{0x00, 0x01, 0x02, 0x01, 0x01, 0x02}), Bytes(stream.begin() + 7, stream.begin() + 13));
    for (int i = 0; i < 10; ++i) WriteAll(port, {0x02});

    EXPECT_EQ(0, sim.Terminate());
}

TEST(SensorProgram, MultiportDeviceOnSeveralTerminals)
{
    SimProcess sim({"--sensors=2"});
    const auto paths = sim.DevicePaths();
    ASSERT_EQ(2u, paths.size());
    const int slave = sim.OpenPort(paths[1]);
    ASSERT_GE(slave, 0);
    WriteAll(slave, StuffStx(BuildFrame('Z', 0x01, 0xFF, {0x04, 'A'})));
    EXPECT_EQ((Bytes{0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}), ReadBytes(slave, 7));
    EXPECT_EQ(0, sim.Terminate());
}

TEST(SensorProgram, VanishingSensorHangsUpTheLine)
{
    SimProcess sim({"--hangup=B"});
    const auto paths = sim.DevicePaths();
    ASSERT_EQ(1u, paths.size());
    const int port = sim.OpenPort(paths[0]);
    ASSERT_GE(port, 0);
    WriteAll(port, Request('B'));
    // The line hangs up: poll reports it and a read returns an error or nothing.
    pollfd p{port, POLLIN, 0};
    ASSERT_EQ(1, ::poll(&p, 1, kBoundMs));
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR | POLLIN));
    std::uint8_t byte = 0;
    EXPECT_LE(::read(port, &byte, 1), 0);
    EXPECT_EQ(0, sim.Terminate());
}

}  // namespace
}  // namespace sim
