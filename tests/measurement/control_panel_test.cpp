// The control panel with the workflow controller and a simulated sensor under virtual time:
// manual measurements in stream and poll mode, a triggered measurement with auto repeat,
// single shot, control signal, receive time-outs, the pass/fail verdict at the end, the poll
// tick's thread, and a channel scaling read from the sensor and written back to it.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <thread>

#include <gtest/gtest.h>

#include "measurement/channel_scaling_numbers.h"
#include "measurement/channel_scaling_page.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "tests/measurement/control_bench.h"
#include "workflow/com_port.h"

using namespace measurement;
using control_test::ControlBench;

namespace {

const std::vector<CString> kEndOrder = {"FinishMeasurement", "RunStopAddProgram", "ResetButtonsAfterMeasurement",
                                        "AfterMeasurement"};

std::vector<CString> EndCalls(const std::vector<CString>& calls)
{
    std::vector<CString> out;
    for (const CString& c : calls)
        if (c != "OpenMeasValueFiles" && c.Left(10) != "StartGraph") out.push_back(c);
    return out;
}

TEST(ControlMeasurement, ManualStreamAndPoll)
{
    for (const bool poll : {false, true}) {
        ControlBench b;
        b.frame.rateIndex = poll ? 15 : 6;
        b.wframe.rateIndex = poll ? 15 : 6;
        ASSERT_TRUE(b.Connect(control_test::RampSensor(2000.0, 100.0)));
        CDlgMeasureDiagram& p = *b.panel;
        p.OnBnClickedStart();
        EXPECT_EQ(p.Settings()->bRunning, 1);
        if (!poll) {
            EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_START_MEASURE_SOSM);
        }
        EXPECT_FALSE(p.Controls().IsEnabled(1150));
        EXPECT_TRUE(p.Controls().IsEnabled(1151));
        b.loop.RunFor(poll ? 5000 : 500);
        // Values in the channel view and the curve store.
        EXPECT_TRUE(std::isfinite(b.refresher.ShownValueOf(0)));
        EXPECT_GT(b.refresher.ShownValueOf(0), 0.0);
        EXPECT_GT(b.data.GetMaxPointCount(), poll ? 2 : 50);
        p.OnBnClickedStop();
        EXPECT_EQ(p.Settings()->bRunning, 0);
        EXPECT_FALSE(p.Controls().IsEnabled(1151));  // nothing is left to stop
        b.loop.RunFor(2000);
        EXPECT_EQ(EndCalls(b.cframe.calls), kEndOrder) << (poll ? "poll" : "stream");
        EXPECT_TRUE(p.Controls().IsEnabled(1150));
        EXPECT_FALSE(p.Controls().IsEnabled(1151));
        // A manual start runs no add-on program.
        EXPECT_TRUE(b.launcher.started.empty());
        EXPECT_EQ(b.boxes.Count(), 0u);
    }
}

TEST(ControlMeasurement, TriggeredFromTheSignalWithAutoRepeat)
{
    ControlBench b;
    // The ramp climbs 4000 counts a second from -20000: it is far below the start level when
    // the trigger is armed, crosses 0 (start) about five seconds later and 2000 (stop) after that.
    ASSERT_TRUE(b.Connect(control_test::RampSensor(4000.0, -20000.0)));
    CDlgMeasureDiagram& p = *b.panel;
    b.cframe.setup.startSource = 1;
    b.cframe.setup.startDirection = 0;
    b.cframe.setup.stopSource = 1;
    b.cframe.setup.stopDirection = 0;
    const double scale = b.com.m_adScaleFactor[0];
    ASSERT_GT(scale, 0.0);
    b.cframe.setup.startValue = 0.0;
    b.cframe.setup.stopValue = 2000.0 * scale;
    b.cframe.startProgram = "/bin/true";
    const CString document = CString(::testing::TempDir().c_str()) + "km3_control_result.txt";
    std::ofstream(document.GetString()) << "result";
    b.cframe.stopProgram = document;
    p.SetAutoRepeat(true, true);
    p.OnBnClickedTrigger();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_TRIGGER_ACTIV);
    EXPECT_EQ(p.Settings()->bSecond, 1);
    b.loop.RunFor(300);
    EXPECT_EQ(b.cframe.triggers.recording, 0);
    EXPECT_EQ(b.data.GetMaxPointCount(), 0);
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.cframe.triggers.recording == 1; }, 8000));
    EXPECT_NEAR(b.cframe.triggers.valueAtStart, 0.0, 20.0 * scale);
    EXPECT_EQ(b.launcher.started, std::vector<CString>{"/bin/true"});
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.cframe.triggers.stoppedByEvent == 1; }, 3000));
    EXPECT_NEAR(b.cframe.triggers.valueAtStop, 2000.0 * scale, 20.0 * scale);
    // Only the values between the two events were recorded.
    EXPECT_GT(b.data.GetMaxPointCount(), 50);
    EXPECT_LT(b.data.GetMaxPointCount(), 150);
    // From the set that crossed the start level to the one that crossed the stop level: none
    // of the sets still on the line behind the stop.
    b.loop.RunFor(100);
    const int points = b.data.GetPointCount(0);
    ASSERT_GT(points, 0);
    EXPECT_EQ(b.data.GetPoint(0, 0).y, b.cframe.triggers.valueAtStart);
    EXPECT_EQ(b.data.GetPoint(0, points - 1).y, b.cframe.triggers.valueAtStop);
    // A set still on the line behind the stop, far above the stop level, is neither recorded
    // nor judged: the pass/fail verdict takes the largest recorded value, here the stop's.
    b.com.m_aiValue[0] = 20000;
    b.refresher.RefreshChannelViews(0);
    EXPECT_EQ(b.data.GetPointCount(0), points);
    EXPECT_EQ(b.com.m_adMaxValue[0][0], b.cframe.triggers.valueAtStop);
    b.loop.RunFor(1900);
    // The end: the stop program once, then the trigger armed again without a click.
    EXPECT_EQ(b.launcher.opened, std::vector<CString>{document});
    EXPECT_EQ(p.Settings()->bSecond, 1);
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_TRIGGER_ACTIV);
    p.OnBnClickedTrigger();
    EXPECT_EQ(p.Settings()->bSecond, 0);
}

TEST(ControlMeasurement, SingleShotAndControlSignal)
{
    ControlBench b;
    ASSERT_TRUE(b.Connect(control_test::RampSensor(0.0, 1234.0)));
    CDlgMeasureDiagram& p = *b.panel;
    p.OnBnClickedSingleShot();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SINGLE_SHOT);
    b.loop.RunFor(200);
    EXPECT_NEAR(b.refresher.ShownValueOf(0), b.ValueOfCounts(1234.0), 1e-6);
    // A single shot belongs to no measurement.
    EXPECT_EQ(b.data.GetMaxPointCount(), 0);

    p.OnBnClickedControl();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SET_CTRL_ON);
    // Clicks while the switch is busy do nothing.
    p.OnBnClickedControl();
    b.loop.RunFor(500);
    EXPECT_EQ(p.Settings()->nControlState, 1);
    EXPECT_EQ(p.Indicators().run, 1);
    // The switch is free again: the next click switches off.
    p.OnBnClickedControl();
    EXPECT_EQ(b.com.GetZMCOMConfgFlow(), ZM_SET_CTRL_OFF);
}

TEST(ControlMeasurement, ControlSwitchDuringPollGoesWithTheNextTick)
{
    ControlBench b;
    b.wframe.rateIndex = 15;
    ASSERT_TRUE(b.Connect(control_test::RampSensor(0.0, 10.0)));
    CDlgMeasureDiagram& p = *b.panel;
    p.OnBnClickedStart();
    b.loop.RunFor(2500);
    p.OnBnClickedControl();
    EXPECT_EQ(p.Settings()->bCtrlSwitchRequest, 1);
    // The next tick sends it.
    EXPECT_TRUE(b.loop.RunUntil([&p] { return p.Settings()->bCtrlSwitchRequest == 0; }, 2000));
    b.loop.RunFor(1500);
    EXPECT_EQ(p.Settings()->nControlState, 1);
    p.OnBnClickedStop();
}

TEST(ControlMeasurement, PollTicksFromAnotherThreadRunOnTheGuiThread)
{
    ControlBench b;
    ASSERT_TRUE(b.Connect(control_test::RampSensor(0.0, 10.0)));
    CDlgMeasureDiagram& p = *b.panel;
    ASSERT_TRUE(p.StartPollTimer(60'000));  // running, its own ticks far off
    b.loop.RunFor(50'000);                   // the start's request has had its time
    auto tickFromAnotherThread = [&p](int times) {
        std::thread timer([&p, times] {
            for (int i = 0; i < times; ++i) CDlgMeasureDiagram::PollCallback(1, 0, reinterpret_cast<std::uintptr_t>(&p), 0, 0);
        });
        timer.join();
    };
    const auto asked = [&b] {  // the value requests sent to the sensor
        return std::count_if(b.ports.writes.begin(), b.ports.writes.end(), [](const auto& w) { return w.Letter() == 'A'; });
    };
    const auto before = asked();
    tickFromAnotherThread(5);
    // Nothing ran on the timer's thread; the waiting tick runs once on the loop.
    EXPECT_EQ(asked(), before);
    const int refreshes = b.wframe.refreshCount;
    b.loop.RunFor(1);
    EXPECT_EQ(asked(), before + 1);
    b.loop.RunFor(200);
    EXPECT_GT(b.wframe.refreshCount, refreshes);
    // A tick still on its way when the poll stops asks for nothing.
    const std::size_t requests = b.ports.writes.size();
    tickFromAnotherThread(1);
    p.StopPollTimer();
    b.loop.RunFor(200);
    EXPECT_EQ(b.ports.writes.size(), requests);
}

TEST(ControlMeasurement, ReceiveTimeoutWarnsThenStopsAndWarnsAgainNextTime)
{
    for (const bool poll : {false, true}) {
        SCOPED_TRACE(poll ? "polled" : "streamed");
        ControlBench b;
        b.frame.rateIndex = b.wframe.rateIndex = poll ? 15 : 6;
        ASSERT_TRUE(b.Connect(control_test::RampSensor(1000.0)));
        CDlgMeasureDiagram& p = *b.panel;
        for (int run = 0; run < 2; ++run) {
            p.OnBnClickedStart();
            b.loop.RunFor(300);
            b.devices[0]->Port(0).Stall(5000);
            // A polled measurement asks again with its next tick, 1200 ms after the first.
            if (poll) b.loop.RunFor(900);
            const auto firstBox = b.boxes.Count();
            b.loop.RunFor(b.com.m_nReceiveTimeoutMs + 20);
            EXPECT_EQ(p.Indicators().state, 3) << run;
            EXPECT_EQ(p.Controls().Text(IDC_MC_STATE_LED), " YELLOW! ") << run;
            EXPECT_EQ(p.Settings()->bRunning, 1) << run;
            b.loop.RunFor(b.com.m_nReceiveTimeoutMs + 20);
            EXPECT_EQ(p.Settings()->bRunning, 0) << run;
            EXPECT_EQ(p.Indicators().state, 1) << run;
            EXPECT_EQ(b.cframe.flags[static_cast<std::size_t>(FrameFlag::ProtocolError)], 1) << run;
            EXPECT_EQ(b.boxes.Count(), firstBox);
            // The stall ends: what the sensor sent meanwhile arrives, but the measurement has ended
            // once and stays ended.
            const auto points = b.data.GetMaxPointCount();
            b.loop.RunFor(6000);
            int ends = 0;
            for (const CString& call : b.cframe.calls) ends += call == "FinishMeasurement" ? 1 : 0;
            EXPECT_EQ(ends, run + 1) << run;
            EXPECT_EQ(b.data.GetMaxPointCount(), points) << run;
            b.cframe.flags[static_cast<std::size_t>(FrameFlag::ProtocolError)] = 0;
        }
    }
}

TEST(ControlMeasurement, PassFailVerdictLightsTheLampAndKeepsTheRecord)
{
    struct Case {
        const char* lower;
        const char* upper;
        double value;
        int light;
    };
    for (const Case c : {Case{"1", "", 5.0, 0}, Case{"", "4", 5.0, 2}, Case{"", "", 5.0, 0}, Case{"1", "", std::numeric_limits<double>::quiet_NaN(), 2}}) {
        ControlBench b;
        ASSERT_TRUE(b.Connect(control_test::RampSensor(0.0, 10.0)));
        CDlgMeasureDiagram& p = *b.panel;
        b.cframe.ioNio.defined = true;
        b.cframe.ioNio.conditions = 1;
        b.cframe.ioNio.measurand = {0, -1};
        b.cframe.ioNio.limitText = {c.lower, c.upper, "", ""};
        p.OnBnClickedStart();
        b.loop.RunFor(200);
        p.OnBnClickedStop();
        b.com.m_adMaxValue[0][0] = c.value;
        b.loop.RunFor(2000);
        ASSERT_FALSE(b.cframe.lights.empty());
        EXPECT_EQ(b.cframe.lights.back(), c.light) << c.lower << "|" << c.upper;
        EXPECT_EQ(IoNioLastEvaluation().measurand1, 0);
        EXPECT_EQ(IoNioLastEvaluation().captionId1, 5321u);
    }
}

// The set-up page's side of the scaling: the single shot's values go to the open page.
class ScalingSetupPage : public workflow_test::FakeMeasureSetupPage {
public:
    bool ShowScalingValues(LONG a, LONG b) override
    {
        if (!page) return false;
        page->SetCurrentMeasuredValue(a, b);
        return true;
    }
    CDlgSoftwareConfig* page = nullptr;
};

class ScalingHost : public measurement_test::ScalingHostDefaults {
public:
    explicit ScalingHost(ControlBench& bench) : m_bench(bench) {}
    ScalingChannelInfo ChannelInfo(int) override
    {
        ScalingChannelInfo info;
        info.nominalValueText = "500";
        info.unitText = "N\xB7m";
        info.countsToUnit = m_bench.com.m_adScaleFactor[0];
        info.nominalCounts = 25000;
        return info;
    }
    void RequestSingleShot(int channel) override { m_bench.com.COM_SendSingleShot(true, channel); }
    BYTE* PanelRunningByte() override { return &m_bench.panel->Settings()->bRunning; }

private:
    ControlBench& m_bench;
};

TEST(ControlScaling, ReadingFromTheSensorBecomesTheScaleWrittenToIt)
{
    SetLanguage(1000);
    ControlBench b;
    ASSERT_TRUE(b.Connect(control_test::RampSensor(0.0, 12500.0)));
    ScalingSetupPage setupPage;
    workflow::WorkflowPeers peers = b.com.Peers();
    peers.measureSetup = &setupPage;
    b.com.SetPeers(peers);
    b.com.m_pMeasureCtrlSettings = b.panel->Settings();

    ScalingHost host(b);
    CDlgSoftwareConfig page(host);
    setupPage.page = &page;
    page.m_nChannel = 0;
    page.m_dScaleFactor = 0.0;
    page.OnInitDialog();
    page.OnShowWindow(true);
    EXPECT_EQ(b.panel->Settings()->bRunning, 1);
    EXPECT_EQ(page.Controls().Text(IDC_SCALE_SAVE), "Create");
    EXPECT_EQ(page.Controls().Text(IDC_SCALE_REFERENCE), "500");

    page.OnReadValue();
    b.loop.RunFor(300);
    const double reading = 12500.0 * b.com.m_adScaleFactor[0];
    EXPECT_EQ(page.Controls().Text(IDC_SCALE_REFERENCE), FormatScalingReading(reading, 1000));
    page.Controls().SetText(IDC_SCALE_TARGET, CString::Formatted("%.6f", 2.0 * reading));
    page.OnTargetChanged();
    page.Controls().SetText(IDC_SCALE_UNIT, "kNm");
    page.OnUnitChanged();
    ASSERT_TRUE(page.OnOK());
    EXPECT_NEAR(page.m_dScaleFactor, 2.0, 1e-6);
    // Closing gives the panel back its running byte as it was.
    EXPECT_EQ(b.panel->Settings()->bRunning, 0);

    // What the set-up page does with the result: the scaling of channel A written to the sensor.
    CSensorRecord& sensor = b.com.m_Sensor[0];
    sensor.m_sSwConfig.dScaleA = page.m_dScaleFactor;
    sensor.m_sSwConfig.strUnitA = page.m_sUserUnit;
    ASSERT_EQ(b.com.COM_ZMCOMConfgSetSoftwareConfigBlock(0, ZM_CNFG_SW_CONFIG_SET_SCALING_A), CComPort::SwConfigWrite::Sent);
    b.loop.RunFor(500);
    const auto& blocks = b.devices[0]->Port(0).sensor().Blocks();
    // Bytes 8 to 11: the scale of channel A as a 32-bit float, most significant byte first.
    std::uint32_t bits = 0;
    for (int k = 8; k <= 11; ++k) bits = (bits << 8) | static_cast<std::uint32_t>(blocks.ContentByte(sim::BlockSlot(0x03), k));
    float written = 0.0f;
    std::memcpy(&written, &bits, sizeof written);
    EXPECT_NEAR(written, 2.0f, 1e-5f);
    EXPECT_EQ(blocks.ContentByte(sim::BlockSlot(0x03), 16), 'k');
}

TEST(ControlScaling, RunningByteRestoredAndBadReferenceRefused)
{
    ControlBench b;
    ScalingHost host(b);
    b.panel->Settings()->bRunning = 1;
    {
        CDlgSoftwareConfig page(host);
        page.OnInitDialog();
        page.OnShowWindow(true);
        page.Controls().SetText(IDC_SCALE_REFERENCE, "-5");
        page.OnReferenceChanged();
        EXPECT_FALSE(page.OnOK());
        EXPECT_EQ(b.boxes.Count(), 1u);
        page.OnCancel();
    }
    // A measurement that ran before the page opened runs on.
    EXPECT_EQ(b.panel->Settings()->bRunning, 1);
    b.panel->Settings()->bRunning = 0;
}

}  // namespace
