// The user calibration on the sensor side: the acquisition of its three phases, and the
// rewrites of the user-calibration block that store, switch on, switch off and change it.

#include <gtest/gtest.h>

#include "tests/workflow/frames.h"

using namespace workflow_test;

namespace {

const WrittenFrame* LastWrite(const SimPortFactory& ports, BYTE letter)
{
    for (auto it = ports.writes.rbegin(); it != ports.writes.rend(); ++it)
        if (it->Letter() == letter) return &*it;
    return nullptr;
}

struct ConnectedBench : Bench {
    explicit ConnectedBench(const sim::SensorConfig& config = AcceptedSensor())
    {
        connected = ConnectSensor(config);
        loop.RunFor(100);
        ports.writes.clear();
    }
    const sim::SensorEngine& Sensor() const { return devices[0]->Port(0).sensor(); }
    // Polls like the measurement control page's timer while it runs.
    void PollWhileActive(int maxTicks = 2000)
    {
        for (int i = 0; i < maxTicks && control.polling; ++i) {
            com.COM_SendValueRequest();
            loop.RunFor(25);
        }
        loop.RunFor(300);
    }
    bool connected = false;
};

}  // namespace

TEST(Calibration, AUserCalibrationRunsThroughItsThreePhasesAndWritesTheNewBlock)
{
    sim::SensorConfig config = AcceptedSensor();
    config.signalA = {sim::SignalSpec::Kind::Constant, 1000.0};
    config.signalB = {sim::SignalSpec::Kind::Constant, -500.0};
    config.controlStepA = 4000;
    config.controlStepB = 3000;
    ConnectedBench b(config);
    ASSERT_TRUE(b.connected);
    b.calibration.fields.newValuesAccepted = 1;
    b.calibration.fields.referenceValue = {25000, 26000};
    // The zero-point prompt resets the acquisition record.
    b.com.COM_InitCalibRecords();
    b.com.COM_ClearControlFlags();

    // Zero point: 300 answers, then the control signal goes on and its phase follows by itself.
    b.com.COM_ZMReadRawCalibInit(0);
    EXPECT_EQ(b.frame.ringResets, 1);
    EXPECT_EQ(b.control.pollPeriods.back(), 25u);
    b.PollWhileActive();
    const CalibChannel& a = b.com.m_sCalib.channel[0];
    const CalibChannel& bb = b.com.m_sCalib.channel[1];
    EXPECT_EQ(a.bZeroDone, 1);
    EXPECT_EQ(a.dZeroValue, 1000.0);
    EXPECT_EQ(bb.dZeroValue, -500.0);
    EXPECT_EQ(a.dZeroRaw, 1000.0 + 32768.0);
    // The control phase followed at once: 300 answers with the control signal on, which is
    // then switched off again while the zero-point prompt waits.
    EXPECT_EQ(b.com.m_sCalib.nPhase, 2);
    EXPECT_EQ(a.bControlDone, 1);
    EXPECT_EQ(a.dControlValue, 5000.0);
    EXPECT_EQ(bb.dControlValue, 2500.0);
    EXPECT_FALSE(b.Sensor().IsControlOn());
    EXPECT_EQ(b.calibration.zeroPromptWaits, 1);

    // Scale value: the computation runs and its result is written into block 0x82.
    b.calibration.results = {false, true};
    b.com.m_sCalib.channel[0].nGainCode = 33000;
    b.com.m_sCalib.channel[1].nGainCode = 32000;
    b.com.m_sCalib.channel[0].nOffset = -12;
    b.com.m_sCalib.channel[1].nOffset = 7;
    b.com.m_sCalib.channel[0].nControlCode = 31000;
    b.com.m_sCalib.channel[1].nControlCode = 30000;
    b.com.COM_ZMReadRawCalibInit(1);
    b.PollWhileActive();
    EXPECT_EQ(a.bScaleDone, 1);
    EXPECT_EQ(b.calibration.scaleWarnings, 0);
    EXPECT_EQ(b.calibration.computations, (std::vector<std::pair<bool, bool>>{{false, false}, {true, false}}));
    EXPECT_GE(b.ports.Count('A'), 900);
    EXPECT_EQ(b.ports.Count('E'), 2);
    const WrittenFrame* write = LastWrite(b.ports, 'F');
    ASSERT_NE(write, nullptr);
    const CString block = Unstuffed(write->bytes);
    EXPECT_EQ(block.ByteAt(5), 0x82);
    EXPECT_EQ(CKadmor_Send::CheckBlock(block, nullptr), 0);
    DWORD gainA = 0, gainB = 0, controlA = 0, fullA = 0, fullB = 0;
    LONG offsetA = 0;
    b.com.KadSend_ReadBlockGetContentRotorCalibUser(block, nullptr, nullptr, &gainA, nullptr, &offsetA, &gainB, nullptr,
                                                    nullptr, &controlA, nullptr, nullptr, nullptr, &fullA, &fullB,
                                                    nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(gainA, 33000u);
    EXPECT_EQ(gainB, 32000u);
    EXPECT_EQ(offsetA, -12);
    EXPECT_EQ(controlA, 31000u);
    EXPECT_EQ(fullA, 25000u);
    EXPECT_EQ(fullB, 26000u);
    // Acknowledged, the sensor restarts with its new calibration in force.
    b.loop.RunFor(2000);
    EXPECT_EQ(b.ports.Count('K'), 1);
    EXPECT_GE(b.calibration.progress, 900 + 1);
}

TEST(Calibration, TheScalePhaseWarnsOfTooLowValuesAndAFailedComputationWritesNothing)
{
    Bench b;
    b.com.m_sCalib.nPhase = 1;
    b.com.SetZMCOMConfgFlow(ZM_READ_RAW_CALIB_INIT);
    b.com.m_Sensor[0].m_sIdent[kIdentSupport] = 1;
    b.com.m_sCalib.channel[0].bZeroDone = b.com.m_sCalib.channel[1].bZeroDone = 1;
    b.com.m_sCalib.bWithoutControl = 1;
    b.com.COM_ClearControlFlags();
    b.calibration.results = {false, false, false};
    b.calibration.errorMasks = {0x30, 0x30, 0x30};
    CString request;
    b.com.BuildValueRequest(request);
    const CString answer = Answer('A', {0x80, 0x00, 0x80, 0x00, 0x00, 0x64, 0x00, 0x64, 0x00});  // value 100
    for (int i = 0; i < 300; ++i) Feed(b.com, answer);
    EXPECT_EQ(b.calibration.scaleWarnings, 2);  // after 50 and after 300 answers
    // Both end-value errors: the second run keeps the first switch off; the third has both on.
    EXPECT_EQ(b.calibration.computations,
              (std::vector<std::pair<bool, bool>>{{false, false}, {false, false}, {true, true}}));
    // The page reports the refusal with what the last run found; the controller shows no box.
    EXPECT_EQ(b.calibration.refusals, std::vector<int>{0x30});
    EXPECT_EQ(b.boxes.Count(), 0u);
    EXPECT_EQ(b.calibration.promptCloses, 1);
    EXPECT_TRUE(b.ports.writes.empty());
}

TEST(Calibration, ValueAnswersDecodeAndThePhasesCountExactly)
{
    Bench b;
    CString request;
    b.com.BuildValueRequest(request);
    b.com.SetZMCOMConfgFlow(ZM_SINGLE_SHOT);
    b.com.m_bSingleShotForScaling = 1;
    Feed(b.com, Answer('A', {0x80, 0x00, 0x00, 0x01, 0xFF, 0xFE, 0x00, 0x05, 0x01}));
    EXPECT_EQ(b.com.m_sValueAnswer.nRawA, 32768);
    EXPECT_EQ(b.com.m_sValueAnswer.nValueA, -2);
    EXPECT_EQ(b.com.m_sValueAnswer.bControlOn, 1);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(b.setup.scalingValues, (std::vector<std::pair<LONG, LONG>>{{-2, 5}}));
    EXPECT_EQ(b.frame.refreshes.back().reason, 1);
    EXPECT_EQ(b.frame.refreshes.back().state, ZM_START_MEASURE_SOSM);

    b.com.m_Sensor[0].m_sIdent[kIdentHmbUsb] = 1;
    b.com.m_Sensor[0].m_sIdent[kIdentNoDigitalInput] = 0;
    b.com.m_Sensor[0].m_sIdent[kIdentStatorId] = 5;
    b.com.SetZMCOMConfgFlow(ZM_SINGLE_SHOT);
    Feed(b.com, Answer('A', {0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0}));
    EXPECT_EQ(b.com.m_sValueAnswer.nValueB, 0);

    // Without control reading, the control phase ends on its first answer; the zero phase on
    // its 300th.
    b.com.COM_InitCalibRecords();
    b.com.m_sCalib.channel[0].bWithoutControlMark = b.com.m_sCalib.channel[1].bWithoutControlMark = 1;
    b.com.COM_ZMReadRawCalibInit(2);
    Feed(b.com, Answer('A', {0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b.com.m_sCalib.channel[0].bControlDone, 1);
    b.com.COM_ZMReadRawCalibInit(0);
    b.com.BuildValueRequest(request);  // each poll asks anew
    for (int i = 0; i < 299; ++i) Feed(b.com, Answer('A', {0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b.com.m_sCalib.channel[0].bZeroDone, 0);
    Feed(b.com, Answer('A', {0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b.com.m_sCalib.channel[0].bZeroDone, 1);
    EXPECT_EQ(b.calibration.zeroPromptWaits, 1);  // without control: no switch, the prompt waits
}

TEST(CalibrationBlock, ActivationAndDeactivationRewriteTheBlockWithRightOrFalsifiedCheckWords)
{
    ConnectedBench b;
    ASSERT_TRUE(b.connected);
    ASSERT_EQ(b.com.m_Sensor[0].m_sIdent[kIdentCalibration], 2);
    EXPECT_FALSE(b.com.COM_ZMCOMConfgUserCalibDeactivate(0));
    EXPECT_TRUE(b.ports.writes.empty());

    const CString kept = b.com.m_strBlockRotorUserCalib;
    ASSERT_TRUE(b.com.COM_ZMCOMConfgUserCalibActivate(0));
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_USERCALIB_ACTIVATE);
    const CString activated = Unstuffed(b.ports.writes.back().bytes);
    EXPECT_EQ(CKadmor_Send::CheckBlock(activated, nullptr), 0);
    EXPECT_EQ(activated.Mid(11, 23), kept.Mid(11, 23));  // only the date changed

    b.com.m_Sensor[0].m_sIdent[kIdentCalibration] = 3;
    ASSERT_TRUE(b.com.COM_ZMCOMConfgUserCalibDeactivate(0));
    const CString deactivated = Unstuffed(b.ports.writes.back().bytes);
    for (int i = 34; i < 38; ++i) EXPECT_EQ(static_cast<BYTE>(deactivated.ByteAt(i) - activated.ByteAt(i)), 0xCD) << i;
    b.loop.RunFor(3000);
    EXPECT_EQ(b.ports.Count('K'), 2);
}

TEST(CalibrationBlock, InaccuracyIsWrittenAsTenThousandthsAndARefusedStepKeepsTheKeptBlock)
{
    ConnectedBench b;
    ASSERT_TRUE(b.connected);
    const CString keptUser = b.com.m_strBlockRotorUserCalib;
    b.calibration.fields.inaccuracyMode = 0;
    b.calibration.fields.inaccuracyWriteAllowed = 0;
    // The user calibration is not in force: the factory block stands in, but nothing is
    // written while the page does not allow it, and the kept block stays as it was.
    EXPECT_FALSE(b.com.COM_ZMCOMConfgSetInaccuracy(0, 0.5));
    EXPECT_EQ(b.com.m_strBlockRotorUserCalib, keptUser);
    EXPECT_FALSE(b.com.COM_ZMCOMConfgSetInaccuracy(0, 5.0));

    b.calibration.fields.inaccuracyWriteAllowed = 1;
    ASSERT_TRUE(b.com.COM_ZMCOMConfgSetInaccuracy(0, 0.5));
    const CString written = Unstuffed(b.ports.writes.back().bytes);
    DWORD codeA = 0;
    b.com.KadSend_ReadBlockGetContentRotorCalibUser(written, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                    nullptr, &codeA, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(codeA, 5000u);
    EXPECT_EQ(CKadmor_Send::CheckBlock(written, nullptr), 0);
    EXPECT_NE(b.com.m_strBlockRotorUserCalib, keptUser);
    // The ports closed before the sensor confirmed it: the block is not taken as the sensor's.
    b.com.COM_CloseSensorPorts();
    EXPECT_EQ(b.com.m_strBlockRotorUserCalib, keptUser);
}

TEST(CalibrationBlock, DeletingTheLastInaccuracyOfACalibrationEqualToTheFactoryOneSwitchesItOff)
{
    ConnectedBench b;
    ASSERT_TRUE(b.connected);
    CSensorRecord& s = b.com.m_Sensor[0];
    s.m_sIdent[kIdentCalibration] = 3;
    s.m_sRotorUserCalib = s.m_sRotorFactoryCalib;
    b.com.m_strBlockRotorUserCalib = b.com.m_strBlockRotorFactoryCalib;
    b.calibration.fields.inaccuracyMode = 2;
    b.calibration.fields.inaccuracyWriteAllowed = 1;
    ASSERT_TRUE(b.com.COM_ZMCOMConfgSetInaccuracy(0, 0.0));
    const CString written = Unstuffed(b.ports.writes.back().bytes);
    EXPECT_NE(CKadmor_Send::CheckBlock(written, nullptr), 0);
}

TEST(Calibration, AnswersStillOnTheWayAfterAPhaseEndedDoNotEndItAgain)
{
    Bench b;
    CString request;
    b.com.BuildValueRequest(request);
    b.com.COM_InitCalibRecords();
    b.com.m_sCalib.channel[0].bZeroDone = b.com.m_sCalib.channel[1].bZeroDone = 1;
    b.com.m_sCalib.bWithoutControl = 0;
    b.com.COM_ClearControlFlags();
    b.com.COM_ZMReadRawCalibInit(1);
    b.com.m_sCalib.bWithoutControl = 1;
    b.calibration.results = {false, false, false, false, false, false};
    const CString answer = Answer('A', {0x80, 0x00, 0x80, 0x00, 0x10, 0x00, 0x10, 0x00, 0x00});
    for (int i = 0; i < 303; ++i) Feed(b.com, answer);
    EXPECT_EQ(b.calibration.computations.size(), 2u);  // one computation: two runs
    EXPECT_EQ(b.calibration.refusals.size(), 1u);
    EXPECT_EQ(b.control.pollStops, 1);
}
