// The user calibration from the page: the computation, a calibration against the simulated
// sensor whose written block is checked on the sensor's side, readings the computation must
// refuse, and a sensor that leaves in the middle.

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "res/string_table.h"
#include "tests/sensor_admin/admin_bench.h"

using namespace sensor_admin;
using namespace sensor_admin_test;
using workflow_test::AcceptedSensor;

namespace {

CalibChannelInput Channel(double zero, double scale, double control, double reference)
{
    CalibChannelInput in;
    in.zeroRaw = zero;
    in.scaleRaw = scale;
    in.controlRaw = control;
    in.controlRead = true;
    in.reference = reference;
    in.keptOffset = 11;
    in.keptGainCode = 30000;
    in.keptControlCode = 7000;
    return in;
}

// Two channels, unloaded for the first minute, then under the reference load.
sim::SensorConfig LoadedAfterAMinute()
{
    sim::SensorConfig config = AcceptedSensor();
    config.identity.hmbUsb = false;
    config.signalA = {sim::SignalSpec::Kind::Steps, 1000.0, 20000.0, 0.0, 60000.0, 2};
    config.signalB = {sim::SignalSpec::Kind::Steps, -500.0, 15000.0, 0.0, 60000.0, 2};
    config.controlStepA = 4000;
    config.controlStepB = 3000;
    return config;
}

// The user's calibration from the page: zero point (the control phase with it), then the
// reference load put on after the sensor's first minute and confirmed; returns with the page idle.
void CalibrateAfterAMinute(AdminBench& b, std::int64_t sensorStart)
{
    CDlgSensorCalibration& page = b.pages.calibration;
    ASSERT_TRUE(page.OnStartCalibration());
    ASSERT_TRUE(page.ZeroPrompt().IsVisible());
    EXPECT_EQ(b.com.m_nConnectionOverride, 2);
    page.ZeroPrompt().OnOK();
    b.PollWhileActive();  // zero point, control signal on, control phase, control signal off
    b.loop.RunFor(kZeroPromptWaitMs + 100);
    ASSERT_FALSE(page.ZeroPrompt().IsVisible());
    ASSERT_TRUE(page.EndPrompt().IsVisible());
    EXPECT_EQ(page.CurrentActivity(), CDlgSensorCalibration::Activity::ScalePrompt);
    ASSERT_LT(b.loop.NowMs(), sensorStart + 60000);
    b.loop.RunFor(sensorStart + 60100 - b.loop.NowMs());
    page.EndPrompt().OnOK();
    b.PollWhileActive();
    ASSERT_TRUE(b.loop.RunUntil([&] { return page.CurrentActivity() == CDlgSensorCalibration::Activity::Idle; }, 3000));
}

unsigned Word(const sim::BlockStore& blocks, int position)
{
    return blocks.ContentByte(6, position) * 256u + blocks.ContentByte(6, position + 1);
}

}  // namespace

TEST(CalibComputation, GainOffsetAndControlFactorPerChannelWithTheirErrorBits)
{
    std::array<CalibChannelResult, 2> r{};
    int mask = -1;
    // A: span 20000 for reference 20000, control 4000; B: span 15000 for 12000, control 3000.
    ASSERT_TRUE(ComputeUserCalibration({Channel(33768, 53768, 37768, 20000), Channel(32268, 47268, 35268, 12000)},
                                       false, false, mask, r));
    EXPECT_EQ(mask, 0);
    EXPECT_EQ(r[0].gainCode, 32768u);
    EXPECT_EQ(r[0].offset, -1000);
    EXPECT_EQ(r[0].controlCode, 6554u);
    EXPECT_EQ(r[1].gainCode, 26214u);
    EXPECT_EQ(r[1].offset, 500);

    // Gain and control factor just inside and outside 0 to 2: 2.0 itself is out.
    EXPECT_FALSE(ComputeUserCalibration({Channel(32768, 42768, 62768, 20000), Channel(32768, 52768, 36768, 20000)},
                                        false, false, mask, r));
    EXPECT_EQ(mask, kCalibErrorGainA | kCalibErrorControlA);
    ASSERT_TRUE(ComputeUserCalibration({Channel(32768, 42768.05, 36768, 20000), Channel(32768, 52768, 36768, 20000)},
                                       false, false, mask, r));
    EXPECT_EQ(r[0].gainCode, 65535u);  // 1.99999 rounds to 65536, which is held at 65535

    // The second switch lets a bad control factor keep the kept control code.
    ASSERT_TRUE(ComputeUserCalibration({Channel(32768, 52768, 20000, 20000), Channel(32768, 52768, 36768, 20000)},
                                       false, true, mask, r));
    EXPECT_EQ(mask, kCalibErrorControlA);
    EXPECT_EQ(r[0].controlCode, 7000u);

    // Channel B not loaded: refused, unless the first switch lets B keep its calibration.
    const std::array<CalibChannelInput, 2> onlyA{Channel(32768, 52768, 36768, 20000), Channel(32768, 33000, 36768, 20000)};
    EXPECT_FALSE(ComputeUserCalibration(onlyA, false, false, mask, r));
    EXPECT_EQ(mask, kCalibErrorEndB);
    ASSERT_TRUE(ComputeUserCalibration(onlyA, true, false, mask, r));
    EXPECT_TRUE(r[0].computed);
    EXPECT_FALSE(r[1].computed);
    EXPECT_EQ(r[1].gainCode, 30000u);
    EXPECT_EQ(r[1].offset, 11);
    std::array<CalibChannelInput, 2> withoutB = onlyA;  // a channel B the sensor does not measure on
    withoutB[1].calibrated = false;
    EXPECT_TRUE(ComputeUserCalibration(withoutB, false, false, mask, r) && mask == 0 && !r[1].computed);
}

TEST(CalibComputation, EqualReversedOrNonFiniteReadingsAreRefusedWhateverTheSwitches)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::array<CalibChannelInput, 2> in;
        int bits;
    };
    const Case cases[] = {
        {"equal", {Channel(40000, 40000, 41000, 20000), Channel(40000, 40000, 41000, 20000)}, kCalibErrorEndA | kCalibErrorEndB},
        {"reversed", {Channel(50000, 30000, 41000, 20000), Channel(50000, 30000, 41000, 20000)}, kCalibErrorEndA | kCalibErrorEndB},
        {"nan", {Channel(nan, 52768, 36768, 20000), Channel(32768, 52768, 36768, 20000)}, kCalibErrorEndA | kCalibErrorGainA},
        {"inf", {Channel(32768, 52768, 36768, 20000), Channel(32768, inf, 36768, 20000)}, kCalibErrorEndB | kCalibErrorGainB},
        {"no reference", {Channel(32768, 52768, 36768, 0), Channel(32768, 52768, 36768, 0)}, kCalibErrorGainA | kCalibErrorGainB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool first : {false, true})
            for (bool second : {false, true}) {
                std::array<CalibChannelResult, 2> r{};
                r[0].gainCode = 1234;
                int mask = 0;
                EXPECT_FALSE(ComputeUserCalibration(c.in, first, second, mask, r));
                EXPECT_EQ(mask & c.bits, c.bits);
                EXPECT_EQ(r[0].gainCode, 1234u);  // nothing handed out
            }
    }
}

TEST(CalibrationPage, AUserCalibrationFromThePageWritesTheBlockTheComputationGives)
{
    AdminBench b;
    const std::int64_t sensorStart = b.loop.NowMs();
    ASSERT_TRUE(b.ConnectSensor(LoadedAfterAMinute()));
    b.loop.RunFor(300);
    CDlgSensorCalibration& page = b.pages.calibration;
    page.SetReferenceValues(20000, 12000);
    const std::size_t before = b.ports.writes.size();
    ASSERT_NO_FATAL_FAILURE(CalibrateAfterAMinute(b, sensorStart));

    EXPECT_EQ(page.m_strStatusLine, LoadLangString(kTextCalibrationStored));
    EXPECT_FALSE(page.EndPrompt().IsVisible());
    EXPECT_FALSE(page.EndPrompt().IsWarningVisible());
    EXPECT_EQ(b.CountAfter(before, 'F'), 1);
    EXPECT_GE(page.ProgressPercent(), 99);

    // What the sensor keeps is what the computation gave (A: gain 1.0, offset -1000, control
    // 0.2; B: gain 0.8, offset 500, control 0.2) with the reference values as full-scale counts.
    const sim::BlockStore& blocks = b.devices[0]->Port(0).sensor().Blocks();
    EXPECT_TRUE(blocks.IsValid(6));
    EXPECT_EQ(Word(blocks, 11), 32768u);
    EXPECT_EQ(static_cast<std::int16_t>(Word(blocks, 13)), -1000);
    EXPECT_EQ(Word(blocks, 15), 26214u);
    EXPECT_EQ(static_cast<std::int16_t>(Word(blocks, 17)), 500);
    EXPECT_EQ(Word(blocks, 19), 6554u);
    EXPECT_EQ(Word(blocks, 21), 6554u);
    EXPECT_EQ(Word(blocks, 23), 20000u);
    EXPECT_EQ(Word(blocks, 25), 12000u);
}

TEST(CalibrationPage, ReadingsTheComputationRefusesWriteNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // The scale answers read raw 32868 on both channels; the zero readings make them equal,
    // reversed or not a number.
    for (double zero : {32868.0, 40000.0, nan}) {
        SCOPED_TRACE(zero);
        AdminBench b;
        CDlgSensorCalibration& page = b.pages.calibration;
        page.SetReferenceValues(100, 100);
        b.com.m_sCalib.nPhase = 1;
        b.com.SetZMCOMConfgFlow(ZM_READ_RAW_CALIB_INIT);
        b.com.m_Sensor[0].m_sIdent[kIdentSupport] = 1;
        b.com.m_Sensor[0].m_sIdent[kIdentHmbUsb] = 0;  // channels A and B
        for (CalibChannel& channel : b.com.m_sCalib.channel) {
            channel.bZeroDone = 1;
            channel.dZeroRaw = zero;
        }
        b.com.m_sCalib.bWithoutControl = 1;
        b.com.COM_ClearControlFlags();
        CString request;
        b.com.BuildValueRequest(request);
        const CString answer = workflow_test::Answer('A', {0x80, 0x64, 0x80, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00});
        for (int i = 0; i < kCalibAnswersPerPhase; ++i) workflow_test::Feed(b.com, answer);

        // A reading that is not a number fails the gains too, and the user is shown the error bits.
        const CString told = std::isnan(zero)
                                 ? CString::Formatted(LoadLangString(kTextCalibrationRefused).GetString(),
                                                      unsigned{kCalibErrorEndA | kCalibErrorEndB | kCalibErrorGainA | kCalibErrorGainB})
                                 : workflow::WorkflowText(workflow::kTextCalibrationLoadCheck);
        EXPECT_EQ(std::string(page.m_strStatusLine.GetString()), std::string(told.GetString()));
        EXPECT_TRUE(b.ports.writes.empty());
        EXPECT_NE(b.com.GetZMCOMConfgFlow(), ZM_SET_NEW_USERCALIB);
        for (const CalibChannel& channel : b.com.m_sCalib.channel) EXPECT_EQ(channel.nGainCode, 0u);
    }
}

// The sensor's control signal moves channel A by nothing: the user is told that, once (also
// while the box stays open for seconds), nothing is written and no progress is left standing.
TEST(CalibrationPage, AControlSignalThatChangesNothingIsReportedOnceAndNothingIsWritten)
{
    AdminBench b;
    struct ReadForFourSeconds : platform::RecordingMessageBoxSink {
        platform::MessageLoop& loop;
        explicit ReadForFourSeconds(platform::MessageLoop& l) : loop(l) {}
        int Show(const CString& text, const CString& caption, UINT type) override
        {
            const int answer = RecordingMessageBoxSink::Show(text, caption, type);
            loop.RunFor(4000);
            return answer;
        }
    } reader(b.loop);
    platform::ScopedMessageBoxSink install(&reader);
    const std::int64_t sensorStart = b.loop.NowMs();
    sim::SensorConfig config = LoadedAfterAMinute();
    config.controlStepA = 0;
    ASSERT_TRUE(b.ConnectSensor(config));
    b.loop.RunFor(300);
    CDlgSensorCalibration& page = b.pages.calibration;
    page.SetReferenceValues(20000, 12000);
    ASSERT_NO_FATAL_FAILURE(CalibrateAfterAMinute(b, sensorStart));
    b.loop.RunFor(5000);
    ASSERT_EQ(reader.Count(), 1u);
    EXPECT_EQ(std::string(reader.Boxes()[0].text.GetString()),
              std::string(CString::Formatted(LoadLangString(kTextControlSignalNoChange).GetString(), "A").GetString()));
    EXPECT_EQ(std::string(page.m_strStatusLine.GetString()), std::string(reader.Boxes()[0].text.GetString()));
    EXPECT_EQ(page.CurrentActivity(), CDlgSensorCalibration::Activity::Idle);
    EXPECT_EQ(page.ProgressPercent(), 0);
    EXPECT_EQ(b.ports.Count('F'), 0);
}

TEST(CalibrationPage, ASensorThatLeavesDuringTheCalibrationBringsThePageBackToIdleAndNothingIsWritten)
{
    AdminBench b;
    ASSERT_TRUE(b.ConnectSensor(LoadedAfterAMinute()));
    b.loop.RunFor(300);
    CDlgSensorCalibration& page = b.pages.calibration;
    page.SetReferenceValues(20000, 12000);
    ASSERT_TRUE(page.OnStartCalibration());
    page.ZeroPrompt().OnOK();
    for (int i = 0; i < 100; ++i) {  // a third of the zero phase
        b.com.COM_SendValueRequest();
        b.loop.RunFor(25);
    }
    b.devices[0]->Port(0).Stall(-1);
    for (int i = 0; i < 400 && b.control.polling; ++i) {
        b.com.COM_SendValueRequest();
        b.loop.RunFor(25);
    }
    b.loop.RunFor(500);

    EXPECT_EQ(page.CurrentActivity(), CDlgSensorCalibration::Activity::Idle);
    EXPECT_FALSE(page.ZeroPrompt().IsVisible());
    EXPECT_FALSE(b.control.polling);
    EXPECT_EQ(page.m_strStatusLine, LoadLangString(kTextSensorLeft));
    ASSERT_EQ(b.boxes.Count(), 1u);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(b.com.m_bCalibrationRunning, 0);
    EXPECT_EQ(b.com.m_sCalib.channel[0].bZeroDone, 0);
    EXPECT_EQ(b.ports.Count('F'), 0);
    EXPECT_FALSE(b.devices[0]->Port(0).sensor().Blocks().IsValid(6));
}

TEST(CalibrationPage, TheStoredUserCalibrationIsSwitchedOnFromThePageAndAStepTheSensorStateForbidsWritesNothing)
{
    AdminBench b;
    ASSERT_TRUE(b.ConnectSensor(AcceptedSensor()));
    b.loop.RunFor(300);
    CDlgSensorCalibration& page = b.pages.calibration;
    ASSERT_EQ(page.SensorCalibrationState(), 2);  // stored, switched off
    const std::size_t before = b.ports.writes.size();

    // Switching off what is not on is refused by the controller: nothing goes out.
    EXPECT_FALSE(page.OnDeactivateUserCalibration());
    EXPECT_EQ(page.CurrentActivity(), CDlgSensorCalibration::Activity::Idle);
    EXPECT_EQ(page.m_strStatusLine, LoadLangString(kTextStepRefused));
    EXPECT_EQ(b.ports.writes.size(), before);

    ASSERT_TRUE(page.OnActivateUserCalibration());
    ASSERT_TRUE(b.loop.RunUntil([&] { return page.CurrentActivity() == CDlgSensorCalibration::Activity::Idle; }, 5000));
    EXPECT_EQ(b.CountAfter(before, 'F'), 1);
    EXPECT_EQ(b.CountAfter(before, 'K'), 1);
    EXPECT_TRUE(b.devices[0]->Port(0).sensor().Blocks().IsValid(6));
    EXPECT_TRUE(page.AreControlsVisible());
    EXPECT_TRUE(b.boxes.Boxes().empty());
    // A sensor that refuses its restart is not read again: the page and the next store of the
    // set-up start from the block it confirmed, not from the switched-off one read before it.
    AdminBench unread;
    sim::SensorConfig refusing = AcceptedSensor();
    refusing.faults.refusals = {{'K', -1, 3, 1}};
    ASSERT_TRUE(unread.ConnectSensor(refusing));
    unread.loop.RunFor(300);
    ASSERT_TRUE(unread.pages.calibration.OnActivateUserCalibration());
    unread.loop.RunFor(3000);
    EXPECT_EQ(unread.boxes.Count(), 1u);  // the refused restart
    EXPECT_TRUE(unread.pages.calibration.HoldsUserCalibration());
    ASSERT_TRUE(unread.pages.information.OnStoreSettings());
    ASSERT_TRUE(unread.loop.RunUntil([&] { return unread.pages.information.CurrentActivity() == CDlgSensorInformationHmb::Activity::Idle; }, 5000));
    EXPECT_TRUE(unread.devices[0]->Port(0).sensor().Blocks().IsValid(6));
    // An erased block (the sensor reporting it stored, switched off) holds no calibration to switch on.
    AdminBench erased;
    sim::SensorConfig config = AcceptedSensor();
    config.identity.rawBlockContent[0x82] = sim::Bytes(27, 0xFF);
    ASSERT_TRUE(erased.ConnectSensor(config));
    erased.loop.RunFor(300);
    EXPECT_FALSE(erased.pages.calibration.OnActivateUserCalibration());
    EXPECT_EQ(erased.pages.calibration.m_strStatusLine, LoadLangString(kTextNoUserCalibrationStored));
    EXPECT_EQ(erased.ports.Count('F'), 0);
}
