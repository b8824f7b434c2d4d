// Step senders: connection start, measurement start and stop, control signal, restarts.

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"

using namespace workflow_test;

namespace {

void ActivePorts(OpenBench& b, int count)
{
    for (int port = 1; port < count; ++port) b.AddSensor(CString::Formatted("COM%d", 3 + port), AcceptedSensor(port));
    for (int port = 0; port < count; ++port) {
        auto& slot = b.com.m_pPortManOfPort[static_cast<std::size_t>(port)];
        slot = b.ports.Create(b.window, 2301 + port, 2101 + port);
        slot->OpenPort(CString::Formatted("COM%d", 3 + port));
    }
    b.com.m_pPortMan.reset();
    b.com.m_nCountActivePorts = count;
}

}  // namespace

TEST(Steps, TheSensorIsNotReadyWhileStartingOrRestarting)
{
    OpenBench b;
    for (int code : {1, 2, 45}) {
        b.com.SetZMCOMConfgFlow(code);
        EXPECT_FALSE(b.com.IsSensorReady()) << code;
    }
    for (int code : {0, -2, 3, 57}) {
        b.com.SetZMCOMConfgFlow(code);
        EXPECT_TRUE(b.com.IsSensorReady()) << code;
    }
}

TEST(Steps, AStreamedStartOnThreePortsSendsOneShortSetUpToTheMasterOnly)
{
    OpenBench b;
    ActivePorts(b, 3);
    b.com.COM_4xS_SetSlaves();
    b.loop.RunFor(100);
    b.ports.writes.clear();
    EXPECT_TRUE(b.com.COM_StartMeasure(-1, true));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_4xS_START_SSOSM);
    ASSERT_EQ(b.ports.writes.size(), 1u);
    EXPECT_EQ(b.ports.writes[0].port, CString("COM3"));
    EXPECT_EQ(b.ports.writes[0].Letter(), 'Z');
    const CString& z = b.ports.writes[0].bytes;
    EXPECT_EQ(z.ByteAt(9), 'A');
    EXPECT_EQ(b.control.settings.bRunning, 1);
    EXPECT_EQ(b.com.m_bMeasureRunning, 1);
}

TEST(Steps, AStreamedStartOnOnePortChoosesTheSetUpByTheChannels)
{
    for (auto [a, bSel, selector] : {std::tuple<bool, bool, char>{true, true, 'C'}, {false, false, 'C'},
                                     {true, false, 'A'}, {false, true, 'B'}}) {
        OpenBench b;
        b.setup.channelA = a;
        b.setup.channelB = bSel;
        b.com.COM_StartMeasure(-1, false);
        EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_START_MEASURE_SOSM);
        ASSERT_EQ(b.ports.writes.size(), 1u);
        const CString& z = b.ports.writes[0].bytes;
        EXPECT_EQ(z.ByteAt(9), static_cast<BYTE>(selector));
        EXPECT_EQ(b.frame.averageModes, (std::vector<int>{0}));
    }
}

TEST(Steps, APolledStartAsksOnceAndStartsThePollTimer)
{
    OpenBench b;
    b.com.m_bStreamingRate = 0;
    b.com.m_nPollIntervalMs = 100;
    b.com.COM_StartMeasure(-1, false);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SINGLE_SHOT);
    EXPECT_EQ(b.ports.Letters(), CString("A"));
    EXPECT_EQ(b.control.pollPeriods, (std::vector<UINT>{100}));

    b.com.COM_StopMeasure();
    EXPECT_EQ(b.control.pollStops, 1);
    EXPECT_EQ(b.control.timers.armed.back(), (std::pair<UINT_PTR, UINT>{workflow::kCtrlPageTimerReceiveTimeout, 500}));
    EXPECT_EQ(b.control.settings.bRunning, 0);
}

TEST(Steps, StoppingAStreamSendsTenStopBytesUnlessTheSensorEndedIt)
{
    OpenBench b;
    b.com.COM_StartMeasure(-1, false);
    b.ports.writes.clear();
    EXPECT_TRUE(b.com.COM_StopMeasure());
    EXPECT_EQ(b.ports.writes.size(), 10u);
    for (const WrittenFrame& frame : b.ports.writes) EXPECT_EQ(frame.bytes, CString('\x02'));

    b.ports.writes.clear();
    b.com.m_bSensorEndedStream = 1;
    EXPECT_TRUE(b.com.COM_StopMeasure());
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_EQ(b.com.m_bSensorEndedStream, 0);
}

TEST(Steps, StoppingAMultiportStreamStopsEveryPortAndArmsTheStopWatch)
{
    OpenBench b;
    ActivePorts(b, 2);
    b.ports.writes.clear();
    b.com.COM_StopMeasure();
    EXPECT_EQ(b.ports.writes.size(), 20u);
    EXPECT_EQ(b.control.timers.armed.back(), (std::pair<UINT_PTR, UINT>{workflow::kCtrlPageTimerMultiportStop, 550}));
}

TEST(Steps, TheControlSignalOnTwoPortsIsSwitchedPortByPort)
{
    OpenBench b;
    ActivePorts(b, 2);
    b.com.m_bPortAnswered = {1, 1, 1, 1};
    b.ports.writes.clear();
    const std::int64_t before = b.loop.NowMs();
    // The second port is written 50 ms after the first, by the loop: the thread does not wait.
    EXPECT_TRUE(b.com.COM_ZMSetCtrlOn());
    EXPECT_EQ(b.loop.NowMs(), before);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_4xS_CTRL_ON);
    EXPECT_EQ(b.com.m_bPortAnswered, (std::array<BYTE, 4>{0, 0, 0, 0}));
    // Switched off again at once: that switch follows the first one's last port and its 50 ms.
    EXPECT_TRUE(b.com.COM_ZMSetCtrlOff());
    b.loop.RunFor(200);
    std::vector<std::pair<CString, std::int64_t>> line;
    std::vector<CString> frames;
    for (const auto& w : b.ports.writes) {
        if (w.Letter() != 'E') continue;
        line.emplace_back(w.port, w.atMs - before);
        frames.push_back(w.bytes);
    }
    EXPECT_EQ(line, (std::vector<std::pair<CString, std::int64_t>>{
                        {"COM3", 0}, {"COM4", 50}, {"COM3", 100}, {"COM4", 150}}));
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0], frames[1]);
    EXPECT_EQ(frames[2], frames[3]);
    EXPECT_NE(frames[0], frames[2]);

    // The first port refusing the write makes the switch fail.
    b.ports.Port("COM3").writes = false;
    EXPECT_FALSE(b.com.COM_ZMSetCtrlOff());
}

TEST(Steps, TheControlSignalInsideAStreamKeepsTheChainAndNamesItsAcknowledgement)
{
    OpenBench b;
    b.com.m_strReceiveCOM = "stream";
    EXPECT_TRUE(b.com.COM_SendCtrlOn());
    EXPECT_EQ(b.com.m_iZMCOMConfgFlowPrev, ZM_SET_CTRL_ON_SOSM);
    EXPECT_TRUE(b.com.COM_SendCtrlOff());
    EXPECT_EQ(b.com.m_iZMCOMConfgFlowPrev, ZM_SET_CTRL_OFF_SOSM);
    EXPECT_EQ(b.com.m_strReceiveCOM, CString("stream"));
}

TEST(Steps, AnUnansweredStatusRequestEndsInTheUnstableConnectionMessage)
{
    OpenBench b;
    b.ports.Port("COM3").baudRate = 1;  // nothing comes back
    b.connection.FillPortList(0, kPortStateActive, 5, 0xFFFFFF, "Tessaline USB   [COM3]");
    b.com.m_strLastComparedPort = "COM3   Tessaline USB sensor interface Port";
    ASSERT_TRUE(b.com.COM_ZMStartInit());
    EXPECT_TRUE(b.frame.waitCursor);
    b.loop.RunFor(100);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    ASSERT_EQ(b.boxes.Count(), 1u);
    EXPECT_EQ(b.boxes.Boxes()[0].text,
              CString("Die Verbindung zum USB-Gerät ist nicht stabil. Bitte überprüfen Sie auf korrekte Verbindungen."));
    EXPECT_FALSE(b.com.m_pPortMan->GetStateText() != CString("OffLine"));
    EXPECT_FALSE(b.frame.waitCursor);
    EXPECT_EQ(b.control.displayClears, 1);
    EXPECT_EQ(b.connection.GetItemText(0, 6), CString("verfügbar"));
    EXPECT_EQ(b.com.m_PortRec[0].m_nState, kPortStateAvailable);
}

TEST(Steps, EnteringAWriteStepHidesTheCalibrationControlsAndHoldsTheViews)
{
    OpenBench b;
    b.com.COM_ZMCOMConfgEnterStep(ZM_SET_NEW_USERCALIB);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SET_NEW_USERCALIB);
    EXPECT_FALSE(b.calibration.controlsShown);
    EXPECT_EQ(b.com.m_bStartupStatus, 1);
    EXPECT_TRUE(b.ports.writes.empty());
}

TEST(Steps, PortRowStatusMarksTheRowByMode)
{
    OpenBench b;
    b.connection.FillPortList(0, 11, 0, 0xFFFFFF, "Tessaline USB   [COM3]");
    b.connection.FillPortList(1, 11, 0, 0xFFFFFF, "Other   [COM4]");
    b.com.m_PortRec[1].m_Sensor.m_sStatorHeader.nSerialNo = 4711;
    CString text;
    EXPECT_TRUE(b.com.COM_UpdatePortRowStatus(1, text, 1));
    EXPECT_EQ(text, CString("COM4   Other"));
    EXPECT_EQ(b.connection.GetItemText(1, 6), CString("aktiv"));
    EXPECT_EQ(b.connection.GetItemText(1, 4), CString("4711"));
    EXPECT_EQ(b.com.m_PortRec[1].m_nState, kPortStateActive);
    EXPECT_EQ(b.com.m_Sensor[0].m_sStatorHeader.nSerialNo, 4711u);

    CString name = "COM3   Tessaline USB sensor interface Port";
    EXPECT_TRUE(b.com.COM_UpdatePortRowStatus(-1, name, 2));
    EXPECT_EQ(b.connection.GetItemText(0, 4), CString("n.a."));
    EXPECT_EQ(b.connection.GetItemText(0, 6), CString("verfügbar"));
    EXPECT_FALSE(b.com.COM_UpdatePortRowStatus(0, name, 3));
}

TEST(Steps, TheZmCodesCarryTheirNames)
{
    EXPECT_EQ(ZmCodeName(1), CString("ZM_START_INIT"));
    EXPECT_EQ(ZmCodeName(47), CString("ZM_CNFG_NEW_LOW_PASS_IS_SETTED"));
    EXPECT_EQ(ZmCodeName(1003), CString("ZM_4xS_SINGLE_SHOT"));
    EXPECT_EQ(ZmCodeName(9), CString("default-Zweig here unkown ZM_.... == 9"));
}
