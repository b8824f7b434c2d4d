// Acknowledgements of the configuration-mode conversation and of the measuring ports.

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"

using namespace workflow_test;

namespace {

// Feeds an acknowledgement through the whole receive path.
void Acknowledge(OpenBench& b, int state, const CString& extra = CString())
{
    b.com.SetZMCOMConfgFlow(state);
    Feed(b.com, Ack() + extra);
}

}  // namespace

TEST(ConfigAck, OfANewBaudRateArmsTheRestartStepAndShowsNothing)
{
    OpenBench b;
    Acknowledge(b, ZM_CNFG_SET_NEW_BAUDRATE);
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
    EXPECT_EQ(b.loop.TimerRemainingMs(b.window.GetSafeHwnd(), kTimerBaudRestart), 100);
    EXPECT_EQ(b.boxes.Count(), 0u);
    EXPECT_EQ(b.com.m_pfnReplyHandler, nullptr);
}

TEST(ConfigAck, OfTheLastWriteBeforeClosingEndsTheSequenceAndArmsTheClose)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_ROTOR_OPERATION);
    b.com.m_strReceiveCOM = Ack();
    b.com.ZMCOMConfg_AnalyseAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_DONE);
    EXPECT_EQ(b.com.m_bConfigWriteDone, 1);
    EXPECT_EQ(b.loop.TimerRemainingMs(b.window.GetSafeHwnd(), kTimerClose), 1000);
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty() && b.com.m_pfnReplyHandler == nullptr);  // at rest
}

TEST(ConfigAck, OfTheStatorOperationWriteGoesOnByDeviceKind)
{
    OpenBench b;
    b.com.m_Sensor[0].m_sIdent[kIdentNoDigitalInput] = 1;
    b.com.m_Sensor[0].m_sIdent[kIdentHmbUsb] = 1;
    b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
    b.com.COM_ContinueAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_ROTOR_OPERATION);
    EXPECT_EQ(b.sequencer.modes, (std::vector<int>{2}));

    b.com.m_Sensor[0].m_sIdent[kIdentNoDigitalInput] = 0;
    b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
    b.com.COM_ContinueAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_ROTOR_USER_CALIB);
    b.com.COM_ContinueAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_ROTOR_OPERATION);
    EXPECT_EQ(b.sequencer.modes, (std::vector<int>{2, 1, 2}));
}

TEST(ConfigAck, OfTheControlSignalDuringACalibrationWithItsReadingDoneSendsNothing)
{
    OpenBench b;
    b.com.COM_ClearControlFlags();
    b.com.m_sCalib.channel[1].bControlDone = 1;
    b.com.SetZMCOMConfgFlow(ZM_SET_CTRL_ON);
    b.com.COM_ContinueAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SET_CTRL_ON);
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_EQ(b.control.settings.nControlState, 1);
    EXPECT_EQ(b.control.ledUpdates, 1);
}

TEST(ConfigAck, OfTheControlSignalOutsideACalibrationAsksForOneValueSet)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_SET_CTRL_OFF);
    b.com.COM_ContinueAfterAck();
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_EQ(b.LongestHoldMs(150, [&] { return !b.ports.writes.empty(); }), 0) << "the control signal's settling held the window";
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SINGLE_SHOT);
    EXPECT_EQ(b.LastLetter(), 'A');
    EXPECT_EQ(b.control.settings.nControlState, 0);

    // Zero point of a calibration still to be read: the raw acquisition starts.
    b.com.COM_ClearControlFlags();
    b.com.SetZMCOMConfgFlow(ZM_SET_CTRL_OFF);
    b.com.COM_ContinueAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_READ_RAW_CALIB_INIT);
    // Zero point read: the prompt waits.
    b.com.m_sCalib.channel[0].bZeroDone = 1;
    b.com.SetZMCOMConfgFlow(ZM_SET_CTRL_OFF);
    b.com.COM_ContinueAfterAck();
    EXPECT_EQ(b.calibration.zeroPromptWaits, 1);
}

TEST(ConfigAck, InsideAStreamSwitchesTheControlAndRestartsTheStream)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_SET_CTRL_ON_SOSM);
    b.com.COM_ContinueAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_START_MEASURE_SOSM);
    EXPECT_EQ(b.frame.averageModes, (std::vector<int>{2}));
    EXPECT_EQ(b.LastLetter(), 'Z');
    EXPECT_EQ(b.control.settings.nControlState, 1);
}

TEST(ConfigAck, OfCalibrationWritesRestartsTheSensor)
{
    for (int state : {ZM_USERCALIB_DEACTIVATE, ZM_USERCALIB_ACTIVATE, ZM_FACTORYCALIB_ACTIVATE,
                      ZM_FACTORYCALIB_DEACTIVATE, ZM_SET_INACCURACY_FACTORYCALIB, ZM_SET_NEW_USERCALIB}) {
        OpenBench b;
        Acknowledge(b, state);
        EXPECT_TRUE(b.ports.writes.empty()) << state;
        EXPECT_EQ(b.LongestHoldMs(100, [&] { return !b.ports.writes.empty(); }), 0) << "the pause before the restart held the window";
        EXPECT_EQ(b.LastLetter(), 'K') << state;
        EXPECT_EQ(b.com.GetZMCOMConfgFlow(), state);
        EXPECT_EQ(b.calibration.progress, state == ZM_SET_NEW_USERCALIB ? 1 : 0);
    }
    OpenBench b;
    Acknowledge(b, ZM_SET_INACCURACY_USERCALIB);
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_EQ(b.loop.TimerRemainingMs(b.window.GetSafeHwnd(), kTimerRestartSensor), 200);
    b.loop.RunFor(200 + 100);
    EXPECT_EQ(b.LastLetter(), 'K');
}

TEST(ConfigAck, OfASoftwareConfigurationKeepsTheBlockThatWasSent)
{
    const CString pending = BlockAnswer(AcceptedSensor().identity, 0x03);
    {
        OpenBench b;
        b.com.m_strPendingSwConfigBlock = pending;
        b.frame.waitCursor = true;
        Acknowledge(b, ZM_CNFG_SW_CONFIG_SET_SCALING_B);
        EXPECT_EQ(b.com.m_strBlockStatorSwConfig, pending);
        ASSERT_EQ(b.setup.refreshedRows.size(), 1u);
        EXPECT_EQ(b.setup.refreshedRows.front(), 1);
        EXPECT_FALSE(b.frame.waitCursor);
    }
    {
        OpenBench b;
        b.com.m_strPendingSwConfigBlock = pending;
        Acknowledge(b, ZM_CNFG_SW_CONFIG_DELETE_BLOCK);
        EXPECT_EQ(b.com.m_strBlockStatorSwConfig, pending);
        EXPECT_EQ(b.setup.sameSensorChecks, 1);
    }
    {
        OpenBench b;
        b.com.m_strPendingSwConfigBlock = pending;
        Acknowledge(b, ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS);
        EXPECT_EQ(b.com.m_strBlockStatorSwConfig, pending);
        EXPECT_EQ(b.com.m_pfnReplyHandler, nullptr);
    }
}

TEST(ConfigAck, OfOtherStepsMovesThemOn)
{
    OpenBench b;
    Acknowledge(b, ZM_SET_SERIAL_NUMBER_ROTOR_OPERATION);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(b.control.versionChecks, (std::vector<int>{0}));

    Acknowledge(b, ZM_CNFG_SET_NEW_LOW_PASS_FILTER);
    EXPECT_EQ(b.loop.TimerRemainingMs(b.window.GetSafeHwnd(), kTimerFilterRestart), 100);

    b.com.m_nRecordCount = 17;
    Acknowledge(b, ZM_ANGLE_ZERO);
    EXPECT_EQ(b.com.m_nRecordCount, 0);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SINGLE_SHOT);

    Acknowledge(b, ZM_AUTO_STORAGE);
    EXPECT_EQ(b.control.storageSteps, (std::vector<int>{0}));
}

TEST(ConfigAck, AtRestLeavesChainAndHandlerAlone)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    b.com.m_strReceiveCOM = Ack();
    b.com.m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseAck;
    b.com.ZMCOMConfg_AnalyseAck();
    EXPECT_EQ(b.com.m_strReceiveCOM, Ack());
    EXPECT_EQ(b.com.m_pfnReplyHandler, &CComPort::ZMCOMConfg_AnalyseAck);
}

// ---- Measuring ports --------------------------------------------------------------------------------

namespace {

void PortAck(OpenBench& b, int port)
{
    const CString ack = Ack();
    b.com.OnReceivePort(port, static_cast<WPARAM>(ack.GetLength()), reinterpret_cast<LPARAM>(ack.bytes()));
}

// Two measuring ports on the bench's one sensor line and a second one.
void TwoActivePorts(OpenBench& b)
{
    b.AddSensor("COM4", AcceptedSensor(2));
    for (int port = 0; port < 2; ++port) {
        b.com.m_pPortManOfPort[static_cast<std::size_t>(port)] = b.ports.Create(b.window, 2301 + port, 2101 + port);
        b.com.m_pPortManOfPort[static_cast<std::size_t>(port)]->OpenPort(port == 0 ? "COM3" : "COM4");
    }
    b.com.m_pPortMan.reset();
    b.com.m_nCountActivePorts = 2;
}

}  // namespace

TEST(MeasureAck, TheControlSignalOnTwoPortsWaitsForBothThenAsksBothForValues)
{
    OpenBench b;
    TwoActivePorts(b);
    ASSERT_TRUE(b.com.COM_ZMSetCtrlOn());
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_4xS_CTRL_ON);
    b.ports.writes.clear();
    PortAck(b, 0);
    EXPECT_EQ(b.com.m_bPortAnswered[0], 1);
    EXPECT_EQ(b.control.settings.nControlState, 1);
    EXPECT_TRUE(b.ports.writes.empty());
    PortAck(b, 1);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_4xS_SINGLE_SHOT);
    EXPECT_EQ(b.ports.Letters(), CString("AA"));
    EXPECT_EQ(b.com.m_nRecvCount[1], 0);
}

TEST(MeasureAck, ThePerPortStatorWriteGoesPortByPortAndThenRestartsTheDevice)
{
    OpenBench b;
    TwoActivePorts(b);
    b.com.m_nCountActivePorts = 3;
    b.com.m_nPortLoop = 0;
    b.com.SetZMCOMConfgFlow(ZM_PORT_LOOP_STATOR_OPERATION);
    b.com.ContinueMultiportAfterAck();
    b.com.ContinueMultiportAfterAck();
    EXPECT_EQ(b.connection.timers.armed,
              (std::vector<std::pair<UINT_PTR, UINT>>{{workflow::kConnPageTimerPortLoop, 500},
                                                      {workflow::kConnPageTimerPortLoop, 500}}));
    EXPECT_TRUE(b.ports.writes.empty());
    b.com.ContinueMultiportAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_RESTART_AFTER_INIT_DEVICE);
    EXPECT_EQ(b.ports.Count('K'), 2);  // the two ports that have a manager
}

TEST(MeasureAck, TheWriteSequenceMovesFromPortToPortAndClosesAfterTheLast)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_WRITE_SEQ_STATOR_OPERATION);
    b.com.ContinueMultiportAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_ROTOR_OPERATION);
    b.sequencer.advanceResults = {true};
    b.com.ContinueMultiportAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_NEXT_PORT);
    b.com.ContinueMultiportAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_ROTOR_OPERATION);
    b.com.ContinueMultiportAfterAck();  // the sequencer has no port left
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_WRITE_SEQ_DONE);
    EXPECT_EQ(b.com.m_bConfigWriteDone, 1);
    EXPECT_EQ(b.loop.TimerRemainingMs(b.window.GetSafeHwnd(), kTimerClose), 1000);
    EXPECT_EQ(b.sequencer.modes, (std::vector<int>{2, 2}));
}

TEST(MeasureAck, OfTheMeasurementSetUpEndsItsWriteOnceEverySensorWrittenHasTakenIt)
{
    OpenBench b;
    b.com.m_pfnReplyHandler = &CComPort::ZMCOMMeasure_AnalyseStream;
    b.frame.waitCursor = true;
    b.com.SetZMCOMConfgFlow(ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS);
    b.com.m_nCountActivePorts = 2;
    b.com.m_bPortAnswered = {0, 0, 1, 1};
    for (int port : {0, 1}) {
        EXPECT_TRUE(b.frame.waitCursor);
        b.com.m_nCurSensor = port;
        b.com.ContinueMultiportAfterAck();
    }
    EXPECT_EQ(b.com.m_pfnReplyHandler, nullptr);
    EXPECT_FALSE(b.frame.waitCursor);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
}

TEST(MeasureAck, OfTheSerialNumberReturnsToRestAndChecksTheSensor)
{
    OpenBench b;
    b.com.m_nCurSensor = 1;
    b.com.m_nRecvCount[1] = 7;
    b.com.SetZMCOMConfgFlow(ZM_4xS_SERIAL_NUMBER);
    b.com.ContinueMultiportAfterAck();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(b.com.m_nRecvCount[1], 0);
    EXPECT_EQ(b.control.versionChecks, (std::vector<int>{ZM_4xS_SERIAL_NUMBER}));
}
