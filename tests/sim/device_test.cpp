#include "tests/sim/device.h"

#include <gtest/gtest.h>

#include "tests/sim/test_support.h"

namespace sim {
namespace {

using platform::MessageLoop;
using testing::CheckBytesRight;
using testing::Recorder;
using testing::Request;
using testing::ToBytes;
using testing::Unstuff;

CString Wire(const Bytes& bytes) { return CString(bytes.data(), static_cast<int>(bytes.size())); }

class OnTheLoop : public ::testing::Test {
protected:
    MessageLoop loop{MessageLoop::Time::Virtual};
    std::int64_t start = loop.NowMs();
};

TEST_F(OnTheLoop, AnswerArrivesAsADeliveryAfterTheWriteReturns)
{
    SimulatedSensor sensor({}, loop);
    Recorder host(loop, sensor.Port(0));
    ASSERT_TRUE(sensor.Write(Wire({0x02, 0x42, 0x01, 0xFF, 0x00, 0x42, 0x0A})));
    EXPECT_TRUE(host.deliveries.empty()) << "never inside the host's own write";
    loop.RunUntilIdle();
    ASSERT_EQ(1u, host.deliveries.size());
    const Bytes answer = Unstuff(host.deliveries[0].bytes);
    EXPECT_EQ(21u, answer.size());
    EXPECT_TRUE(CheckBytesRight(answer));
    EXPECT_EQ(start, host.deliveries[0].atMs);
}

TEST_F(OnTheLoop, StreamMovesWithVirtualTime)
{
    SimulatedSensor sensor({}, loop);
    Recorder host(loop, sensor.Port(0));
    sensor.Write(Wire(Request('Z', {0x03, 25, 0x00, 0x00, 'C'})));
    loop.RunFor(100);
    ASSERT_FALSE(host.deliveries.empty());
    EXPECT_EQ(7u, host.deliveries[0].bytes.size());  // the acknowledgement first
    const Bytes all = host.All();
    ASSERT_EQ(7u + 20 * 5, all.size());  // 200 records a second
    for (int k = 0; k < 20; ++k) EXPECT_EQ(k, all[7 + 5 * k]);
    // Records come in runs at the loop's timer turns, never ahead of their time.
    for (const auto& d : host.deliveries) EXPECT_LE(d.atMs - start, 100);
    EXPECT_GE(host.deliveries.size(), 6u);
    loop.RunFor(1000);
    EXPECT_EQ(7u + 220 * 5, host.All().size());
}

TEST_F(OnTheLoop, RestartHelloComesOnTheSensorsSchedule)
{
    SensorConfig config;
    config.restartMs = 200;
    SimulatedSensor sensor(config, loop);
    Recorder host(loop, sensor.Port(0));
    sensor.Write(Wire(Request('K')));
    loop.RunFor(199);
    EXPECT_TRUE(host.deliveries.empty());
    loop.RunFor(1);
    ASSERT_EQ(1u, host.deliveries.size());
    EXPECT_EQ('@', host.deliveries[0].bytes[1]);
    EXPECT_EQ(start + 200, host.deliveries[0].atMs);
}

TEST_F(OnTheLoop, BusyHostDoesNotHoldUpTheStream)
{
    SimulatedSensor sensor({}, loop);
    Recorder host(loop, sensor.Port(0));
    sensor.Write(Wire(Request('Z', {0x03, 50, 0x00, 0x00, 'A'})));  // a record every 10 ms
    for (int i = 0; i < 20; ++i) {
        loop.RunFor(3);
        sensor.Write(Wire({0x55}));  // bytes that are no request
    }
    EXPECT_GE(host.All().size(), 7u + 5 * 3);
}

TEST_F(OnTheLoop, NothingOfADestroyedSensorIsDelivered)
{
    bool delivered = false;
    {
        SimulatedSensor sensor({}, loop);
        sensor.SetDeliveryCallback([&](const CString&) { delivered = true; });
        sensor.Write(Wire(Request('B')));
    }
    loop.RunFor(100);
    EXPECT_FALSE(delivered);
}

class Multiport : public OnTheLoop {
protected:
    std::vector<SensorConfig> Configs(int n)
    {
        auto configs = MultiportConfigs(n);
        for (int i = 0; i < n; ++i) configs[i].signalA.base = 100 * (i + 1);
        return configs;
    }
    static Bytes SlaveSetUp()
    {
        // The slave set-up frame: count byte 0x02 doubled on the wire.
        const Bytes frame = StuffStx(BuildFrame('Z', 0x01, 0xFF, {0x04, 'A'}));
        EXPECT_EQ((Bytes{0x02, 'Z', 0x01, 0xFF, 0x02, 0x02, 0x04, 'A'}), Bytes(frame.begin(), frame.begin() + 8));
        return frame;
    }
};

TEST_F(Multiport, ModulesKnowTheirPositionAndDevice)
{
    MultiportDevice device(MultiportConfigs(3), loop);
    ASSERT_EQ(3, device.PortCount());
    for (int i = 0; i < 3; ++i) {
        const auto& blocks = device.Port(i).sensor().Blocks();
        EXPECT_EQ(i + 1, blocks.ContentByte(BlockSlot(0x00), 14));
        EXPECT_EQ(3, blocks.ContentByte(BlockSlot(0x00), 15));
    }
}

TEST_F(Multiport, SlavesSampleInStepWithTheMaster)
{
    MultiportDevice device(Configs(3), loop);
    std::vector<std::unique_ptr<Recorder>> ports;
    for (int i = 0; i < 3; ++i) ports.push_back(std::make_unique<Recorder>(loop, device.Port(i)));

    for (int i = 1; i < 3; ++i) device.Port(i).Write(Wire(SlaveSetUp()));
    loop.RunUntilIdle();
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ((Bytes{0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}), ports[i]->All());
        EXPECT_TRUE(device.Port(i).sensor().IsSlaveArmed());
        ports[i]->Clear();
    }

    device.Port(0).Write(Wire(Request('Z', {0x03, 25, 0x00, 0x00, 'A'})));
    loop.RunFor(50);
    const Bytes master = ports[0]->All();
    ASSERT_GE(master.size(), 7u);
    EXPECT_EQ((Bytes{0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}), Bytes(master.begin(), master.begin() + 7))
        << "the master's acknowledgement is the master signal";
    const Bytes masterRecords(master.begin() + 7, master.end());
    ASSERT_EQ(30u, masterRecords.size());  // ten 3-byte records
    for (int i = 1; i < 3; ++i) {
        const Bytes slave = ports[i]->All();
        ASSERT_EQ(masterRecords.size(), slave.size()) << "slaves send no acknowledgement, only records";
        for (std::size_t k = 0; k < slave.size(); k += 3) {
            EXPECT_EQ(masterRecords[k], slave[k]) << "same sequence byte";
            EXPECT_EQ(100 * (i + 1), slave[k + 1] << 8 | slave[k + 2]);
        }
    }

    // The stop signal goes to every port, the master's first, between two timer turns: every
    // stream ends at the same record, and afterwards all are quiet.
    loop.RunFor(7);
    for (int i = 0; i < 3; ++i)
        for (int b = 0; b < 10; ++b) device.Port(i).Write(Wire({0x02}));
    loop.RunUntilIdle();
    const std::size_t masterTotal = ports[0]->All().size() - 7;
    EXPECT_EQ(3u * 11, masterTotal) << "records up to 57 ms";
    for (int i = 1; i < 3; ++i) EXPECT_EQ(masterTotal, ports[i]->All().size());
    for (auto& p : ports) p->Clear();
    loop.RunFor(100);
    for (auto& p : ports) EXPECT_TRUE(p->deliveries.empty());
    EXPECT_FALSE(device.Port(1).sensor().IsSlaveArmed());
}

TEST_F(Multiport, SlaveNotArmedDoesNotStream)
{
    MultiportDevice device(Configs(2), loop);
    Recorder slave(loop, device.Port(1));
    device.Port(0).Write(Wire(Request('Z', {0x03, 25, 0x00, 0x00, 'A'})));
    loop.RunFor(50);
    EXPECT_TRUE(slave.deliveries.empty());
    // Each port still answers questions of its own.
    device.Port(1).Write(Wire(Request('A')));
    loop.RunUntilIdle();
    EXPECT_EQ(16u, Unstuff(slave.All()).size());
}

}  // namespace
}  // namespace sim
