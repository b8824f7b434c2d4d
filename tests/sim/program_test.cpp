// km3-sensor-sim as a process on pseudo-terminals. These tests run in real time: every wait
// has a generous bound and ends as soon as what it waits for has happened.

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
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

// The terminal of a simulator of one sensor, opened; -1 when it has not exactly one.
int OpenTheOnlyTerminal(SimProcess& sim)
{
    const auto paths = sim.DevicePaths();
    return paths.size() == 1 ? sim.OpenPort(paths[0]) : -1;
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
    const int port = OpenTheOnlyTerminal(sim);
    ASSERT_GE(port, 0);

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

TEST(SensorProgram, AnswersInPiecesStayApartOnThePseudoTerminal)
{
    SimProcess sim({"--pieces=2:20"});
    const int port = OpenTheOnlyTerminal(sim);
    ASSERT_GE(port, 0);
    WriteAll(port, Request('B'));
    // Eleven pieces 20 ms apart: even a reader that is late now and then reads most alone.
    std::size_t reads = 0, bytes = 0;
    pollfd p{port, POLLIN, 0};
    while (bytes < 21 && ::poll(&p, 1, kBoundMs) > 0) {
        std::uint8_t buffer[64];
        const ssize_t n = ::read(port, buffer, sizeof buffer);
        if (n <= 0) break;
        ++reads;
        bytes += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(21u, bytes);
    EXPECT_GE(reads, 6u);
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
    const int port = OpenTheOnlyTerminal(sim);
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

// The test load goes on and off with SIGUSR2; SIGUSR1 writes what the sensor holds, and so does
// the exit: a block written by the host is in the dump exactly as written.
TEST(SensorProgram, LoadSignalAndBlockDump)
{
    char folder[] = "/tmp/km3-sim-dump-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    const std::string dumpPath = std::string(folder) + "/blocks.txt";
    SimProcess sim({"--load-a=1000", "--signal-a=constant:base=7", "--dump-blocks", dumpPath});
    const int port = OpenTheOnlyTerminal(sim);
    ASSERT_GE(port, 0);
    auto valueA = [&] {
        WriteAll(port, Request('A'));
        const Bytes answer = Unstuff(ReadBytes(port, 16));
        return answer.size() == 16 ? static_cast<int>(static_cast<std::int16_t>(answer[9] << 8 | answer[10])) : -99999;
    };
    auto dumpText = [&] {
        std::ifstream in(dumpPath);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    auto awaitDump = [&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBoundMs);
        while (::access(dumpPath.c_str(), F_OK) != 0 && std::chrono::steady_clock::now() < deadline) ::usleep(10'000);
        return dumpText();
    };
    EXPECT_EQ(7, valueA());
    ASSERT_TRUE(sim.Signal(SIGUSR2));
    int loaded = valueA();
    for (int i = 0; i < 100 && loaded == 7; ++i) loaded = valueA();
    EXPECT_EQ(1007, loaded);

    // Block 3 written with new content; the sensor keeps it as written.
    Bytes block{0x02, 'F', 0x01, 0xFF, 33, 0x03, 0x14};
    for (int i = 7; i < 34; ++i) block.push_back(static_cast<std::uint8_t>(i));
    const BlockCheckWords words = ComputeBlockCheckWords(&block[6]);
    for (std::uint8_t b : {words.a >> 8, words.a & 0xFF, words.b >> 8, words.b & 0xFF}) block.push_back(b);
    const CheckBytes check = ComputeCheckBytes(&block[1], block.size() - 1);
    block.push_back(check.s);
    block.push_back(check.w);
    WriteAll(port, StuffStx(block));
    EXPECT_EQ(7u, Unstuff(ReadBytes(port, 7)).size());
    std::string expected = "sensor 1 block 03 14";
    char hex[3];
    for (std::size_t i = 7; i < 38; ++i) {
        std::snprintf(hex, sizeof hex, "%02x", block[i]);
        expected += hex;
    }

    ASSERT_TRUE(sim.Signal(SIGUSR1));
    std::string dump = awaitDump();
    EXPECT_NE(std::string::npos, dump.find("sensor 1 calibration-state 2\n")) << dump;
    EXPECT_NE(std::string::npos, dump.find(expected + "\n")) << dump;
    ASSERT_EQ(0, std::remove(dumpPath.c_str()));
    EXPECT_EQ(0, sim.Terminate());
    EXPECT_NE(std::string::npos, dumpText().find(expected + "\n")) << "no dump at exit";
    std::remove(dumpPath.c_str());
    ::rmdir(folder);
}

}  // namespace
}  // namespace sim
