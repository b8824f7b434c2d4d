// The measured-value stream of one sensor port: the start, the records of one and two channels,
// lost, repeated and garbled records, splits at every offset, the sensor's acknowledgement
// inside the stream, the end of the measuring time in mid-delivery, and whole measurements
// against the simulated sensor under virtual time.

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"

using namespace workflow_test;

namespace {

CString Rec5(int seq, int a, int b)
{
    return Bytes({seq & 0xFF, (a >> 8) & 0xFF, a & 0xFF, (b >> 8) & 0xFF, b & 0xFF});
}

// A controller in a running single-port measurement, fed directly.
struct StreamBench : OpenBench {
    explicit StreamBench(bool twoChannels = true)
    {
        setup.channelA = true;
        setup.channelB = twoChannels;
        com.SetSensorAddress(1, 0xFF);
        com.SetInterpolateLostValues(1);
        com.SetZMCOMConfgFlow(ZM_START_MEASURE_SOSM);
        com.m_bMeasureRunning = 1;
        com.m_nDisplayDecimation = 1;
        com.m_nDisplayCountdown = 1;
        ports.writes.clear();
    }
    CString OwnAck() const
    {
        return Bytes({0x02, 0x06, com.GetAddressLo(), com.GetAddressHi(), 0x00, com.GetAckSum(), com.GetAckWeightedSum()});
    }
    void Start() { Feed(com, OwnAck()); }
    int StopBytes() const
    {
        int n = 0;
        for (const WrittenFrame& w : ports.writes) n += w.bytes == CString("\x02", 1) ? 1 : 0;
        return n;
    }
};

CString Records5(int first, int count, int value0)
{
    CString text;
    for (int i = 0; i < count; ++i) text += Rec5(first + i, value0 + i, -(value0 + i));
    return text;
}

}  // namespace

TEST(Stream, TheSensorsAcknowledgementFrameIsKnownByItsAddressAndCheckBytes)
{
    StreamBench b;
    EXPECT_EQ(b.OwnAck(), Bytes({0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17}));
    EXPECT_TRUE(b.com.ZMCOMMeasure_ClassifyFrame(b.OwnAck()));
    EXPECT_FALSE(b.com.ZMCOMMeasure_ClassifyFrame(b.OwnAck().Left(6)));
    EXPECT_TRUE(b.com.IsMasterSignalFromSlave(b.OwnAck().bytes()));
}

TEST(Stream, TheStartActsOnlyOnAWholeAcknowledgementWhereverItIsSplit)
{
    for (int cut = 1; cut < 7; ++cut) {
        StreamBench b;
        const CString start = b.OwnAck() + Rec5(0, 1, 2);
        Feed(b.com, start.Left(cut));
        EXPECT_EQ(b.com.m_bStreamStarted, 0) << cut;
        EXPECT_EQ(b.com.m_strReceiveCOM.GetLength(), cut) << cut;
        Feed(b.com, start.Mid(cut));
        EXPECT_EQ(b.com.m_bStreamStarted, 1) << cut;
        // The record behind the acknowledgement waits for the next delivery.
        EXPECT_TRUE(b.frame.refreshes.empty()) << cut;
        EXPECT_EQ(b.control.timers.armed.back(), (std::pair<UINT_PTR, UINT>{workflow::kCtrlPageTimerReceiveTimeout, 800}));
        Feed(b.com, Rec5(1, 3, 4));
        EXPECT_EQ(b.frame.StreamValues(0), (std::vector<LONG>{1, 3})) << cut;
        EXPECT_EQ(b.frame.StreamValues(1), (std::vector<LONG>{2, 4})) << cut;
    }
}

TEST(Stream, GarbageBeforeTheStartIsDroppedAndTheAcknowledgementBehindItFound)
{
    StreamBench b;
    Feed(b.com, Bytes({0x55, 0x02, 0x77}) + Records5(10, 3, 5));
    EXPECT_EQ(b.com.m_bStreamStarted, 0);
    EXPECT_LT(b.com.m_strReceiveCOM.GetLength(), 7);
    Feed(b.com, Records5(13, 2, 5) + b.OwnAck());
    EXPECT_EQ(b.com.m_bStreamStarted, 1);
    Feed(b.com, Records5(0, 3, 100));
    EXPECT_EQ(b.frame.StreamValues(0), (std::vector<LONG>{100, 101, 102}));
    EXPECT_EQ(b.StopBytes(), 0);
}

TEST(Stream, ARefusalBeforeTheStartIsActedOnOnlyWhole)
{
    StreamBench b;
    const CString nak = Nak('+');
    Feed(b.com, nak.Left(6));
    EXPECT_EQ(b.com.m_bSensorEndedStream, 0);
    Feed(b.com, nak.Mid(6));
    EXPECT_EQ(b.com.m_bSensorEndedStream, 1);
    EXPECT_EQ(b.control.timers.armed.back(), (std::pair<UINT_PTR, UINT>{workflow::kCtrlPageTimerReceiveTimeout, 800}));
}

TEST(Stream, RecordsSplitAtEveryOffsetGiveTheSameValues)
{
    const CString records = Records5(0, 12, 1000);
    std::vector<LONG> expected;
    for (int i = 0; i < 12; ++i) expected.push_back(1000 + i);
    for (int cut = 0; cut <= records.GetLength(); ++cut) {
        StreamBench b;
        b.Start();
        Feed(b.com, records.Left(cut));
        Feed(b.com, records.Mid(cut));
        EXPECT_EQ(b.frame.StreamValues(0), expected) << cut;
        EXPECT_EQ(b.com.m_strReceiveCOM.GetLength(), 0) << cut;
        EXPECT_EQ(b.com.m_byExpectedSeq, 12) << cut;
    }
    StreamBench single(false);
    single.Start();
    CString threes;
    for (int i = 0; i < 12; ++i) threes += Rec3(i, -i);
    for (int i = 0; i < threes.GetLength(); ++i) Feed(single.com, threes.Mid(i, 1));
    EXPECT_EQ(single.frame.StreamValues(0).size(), 12u);
    EXPECT_EQ(single.frame.StreamValues(0).back(), -11);
}

TEST(Stream, OneLostRecordIsBridgedWithTheMeanOfTheParsersOwnNeighbours)
{
    StreamBench b;
    b.frame.copyPrevious = false;  // a channel the frame does not show keeps a stale previous value
    b.com.m_aiPrevValue = {5000, 5000, 0, 0};
    b.Start();
    Feed(b.com, Rec5(0, 10, -10) + Rec5(1, 20, -20) + Rec5(3, 40, -40));
    EXPECT_EQ(b.frame.StreamValues(0), (std::vector<LONG>{10, 20, 30, 40}));
    EXPECT_EQ(b.frame.StreamValues(1), (std::vector<LONG>{-10, -20, -30, -40}));
    EXPECT_EQ(b.com.m_byExpectedSeq, 4);
    EXPECT_EQ(b.StopBytes(), 0);
}

TEST(Stream, TheSequenceWrapsFrom255To0AndALossAcrossTheWrapIsBridged)
{
    StreamBench b;
    b.Start();
    b.com.m_byExpectedSeq = 254;
    Feed(b.com, Rec5(254, 1, 1) + Rec5(255, 2, 2) + Rec5(0, 3, 3) + Rec5(2, 5, 5));
    EXPECT_EQ(b.frame.StreamValues(0), (std::vector<LONG>{1, 2, 3, 4, 5}));
    EXPECT_EQ(b.com.m_byExpectedSeq, 3);
    EXPECT_EQ(b.StopBytes(), 0);
}

TEST(Stream, TwoLostRecordsOrAnyGapWithoutTheSwitchStopTheSensorOnce)
{
    for (bool interpolate : {true, false}) {
        StreamBench b;
        b.com.SetInterpolateLostValues(interpolate ? 1 : 0);
        b.Start();
        b.com.m_byExpectedSeq = 5;
        Feed(b.com, Rec5(5, 1, 1) + Rec5(interpolate ? 8 : 7, 2, 2) + Rec5(9, 3, 3));
        Feed(b.com, Rec5(10, 4, 4));
        EXPECT_EQ(b.frame.StreamValues(0), (std::vector<LONG>{1})) << interpolate;
        EXPECT_EQ(b.StopBytes(), 10) << interpolate;
        EXPECT_EQ(b.com.m_bMeasureRunning, 0);
        EXPECT_EQ(b.documentation.endTimes.size(), 1u);
        // Records are still consumed and counted.
        EXPECT_EQ(b.com.m_strReceiveCOM.GetLength(), 0);
    }
}

TEST(Stream, ARepeatedRecordIsOutOfOrder)
{
    StreamBench b;
    b.Start();
    Feed(b.com, Rec5(0, 1, 1) + Rec5(0, 1, 1) + Rec5(1, 2, 2));
    EXPECT_EQ(b.frame.StreamValues(0), (std::vector<LONG>{1}));
    EXPECT_EQ(b.StopBytes(), 10);
}

TEST(Stream, TheAcknowledgementInsideTheStreamIsNoRecordAndIsAnalysedInTheRequestsState)
{
    const CString before = Rec5(0, 1, 1) + Rec5(1, 2, 2);
    for (int cut = 0; cut <= 17; ++cut) {
        StreamBench b;
        b.Start();
        b.com.COM_SendCtrlOn();  // the control signal is switched while streaming
        ASSERT_EQ(b.com.m_iZMCOMConfgFlowPrev, ZM_SET_CTRL_ON_SOSM);
        b.ports.writes.clear();
        const CString chain = before + b.OwnAck() + Rec5(2, 3, 3);
        Feed(b.com, chain.Left(cut));
        Feed(b.com, chain.Mid(cut));
        // The two records before it are values; the acknowledgement is none. It is analysed as
        // the switch's: the control state is taken and the stream set up again.
        EXPECT_EQ(b.frame.StreamValues(0), (std::vector<LONG>{1, 2})) << cut;
        EXPECT_EQ(b.control.settings.nControlState, 1) << cut;
        EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_START_MEASURE_SOSM) << cut;
        ASSERT_EQ(b.ports.writes.size(), 1u) << cut;
        EXPECT_EQ(b.ports.writes[0].Letter(), 'Z') << cut;
        EXPECT_EQ(b.com.m_bStreamStarted, 0) << cut;
        EXPECT_EQ(b.frame.averageModes.back(), 2) << cut;
    }
}

TEST(Stream, TheEndOfTheMeasuringTimeInMidDeliveryDropsTheWholeRecordsLeft)
{
    StreamBench single(false);
    single.Start();
    single.frame.endAfterRefreshes = 1;
    Feed(single.com, Rec3(0, 7) + Rec3(1, 8) + Bytes({2}));
    EXPECT_EQ(single.frame.StreamValues(0), (std::vector<LONG>{7}));
    EXPECT_EQ(single.com.m_strReceiveCOM.GetLength(), 1);

    StreamBench two;
    two.Start();
    two.frame.endAfterRefreshes = 2;
    Feed(two.com, Records5(0, 6, 1) + Bytes({6, 0}));
    EXPECT_EQ(two.frame.StreamValues(0), (std::vector<LONG>{1, 2}));
    EXPECT_EQ(two.com.m_strReceiveCOM.GetLength(), 2);
}

TEST(Stream, TheReceiveTimeOutIsArmedOncePerDeliveryAndDecimationMarksOneRecordInN)
{
    StreamBench b;
    b.com.m_nDisplayDecimation = 10;
    b.com.m_nDisplayCountdown = 10;
    b.Start();
    b.com.m_nReceiveTimeoutMs = 420;
    const int armedBefore = b.control.ArmedCount(workflow::kCtrlPageTimerReceiveTimeout);
    Feed(b.com, Records5(0, 10, 0));
    EXPECT_EQ(b.control.ArmedCount(workflow::kCtrlPageTimerReceiveTimeout), armedBefore + 1);
    EXPECT_EQ(b.control.timers.armed.back(), (std::pair<UINT_PTR, UINT>{workflow::kCtrlPageTimerReceiveTimeout, 420}));
    ASSERT_EQ(b.frame.refreshes.size(), 10u);
    int shown = 0;
    for (const auto& r : b.frame.refreshes) shown += r.countdown == 0 ? 1 : 0;
    EXPECT_EQ(shown, 1);
}

TEST(Stream, ADeviceOfCode5ShowsChannelBAsADigitalInput)
{
    StreamBench b;
    b.com.m_Sensor[0].m_sIdent[kIdentHmbUsb] = 1;
    b.com.m_Sensor[0].m_sIdent[kIdentNoDigitalInput] = 0;
    b.com.m_Sensor[0].m_sIdent[kIdentStatorId] = 5;
    b.Start();
    Feed(b.com, Rec5(0, 100, -1) + Rec5(1, 100, 0));
    EXPECT_EQ(b.frame.StreamValues(1), (std::vector<LONG>{0, 1}));
}

TEST(Stream, OneChannelGoesToBWhenOnlyBIsSelectedAndControlSwitchRequestsAreServed)
{
    StreamBench b(false);
    b.setup.channelA = false;
    b.setup.channelB = true;
    b.Start();
    b.control.settings.bCtrlSwitchRequest = 1;
    b.control.settings.bAngleZeroRequest = 1;
    Feed(b.com, Rec3(0, 300) + Rec3(1, -300));
    EXPECT_EQ(b.frame.StreamValues(1), (std::vector<LONG>{300, -300}));
    EXPECT_EQ(b.control.controlSends, (std::vector<int>{1}));
    EXPECT_EQ(b.control.settings.bCtrlSwitchRequest, 0);
    EXPECT_EQ(b.control.settings.bAngleZeroRequest, 0);
}

TEST(Stream, RateSettingsReceiveTimeOutAndCounterUnwrapping)
{
    Bench b;
    for (auto [index, decimation, poll, streamed] :
         {std::tuple<int, int, UINT, BYTE>{0, 250, 1, 1}, {9, 2, 20, 1}, {12, 1, 50, 1}, {13, 1, 100, 0}, {19, 1, 3600000, 0}}) {
        b.frame.rateIndex = index;
        b.com.COM_SetMeasureRate();
        EXPECT_EQ(b.com.m_nDisplayDecimation, decimation) << index;
        EXPECT_EQ(b.com.m_nDisplayCountdown, decimation) << index;
        EXPECT_EQ(b.com.m_nPollIntervalMs, poll) << index;
        EXPECT_EQ(b.com.m_bStreamingRate, streamed) << index;
    }
    for (auto [interval, ms] : {std::pair<double, UINT>{0.1, 250}, {0.2, 420}, {1.0, 800}, {0.0002, 250}, {10.0, 800}, {1e300, 800}}) {
        b.setup.interval = interval;
        b.com.COM_CalcReceiveTimeout();
        EXPECT_EQ(b.com.m_nReceiveTimeoutMs, ms) << interval;
    }
    EXPECT_EQ(b.com.UnwrapCounterValue(0, 30000, -1), 30000.0);
    EXPECT_EQ(b.com.UnwrapCounterValue(0, -30000, 0), -30000.0 + 65536.0);
    EXPECT_EQ(b.com.UnwrapCounterValue(0, 30000, 0), 30000.0);
}

// ---- Whole measurements against the simulated sensor ----------------------------------------

namespace {

struct SimStreamBench : Bench {
    explicit SimStreamBench(const sim::SensorConfig& config)
    {
        connected = ConnectSensor(config);
        com.SetInterpolateLostValues(1);
        frame.rateIndex = 6;  // 200 records/s
        com.COM_SetMeasureRate();
        com.m_nDisplayDecimation = 1;
        frame.refreshes.clear();
        ports.writes.clear();
    }
    void Measure(std::int64_t ms)
    {
        com.COM_StartMeasure(-1, false);
        loop.RunFor(ms);
    }
    bool connected = false;
};

sim::SensorConfig RampSensor()
{
    sim::SensorConfig config = AcceptedSensor();
    config.signalA = {sim::SignalSpec::Kind::Ramp, 0.0, 0.0, 2000.0};
    config.signalB = {sim::SignalSpec::Kind::Constant, 77.0};
    return config;
}

// Consecutive samples of a 2000 counts/s ramp at 200 records/s climb by 10.
void ExpectSteadyRamp(const std::vector<LONG>& values, int minimum)
{
    ASSERT_GE(static_cast<int>(values.size()), minimum);
    for (std::size_t i = 1; i < values.size(); ++i) EXPECT_EQ(values[i] - values[i - 1], 10) << i;
}

}  // namespace

TEST(SimStream, AMeasurementStreamsEveryRecordIntoTheNewValuesEntry)
{
    SimStreamBench b(RampSensor());
    ASSERT_TRUE(b.connected);
    b.Measure(1000);
    EXPECT_EQ(b.ports.Letters(), CString("Z"));
    ExpectSteadyRamp(b.frame.StreamValues(0), 190);
    for (LONG v : b.frame.StreamValues(1)) EXPECT_EQ(v, 77);
    EXPECT_EQ(b.com.m_bMeasureRunning, 1);
}

TEST(SimStream, ALostRecordIsBridgedAndTwoLostStopTheMeasurement)
{
    sim::SensorConfig one = RampSensor();
    one.faults.records.lost = {40};
    SimStreamBench b(one);
    ASSERT_TRUE(b.connected);
    b.Measure(1000);
    ExpectSteadyRamp(b.frame.StreamValues(0), 190);
    EXPECT_EQ(b.com.m_bMeasureRunning, 1);

    sim::SensorConfig two = RampSensor();
    two.faults.records.lost = {40, 41};
    SimStreamBench c(two);
    ASSERT_TRUE(c.connected);
    c.Measure(1000);
    EXPECT_EQ(c.frame.StreamValues(0).size(), 40u);
    EXPECT_EQ(c.com.m_bMeasureRunning, 0);
    EXPECT_FALSE(c.devices[0]->Port(0).sensor().IsStreaming());
}

TEST(SimStream, SplitAndMergedDeliveriesAndARunAcrossTheSequenceWrap)
{
    sim::SensorConfig config = RampSensor();
    config.faults.rechunk.push_back({sim::Trigger{0, 3}, {1, 2, 4, 7, 11, 13, 17, 22, 29, 31}, -1});
    SimStreamBench b(config);
    ASSERT_TRUE(b.connected);
    b.Measure(2000);  // 400 records: the sequence byte wraps
    ExpectSteadyRamp(b.frame.StreamValues(0), 390);
    EXPECT_EQ(b.com.m_bMeasureRunning, 1);
}

TEST(SimStream, AControlSignalSwitchInsideTheStreamRestartsItWithoutAFalseSample)
{
    SimStreamBench b(RampSensor());
    ASSERT_TRUE(b.connected);
    b.control.onSendControl = [&] { b.com.COM_SendCtrlOn(); };
    b.Measure(500);
    b.control.settings.bCtrlSwitchRequest = 1;
    b.loop.RunFor(500);
    EXPECT_TRUE(b.devices[0]->Port(0).sensor().IsControlOn());
    EXPECT_EQ(b.control.settings.nControlState, 1);
    EXPECT_EQ(b.ports.Letters(), CString("ZEZ"));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_START_MEASURE_SOSM);
    EXPECT_EQ(b.com.m_bMeasureRunning, 1);
    // Every sample is the ramp's: no acknowledgement bytes were read as values.
    const std::vector<LONG> values = b.frame.StreamValues(0);
    ASSERT_GT(values.size(), 150u);
    for (std::size_t i = 1; i < values.size(); ++i) EXPECT_GT(values[i], values[i - 1]) << i;
}

TEST(SimStream, ASingleShotAsksOnceAndShowsTheValues)
{
    sim::SensorConfig config = AcceptedSensor();
    config.signalA = {sim::SignalSpec::Kind::Constant, 1234.0};
    SimStreamBench b(config);
    ASSERT_TRUE(b.connected);
    b.com.COM_SendSingleShot(true, 0);
    b.loop.RunFor(200);
    EXPECT_EQ(b.ports.Letters(), CString("A"));
    ASSERT_EQ(b.frame.refreshes.size(), 1u);
    EXPECT_EQ(b.frame.refreshes[0].reason, 1);
    EXPECT_EQ(b.com.m_sValueAnswer.nValueA, 1234);
    EXPECT_EQ(b.setup.scalingValues.size(), 1u);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
}

TEST(SimStream, GarbageAheadOfTheStartAndAStalledPortLoseNothing)
{
    sim::SensorConfig config = RampSensor();
    config.faults.garbage.push_back({'Z', {0x55, 0x02, 0x13, 0x06}, 1});
    config.faults.stalls.push_back({sim::Trigger{0, 50}, 300, 1});
    SimStreamBench b(config);
    ASSERT_TRUE(b.connected);
    b.Measure(1500);
    EXPECT_EQ(b.com.m_bStreamStarted, 1);
    ExpectSteadyRamp(b.frame.StreamValues(0), 280);
    EXPECT_EQ(b.com.m_bMeasureRunning, 1);
}

TEST(SimStream, ARepeatedOrGarbledRecordStopsTheSensorAndNoFurtherValueIsShown)
{
    for (int fault = 0; fault < 2; ++fault) {
        sim::SensorConfig config = RampSensor();
        if (fault == 0) config.faults.records.repeated = {30};
        else config.faults.records.corrupted.push_back({30, 0, 0x40});
        SimStreamBench b(config);
        ASSERT_TRUE(b.connected);
        b.Measure(1000);
        EXPECT_EQ(b.com.m_bMeasureRunning, 0) << fault;
        EXPECT_EQ(b.frame.StreamValues(0).size(), fault == 0 ? 31u : 30u) << fault;
        EXPECT_FALSE(b.devices[0]->Port(0).sensor().IsStreaming()) << fault;
        EXPECT_EQ(b.documentation.endTimes.size(), 1u) << fault;
    }
}

TEST(SimStream, APolledMeasurementShowsTheFirstAnswerAtOnceAndEveryTicksAnswer)
{
    sim::SensorConfig config = AcceptedSensor();
    config.signalA = {sim::SignalSpec::Kind::Constant, 321.0};
    SimStreamBench b(config);
    ASSERT_TRUE(b.connected);
    b.frame.rateIndex = 19;  // one value an hour: nothing may wait for the first tick
    b.com.COM_SetMeasureRate();
    ASSERT_EQ(b.com.m_bStreamingRate, 0);
    b.com.m_sValueAnswer.nDecoded = 0;
    b.Measure(200);
    ASSERT_EQ(b.frame.refreshes.size(), 1u);
    EXPECT_EQ(b.com.m_sValueAnswer.nValueA, 321);
    // Each tick of the page's poll timer asks once more.
    for (int tick = 0; tick < 3; ++tick) {
        b.com.COM_ZMSingleShot();
        b.loop.RunFor(200);
    }
    EXPECT_EQ(b.ports.Letters(), CString("AAAA"));
    EXPECT_EQ(b.frame.refreshes.size(), 4u);
    EXPECT_EQ(b.com.m_sValueAnswer.nDecoded, 4);
}
