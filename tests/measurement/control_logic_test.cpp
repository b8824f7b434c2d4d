// The control panel's evaluations without a sensor: pass/fail verdicts, trigger levels and
// limits, state names, duration options, receive counters, the around-trigger display, the
// developer-view gate and the scaling page's numbers.

#include <cmath>
#include <cstdlib>
#include <limits>

#include <gtest/gtest.h>

#include "measurement/around_trigger_monitor.h"
#include "measurement/channel_scaling_numbers.h"
#include "measurement/measure_control_panel.h"
#include "measurement/pass_fail_evaluation.h"
#include "measurement/trigger_evaluation.h"
#include "measurement/zm_state_names.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "tests/measurement/control_bench.h"

using namespace measurement;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

MeasuredValueRecord Values(double a, double b = 0.0)
{
    MeasuredValueRecord r;
    r.value = {a, b, 3.0, 4.0, 5.0, 6.0};
    return r;
}

TEST(PassFail, VerdictsAgainstLimits)
{
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink scope(&boxes);
    CValidation_IO_NIO v;
    // Inclusive limits, a decimal comma, a value just above the upper limit.
    IoNioVerdict r = v.Execute(Values(10.5, 5.000001), 0, 1, "10,5", "11", "", "5");
    EXPECT_EQ(r.condition1, 1);
    EXPECT_EQ(r.condition2, 0);
    // Lower above upper fails everything.
    r = v.Execute(Values(7.0), 0, -1, "8", "6", "", "");
    EXPECT_EQ(r.condition1, 0);
    EXPECT_EQ(r.condition2, 1);
    // Empty limits compare nothing: infinite values pass.
    r = v.Execute(Values(kInf, -kInf), 0, 1, "", "", "", "");
    EXPECT_EQ(r.condition1, 1);
    EXPECT_EQ(r.condition2, 1);
    // A value that is no number fails a condition that has a limit, and only then.
    r = v.Execute(Values(kNaN, kNaN), 0, 1, "0", "", "", "");
    EXPECT_EQ(r.condition1, 0);
    EXPECT_EQ(r.condition2, 1);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST(PassFail, LastEvaluationRecordAndFaultyCalls)
{
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink scope(&boxes);
    CValidation_IO_NIO v;
    v.Execute(Values(1.0, 2.0), 4, 5, "", "", "", "");
    EXPECT_EQ(IoNioLastEvaluation().captionId1, 5033u);
    EXPECT_EQ(IoNioLastEvaluation().captionId2, 5033u);
    EXPECT_DOUBLE_EQ(IoNioLastEvaluation().value2, 6.0);
    // A condition without measurand keeps the old value and caption of its fields.
    v.Execute(Values(1.0), 1, -1, "", "", "", "");
    EXPECT_EQ(IoNioLastEvaluation().measurand2, -1);
    EXPECT_EQ(IoNioLastEvaluation().captionId2, 5033u);
    EXPECT_EQ(IoNioLastEvaluation().captionId1, 5322u);
    // An undefined measurand: two messages, the condition keeps its verdict.
    IoNioVerdict r = v.Execute(Values(1.0), 7, -1, "", "", "", "");
    EXPECT_EQ(r.condition1, 1);
    EXPECT_EQ(boxes.Count(), 2u);
    r = v.Execute(Values(1.0), 0, -1, "", "", "", "", 1);
    EXPECT_EQ(r.condition1, 0);
    EXPECT_EQ(r.condition2, 0);
    EXPECT_EQ(boxes.Boxes().back().text, "improper call of CValidation_IO_NIO.Execute()");
}

TEST(StateNames, EveryCode)
{
    EXPECT_EQ(GetZmCommandName(5), "ZM_STOP_MEASURE");
    EXPECT_EQ(GetZmCommandName(1000), "ZM_4xS_SET_234_TO_SLAVE");
    EXPECT_EQ(GetZmCommandName(1001), "ZM_4xS_START_SSOSM");
    EXPECT_EQ(GetZmCommandName(1003), "ZM_4xS_SINGLE_SHOT");
    for (int code = -3; code <= 1010; ++code) {
        const CString name = GetZmCommandName(code);
        const bool named = (code >= 1 && code <= 47 && code != 9 && code != 10 && code != 11 && code != 13 && code != 15) ||
                           code == 1000 || code == 1001 || code == 1003;
        if (named) {
            EXPECT_EQ(name.Left(3), "ZM_") << code;
        } else {
            EXPECT_EQ(name, CString::Formatted("default-Zweig here unkown ZM_.... == %d", code)) << code;
        }
    }
}

class TriggerRecorder : public ITriggerActions {
public:
    void OnStartEvent(int, double v) override { starts.push_back(v); state->recording = 1; }
    void OnStopEvent(int, double v) override { stops.push_back(v); state->recording = 0; }
    int PointsRecorded() const override { return points; }
    std::int64_t Now() const override { return now; }
    void ShowAroundTrigger(int, int, double, char, char, double, double, bool) override {}
    TriggerState* state = nullptr;
    std::vector<double> starts, stops;
    int points = 0;
    std::int64_t now = 100;
};

TEST(Triggers, LevelsHysteresisAndLimits)
{
    TriggerState s;
    TriggerRecorder r;
    r.state = &s;
    s.startSource = 1;
    s.startValue = 10.0;
    s.startHysteresis = 1.0;
    s.stopSource = 1;
    s.stopValue = 20.0;
    s.stopHysteresis = 1.0;
    s.stopDirection = 1;
    // A series that starts above the level does not start until it was at or below 9.
    for (double v : {12.0, 13.0, 9.5, 10.0, 9.0, 9.5, 10.0}) EvaluateMeasureTriggers(s, true, 0, v, false, r);
    ASSERT_EQ(r.starts.size(), 1u);
    EXPECT_DOUBLE_EQ(r.starts[0], 10.0);
    // Falling stop: armed at 21 or more, fires at 20 exactly.
    for (double v : {20.0, 21.0, 20.5, 20.0}) EvaluateMeasureTriggers(s, true, 0, v, false, r);
    ASSERT_EQ(r.stops.size(), 1u);
    EXPECT_DOUBLE_EQ(r.stops[0], 20.0);
    // Nothing happens while the trigger is not armed.
    s.startArmed = 1;
    EXPECT_EQ(EvaluateMeasureTriggers(s, false, 0, 50.0, false, r), TriggerEvent::None);

    // A power start fires without a value on the far side (its armed byte is set at arming).
    TriggerState p;
    p.startSource = 5;
    p.startValue = 3.0;
    p.startArmed = 1;
    TriggerRecorder rp;
    rp.state = &p;
    EXPECT_EQ(EvaluateMeasureTriggers(p, true, 4, 3.5, false, rp), TriggerEvent::Start);

    // Start by system time on the reference channel.
    TriggerState t;
    t.startSource = kTriggerTime;
    t.plannedStartTime = 200;
    TriggerRecorder rt;
    rt.state = &t;
    EXPECT_EQ(EvaluateMeasureTriggers(t, true, 0, 1.0, false, rt), TriggerEvent::None);
    rt.now = 200;
    EXPECT_EQ(EvaluateMeasureTriggers(t, true, 0, 1.0, false, rt), TriggerEvent::Start);

    // Stop by count compares with the diagram's limit; a limit below one point is no limit.
    TriggerState c;
    c.stopSource = kTriggerCount;
    c.recording = 1;
    c.pointLimit = DiagramPointLimit(kTriggerCount, 0.0, 500.0, 0.001);
    TriggerRecorder rc;
    rc.state = &c;
    rc.points = 499;
    EXPECT_EQ(EvaluateMeasureTriggers(c, true, 0, 1.0, false, rc), TriggerEvent::None);
    rc.points = 500;
    EXPECT_EQ(EvaluateMeasureTriggers(c, true, 0, 1.0, false, rc), TriggerEvent::Stop);
    c.recording = 1;
    c.pointLimit = DiagramPointLimit(kTriggerCount, 0.0, 0.4, 0.001);
    EXPECT_EQ(c.pointLimit, 0);
    EXPECT_EQ(EvaluateMeasureTriggers(c, true, 0, 1.0, false, rc), TriggerEvent::None);
    EXPECT_EQ(DiagramPointLimit(kTriggerTime, 10.0, 0.0, 0.5), 21);
    EXPECT_EQ(DiagramPointLimit(kTriggerTime, 10.0, 0.0, 0.0), 0);
    EXPECT_EQ(StopDurationSeconds(kTriggerTime, 9.2, 0.0, 1.0), 10);
    EXPECT_EQ(StopDurationSeconds(kTriggerCount, 0.0, 100.0, 0.25), 25);
}

TEST(Triggers, Hysteresis)
{
    HysteresisInputs in;
    in.channel[0] = {false, 500.0, 25000.0, 1.0};
    EXPECT_DOUBLE_EQ(ComputeHysteresis(1, true, in), 5.0);
    // A count value below 19000 scales; 0 must not divide.
    in.channel[0].countValue = 12500.0;
    EXPECT_DOUBLE_EQ(ComputeHysteresis(1, true, in), 10.0);
    in.channel[0].countValue = 0.0;
    EXPECT_DOUBLE_EQ(ComputeHysteresis(1, true, in), 5.0);
    in.channel[0].unitIsAdu = true;
    EXPECT_DOUBLE_EQ(ComputeHysteresis(1, true, in), 300.1);
    EXPECT_DOUBLE_EQ(ComputeHysteresis(1, false, in), 300.2);
    in.firstIsDeviceCode5 = true;
    EXPECT_DOUBLE_EQ(ComputeHysteresis(2, true, in), 0.0);
    EXPECT_DOUBLE_EQ(ComputeHysteresis(5, true, in), 0.5);
    EXPECT_DOUBLE_EQ(ComputeHysteresis(0, true, in), kNoHysteresis);
    EXPECT_DOUBLE_EQ(ComputeHysteresis(7, true, in), kNoHysteresis);
    // Of a device whose second port carries module 1 (range 1000), channel A is that sensor's.
    control_test::ControlBench b;
    std::vector<sim::SensorConfig> configs = sim::MultiportConfigs(2, workflow_test::AcceptedSensor(777));
    std::swap(configs[0].identity.moduleIndex, configs[1].identity.moduleIndex);
    configs[1].identity.rangeACode = 0x3100;
    b.AddDevice(3, configs);
    b.connection.marked[0] = b.connection.marked[1] = true;
    b.com.COM_SearchComPorts(0);
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.com.m_nCountActivePorts == 2 && b.com.m_nAutoActivateRow == -1; }, 20000));
    b.cframe.triggers.startSource = 1;
    b.panel->ComputeTriggerHysteresis();
    EXPECT_DOUBLE_EQ(b.cframe.triggers.startHysteresis, 10.0);
}

TEST(AroundTrigger, ShowsLevelsAndMarksTheEvent)
{
    PageControls controls;
    AroundTriggerMonitor m(controls);
    m.Evaluate(0, 0, 7.0, '<', '-', 10.0, 2.0, false, 7);
    EXPECT_EQ(controls.Text(1712), "<=");
    EXPECT_EQ(controls.Text(1732), ">=");
    EXPECT_EQ(controls.Text(1710), "-");
    EXPECT_EQ(controls.Text(1704), "^ exceed");
    EXPECT_EQ(controls.Text(1709), "8.000000");
    EXPECT_EQ(controls.Text(1713), "7.000");
    EXPECT_FALSE(controls.IsEnabled(1728));
    EXPECT_TRUE(controls.Text(1736).IsEmpty());
    const int writes = m.Writes();
    m.Evaluate(0, 0, 7.0, '<', '-', 10.0, 2.0, false, 7);
    EXPECT_EQ(m.Writes(), writes);
    m.Evaluate(1, 0, 9.99, '<', '-', 10.0, 1.0, true, 1);
    EXPECT_EQ(controls.Text(1717), "^ exceed");
    EXPECT_EQ(controls.Text(1704), "BINGO: exceeded !");
    m.Evaluate(1, 0, 10.0, '<', '-', 10.0, 1.0, true, 1);
    EXPECT_EQ(controls.Text(1717), "BINGO: exceeded !");
    const int fired = m.Writes();
    m.Evaluate(1, 0, 10.0, '<', '-', 10.0, 1.0, true, 1);
    EXPECT_EQ(m.Writes(), fired);
    m.Evaluate(1, 1, 5.0, '>', '+', 5.0, 1.0, true, 1);
    EXPECT_EQ(controls.Text(1717), "BINGO: dropped below !");
}

TEST(Scaling, TargetAndReadingTexts)
{
    EXPECT_EQ(FormatScalingTarget(2000.0), "2000");
    EXPECT_EQ(FormatScalingTarget(49.999999), "50");
    EXPECT_EQ(FormatScalingTarget(1234567.8), "1234500");
    EXPECT_EQ(FormatScalingTarget(12.3456789), "12.345");
    // Long runs of nines and huge values neither overflow nor crash.
    EXPECT_EQ(FormatScalingTarget(99999999999999.0).GetLength(), 15);
    EXPECT_EQ(FormatScalingTarget(kNaN), "n.a.");
    EXPECT_EQ(FormatScalingTarget(-49.999999), "-50");
    EXPECT_EQ(FormatScalingReading(12.5, 1000), "12.5");
    EXPECT_EQ(FormatScalingReading(12.5, 0), "12,5");
    // Ten or more integer digits: no decimals, never a negative count.
    EXPECT_EQ(FormatScalingReading(12345678901.0, 1000), "12345678901");
    EXPECT_EQ(FormatScalingReading(kInf, 1000), "n.a.");
}

TEST(ControlPanel, DeveloperViewGate)
{
    EXPECT_TRUE(CDlgMeasureDiagram::IsDeveloperUser("R.Wendelbrauchs"));
    EXPECT_FALSE(CDlgMeasureDiagram::IsDeveloperUser("R.Wendelbrauchs2"));
    EXPECT_TRUE(CDlgMeasureDiagram::IsDeveloperUser("mat.ostermann"));
    EXPECT_FALSE(CDlgMeasureDiagram::IsDeveloperUser("unknown"));
    control_test::ControlBench b;
    unsetenv("USERNAME");
    b.panel->ApplyDeveloperView();
    EXPECT_FALSE(b.panel->Controls().IsShown(1381));
    setenv("USERNAME", "t.ost", 1);
    b.panel->ApplyDeveloperView();
    EXPECT_TRUE(b.panel->Controls().IsShown(1381));
    unsetenv("USERNAME");
}

TEST(ControlPanel, ReceiveCounters)
{
    control_test::ControlBench b;
    CDlgMeasureDiagram& p = *b.panel;
    using F = workflow::MeasureDiagnostic;
    p.SetDiagnostic(F::MissingValueCount, 0, 0);
    for (int i = 1; i <= 3; ++i) {
        p.SetDiagnostic(F::MissingValueCount, 0, -1);
        EXPECT_EQ(p.Controls().Text(1381), CString::Formatted("%d", i));
    }
    for (int v : {5, 3}) p.SetDiagnostic(F::QueueMaxLength, 1, v);
    EXPECT_EQ(p.Controls().Text(1442), "5");
    p.SetDiagnostic(F::QueueMaxLength, 1, -1);
    EXPECT_EQ(p.Controls().Text(1442), "0");
    p.SetDiagnostic(F::QueueMaxLength, 1, 2);
    EXPECT_EQ(p.Controls().Text(1442), "2");
    p.SetDiagnostic(F::IncompleteLineCount, 2, 0);
    std::vector<CString> shown;
    for (int i = 1; i <= 1030; ++i) {
        p.SetDiagnostic(F::IncompleteLineCount, 2, -1);
        if (shown.empty() || shown.back() != p.Controls().Text(1387)) shown.push_back(p.Controls().Text(1387));
    }
    EXPECT_EQ(shown[998], "999");
    EXPECT_EQ(shown[999], "1009");
    EXPECT_EQ(shown[1000], "1019");
    EXPECT_EQ(shown[1001], "1029");
}

TEST(ControlPanel, DurationOptions)
{
    SetLanguage(1000);
    control_test::ControlBench b;
    b.cframe.valuesPerSet = 2;
    b.cframe.setup.samplePeriod = 0.001;
    b.panel->BuildDurationOptions();
    const PageControls& c = b.panel->Controls();
    ASSERT_EQ(c.Count(1433), 5);
    EXPECT_EQ(c.EntryText(1433, 0), "    5 Hours");
    EXPECT_EQ(c.EntryText(1433, 2), "    1 Hour");
    EXPECT_EQ(c.EntryText(1433, 3), "  40 min");
    EXPECT_EQ(c.EntryText(1433, 4), "  20 min");
    EXPECT_EQ(c.Selection(1433), 0);  // five hours
    SetLanguage(0);
    EXPECT_TRUE(b.panel->TranslateDurationOptions());
    EXPECT_EQ(c.EntryText(1433, 0), "  5 Stunden");
    SetLanguage(1000);
    // No values per set, or no interval: no options and no division by zero.
    b.cframe.valuesPerSet = 0;
    b.panel->BuildDurationOptions();
    EXPECT_EQ(c.Count(1433), 0);
    b.cframe.valuesPerSet = 2;
    b.cframe.setup.samplePeriod = 0.0;
    b.panel->BuildDurationOptions();
    EXPECT_EQ(c.Count(1433), 0);
}

TEST(ControlPanel, ProgressWithoutBaseStaysAtZero)
{
    control_test::ControlBench b;
    b.panel->OnTimer(63);
    EXPECT_EQ(b.panel->ProgressPosition(), 0);
}

TEST(ControlPanel, VersionRefusalText)
{
    SetLanguage(1000);
    CSensorRecord s;
    s.m_sIdent[kIdentStatorId] = 7;
    EXPECT_NE(CDlgMeasureDiagram::BuildVersionRefusal(s, 1).Find("01 (Typ7)"), -1);
    s.m_sIdent[kIdentStatorId] = 12;
    EXPECT_NE(CDlgMeasureDiagram::BuildVersionRefusal(s, 1).Find("01 (Typ*)"), -1);
}

}  // namespace
