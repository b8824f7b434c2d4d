// Refusals, hellos, the status answer and the block answers, each in the states that treat
// them; also live restarts with the simulated sensor.

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"

using namespace workflow_test;

namespace {

void Expect(CComPort& com, BYTE letter, int length) {
    com.SetCommand(letter);
    com.SetAnswerLength(length);
}

}  // namespace

// ---- Refusals -----------------------------------------------------------------------------------

TEST(Refusal, DuringIdentificationClearsTheSoftwareConfigurationAndReadsTheRotorHeader)
{
    for (int state : {ZM_START_INIT, ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED}) {
        OpenBench b;
        b.com.SetZMCOMConfgFlow(state);
        b.com.ReadConfig(nullptr, 0x03);
        CSensorSwConfig& sw = b.com.m_Sensor[0].m_sSwConfig;
        sw.cValid = sw.cValid2 = sw.cScalingA = sw.cScalingB = sw.cReadMark = 1;
        b.com.m_Sensor[0].m_sIdent[kIdentAddress] = 1;
        b.com.m_strReceiveCOM = Nak(3);
        b.com.ZMCOMConfg_AnalyseNak();
        EXPECT_EQ(b.com.m_Sensor[0].m_cRefusalCode, 3);
        EXPECT_EQ(b.com.m_Sensor[0].m_sIdent[kIdentAddress], 1);
        EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
        EXPECT_EQ(sw.cValid + sw.cValid2 + sw.cScalingA + sw.cScalingB + sw.cReadMark, 0);
        EXPECT_EQ(b.LastLetter(), 'D');
        EXPECT_EQ(b.LastBlock(), 0x80);
        EXPECT_EQ(b.startUp.steps, state == ZM_START_INIT ? 0 : 1);
    }
}

TEST(Refusal, InAStateWithoutARuleOfItsOwnIsConsumedAndEndsTheAnswerWait)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_SET_CTRL_ON);
    b.com.m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseNak;
    b.com.m_strReceiveCOM = Nak(4) + "xy";
    b.com.ZMCOMConfg_AnalyseNak();
    EXPECT_EQ(b.com.m_strReceiveCOM, CString("xy"));
    EXPECT_EQ(b.com.m_pfnReplyHandler, nullptr);
}

TEST(Refusal, OfAFactoryCalibrationWriteStaysInTheChainForTheStepTimers)
{
    for (int state : {ZM_SET_NEW_FACCALIB, ZM_SET_INACCURACY_FACTORYCALIB, ZM_FACTORYCALIB_ACTIVATE,
                      ZM_FACTORYCALIB_DEACTIVATE, ZM_CONFIGURE_SENSOR}) {
        OpenBench b;
        b.com.SetZMCOMConfgFlow(state);
        b.com.m_strReceiveCOM = Nak(4);
        b.com.ZMCOMConfg_AnalyseNak();
        EXPECT_EQ(b.com.m_strReceiveCOM, Nak(4)) << state;
        EXPECT_EQ(b.com.m_Sensor[0].m_cRefusalCode, 4);
    }
}

TEST(Refusal, OfANewBaudRateEndsTheChangeAndOfOtherWritesEmptiesTheChain)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_CNFG_SET_NEW_BAUDRATE);
    b.com.m_strReceiveCOM = Nak(4);
    b.com.ZMCOMConfg_AnalyseNak();
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
    EXPECT_EQ(b.startUp.progressEnds, 1);
    EXPECT_EQ(b.connection.baudFlagClears, 1);
    EXPECT_EQ(b.connection.busyClears, 1);
    EXPECT_EQ(b.boxes.Count(), 1u);

    for (int state : {ZM_SET_SERIAL_NUMBER_ROTOR_OPERATION, ZM_CNFG_SET_NEW_LOW_PASS_FILTER}) {
        b.com.SetZMCOMConfgFlow(state);
        b.com.m_strReceiveCOM = Nak(4) + Ack();
        b.com.ZMCOMConfg_AnalyseNak();
        EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
    }
}

TEST(Refusal, ShorterThanSixBytesWaitsForTheRest)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_START_INIT);
    b.com.m_strReceiveCOM = Nak(3).Left(5);
    b.com.ZMCOMConfg_AnalyseNak();
    EXPECT_EQ(b.com.m_strReceiveCOM.GetLength(), 5);
    EXPECT_EQ(b.com.m_Sensor[0].m_cRefusalCode, 0);
    EXPECT_TRUE(b.ports.writes.empty());
}

TEST(Refusal, CodeIsClearedByAnAcceptanceDuringTheStart)
{
    OpenBench b;
    b.com.m_Sensor[0].m_cRefusalCode = 3;
    b.com.SetZMCOMConfgFlow(ZM_START_INIT);
    b.com.m_strReceiveCOM = Ack();
    b.com.ZMCOMConfg_AnalyseAck();
    EXPECT_EQ(b.com.m_Sensor[0].m_cRefusalCode, 0);
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
    EXPECT_EQ(b.LastLetter(), 'A');
}

// ---- Hello ------------------------------------------------------------------------------------------

TEST(Hello, DuringTheStatusRequestReturnsToTheStatusHandlerWithoutSending)
{
    OpenBench b;
    b.com.COM_ZMStartInit();
    const std::size_t writes = b.ports.writes.size();
    Feed(b.com, Hello());
    EXPECT_EQ(b.com.m_pfnReplyHandler, &CComPort::ZMCOMConfg_AnalyseStatusLong);
    EXPECT_EQ(b.com.GetCommand(), 'B');
    EXPECT_EQ(b.com.GetAnswerLength(), 21);
    EXPECT_EQ(b.ports.writes.size(), writes);
    Feed(b.com, StatusAnswer());
    EXPECT_EQ(b.LastLetter(), 'D');
}

TEST(Hello, AtRestOrInAnUntreatedStateOnlyConsumesItsBytes)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_TRIGGER_ACTIV);
    Expect(b.com, '@', 8);
    b.com.m_strReceiveCOM = Hello() + "z";
    b.com.m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseHello;
    b.com.ZMCOMConfg_AnalyseHello();
    EXPECT_EQ(b.com.m_strReceiveCOM, CString("z"));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_TRIGGER_ACTIV);

    b.com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    b.com.m_strReceiveCOM = Hello() + "z";
    b.com.ZMCOMConfg_AnalyseHello();
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
    EXPECT_EQ(b.com.m_pfnReplyHandler, nullptr);
}

TEST(Hello, DuringTheAddressCheckEndsTheSearchDisplay)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED);
    b.frame.waitCursor = true;
    Expect(b.com, '@', 8);
    b.com.m_strReceiveCOM = Hello();
    b.com.ZMCOMConfg_AnalyseHello();
    EXPECT_EQ(b.startUp.finished, 1);
    EXPECT_FALSE(b.frame.waitCursor);
}

TEST(Restart, AfterACalibrationWriteTheSensorIsIdentifiedAnew)
{
    for (int state : {ZM_USERCALIB_DEACTIVATE, ZM_USERCALIB_ACTIVATE, ZM_SET_NEW_USERCALIB, ZM_SET_NEW_FACCALIB,
                      ZM_SET_INACCURACY_USERCALIB, ZM_SET_INACCURACY_FACTORYCALIB, ZM_CNFG_ST_OPERATION_BLOCK,
                      ZM_CNFG_RT_FACTORY_CALIB_NEW, ZM_FACTORYCALIB_ACTIVATE, ZM_FACTORYCALIB_DEACTIVATE,
                      ZM_CNFG_SET_NEW_LOW_PASS_FILTER}) {
        OpenBench b;
        b.com.SetZMCOMConfgFlow(state);
        ASSERT_TRUE(b.com.COM_SendRestartSensor());
        ASSERT_TRUE(b.RunUntilConnected()) << state;
        EXPECT_EQ(b.ports.Letters(), CString("KBDDDDDDDDA")) << state;
        EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    }
}

TEST(Restart, APlainRestartReturnsToRestWithOneValueRequest)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_RESTART_SENSOR);
    ASSERT_TRUE(b.com.COM_SendRestartSensor());
    EXPECT_EQ(b.LongestHoldMs(1000), 0) << "the pause before the restart held the window";
    EXPECT_EQ(b.ports.Letters(), CString("KA"));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(b.control.versionChecks, (std::vector<int>{0}));
}

TEST(Restart, AfterTheInitialisationRestartStartsTheIdentification)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_RESTART_SENSOR_AFTER_INIT);
    ASSERT_TRUE(b.com.COM_SendRestartSensor());
    ASSERT_TRUE(b.RunUntilConnected());
    EXPECT_EQ(b.ports.Letters(), CString("KBDDDDDDDDA"));
}

// ---- Status answer ----------------------------------------------------------------------------------

TEST(StatusAnswer, AskedForByHandReturnsToRestWithoutARequest)
{
    OpenBench b;
    CString request;
    b.com.BuildStatusLongRequest(request);
    b.com.SetZMCOMConfgFlow(ZM_GET_STATUS_LONG);
    b.com.m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseStatusLong;
    Feed(b.com, StatusAnswer());
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_TRUE(b.ports.writes.empty());
    const auto& id = b.com.m_Sensor[0].m_sIdent;
    EXPECT_EQ(id[kIdentAddress], 1);
    EXPECT_EQ(id[kIdentCalibration], 1);
    EXPECT_EQ(id[kIdentHmbUsb], 1);
    EXPECT_EQ(id[kIdentStatorId], 4);
    EXPECT_EQ(id[kIdentWatchdog], 10);
}

TEST(StatusAnswer, OfTheProbeWithAComNumberBeyondTheMarksStillTakesTheAddress)
{
    OpenBench b;
    b.com.m_nActivePortRec = 0;
    b.com.m_PortRec[0].m_strPortName = "COM300 far away";
    b.com.m_nBaudRate = 230400;
    b.com.m_Sensor[0].m_sIdent[kIdentAddress] = 7;
    const auto marks = b.com.m_nPortMark;
    b.com.SetZMCOMConfgFlow(ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED);
    b.com.ZMCOMConfg_AnalyseStatusLong();
    EXPECT_EQ(b.com.m_nPortMark, marks);
    EXPECT_EQ(b.com.m_PortRec[0].m_nAddress, 7);
    EXPECT_EQ(b.com.m_PortRec[0].m_nBaudRate, 230400);
    EXPECT_EQ(b.com.GetAddressHi(), 7);
}

TEST(StatusAnswer, OfASensorNumberWithoutASlotFillsNoSlot)
{
    OpenBench b;
    b.com.m_nActivePortRec = 0;
    b.com.SetZMCOMConfgFlow(ZM_CHECK_IF_HMB_USB_KM2_CHECK_ADDRESSES);
    CString request;
    b.com.BuildStatusLongRequest(request);
    sim::SensorIdentity id = AcceptedSensor().identity;
    b.com.m_pfnReplyHandler = &CComPort::ZMCOMConfg_AnalyseStatusLong;
    CString answer = ToText(sim::StuffStx(sim::BuildFrame('B', 0xFF, 5, {1, 0x41, 4, 6, 1, 1, 0, 0, 0, 0, 0, 0, 0, 10})));
    Feed(b.com, answer);
    EXPECT_EQ(b.com.m_PortRec[0].m_bSlotFilled, (std::array<BYTE, 2>{0, 0}));
    EXPECT_TRUE(b.window.IsTimerArmed(kTimerProbeStatusReplay));
    EXPECT_EQ(b.com.m_strLastStatusAnswer.GetLength(), 21);
}

// ---- Block answers -------------------------------------------------------------------------------

namespace {

CString Block(const sim::SensorIdentity& id, BYTE number) { return BlockAnswer(id, number); }

void FeedBlock(OpenBench& b, const sim::SensorIdentity& id, BYTE number)
{
    b.com.ReadConfig(nullptr, number);
    Feed(b.com, Block(id, number));
}

}  // namespace

TEST(BlockAnswers, HardwareOptionIsStoredAsAThreeWayCode)
{
    for (auto [option, code] : {std::pair<int, int>{0xFF, 0}, {0, 0}, {1, 1}, {5, 2}}) {
        OpenBench b;
        b.com.SetZMCOMConfgFlow(ZM_GET_STATUS_LONG);
        sim::SensorIdentity id = AcceptedSensor().identity;
        id.hardwareOption = static_cast<std::uint8_t>(option);
        FeedBlock(b, id, 0x01);
        EXPECT_EQ(b.com.m_Sensor[0].m_sStatorHardware.cOptionCode, code) << option;
    }
}

TEST(BlockAnswers, AStatorBusAddressOutsideOneTo249IsStoredAsOne)
{
    for (auto [address, stored] : {std::pair<int, int>{0, 1}, {250, 1}, {249, 249}}) {
        OpenBench b;
        b.com.SetZMCOMConfgFlow(ZM_GET_STATUS_LONG);
        sim::SensorIdentity id = AcceptedSensor().identity;
        id.address = static_cast<std::uint8_t>(address);
        FeedBlock(b, id, 0x02);
        EXPECT_EQ(b.com.m_Sensor[0].m_sStatorOperation.cBusAddress, stored) << address;
        EXPECT_EQ(b.com.m_Sensor[0].m_strBlockStatorOperation.GetLength(), 40);
    }
}

TEST(BlockAnswers, StatorAndRotorThatDoNotBelongTogetherEndTheApplicationWithAnError)
{
    for (auto [stator, rotor] : {std::pair<int, BYTE>{9, 'A'}, {4, 'Y'}}) {
        OpenBench b;
        b.com.SetZMCOMConfgFlow(ZM_START_INIT);
        b.com.m_Sensor[0].m_sIdent[kIdentStatorId] = static_cast<BYTE>(stator);
        sim::SensorIdentity id = AcceptedSensor().identity;
        id.rotorTypeClass = rotor;
        FeedBlock(b, id, 0x80);
        ASSERT_EQ(b.boxes.Count(), 1u);
        EXPECT_EQ(b.boxes.Boxes()[0].text, CString("Device error [Stator ID versus type class].\nThe application will be closed"));
        EXPECT_TRUE(b.frame.minimised);
        ASSERT_EQ(b.frame.exitCodes.size(), 1u);
        EXPECT_NE(b.frame.exitCodes[0], 0);
        EXPECT_TRUE(b.ports.writes.empty());
    }
}

TEST(BlockAnswers, AnEncoderRotorTakesItsRangeAndCountsFromTheEncoderKind)
{
    for (auto [kind, countCode, range, counts] :
         {std::tuple<int, int, double, DWORD>{7, 20, 360.0, 4000}, {7, 6, 360.0, 1440}, {4, 20, 360.0, 4000},
          {3, 20, 30000.0, 30000}}) {
        OpenBench b;
        b.com.SetZMCOMConfgFlow(ZM_GET_STATUS_LONG);
        b.com.m_Sensor[0].m_sIdent[kIdentStatorId] = 9;
        sim::SensorIdentity id = AcceptedSensor().identity;
        id.rotorTypeClass = 'Y';
        id.encoderMode = static_cast<std::uint8_t>(kind);
        id.encoderCountCode = static_cast<std::uint8_t>(countCode);
        for (BYTE block : {0x01, 0x02, 0x80, 0x81}) FeedBlock(b, id, block);
        EXPECT_EQ(b.com.m_Sensor[0].m_sRotorHeader.dFullScaleB, range);
        EXPECT_EQ(b.com.m_Sensor[0].m_sRotorFactoryCalib.nFullScaleCountA, counts);
        EXPECT_EQ(b.com.m_Sensor[0].m_sEncoder.cSecondEncoder, kind == 7 ? 1 : 0);
        EXPECT_TRUE(b.frame.exitCodes.empty());
    }
}

TEST(BlockAnswers, AnUndefinedEncoderKindFallsBackToSpeedWithAMessage)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_GET_STATUS_LONG);
    b.com.m_Sensor[0].m_sIdent[kIdentStatorId] = 9;
    sim::SensorIdentity id = AcceptedSensor().identity;
    id.rotorTypeClass = 'Y';
    id.encoderMode = 5;
    FeedBlock(b, id, 0x02);
    FeedBlock(b, id, 0x80);
    EXPECT_EQ(b.com.m_Sensor[0].m_sStatorOperation.cEncoderMode, 3);
    EXPECT_EQ(b.com.m_Sensor[0].m_sRotorHeader.dFullScaleB, 30000.0);
    ASSERT_EQ(b.boxes.Count(), 1u);
    EXPECT_GE(b.boxes.Boxes()[0].text.Find("COM3"), 0);
    // The search goes on while the message is open: a box it waited for let its time-outs run out.
    EXPECT_FALSE(b.boxes.Boxes()[0].waited);
}

TEST(BlockAnswers, OutsideAnIdentificationAreStoredWithoutAFurtherRequest)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_STOP_MEASURE);
    b.com.ReadConfig(nullptr, 0x80);
    b.com.m_strReceiveCOM = b.com.UnstuffStx(Block(AcceptedSensor().identity, 0x80));
    b.com.ZMCOMConfg_AnalyseBlockRotorHeader();
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_EQ(b.com.GetBlockNumber(), 0x81);  // prepared all the same
    EXPECT_EQ(b.com.m_Sensor[0].m_sRotorHeader.nSerialNo, 200001u);
}

// The second module of a device has its index 2 doubled on the wire: a chain as long as the
// block before its last byte has come is not the block yet.
TEST(BlockAnswers, ABlockInPiecesIsHandledOnceWhenComplete)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_START_INIT);
    b.com.ReadConfig(nullptr, 0x00);
    sim::SensorIdentity id = AcceptedSensor().identity;
    id.moduleIndex = 2;
    id.moduleCount = 3;
    const CString block = Block(id, 0x00);
    ASSERT_EQ(block.GetLength(), 41);
    Feed(b.com, block.Left(20));
    Feed(b.com, block.Mid(20, 20));
    EXPECT_TRUE(b.ports.writes.empty());
    EXPECT_EQ(b.sequencer.slotAdvances, 0);
    Feed(b.com, block.Mid(40));
    EXPECT_EQ(b.sequencer.slotAdvances, 1);
    ASSERT_EQ(b.ports.writes.size(), 1u);
    EXPECT_EQ(b.LastBlock(), 0x01);
    const StatorHeader& header = b.com.m_Sensor[0].m_sStatorHeader;
    EXPECT_EQ(header.nSerialNo, 100001u);
    EXPECT_EQ(header.cModuleIndex, 2);
    EXPECT_EQ(header.cModuleCount, 3);
}

TEST(BlockAnswers, ReapplyingTheSoftwareConfigurationFillsTheDisplayRecords)
{
    OpenBench b;
    b.com.SetZMCOMConfgFlow(ZM_CNFG_SW_CONFIG_SET_SCALING_A);
    b.com.m_nCountActivePorts = 1;
    sim::SensorIdentity id = AcceptedSensor().identity;
    id.scaleA = 2.5f;
    id.unitA = "kNm";
    b.com.m_strBlockStatorSwConfig = Block(id, 0x03);
    b.frame.slots[0].channelPosition = 1;
    b.com.ReapplySoftwareConfigBlock();
    ASSERT_EQ(b.frame.slots[0].rangeEnd.size(), 2u);
    EXPECT_DOUBLE_EQ(b.frame.slots[0].rangeEnd[1], 2.5);
    EXPECT_EQ(b.frame.slots[0].unitText[1], CString("kNm"));
    EXPECT_EQ(b.frame.slots[1].unitText[0], CString("rpm"));
    EXPECT_EQ(b.com.m_Sensor[0].m_sSwConfig.cValid, 1);
    EXPECT_TRUE(b.com.m_strReceiveCOM.IsEmpty());
    EXPECT_TRUE(b.ports.writes.empty());
}
