// The receive chain: frame search, unsolicited frames, start-byte doubling, waiting rules and
// the choice of the reply handler.

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"

using namespace workflow_test;

TEST(ReceiveChain, SevenBytesOfAnAcknowledgementAreFoundAsOne)
{
    OpenBench b;
    CString status;
    b.com.BuildStatusLongRequest(status);  // 'B' is expected
    b.com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    b.com.m_strReceiveCOM = Ack();
    EXPECT_TRUE(b.com.ZMCOMConfg_ScanReceiveChain());
    EXPECT_EQ(b.com.GetCommand(), 0x06);
    EXPECT_EQ(b.com.GetAnswerLength(), 7);
    EXPECT_EQ(b.com.m_pfnReplyHandler, &CComPort::ZMCOMConfg_AnalyseAck);
}

TEST(ReceiveChain, GarbageBeforeAFrameIsDroppedByteByByte)
{
    OpenBench b;
    CString request;
    b.com.BuildStatusLongRequest(request);
    b.com.SetZMCOMConfgFlow(ZM_GET_STATUS_LONG);
    b.com.m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseStatusLong;
    Feed(b.com, CString("\x55\x13\x42", 3) + StatusAnswer());
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);  // analysed as a status answer
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
    EXPECT_EQ(b.com.m_Sensor[0].m_sIdent[kIdentStatorRevision], 6);
}

TEST(ReceiveChain, TheExpectedAnswerWinsOverAnAcknowledgementBehindIt)
{
    OpenBench b;
    b.com.COM_SendValueRequest();
    b.com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    b.com.m_strReceiveCOM = Answer('A', sim::Bytes(9, 0)) + Ack();
    EXPECT_TRUE(b.com.ZMCOMConfg_ScanReceiveChain());
    EXPECT_EQ(b.com.GetCommand(), 'A');
    EXPECT_EQ(b.com.m_pfnReplyHandler, &CComPort::ZMCOMConfg_AnalyseValues);
}

TEST(ReceiveChain, DoubledStartBytesOfABlockAnswerAreReducedToExactlyFortyBytes)
{
    OpenBench b;
    b.com.ReadConfig(nullptr, 0x02);  // block 2: its number is a start byte, doubled on the wire
    const CString wire = BlockAnswer(AcceptedSensor().identity, 0x02);
    ASSERT_GT(wire.GetLength(), 40);
    b.com.m_strReceiveCOM = wire;
    b.com.ZMCOMConfg_DispatchFirstByte();
    EXPECT_EQ(b.com.m_strReceiveCOM.GetLength(), 40);
    EXPECT_EQ(b.com.m_pfnReplyHandler, &CComPort::ZMCOMConfg_AnalyseBlockStatorOperation);

    // A chain that does not come out at the expected length stays as received.
    b.com.ReadConfig(nullptr, 0x02);
    b.com.m_strReceiveCOM = wire.Left(30);
    b.com.ZMCOMConfg_DispatchFirstByte();
    EXPECT_EQ(b.com.m_strReceiveCOM, wire.Left(30));
}

TEST(ReceiveChain, InState3BothChannelsGoToTheTwoChannelStreamWithoutAScan)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_START_MEASURE_SOSM);
    b.setup.channelA = b.setup.channelB = true;
    Feed(b.com, CString("\x01\x02\x03\x04\x05", 5));
    EXPECT_EQ(b.com.m_pfnReplyHandler, &CComPort::ZMCOMMeasure_AnalyseStream);
    EXPECT_EQ(b.com.m_pfnPrevReplyHandler, &CComPort::ZMCOMMeasure_AnalyseStream);
    b.setup.channelB = false;
    Feed(b.com, CString("\x01\x02\x03", 3));
    EXPECT_EQ(b.com.m_pfnReplyHandler, &CComPort::ZMCOMMeasure_AnalyseStreamSingleChannel);
}

TEST(ReceiveChain, AfterABaudRateChangeEverythingReceivedIsDiscarded)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_CNFG_NEW_BAUDRATE_IS_SETTED);
    Feed(b.com, Ack());
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
}

TEST(ReceiveChain, ABlockAnswerForAnotherBlockThanAskedIsNotAnalysed)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_START_INIT);
    b.com.ReadConfig(nullptr, 0x80);
    const std::size_t writes = b.ports.writes.size();
    Feed(b.com, BlockAnswer(AcceptedSensor().identity, 0x81));
    EXPECT_EQ(b.com.m_pfnReplyHandler, nullptr);
    EXPECT_EQ(b.com.m_strReceiveCOM.GetLength(), 40);  // kept, not used
    EXPECT_EQ(b.ports.writes.size(), writes);
}

TEST(ReceiveChain, AStatusAnswerInTwoPiecesIsAnalysedOnceWhenComplete)
{
    OpenBench b;
    b.com.COM_ZMStartInit();
    const CString answer = StatusAnswer();
    Feed(b.com, answer.Left(10));
    EXPECT_EQ(b.com.m_strReceiveCOM.GetLength(), 10);
    EXPECT_EQ(b.LastLetter(), 'B');
    Feed(b.com, answer.Mid(10));
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
    EXPECT_EQ(b.LastLetter(), 'D');
    EXPECT_EQ(b.LastBlock(), 0);
    EXPECT_EQ(b.ports.Count('D'), 1);
    EXPECT_EQ(b.com.m_bStartupStatus, 1);
    // The watch of the identification goes on with the block read, as long as any answer's.
    EXPECT_EQ(b.loop.TimerRemainingMs(b.control.timers.GetSafeHwnd(), workflow::kCtrlPageTimerStatusWatch),
              static_cast<int>(kAnswerSilenceMs));
}

TEST(ReceiveChain, StatusAndValueAnswersWithWrongCheckBytesAreNotTakenAsData)
{
    OpenBench b;
    b.ports.Port("COM3").baudRate = 1;  // the sensor's own answers never arrive
    b.com.COM_ZMStartInit();
    CString bad = StatusAnswer();
    bad.SetAt(bad.GetLength() - 2, static_cast<char>(bad.ByteAt(bad.GetLength() - 2) ^ 0x5A));
    Feed(b.com, bad);
    EXPECT_EQ(b.ports.Count('D'), 0);
    EXPECT_EQ(b.com.m_Sensor[0].m_sIdent[kIdentStatorId], 0);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_START_INIT);
    // The status watch then reports the connection as unstable.
    b.loop.RunFor(150);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    ASSERT_EQ(b.boxes.Count(), 1u);
    EXPECT_EQ(b.boxes.Boxes()[0].text, workflow::WorkflowText(workflow::kTextUnstableConnection));

    b.com.COM_ZMSingleShot();
    CString badValues = Answer('A', sim::Bytes(9, 0));
    badValues.SetAt(badValues.GetLength() - 1, static_cast<char>(badValues.ByteAt(badValues.GetLength() - 1) ^ 1));
    b.com.m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseValues;
    Feed(b.com, badValues);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SINGLE_SHOT);  // not taken as the single shot's answer
}

TEST(ReceiveChain, AStatusHeadWhoseFrameNeverCompletesIsNotDecoded)
{
    OpenBench b;
    b.ports.Port("COM3").baudRate = 1;
    b.com.COM_ZMStartInit();
    // 0x02 'B' with a length byte far beyond what arrives: more than 20 bytes, but no frame.
    Feed(b.com, CString("\x02\x42\x17\x02\x42", 5) + CString('\x09', 20));
    EXPECT_EQ(b.com.m_Sensor[0].m_sIdent[kIdentStatorId], 0);
    EXPECT_EQ(b.ports.Count('D'), 0);
}

TEST(ReceiveChain, AStreamDuringTheAddressCheckIsStoppedAtOnceButNoiseWaitsForTheAnswerWait)
{
    CString records;  // a stream's records, sequence bytes wrapping, taken from inside one
    for (int seq = 250; seq < 260; ++seq) records += CString(static_cast<char>(seq)) + "\x41\x42\x43\x44";
    for (const bool streaming : {true, false}) {
        OpenBench b;
        b.com.SetZMCOMConfgFlow(ZM_CHECK_IF_HMB_USB_KM2_CHECK_ADDRESSES);
        b.window.SetTimer(kTimerProbeAnswerWait, 200);
        Feed(b.com, streaming ? records.Mid(4) : CString('\x11', 43));
        EXPECT_EQ(b.ports.writes.size(), streaming ? 10u : 0u);  // the stop signal
        EXPECT_NE(b.window.IsTimerArmed(kTimerProbeAnswerWait), streaming);
        EXPECT_EQ(b.window.IsTimerArmed(kTimerProbeStreamDrain), streaming);
    }
}

TEST(ReceiveChain, AShortChainInARestartStateWaitsOnTheLoopForMoreBytesOrHalfASecondAndLogs)
{
    OpenBench b;
    b.ports.Port("COM3").baudRate = 1;  // the sensor's own answers never arrive
    b.frame.logSwitch = 0;
    b.com.SetZMCOMConfgFlow(ZM_RESTART_SENSOR);
    b.com.m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseHello;
    const std::int64_t before = b.loop.NowMs();
    const CString hello = Hello();
    Feed(b.com, hello.Left(2));
    // The wait blocks nothing: time stands still until the loop runs on.
    EXPECT_EQ(b.loop.NowMs(), before);
    ASSERT_EQ(b.frame.logs.size(), 1u);
    EXPECT_EQ(b.frame.logs[0],
              CString("2 Zeichen in Empfangskette|ZM steht auf: \tZM_RESTART_SENSOR\n\n\tButton String:\n\t--------------\nbuttons"));
    b.loop.RunFor(200);
    EXPECT_EQ(b.com.m_strReceiveCOM.GetLength(), 2);
    // The next piece ends the wait: another short chain waits and logs again, the whole
    // greeting is analysed at once.
    Feed(b.com, hello.Mid(2, 2));
    EXPECT_EQ(b.frame.logs.size(), 2u);
    Feed(b.com, hello.Mid(4));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SINGLE_SHOT);  // the restart ends with a single shot
    EXPECT_EQ(b.LastLetter(), 'A');

    // Without more bytes the chain is analysed as it stands after 500 ms.
    b.com.SetZMCOMConfgFlow(ZM_RESTART_SENSOR);
    b.com.m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseHello;
    b.com.m_strReceiveCOM.Empty();
    Feed(b.com, hello.Left(3));
    b.loop.RunFor(499);
    EXPECT_EQ(b.com.m_strReceiveCOM.GetLength(), 3);
    b.loop.RunFor(1);
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
}

TEST(ReceiveChain, UnstuffStxStopsAtTheExpectedLength)
{
    OpenBench b;
    b.com.SetAnswerLength(4);
    EXPECT_EQ(b.com.UnstuffStx(CString("\x02\x02\x02\x41\x42\x43", 6)), CString("\x02\x02\x41\x42", 4));
    EXPECT_EQ(b.com.UnstuffStx(CString()), CString());
}
