// Whole connections under virtual time with simulated sensors: search, probing, identification,
// and the activation of further ports.

#include <algorithm>
#include <chrono>

#include <gtest/gtest.h>

#include "tests/workflow/workflow_bench.h"

using namespace workflow_test;

namespace {

std::vector<int> BlockRequests(const SimPortFactory& ports)
{
    std::vector<int> blocks;
    for (const WrittenFrame& frame : ports.writes)
        if (frame.Letter() == 'D') blocks.push_back(frame.bytes.ByteAt(5));
    return blocks;
}

const std::vector<int> kBlockOrder{0x00, 0x01, 0x02, 0x03, 0x80, 0x81, 0x82, 0x83};

SimSensorPort* AsSim(const std::shared_ptr<workflow::ISensorPort>& port)
{
    return dynamic_cast<SimSensorPort*>(port.get());
}

}  // namespace

TEST(Connection, OneSensorIsProbedThenIdentifiedWithTwoStatusRequestsSixteenBlockReadsAndOneValueRequest)
{
    const auto started = std::chrono::steady_clock::now();
    Bench b;
    b.AddSensor("COM3", AcceptedSensor(123456));
    b.com.COM_SearchComPorts(0);
    ASSERT_TRUE(b.RunUntilConnected());
    const auto realMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();

    EXPECT_EQ(b.ports.Letters(), CString("BDDDDDDDDBDDDDDDDDA"));
    std::vector<int> twice = kBlockOrder;
    twice.insert(twice.end(), kBlockOrder.begin(), kBlockOrder.end());
    EXPECT_EQ(BlockRequests(b.ports), twice);

    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(b.com.m_nSensorPortCount, 1);
    EXPECT_EQ(b.com.m_PortRec[0].m_nState, kPortStateActive);
    EXPECT_EQ(b.com.m_PortRec[0].m_nBaudRate, 115200);
    EXPECT_EQ(b.com.m_nPortMark[3], 115200);
    EXPECT_EQ(b.com.m_Sensor[0].m_sStatorHeader.nSerialNo, 123456u);
    EXPECT_EQ(b.com.m_Sensor[0].m_sIdent[kIdentStatorId], 4);
    EXPECT_EQ(b.com.m_Sensor[0].m_sIdent[kIdentAddress], 1);
    EXPECT_EQ(b.com.m_PortRec[0].m_Sensor.m_sStatorHeader.nSerialNo, 123456u);
    EXPECT_EQ(b.com.m_Sensor[0].m_sSwConfig.cReadMark, 1);
    // The sensor keeps its user calibration switched off, with check words that do not match.
    EXPECT_EQ(b.com.m_Sensor[0].m_anBlockCheck, (std::array<int, 8>{0, 0, 0, 0, 0, 0, kBlockSumWrong | kBlockWeightedSumWrong, 0}));
    EXPECT_EQ(b.com.m_strActivePortName, CString("COM3 Tessaline USB sensor interface Port"));
    EXPECT_EQ(b.com.m_bSearchBusy, 0);
    EXPECT_EQ(b.frame.displayFlagClears, 1);  // by the connect request
    EXPECT_TRUE(b.frame.sensorConnected);
    EXPECT_TRUE(b.control.sensorPresent);
    EXPECT_EQ(b.connection.GetItemText(0, 6), CString("aktiv"));
    EXPECT_TRUE(b.boxes.Boxes().empty());
    EXPECT_LT(realMs, 1000);
}

TEST(Connection, ASensorAnsweringOnlyAt230400IsProbedAt115200FirstAndThenAt230400)
{
    Bench b;
    b.AddSensor("COM4", AcceptedSensor(), "Tessaline USB sensor interface Port", 230400);
    b.com.COM_SearchComPorts(0);
    ASSERT_TRUE(b.RunUntilConnected());

    std::vector<int> statusBauds;
    for (const WrittenFrame& frame : b.ports.writes)
        if (frame.Letter() == 'B') statusBauds.push_back(frame.baud);
    EXPECT_EQ(statusBauds, (std::vector<int>{115200, 230400, 230400}));
    EXPECT_EQ(b.com.m_PortRec[0].m_nBaudRate, 230400);
    EXPECT_EQ(b.com.m_nPortMark[4], 230400);
}

TEST(Connection, APortWithoutAnswerIsTriedOnceAt115200AndOnceAt230400ThenPassedOver)
{
    Bench b;
    sim::SensorConfig silent = AcceptedSensor();
    b.AddSensor("COM5", silent, "Tessaline USB sensor interface Port", 9600);
    b.com.COM_SearchComPorts(0);
    EXPECT_EQ(b.LongestHoldMs(5000), 0) << "a pause of the probe held the window";

    std::vector<int> bauds;
    for (const WrittenFrame& frame : b.ports.writes) bauds.push_back(frame.baud);
    EXPECT_EQ(bauds, (std::vector<int>{115200, 230400}));
    EXPECT_EQ(b.com.m_nSensorPortCount, 0);
    EXPECT_EQ(b.com.m_bSearchBusy, 1);  // no sensor found: connect requests stay ignored
    EXPECT_EQ(b.startUp.finished, 1);
    EXPECT_FALSE(b.connection.timers.IsTimerArmed(workflow::kConnPageTimerProbeTimeout));
}

TEST(Connection, AKeptBaudRateIsTheOnlyRateTriedOnItsRow)
{
    Bench b;
    b.AddSensor("COM5", AcceptedSensor(), "Tessaline USB sensor interface Port", 9600);
    b.com.m_nKeepBaud = 230400;
    b.com.m_nKeepBaudRow = 0;
    b.com.COM_SearchComPorts(0);
    b.loop.RunFor(5000);

    std::vector<int> bauds;
    for (const WrittenFrame& frame : b.ports.writes) bauds.push_back(frame.baud);
    EXPECT_EQ(bauds, (std::vector<int>{230400}));
    EXPECT_EQ(b.com.m_nKeepBaud, -1);
}

TEST(Connection, AnEthernetModulePortWaitsLongerBeforeTheOpenAndForTheAnswer)
{
    Bench b;
    b.AddSensor("COM7", AcceptedSensor(), "Lantronix CPR Port");
    const platform::WindowHandle window = b.window.GetSafeHwnd();
    b.com.COM_SearchComPorts(0);
    EXPECT_EQ(b.loop.TimerRemainingMs(window, kTimerProbeOpen), 100);
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.loop.IsTimerArmed(window, kTimerProbeAnswerWait); }, 1000));
    EXPECT_EQ(b.loop.TimerRemainingMs(window, kTimerProbeAnswerWait), 10 + 500);  // from the request on
    EXPECT_EQ(b.com.m_PortRecPrev[0].m_nState, kPortStateAvailable);
    ASSERT_TRUE(b.RunUntilConnected());
    EXPECT_EQ(b.com.m_bEthernetSeen, 1);
    EXPECT_EQ(b.ports.Count('B'), 2);

    Bench plain;
    plain.AddSensor("COM3", AcceptedSensor());
    const platform::WindowHandle plainWindow = plain.window.GetSafeHwnd();
    plain.com.COM_SearchComPorts(0);
    EXPECT_LE(plain.loop.TimerRemainingMs(plainWindow, kTimerProbeOpen), 10);
    ASSERT_TRUE(plain.loop.RunUntil([&] { return plain.loop.IsTimerArmed(plainWindow, kTimerProbeAnswerWait); }, 1000));
    EXPECT_EQ(plain.loop.TimerRemainingMs(plainWindow, kTimerProbeAnswerWait), 10 + 200);
}

TEST(Connection, FourSeparateSensorsAreIdentifiedAndOpenedOnFourFurtherPortManagers)
{
    Bench b;
    for (int i = 0; i < 4; ++i) b.AddSensor(CString::Formatted("COM%d", 3 + i), AcceptedSensor(1000 + i));
    b.com.COM_SearchComPorts(0);
    const bool connected = b.RunUntilConnected();
    ASSERT_TRUE(connected) << b.ports.Letters().GetString() << " state " << b.com.GetZMCOMConfgFlow();
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.com.m_nAutoActivateRow == -1; }, 5000));

    EXPECT_EQ(b.ports.Count('B'), 5);
    EXPECT_EQ(b.ports.Count('D'), 40);
    EXPECT_EQ(b.ports.Count('A'), 1);
    EXPECT_EQ(b.com.m_nCountActivePorts, 4);
    EXPECT_EQ(b.com.m_nActivePortsRecorded, 4);
    EXPECT_EQ(b.com.m_nAutoActivateRow, -1);
    EXPECT_FALSE(b.com.m_pPortMan);
    for (int slot = 0; slot < 4; ++slot) {
        SimSensorPort* port = AsSim(b.com.m_pPortManOfPort[static_cast<std::size_t>(slot)]);
        ASSERT_NE(port, nullptr);
        EXPECT_TRUE(port->IsOpen());
        EXPECT_EQ(port->DataMessage(), workflow::kMsgFurtherPortData + static_cast<UINT>(slot));
        EXPECT_EQ(b.com.m_Sensor[static_cast<std::size_t>(slot)].m_sStatorHeader.nSerialNo, 1000u + static_cast<DWORD>(slot));
        EXPECT_EQ(b.com.m_PortRec[static_cast<std::size_t>(slot)].m_nState, kPortStateActive);
    }
    EXPECT_EQ(b.com.m_nDefaultBaudRate, 115200);
    EXPECT_EQ(b.diagnostic.runs, 1);
    CStringArray groups;
    b.diagnostic.detector.GetGroups(groups);
    EXPECT_EQ(groups.GetSize(), 0);  // no multiport device among them
}

TEST(Connection, AMultiportDeviceIsGroupedWithItsMasterAndAllPortsOpened)
{
    // Also when its sensors still stream from a measurement of a program that was killed.
    for (const bool streaming : {false, true}) {
        SCOPED_TRACE(streaming);
        Bench b;
        std::vector<sim::SensorConfig> configs = sim::MultiportConfigs(4, AcceptedSensor(777));
        for (sim::SensorConfig& config : configs) config.faults.unaskedStream.enabled = streaming;
        b.AddDevice(3, configs);
        ASSERT_TRUE(b.SearchUntilAllActive());

        EXPECT_EQ(b.com.m_nSensorPortCount, 4);
        EXPECT_EQ(b.com.m_nCountActivePorts, 4);
        CStringArray groups;
        b.diagnostic.detector.GetGroups(groups);
        ASSERT_EQ(groups.GetSize(), 1);
        EXPECT_EQ(groups[0], CString("\x00\x01\x02\x03", 4));
        for (int slot = 0; slot < 4; ++slot) {
            EXPECT_EQ(b.com.m_Sensor[static_cast<std::size_t>(slot)].m_sStatorHeader.cModuleIndex, slot + 1);
            EXPECT_EQ(AsSim(b.com.m_pPortManOfPort[static_cast<std::size_t>(slot)])->OpenName().Left(4),
                      CString::Formatted("COM%d", 3 + slot));
        }
        EXPECT_EQ(b.sequencer.texts.size(), 3u * 4u + 3u);
        EXPECT_TRUE(b.boxes.Boxes().empty());
    }
}

TEST(Connection, ARefusedSoftwareConfigurationBlockSkipsToTheRotorBlocks)
{
    Bench b;
    sim::SensorConfig config = AcceptedSensor();
    config.identity.blockPresent[3] = false;
    b.AddSensor("COM3", config);
    b.com.COM_SearchComPorts(0);
    ASSERT_TRUE(b.RunUntilConnected());
    EXPECT_EQ(b.ports.Letters(), CString("BDDDDDDDDBDDDDDDDDA"));
    const CSensorRecord& sensor = b.com.m_Sensor[0];
    EXPECT_EQ(sensor.m_cRefusalCode, sim::kRefuseBlock);
    EXPECT_EQ(sensor.m_sIdent[kIdentAddress], 1);  // the refusal does not touch the address
    EXPECT_EQ(sensor.m_sSwConfig.cReadMark, 0);
    EXPECT_EQ(sensor.m_sSwConfig.cValid, 0);
    // Of two sensors, one that refuses its stator operation block keeps no block of the other
    // (searched after it) to be written from.
    Bench two;
    sim::SensorConfig noOperation = AcceptedSensor(100002);
    noOperation.identity.blockPresent[2] = false;
    two.AddSensor("COM3", noOperation);
    two.AddSensor("COM4", AcceptedSensor());
    ASSERT_TRUE(two.SearchUntilAllActive());
    ASSERT_EQ(two.com.m_Sensor[0].m_sStatorHeader.nSerialNo, 100002u);
    EXPECT_TRUE(two.com.m_Sensor[0].m_strBlockStatorOperation.IsEmpty());
    EXPECT_FALSE(two.com.COM_ZMCOMConfgSetNewLowPassFilter(0));

    // A sensor without a user calibration block has no user calibration; one that refuses its
    // rotor header cannot be used, and the user is told why. Each block is asked for once.
    for (const int missing : {6, 4}) {
        Bench r;
        sim::SensorConfig rotor = AcceptedSensor();
        rotor.identity.blockPresent[static_cast<std::size_t>(missing)] = false;
        r.AddSensor("COM3", rotor);
        r.com.COM_SearchComPorts(0);
        EXPECT_FALSE(r.loop.RunUntil([&] { return r.ports.Count('D') > 2 * 8; }, 5000)) << missing;
        const std::vector<int> asked = BlockRequests(r.ports);
        for (const int block : kBlockOrder)
            EXPECT_LE(std::count(asked.begin(), asked.end(), block), 2) << missing << " " << block;
        const bool usable = missing == 6;
        EXPECT_EQ(r.frame.sensorConnected, usable);
        EXPECT_EQ(r.com.m_PortRec[0].m_nState, usable ? kPortStateActive : kPortStateNotSupported);
        EXPECT_EQ(r.com.m_Sensor[0].m_anBlockCheck[kSlotRotorUserCalib], usable ? kBlockEmpty : 0);
        ASSERT_EQ(r.boxes.Boxes().size(), usable ? 0u : 1u) << missing;
        if (!usable) {
            EXPECT_NE(r.boxes.Boxes()[0].text.Find("COM3"), -1) << r.boxes.Boxes()[0].text.GetString();
        }
    }
}

TEST(Connection, AnUnsupportedSensorGetsState7AndNoConnection)
{
    Bench b;
    sim::SensorConfig old = AcceptedSensor();
    old.identity.statorId = 6;
    b.AddSensor("COM3", old);
    b.com.COM_SearchComPorts(0);
    b.loop.RunFor(3000);
    EXPECT_EQ(b.ports.Letters(), CString("B"));
    EXPECT_EQ(b.com.m_PortRec[0].m_nState, kPortStateNotSupported);
    EXPECT_EQ(b.com.m_PortRec[0].m_Sensor.m_sIdent[kIdentStatorId], 6);
    EXPECT_EQ(b.com.m_nSensorPortCount, 0);
}

TEST(Connection, ASensorStillStreamingIsStoppedAndConnectedAndOneThatStreamsOnIsReportedWhileTheSearchGoesOn)
{
    for (const bool stops : {true, false})
        for (const BYTE rate : {25, 250}) {  // 200 and 20 sets a second: the slow one shows only over the whole try
            SCOPED_TRACE(::testing::Message() << "stops " << stops << ", rate " << int(rate));
            Bench b;
            sim::SensorConfig streaming = AcceptedSensor(4711);
            streaming.faults.unaskedStream = {true, 'C', rate, !stops};
            if (!stops) b.AddSensor("COM3", AcceptedSensor(815));  // probed after the streaming one
            sim::SimDevice& sensor = b.AddSensor("COM4", streaming);
            b.com.COM_SearchComPorts(0);
            ASSERT_TRUE(b.RunUntilConnected());
            EXPECT_EQ(b.com.m_Sensor[0].m_sStatorHeader.nSerialNo, stops ? 4711u : 815u);
            EXPECT_EQ(sensor.Port(0).sensor().IsStreaming(), !stops);
            EXPECT_EQ(std::count_if(b.ports.writes.begin(), b.ports.writes.end(), [](const WrittenFrame& w) { return w.bytes == "\x02"; }), 10);
            ASSERT_EQ(b.boxes.Boxes().size(), stops ? 0u : 1u);
            if (!stops) {
                EXPECT_NE(b.boxes.Boxes()[0].text.Find("[COM4]"), -1) << b.boxes.Boxes()[0].text.GetString();
            }
        }
}
