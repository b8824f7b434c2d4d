// A multiport device in measurement mode: the merge of the ports' streams into value sets, with
// unequal chunks, a stalled port and gaps; single shots on every port; the device steps.

#include <map>

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"
#include "workflow/connection_state.h"

using namespace workflow_test;

namespace {

CString Records(int first, int count, int value0, int step = 1)
{
    CString text;
    for (int i = 0; i < count; ++i) text += Rec3(first + i, value0 + step * i);
    return text;
}

const CString kMasterAck = Bytes({0x02, 0x06, 0xFF, 0x01, 0x00, 0x06, 0x17});

CString ValueAnswer(int raw, int value, int control = 0)
{
    return Answer('A', {static_cast<std::uint8_t>(raw >> 8), static_cast<std::uint8_t>(raw), 0, 0,
                        static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value), 0, 0,
                        static_cast<std::uint8_t>(control)});
}

struct MergeBench : Bench {
    explicit MergeBench(int ports)
    {
        com.SetSensorAddress(1, 0xFF);
        com.m_nCountActivePorts = ports;
        com.COM_ResetRealSensorIndex();
        com.SetInterpolateLostValues(1);
        com.SetZMCOMConfgFlow(ZM_4xS_START_SSOSM);
        com.m_bMeasureRunning = 1;
        com.m_nDisplayDecimation = 1;
        com.m_nDisplayCountdown = 1;
    }
    void Deliver(int port, const CString& bytes)
    {
        com.OnReceivePort(port, static_cast<WPARAM>(bytes.GetLength()), reinterpret_cast<LPARAM>(bytes.bytes()));
    }
    // The sets handed over, one vector of channel values per set.
    std::vector<std::vector<LONG>> Sets(int ports) const
    {
        std::vector<std::vector<LONG>> sets;
        for (const auto& r : frame.refreshes)
            if (r.reason == 0) sets.push_back(std::vector<LONG>(r.value.begin(), r.value.begin() + ports));
        return sets;
    }
};

}  // namespace

TEST(MultiportMerge, MasksByPortCount)
{
    std::uint32_t complete = 0;
    std::uint32_t start = 0;
    ASSERT_TRUE(workflow::MergeMasks(3, complete, start));
    EXPECT_EQ(complete, 0xFF010101u);
    EXPECT_EQ(start, 0xFF000000u);
    ASSERT_TRUE(workflow::MergeMasks(2, complete, start));
    EXPECT_EQ(start, 0xFFFF0000u);
    EXPECT_FALSE(workflow::MergeMasks(1, complete, start));
}

TEST(MultiportMerge, TheMastersAcknowledgementStartsAndEachCompleteSetIsHandedOverOnce)
{
    MergeBench b(2);
    b.Deliver(0, kMasterAck);
    EXPECT_EQ(b.com.m_bStreamStarted, 1);
    EXPECT_EQ(b.com.m_nRecordCount, -1);
    b.Deliver(0, Rec3(0, 11));
    EXPECT_TRUE(b.Sets(2).empty());
    b.Deliver(1, Rec3(0, 22));
    EXPECT_EQ(b.Sets(2), (std::vector<std::vector<LONG>>{{11, 22}}));
    EXPECT_EQ(b.com.m_byExpectedSeq, 1);
    EXPECT_EQ(b.com.m_nRecordCount, 0);
}

TEST(MultiportMerge, RecordsBehindTheMastersAcknowledgementAndEarlySlaveRecordsAreKept)
{
    MergeBench b(2);
    b.Deliver(1, Records(0, 2, 100));  // the slave is quicker than the master's acknowledgement
    b.Deliver(0, kMasterAck + Records(0, 3, 1));
    // A set goes out with the delivery that completes a round of all ports.
    EXPECT_EQ(b.Sets(2), (std::vector<std::vector<LONG>>{{1, 100}, {2, 101}}));
    b.Deliver(1, Records(2, 2, 102));
    b.Deliver(0, Records(3, 1, 4));
    EXPECT_EQ(b.Sets(2), (std::vector<std::vector<LONG>>{{1, 100}, {2, 101}, {3, 102}, {4, 103}}));
    EXPECT_TRUE(b.frame.exitCodes.empty());
}

TEST(MultiportMerge, UnequalChunksFromThreePortsGiveEverySetInOrder)
{
    MergeBench b(3);
    b.Deliver(0, kMasterAck);
    const CString streams[3] = {Records(0, 12, 0), Records(0, 12, 1000), Records(0, 12, 2000)};
    const std::vector<std::vector<int>> cuts = {{0, 7, 12}, {0, 1, 2, 9, 12}, {0, 5, 6, 12}};
    std::array<std::size_t, 3> next{1, 1, 1};
    bool more = true;
    while (more) {
        more = false;
        for (int p = 0; p < 3; ++p) {
            const auto& c = cuts[static_cast<std::size_t>(p)];
            std::size_t& i = next[static_cast<std::size_t>(p)];
            if (i >= c.size()) continue;
            b.Deliver(p, streams[p].Mid(c[i - 1] * 3, (c[i] - c[i - 1]) * 3));
            ++i;
            more = true;
        }
    }
    // One more round, and every value present on every port is out.
    for (int p = 0; p < 3; ++p) b.Deliver(p, Rec3(12, 1000 * p + 12));
    // Sets go out with the delivery that completes a round: all but the last are out, in order.
    const auto sets = b.Sets(3);
    ASSERT_GE(sets.size(), 12u);
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const LONG v = static_cast<LONG>(i);
        EXPECT_EQ(sets[i], (std::vector<LONG>{v, 1000 + v, 2000 + v})) << i;
    }
    EXPECT_TRUE(b.frame.exitCodes.empty());
}

TEST(MultiportMerge, OneLostRecordIsBridgedAndAGapOfTwoStopsWithoutAFatalEnd)
{
    MergeBench b(2);
    b.Deliver(0, kMasterAck);
    b.Deliver(0, Records(0, 3, 10, 10));
    b.Deliver(1, Rec3(0, 100) + Rec3(2, 300));
    EXPECT_EQ(b.Sets(2), (std::vector<std::vector<LONG>>{{10, 100}, {20, 200}, {30, 300}}));
    EXPECT_EQ(b.control.diagnostics[static_cast<std::size_t>(workflow::MeasureDiagnostic::MissingValueCount)][1], 1);

    b.Deliver(0, Records(3, 2, 40, 10));
    b.Deliver(1, Rec3(6, 700) + Rec3(7, 800));  // records 3 to 5 lost
    EXPECT_EQ(b.com.m_bMeasureRunning, 0);
    ASSERT_FALSE(b.control.statusLines.empty());
    EXPECT_EQ(b.control.statusLines.back(), CString("...vvv--[-...]v"));
    // The stop the merge itself caused: what still arrives is dropped, the application stays.
    b.Deliver(1, Records(8, 5, 0));
    b.Deliver(0, Records(5, 5, 0));
    EXPECT_TRUE(b.frame.exitCodes.empty());
    EXPECT_EQ(b.com.m_nRecvCount[0], 0);
    EXPECT_EQ(b.Sets(2).size(), 3u);
}

TEST(MultiportMerge, AStalledPortStopsTheMeasurementWithAMessageBeforeItsQueueRunsOver)
{
    MergeBench b(2);
    b.Deliver(0, kMasterAck);
    b.Deliver(1, Rec3(0, 5));
    for (int i = 0; i < 120; ++i) b.Deliver(0, Records(i * 10, 10, i * 10));
    EXPECT_EQ(b.com.m_bMeasureRunning, 0);
    EXPECT_EQ(b.boxes.Count(), 1u);
    EXPECT_EQ(b.boxes.Boxes()[0].text, workflow::WorkflowText(workflow::kTextValuesOutOfStep));
    EXPECT_TRUE(b.frame.exitCodes.empty());
    EXPECT_EQ(b.Sets(2).size(), 1u);
}

TEST(MultiportMerge, TheSynchronisationTestModeNumbersTheValuesAndLosesOneDelivery)
{
    MergeBench b(2);
    b.com.m_bSyncTestMode = 1;
    b.com.m_bSyncTestDropOne = 1;
    b.com.m_nSyncTestPort = 1;
    b.com.m_nSyncTestFirstByte = 2;  // the delivery that begins with sequence byte 2
    b.com.m_nSyncTestAfterRecords = 0;
    b.Deliver(0, kMasterAck);
    b.Deliver(0, Records(0, 2, 500));
    b.Deliver(1, Records(0, 2, 900));
    EXPECT_EQ(b.Sets(2), (std::vector<std::vector<LONG>>{{0, 0}, {1, 1}}));
    b.Deliver(0, Records(2, 1, 500));
    b.Deliver(1, Records(2, 1, 900));  // lost on purpose
    b.Deliver(0, Records(3, 1, 500));
    b.Deliver(1, Records(3, 1, 900));  // one sequence byte missing: bridged, numbered past the gap
    const auto sets = b.Sets(2);
    ASSERT_EQ(sets.size(), 4u);
    EXPECT_EQ(sets[2], (std::vector<LONG>{2, 2}));
    EXPECT_EQ(sets[3], (std::vector<LONG>{3, 3}));
}

TEST(MultiportMerge, AnAcknowledgementOfASlaveBeforeTheStartIsAProtocolError)
{
    MergeBench b(2);
    b.control.settings.bRunning = 1;
    b.Deliver(1, kMasterAck);
    EXPECT_EQ(b.com.m_bStreamStarted, 0);
    EXPECT_EQ(b.com.m_bMeasureRunning, 0);
    ASSERT_EQ(b.boxes.Count(), 1u);
    EXPECT_EQ(b.boxes.Boxes()[0].text, CString("Protocol error: can't find a source for the beginn of Measure"));
    EXPECT_EQ(b.control.statusLines.back(), CString("master signal from the slave"));
    // The measurement whose stream broke ends with its ports, not with a time-out later.
    b.com.COM_CloseSensorPorts();
    EXPECT_EQ(b.control.settings.bRunning, 0);
}

TEST(MultiportMerge, TheMasterSignalInsideTheStreamIsNoRecord)
{
    MergeBench b(2);
    b.Deliver(0, kMasterAck);
    b.com.m_iZMCOMConfgFlowPrev = ZM_AUTO_STORAGE;
    b.Deliver(0, Rec3(0, 1) + Rec3(1, 2) + kMasterAck.Left(4));
    b.Deliver(0, kMasterAck.Mid(4) + Rec3(2, 3));
    // The acknowledgement went to the analysis of the state that asked for it.
    EXPECT_EQ(b.control.storageSteps, (std::vector<int>{0}));
    b.com.SetZMCOMConfgFlow(ZM_4xS_START_SSOSM);
    b.Deliver(1, Records(0, 3, 10));
    EXPECT_EQ(b.Sets(2), (std::vector<std::vector<LONG>>{{1, 10}, {2, 11}, {3, 12}}));
}

TEST(MultiportMerge, TheEndOfTheMeasuringTimeDrainsTheStream)
{
    MergeBench b(2);
    b.Deliver(0, kMasterAck);
    b.Deliver(0, Records(0, 4, 1));
    b.frame.endAfterRefreshes = 1;
    b.Deliver(1, Records(0, 4, 5));
    EXPECT_TRUE(b.frame.drained);
    EXPECT_EQ(b.com.m_nRecvCount[1], 0);
    const std::size_t sets = b.frame.refreshes.size();
    b.Deliver(0, Records(4, 4, 1));
    EXPECT_EQ(b.frame.refreshes.size(), sets);
}

TEST(MultiportMerge, ADeliveryBeyondTheBufferIsDiscardedAndAnEmptyOneReported)
{
    MergeBench b(2);
    b.com.SetZMCOMConfgFlow(ZM_4xS_SINGLE_SHOT);
    const CString big(std::string(kRecvBufSize + 1, 'x').c_str(), kRecvBufSize + 1);
    b.Deliver(1, big);
    EXPECT_EQ(b.com.m_nRecvCount[1], 0);
    b.Deliver(1, CString());
    ASSERT_EQ(b.boxes.Count(), 1u);
    EXPECT_EQ(b.boxes.Boxes()[0].text, CString("kein Byte empfangen!"));
}

TEST(MultiportAnswers, ValueAnswersAreUnstuffedFoundBehindGarbageAndDroppedWhenTheirCheckFails)
{
    MergeBench b(2);
    b.com.COM_4xS_SingleShot(-1);
    // A value whose bytes hold 0x02 travels doubled.
    b.Deliver(0, Bytes({0x55, 0x66}) + ValueAnswer(0x0202, 0x0102));
    EXPECT_EQ(b.com.m_aiValue[0], 0x0102);
    EXPECT_EQ(b.com.m_auRawCount[0], 0x0202u);
    EXPECT_EQ(b.com.m_nRecvCount[0], 0);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_4xS_SINGLE_SHOT);

    CString bad = ValueAnswer(1, 999);
    bad.SetAt(bad.GetLength() - 1, static_cast<char>(bad.ByteAt(bad.GetLength() - 1) ^ 0x01));
    b.Deliver(1, bad.Left(15));
    EXPECT_EQ(b.com.m_nRecvCount[1], 15);
    b.Deliver(1, bad.Mid(15));
    EXPECT_EQ(b.com.m_aiValue[1], 0);
    EXPECT_EQ(b.com.m_nRecvCount[1], 0);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_4xS_SINGLE_SHOT);

    b.Deliver(1, ValueAnswer(1, -5));
    EXPECT_EQ(b.com.m_aiValue[1], -5);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    ASSERT_FALSE(b.frame.refreshes.empty());
    EXPECT_EQ(b.frame.refreshes.back().reason, 1);
}

TEST(MultiportAnswers, ASingleShotForOnePortWaitsForThatPortOnlyAndFeedsTheScalingPage)
{
    MergeBench b(3);
    b.com.COM_SendSingleShot(true, 1);
    EXPECT_EQ(b.com.m_bSinglePortValueRequest, 1);
    b.Deliver(1, ValueAnswer(1, 44));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(b.setup.scalingValues, (std::vector<std::pair<LONG, LONG>>{{44, 44}}));
    EXPECT_EQ(b.com.m_bSinglePortValueRequest, 0);
}

TEST(MultiportAnswers, FrameSumsOfAReceivedFrame)
{
    const CString answer = ValueAnswer(1, 3);
    CString plain = answer;  // no doubled bytes in it
    EXPECT_EQ(CComPort::CheckFrameSums(plain.bytes(), plain.GetLength()), 0);
    plain.SetAt(15, static_cast<char>(plain.ByteAt(15) ^ 1));
    EXPECT_EQ(CComPort::CheckFrameSums(plain.bytes(), plain.GetLength()), kAnswerWeightedSumWrong);
    const CString longer(std::string(42, 'x').c_str(), 42);
    EXPECT_EQ(CComPort::CheckFrameSums(longer.bytes(), 42), kAnswerTooLong);
}

TEST(MultiportSteps, TheSlaveSetUpFrameGoesToEverySlaveAndTheMissingAcknowledgementIsReported)
{
    Bench b;
    b.AddDevice(3, sim::MultiportConfigs(3, AcceptedSensor(777)));
    ASSERT_TRUE(b.SearchUntilAllActive());
    ASSERT_EQ(b.com.m_nCountActivePorts, 3);
    b.ports.writes.clear();
    b.frame.drained = true;
    b.com.COM_4xS_SetSlaves();
    EXPECT_FALSE(b.frame.drained);
    ASSERT_EQ(b.ports.writes.size(), 2u);
    CString expected = Bytes({0x02, 'Z', 0x01, 0xFF, 0x02, 0x02, 0x04, 'A'});
    EXPECT_EQ(b.ports.writes[0].bytes.Left(8), expected);
    EXPECT_EQ(b.ports.writes[0].port, CString("COM4"));
    EXPECT_EQ(b.ports.writes[1].port, CString("COM5"));
    const CString slaveFrame = b.ports.writes[0].bytes;
    b.loop.RunFor(2000);
    EXPECT_EQ(b.com.m_nSlaveAcks, 2);
    EXPECT_EQ(b.boxes.Count(), 0u);  // both slaves answered in time
    // Not while a block written awaits its sensor's answer: the write keeps its step and is
    // confirmed, and the connection is not ended as unstable.
    b.ports.writes.clear();
    ASSERT_EQ(b.com.COM_ZMCOMConfgSetSoftwareConfigBlock(1, 37), CComPort::SwConfigWrite::Sent);
    EXPECT_FALSE(b.com.COM_4xS_SetSlaves());
    EXPECT_EQ(b.ports.writes.size(), 1u);
    b.loop.RunFor(2000);
    EXPECT_EQ(b.com.m_nCountActivePorts, 3);
    EXPECT_EQ(b.boxes.Count(), 0u);

    // The third sensor silent: an acknowledgement the master owes an earlier request meanwhile
    // is none of the slaves'.
    b.devices[0]->Port(2).Stall(-1);
    b.com.COM_4xS_SetSlaves();
    b.com.m_pPortManOfPort[0]->WriteString(slaveFrame);
    b.loop.RunFor(2000);
    ASSERT_EQ(b.boxes.Count(), 1u);
    EXPECT_NE(b.boxes.Boxes()[0].text.Find("drei"), -1);
}

TEST(MultiportSteps, AMeasurementOnAThreePortDeviceMergesEveryPortsStream)
{
    Bench b;
    sim::SensorConfig base = AcceptedSensor(777);
    base.signalA = {sim::SignalSpec::Kind::Ramp, 0.0, 0.0, 2000.0};
    b.AddDevice(3, sim::MultiportConfigs(3, base));
    ASSERT_TRUE(b.SearchUntilAllActive());
    b.com.SetInterpolateLostValues(1);
    b.com.COM_4xS_SetSlaves();
    b.loop.RunFor(500);
    b.frame.refreshes.clear();
    b.com.COM_SetMeasureRate();
    b.com.COM_StartMeasure(-1, false);
    b.loop.RunFor(1000);
    std::vector<std::vector<LONG>> values;
    for (const auto& r : b.frame.refreshes)
        if (r.reason == 0) values.push_back({r.value[0], r.value[1], r.value[2]});
    ASSERT_GT(values.size(), 150u);
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i][0], values[i][1]) << i;
        EXPECT_EQ(values[i][0], values[i][2]) << i;
        if (i > 0) {
            EXPECT_EQ(values[i][0] - values[i - 1][0], 10) << i;
        }
    }
    EXPECT_TRUE(b.frame.exitCodes.empty());
    EXPECT_EQ(b.com.m_bMeasureRunning, 1);
    // A slave lost while they stream: the two sensors left stop streaming too.
    b.devices.back()->Port(2).HangUp();
    b.com.OnFurtherPortNotify(2, workflow::kEventDeviceRemoval, 0);
    b.loop.RunFor(500);
    for (int port : {0, 1}) EXPECT_FALSE(b.devices.back()->Port(port).sensor().IsStreaming()) << port;
}

TEST(MultiportSteps, ASingleShotAsksEveryPortAndShowsTheSetOnceAllAnswered)
{
    Bench b;
    sim::SensorConfig base = AcceptedSensor(777);
    base.signalA = {sim::SignalSpec::Kind::Constant, 321.0};
    b.AddDevice(3, sim::MultiportConfigs(3, base));
    ASSERT_TRUE(b.SearchUntilAllActive());
    b.frame.refreshes.clear();
    b.ports.writes.clear();
    b.com.COM_SendSingleShot(false, 0);
    b.loop.RunFor(300);
    EXPECT_EQ(b.ports.Count('A'), 3);
    ASSERT_EQ(b.frame.refreshes.size(), 1u);
    EXPECT_EQ(b.frame.refreshes[0].reason, 1);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(b.frame.refreshes[0].value[static_cast<std::size_t>(c)], 321) << c;
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
}

// The connected sensors of the connection state are the device's encoders, each counted once,
// the master's too.
TEST(MultiportSteps, TheActivationCountsEachEncoderOnce)
{
    for (int encoderPort : {0, 1}) {
        SCOPED_TRACE(encoderPort);
        Bench b;
        std::vector<sim::SensorConfig> configs = sim::MultiportConfigs(3, AcceptedSensor(783));
        configs[static_cast<std::size_t>(encoderPort)].identity.statorId = 9;
        configs[static_cast<std::size_t>(encoderPort)].identity.rotorTypeClass = 'Y';
        b.AddDevice(3, configs);
        ASSERT_TRUE(b.SearchUntilAllActive());
        EXPECT_TRUE(IsFirstSensorConnected());
        EXPECT_FALSE(IsSecondSensorConnected());
    }
}

TEST(MultiportSteps, TheRestartOfAllSensorsCountsEachPortOnce)
{
    MergeBench b(3);
    b.com.COM_ZMRestartSensorAfterInit();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_RESTART_AFTER_INIT_DEVICE);
    b.Deliver(0, Hello());
    b.Deliver(0, Hello());
    b.Deliver(2, Hello());
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_RESTART_AFTER_INIT_DEVICE);
    b.Deliver(1, Hello());
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(b.connection.timers.armed.back(), (std::pair<UINT_PTR, UINT>{3, 500}));
}

TEST(MultiportSteps, ChannelsAreAssignedByModuleIndexAmongTheMarkedActiveRows)
{
    Bench b;
    b.com.m_nCountActivePorts = 3;
    const int modules[3] = {3, 1, 2};
    for (int row = 0; row < 3; ++row) {
        b.connection.FillPortList(row, kPortStateActive, 1, 0, "COM");
        b.connection.marked[static_cast<std::size_t>(row)] = true;
        b.com.m_PortRec[static_cast<std::size_t>(row)].m_nState = kPortStateActive;
        b.com.m_PortRec[static_cast<std::size_t>(row)].m_Sensor.m_sStatorHeader.cModuleIndex = static_cast<BYTE>(modules[row]);
    }
    b.com.COM_CheckMultiSensorIndices();
    EXPECT_EQ(b.com.m_nRealSensorIndex[0][0], 2);
    EXPECT_EQ(b.com.m_nRealSensorIndex[0][1], 0);
    EXPECT_EQ(b.com.m_nRealSensorIndex[0][2], 1);
    EXPECT_EQ(b.com.m_nRealSensorIndex[1][0], 1);

    b.com.m_PortRec[1].m_Sensor.m_sStatorHeader.cModuleIndex = 0;
    b.com.COM_CheckMultiSensorIndices();
    EXPECT_EQ(b.boxes.Count(), 1u);
    EXPECT_EQ(b.com.m_nRealSensorIndex[0][0], 0);
    EXPECT_EQ(b.com.m_nRealSensorIndex[0][1], 1);
}

TEST(MultiportSteps, TheLastActivationStepMapsChannelsToTheModulesOfTheDevicesPorts)
{
    Bench b;
    std::vector<sim::SensorConfig> configs = sim::MultiportConfigs(2, AcceptedSensor(777));
    std::swap(configs[0].identity.moduleIndex, configs[1].identity.moduleIndex);  // port 0 carries module 2
    b.AddDevice(3, configs);
    b.connection.marked[0] = b.connection.marked[1] = true;
    b.com.COM_SearchComPorts(0);
    ASSERT_TRUE(b.RunUntilConnected());
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.com.m_nAutoActivateRow == -1 && b.com.m_nCountActivePorts == 2; }, 5000));
    EXPECT_EQ(b.com.m_nRealSensorIndex[0][0], 1);
    EXPECT_EQ(b.com.m_nRealSensorIndex[0][1], 0);
    EXPECT_EQ(b.com.m_nRealSensorIndex[1][0], 1);
    EXPECT_EQ(b.com.m_nCurSensor, 0);
    // Ids that are not the controller's steps are left to the frame.
    EXPECT_FALSE(workflow::DispatchWorkflowTimer(b.com, b.window, kTimerClose));
}

TEST(MultiportMerge, ARecordOutOfOrderWithoutBridgingSendsTheStopToEveryPort)
{
    MergeBench b(2);
    for (int port = 0; port < 2; ++port) {
        const CString name = CString::Formatted("COM%d", 3 + port);
        b.AddSensor(name, AcceptedSensor(port));
        auto& slot = b.com.m_pPortManOfPort[static_cast<std::size_t>(port)];
        slot = b.ports.Create(b.window, 2301 + static_cast<UINT>(port), 2101 + static_cast<UINT>(port));
        slot->OpenPort(name);
    }
    b.com.SetInterpolateLostValues(0);
    b.Deliver(0, kMasterAck);
    b.Deliver(0, Rec3(0, 11));
    b.Deliver(1, Rec3(7, 22));
    std::map<CString, int> stops;
    for (const WrittenFrame& frame : b.ports.writes)
        if (frame.bytes == CString('\x02')) ++stops[frame.port];
    EXPECT_EQ(stops, (std::map<CString, int>{{"COM3", 10}, {"COM4", 10}}));
    EXPECT_EQ(b.com.m_bMeasureRunning, 0);
}
