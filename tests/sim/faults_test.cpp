// One test per fault switch, each showing the fault in what the host receives.

#include <gtest/gtest.h>

#include "tests/sim/device.h"
#include "tests/sim/test_support.h"

namespace sim {
namespace {

using platform::MessageLoop;
using testing::CheckBytesRight;
using testing::Hex;
using testing::Recorder;
using testing::Request;
using testing::Unstuff;

const Bytes kAckOfOne{0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17};

class Faults : public ::testing::Test {
protected:
    MessageLoop loop{MessageLoop::Time::Virtual};
    std::int64_t start = loop.NowMs();
    SensorConfig config;
    std::unique_ptr<SimulatedSensor> sensor;
    std::unique_ptr<Recorder> host;

    void Connect()
    {
        sensor = std::make_unique<SimulatedSensor>(config, loop);
        host = std::make_unique<Recorder>(loop, sensor->Port(0));
    }
    void Send(const Bytes& bytes) { sensor->Write(CString(bytes.data(), static_cast<int>(bytes.size()))); }
    // Starts a two-channel stream at 200 records a second and returns the records of ms.
    Bytes StreamFor(int ms, std::uint8_t selector = 'C')
    {
        Send(Request('Z', {0x03, 25, 0x00, 0x00, selector}));
        loop.RunFor(ms);
        const Bytes all = host->All();
        EXPECT_EQ(kAckOfOne, Bytes(all.begin(), all.begin() + 7));
        return Bytes(all.begin() + 7, all.end());
    }
    static std::vector<int> Sequence(const Bytes& records, int size = 5)
    {
        std::vector<int> seq;
        for (std::size_t i = 0; i + size <= records.size(); i += size) seq.push_back(records[i]);
        return seq;
    }
};

TEST_F(Faults, LostRecordsLeaveAGapInTheSequence)
{
    config.faults.records.lost = {2, 3};
    Connect();
    EXPECT_EQ((std::vector<int>{0, 1, 4, 5, 6, 7}), Sequence(StreamFor(40)));
}

TEST_F(Faults, RepeatedRecordComesTwice)
{
    config.faults.records.repeated = {1};
    Connect();
    const Bytes records = StreamFor(20);
    EXPECT_EQ((std::vector<int>{0, 1, 1, 2, 3}), Sequence(records));
    EXPECT_EQ(Bytes(records.begin() + 5, records.begin() + 10), Bytes(records.begin() + 10, records.begin() + 15));
}

TEST_F(Faults, CorruptedRecordHasFlippedBits)
{
    config.signalA.base = 0x1234;
    config.faults.records.corrupted = {{1, 0, 0xFF}, {2, 1, 0x80}};
    Connect();
    const Bytes records = StreamFor(20, 'A');
    EXPECT_EQ((std::vector<int>{0, 0xFE, 2, 3}), Sequence(records, 3));
    EXPECT_EQ(0x12 ^ 0x80, records[7]);
    EXPECT_EQ(0x12, records[10]);
}

TEST_F(Faults, WrongCheckBytesOnTheNamedAnswerOnly)
{
    config.faults.badCheck = {{'B', false, true, 1}};
    Connect();
    Send(Request('A'));
    Send(Request('B'));
    Send(Request('B'));
    loop.RunUntilIdle();
    ASSERT_EQ(3u, host->deliveries.size());
    EXPECT_TRUE(CheckBytesRight(Unstuff(host->deliveries[0].bytes)));
    const Bytes bad = Unstuff(host->deliveries[1].bytes);
    ASSERT_EQ(21u, bad.size());
    EXPECT_FALSE(CheckBytesRight(bad));
    const CheckBytes right = ComputeCheckBytes(bad.data() + 1, bad.size() - 3);
    EXPECT_EQ(right.s, bad[19]) << "S untouched";
    EXPECT_NE(right.w, bad[20]) << "W wrong";
    EXPECT_TRUE(CheckBytesRight(Unstuff(host->deliveries[2].bytes))) << "only once";
}

TEST_F(Faults, AnswerSplitAtChosenOffsets)
{
    config.faults.rechunk = {{Trigger{'B'}, {10, 21}}};
    Connect();
    Send(Request('B'));
    loop.RunUntilIdle();
    ASSERT_EQ(2u, host->deliveries.size());
    EXPECT_EQ(10u, host->deliveries[0].bytes.size());
    EXPECT_EQ(11u, host->deliveries[1].bytes.size());
    EXPECT_EQ(21u, Unstuff(host->All()).size());
}

TEST_F(Faults, AcknowledgementMergedWithTheFirstRecords)
{
    config.faults.rechunk = {{Trigger{'Z'}, {7 + 2 * 5}}};
    Connect();
    Send(Request('Z', {0x03, 25, 0x00, 0x00, 'C'}));
    loop.RunFor(30);
    ASSERT_GE(host->deliveries.size(), 2u);
    const Bytes& first = host->deliveries[0].bytes;
    ASSERT_EQ(17u, first.size()) << Hex(first);
    EXPECT_EQ(kAckOfOne, Bytes(first.begin(), first.begin() + 7));
    EXPECT_EQ(0, first[7]);
    EXPECT_EQ(1, first[12]);
    EXPECT_EQ(start + 10, host->deliveries[0].atMs) << "held until the second record was written";
}

TEST_F(Faults, TwoAnswersMergedIntoOneDelivery)
{
    config.faults.rechunk = {{Trigger{'A'}, {16 + 21}}};
    Connect();
    Send(Request('A'));
    loop.RunUntilIdle();
    EXPECT_TRUE(host->deliveries.empty());
    Send(Request('B'));
    loop.RunUntilIdle();
    ASSERT_EQ(1u, host->deliveries.size());
    EXPECT_EQ(37u, host->deliveries[0].bytes.size());
}

TEST_F(Faults, RecordsCutAcrossTheirBoundariesFromAChosenRecord)
{
    config.faults.rechunk = {{Trigger{0, 3}, {2, 5 + 4}}};
    Connect();
    const Bytes records = StreamFor(60);
    // Records 0 to 2 as written; then record 3 in a piece of 2 bytes, the rest of it joined with
    // 4 bytes of record 4; afterwards writes as the sensor made them.
    std::vector<std::size_t> sizes;
    for (const auto& d : host->deliveries) sizes.push_back(d.bytes.size());
    ASSERT_GE(sizes.size(), 5u);
    EXPECT_EQ((std::vector<std::size_t>{7, 10, 5, 2, 7}), std::vector<std::size_t>(sizes.begin(), sizes.begin() + 5));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), Sequence(records));
}

TEST_F(Faults, AnswersInPiecesAPauseApartAlsoFromOneAnswerToTheNext)
{
    config.faults.pieces = {4, 20};
    Connect();
    Send(Request('E', {0x01}));  // a 7-byte acknowledgement
    Send(Request('E', {0x00}));
    loop.RunFor(100);
    std::vector<std::size_t> sizes;
    std::vector<std::int64_t> times;
    for (const auto& d : host->deliveries) {
        sizes.push_back(d.bytes.size());
        times.push_back(d.atMs - start);
    }
    EXPECT_EQ((std::vector<std::size_t>{4, 3, 4, 3}), sizes);
    EXPECT_EQ((std::vector<std::int64_t>{0, 20, 40, 60}), times);
    const Bytes all = host->All();
    EXPECT_EQ(kAckOfOne, Bytes(all.begin(), all.begin() + 7));
}

TEST_F(Faults, GarbageAheadOfTheAnswer)
{
    config.faults.garbage = {{'B', {0x55, 0x02, 0x41}, 1}};
    Connect();
    Send(Request('B'));
    Send(Request('B'));
    loop.RunUntilIdle();
    ASSERT_EQ(2u, host->deliveries.size());
    const Bytes& first = host->deliveries[0].bytes;
    EXPECT_EQ((Bytes{0x55, 0x02, 0x41, 0x02, 'B'}), Bytes(first.begin(), first.begin() + 5));
    EXPECT_EQ(0x02, host->deliveries[1].bytes[0]);
}

TEST_F(Faults, LatePortDeliversEverythingLate)
{
    config.faults.latencyMs = 250;
    Connect();
    Send(Request('B'));
    loop.RunFor(249);
    EXPECT_TRUE(host->deliveries.empty());
    loop.RunFor(1);
    ASSERT_EQ(1u, host->deliveries.size());
    EXPECT_EQ(start + 250, host->deliveries[0].atMs);
}

TEST_F(Faults, StalledStreamResumesWithEverythingAtOnce)
{
    config.faults.stalls = {{Trigger{0, 4}, 300}};
    Connect();
    Send(Request('Z', {0x03, 25, 0x00, 0x00, 'C'}));
    loop.RunFor(100);
    EXPECT_EQ(7u + 4 * 5, host->All().size()) << "records 0 to 3 before the stall";
    // Record 4 was written at the 30 ms turn: the line stays silent until 330 ms.
    loop.RunFor(229);
    EXPECT_EQ(7u + 4 * 5, host->All().size());
    host->Clear();
    loop.RunFor(1);
    ASSERT_EQ(1u, host->deliveries.size());
    EXPECT_EQ(start + 330, host->deliveries[0].atMs);
    const Bytes& burst = host->deliveries[0].bytes;
    EXPECT_EQ(5u * 62, burst.size()) << "records 4 to 65 in one piece";
    const auto seq = Sequence(burst);
    for (std::size_t i = 0; i < seq.size(); ++i) EXPECT_EQ(static_cast<int>(4 + i), seq[i]);
}

TEST_F(Faults, StallOnARequestMakesItsAnswerLateAndStallOnDemand)
{
    config.faults.stalls = {{Trigger{'D', -1}, 700}};
    Connect();
    Send(Request('D', {0x00}));
    loop.RunFor(699);
    EXPECT_TRUE(host->deliveries.empty());
    loop.RunFor(1);
    EXPECT_EQ(40u, Unstuff(host->All()).size());

    host->Clear();
    sensor->Stall(-1);  // for ever
    Send(Request('B'));
    loop.RunFor(10'000);
    EXPECT_TRUE(host->deliveries.empty());
}

TEST_F(Faults, RefusalWithTheChosenCode)
{
    config.faults.refusals = {{'D', 0x80, 3, -1}, {'Z', -1, '+', 1}};
    Connect();
    Send(Request('D', {0x80}));
    Send(Request('D', {0x81}));
    Send(Request('Z', {0x03, 25, 0x00, 0x00, 'C'}));
    loop.RunFor(20);
    ASSERT_EQ(3u, host->deliveries.size());
    const Bytes nak = Unstuff(host->deliveries[0].bytes);
    ASSERT_EQ(8u, nak.size());
    EXPECT_EQ((Bytes{0x02, 0x15, 0xFF, 0x01, 0x01, 0x03}), Bytes(nak.begin(), nak.begin() + 6));
    EXPECT_TRUE(CheckBytesRight(nak));
    EXPECT_EQ(40u, Unstuff(host->deliveries[1].bytes).size());
    EXPECT_EQ('+', Unstuff(host->deliveries[2].bytes)[5]);
    EXPECT_FALSE(sensor->sensor().IsStreaming()) << "a refused set-up starts nothing";
}

TEST_F(Faults, SensorStreamingWithoutBeingAsked)
{
    config.faults.unaskedStream = {true, 'C', 50};
    Connect();
    loop.RunFor(50);
    const Bytes all = host->All();
    ASSERT_EQ(25u, all.size()) << "records only, no acknowledgement";
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), Sequence(all));
    for (int b = 0; b < 10; ++b) Send({0x02});
    loop.RunUntilIdle();
    host->Clear();
    loop.RunFor(100);
    EXPECT_TRUE(host->deliveries.empty()) << "the stop signal ends it";
}

TEST_F(Faults, SensorDisappearsAtARequest)
{
    config.faults.hangup = Trigger{'B', -1};
    Connect();
    Send(Request('A'));
    Send(Request('B'));
    loop.RunFor(100);
    EXPECT_EQ(16u, Unstuff(host->All()).size()) << "only the answer before the hang-up";
    EXPECT_TRUE(host->hungUp);
    EXPECT_TRUE(sensor->Port(0).IsHungUp());
    EXPECT_FALSE(sensor->Write(CString(reinterpret_cast<const char*>(Request('A').data()), 7)));
}

TEST_F(Faults, SensorDisappearsInTheMiddleOfAStream)
{
    config.faults.hangup = Trigger{0, 6};
    Connect();
    const Bytes records = StreamFor(200);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5}), Sequence(records));
    EXPECT_TRUE(host->hungUp);
}

}  // namespace
}  // namespace sim
