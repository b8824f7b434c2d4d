// The control panel in the real main frame, offscreen, on a virtual-time loop with a simulated
// sensor in process: a stream measurement started and stopped with the panel's buttons whose
// values reach the channel views and the diagram's curve store, and the pass/fail verdict of
// the set-up page's limits on the status light.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>

#include <bit>
#include <cctype>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "app/main_frame.h"
#include "app/main_frame_views.h"
#include "app/page_table.h"
#include "measurement/channel_scaling_widget.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_rate_table.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_setup_widget.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "res/string_table.h"
#include "sensor_admin/sensor_admin_pages.h"
#include "tests/app/app_test_support.h"
#include "tests/measurement/control_bench.h"
#include "tests/measurement/frame_fixture.h"
#include "tests/measurement/setup_bench.h"
#include "documentation/delimited_table.h"
#include "documentation/dlg_documentation.h"
#include "views/aform_channel.h"
#include "views/aform_diagram.h"
#include "views/graphic_display_wnd.h"
#include "chart/xgraph.h"
#include "views/display_tables.h"
#include "views/aform_light.h"
#include "workflow/connection_state.h"
#include "workflow/workflow_texts.h"

using namespace measurement;

namespace {

using measurement_test::FindPage;

struct PanelInFrame : measurement_test::ConnectedFrame {
    int VerdictLightFor(const char* upper);
};

// The set-up page of the frame, shown.
MeasureSetupWidget& ShownSetup(CMainFrame& frame)
{
    auto* setup = FindPage<MeasureSetupWidget>(frame);
    frame.ShowPage(app::kPageMeasureSetup);
    return *setup;
}

}  // namespace

TEST_F(PanelInFrame, StreamMeasurementFromThePanelReachesTheViewsAndTheCurveStore)
{
    // The sensor's refresh on the start page leaves the channel views in their bar.
    EXPECT_TRUE(frame->m_channelViewVisible[0] && frame->m_channelViewVisible[1]);
    // The frame hands the panel to the controller, the views and the documentation.
    EXPECT_EQ(frame->Com().Peers().measureControl, static_cast<workflow::IMeasureControlPage*>(&panel->Logic()));
    EXPECT_EQ(frame->Com().m_pMeasureCtrlSettings, panel->Logic().Settings());

    EXPECT_FALSE(panel->Logic().Controls().IsShown(IDC_MC_PICTURE)) << "the picture control stays hidden";
    frame->Fields().measureRateIndex = 6;  // 200 value sets a second: streamed
    Click(IDC_MC_START);
    EXPECT_TRUE(Running());
    loop.RunFor(1000);
    EXPECT_EQ(frame->Com().GetZMCOMConfgFlow(), ZM_START_MEASURE_SOSM);
    EXPECT_FALSE(panel->Item<QAbstractButton>(IDC_MC_START)->isEnabled());
    app::ViewsWiring& views = *frame->Views();
    const double shown = views.Refresher().ShownValueOf(0);
    EXPECT_TRUE(std::isfinite(shown));
    EXPECT_GT(shown, 0.0);
    EXPECT_GT(views.Diagram()->GetMaxChannelSetting(), 50);

    Click(IDC_MC_STOP);
    EXPECT_FALSE(Running());
    loop.RunFor(2000);
    EXPECT_TRUE(panel->Item<QAbstractButton>(IDC_MC_START)->isEnabled());
    EXPECT_FALSE(panel->Item<QAbstractButton>(IDC_MC_STOP)->isEnabled());
    // Looking at the panel again leaves the measurement's curves on show.
    const int points = views.Diagram()->GetMaxChannelSetting();
    frame->show();
    frame->ShowPage(app::kPageMeasureSetup);
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(200);
    EXPECT_EQ(views.Diagram()->GetMaxChannelSetting(), points);
    // The stop's wait cursor ended with the measurement: the next Start is taken.
    EXPECT_FALSE(frame->m_bWaitCursorShown);
    Click(IDC_MC_START);
    EXPECT_TRUE(Running());
    Click(IDC_MC_STOP);
    loop.RunFor(2000);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// A sensor with channels A and B (its channel-layout byte 0); a speed sensor, whose unit
// "1/min" is named differently in French.
struct TwoChannelSensorInFrame : PanelInFrame {
    sim::SensorConfig SensorConfig() const override
    {
        sim::SensorConfig config = PanelInFrame::SensorConfig();
        config.identity.hmbUsb = false;
        config.identity.rotorTypeClass = 'Y';
        config.identity.statorId = 9;
        config.signalA = {sim::SignalSpec::Kind::Constant, 10000.0};
        config.signalB = {sim::SignalSpec::Kind::Constant, 2500.0};
        return config;
    }
};

// With the sensor connected the panel names the rate the set-up page chose and the range end
// of each channel in the unit of its measurand, in the language shown, as do the channel views
// and the set-up page's unit lists.
// Pass/fail results under the constant file name: each condition's value is its own channel's;
// a measurement judged by other columns (another unit) starts its rows with its own header, one
// judged by the same columns adds its row under the last; a condition naming a channel without
// limits is no condition: the row stands under a header without it. Every row has its header's fields.
TEST_F(TwoChannelSensorInFrame, TheInfoFieldsShowTheRangeAndPassFailResultsStandUnderTheHeaderOfTheirLayout)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    const PageControls& controls = panel->Logic().Controls();
    EXPECT_EQ(controls.Text(IDC_MC_RATE), LoadLangString(kTextRate) + ": " + LoadLangString(GetMeasureRateTextId(frame->Fields().measureRateIndex)));
    // The simulated sensor measures speed ('Y'): 500 full scale, its encoder on B 30000.
    EXPECT_EQ(std::string(controls.Text(IDC_MC_SERIAL).GetString()), " A. A1 B. B1");
    EXPECT_EQ(controls.Text(IDC_MC_RANGE), "500,00 1/min B. 30000 1/min");
    frame->SwitchLanguage(1000);
    loop.RunFor(500);
    EXPECT_EQ(controls.Text(IDC_MC_RANGE), "500.00 1/min B. 30000 1/min");
    EXPECT_EQ(controls.Text(IDC_MC_RATE).Find("n.a."), -1);
    frame->SwitchLanguage(2000);
    loop.RunFor(500);
    EXPECT_EQ(controls.Text(IDC_MC_RANGE), "500,00 tr/min B. 30000 tr/min");
    MeasureSetupWidget& setup = ShownSetup(*frame);
    loop.RunFor(500);
    for (int channel : {0, 1}) {
        EXPECT_EQ(frame->Views()->ChannelView(channel)->Logic().FieldText(0), LoadLangString(5321 + channel) + " [tr/min]");
        EXPECT_EQ(setup.Item<QComboBox>(kUnitCombo[channel])->currentText(), "tr/min");
    }

    frame->SwitchLanguage(0);
    const std::string file = StoreMeasuredValues(documentation::kIoNioResults);
    JudgeChannelABelow("1000");
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, kConditionCombo[1], 1));
    setup.Item<QLineEdit>(kLimitEdit[2])->setText("0");
    setup.Item<QLineEdit>(kLimitEdit[3])->setText("1000");
    ASSERT_EQ(setup.Logic().GetIoNioInputs().conditions, 3);
    VerdictLightFor("1000");
    VerdictLightFor("1000");
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, kUnitCombo[1], 1));  // B in 1/s
    loop.RunFor(1500);
    VerdictLightFor("1000");
    setup.Item<QLineEdit>(kLimitEdit[2])->setText("");
    setup.Item<QLineEdit>(kLimitEdit[3])->setText("");
    ASSERT_EQ(setup.Logic().GetIoNioInputs().conditions, 1);
    EXPECT_EQ(VerdictLightFor("1000"), 0);

    documentation::CDelimitedTableReader reader(FindPage<documentation::CDlgDocumentation>(*frame)->Settings().separators);
    ASSERT_TRUE(reader.ReadFile(CString(file.c_str())));
    std::vector<std::vector<std::string>> headers, rows;
    for (const std::vector<std::string>& record : reader.Records()) {
        if (!record.empty() && record[0] == "Datum") headers.push_back(record);
        if (record.empty() || !std::isdigit(static_cast<unsigned char>(record[0][0]))) continue;
        ASSERT_FALSE(headers.empty()) << "a result row before any header";
        EXPECT_EQ(record.size(), headers.back().size()) << "row " << rows.size();
        rows.push_back(record);
    }
    ASSERT_EQ(rows.size(), 4u);
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[0][8] + " " + headers[1][8], "Kanal B Wert [1/min] Kanal B Wert [1/s]");
    EXPECT_EQ(rows[3].size() == 7 ? rows[3][4] + rows[3][5] + rows[3][6] : "", "200,000IOIO");
    // A's 10000 counts of 25000 over its range of 500 1/min, B's 2500 counts over the 30000 1/min
    // an encoder counts its speed in.
    const char* b[] = {"3000,000", "3000,000", "50,000"};
    for (std::size_t r = 0; r < 3; ++r) EXPECT_EQ(rows[r][4] + " " + rows[r][8], std::string("200,000 ") + b[r]) << r;
}

// A sensor of one channel, whatever its kind, is named by channel A alone; no channel B is
// offered on the set-up page nor shown while measuring. Its channel A judged against limits,
// the status light shows the verdict.
TEST_F(PanelInFrame, AOneChannelSensorIsNamedByItsChannelAloneAndTheLightShowsItsVerdict)
{
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    EXPECT_EQ(std::string(panel->Logic().Controls().Text(IDC_MC_SERIAL).GetString()), " A1");
    EXPECT_FALSE(FindPage<MeasureSetupWidget>(*frame)->Logic().Controls().IsShown(kChannelButton[1]));
    // Its only channel cannot be switched off.
    EXPECT_FALSE(FindPage<MeasureSetupWidget>(*frame)->Logic().Controls().IsEnabled(kChannelButton[0]));
    Click(IDC_MC_START);
    loop.RunFor(500);
    const auto& b = frame->Views()->ChannelView(1)->Logic();
    EXPECT_TRUE(Running() && b.IsAbsent() && b.UnitText() == "n.a.");
    Click(IDC_MC_STOP);
    loop.RunFor(2000);
    EXPECT_EQ(VerdictLightFor("1"), 2);  // the ramp starts at 500 counts, far above 1
    EXPECT_EQ(VerdictLightFor("1000000"), 0);
}

// The user watches channel A with condition 1 of the set-up page, between 0 and an upper
// limit, and measures: the status light shows the verdict at the end.
int PanelInFrame::VerdictLightFor(const char* upper)
{
    JudgeChannelABelow(upper);
    CAFormLight& light = *frame->Views()->Light();
    Click(IDC_MC_START);
    EXPECT_TRUE(Running());
    EXPECT_EQ(light.GetLight(), -1);  // neutral while measuring
    loop.RunFor(800);
    Click(IDC_MC_STOP);
    loop.RunFor(2000);
    EXPECT_TRUE(panel->Logic().HasVerdict());
    EXPECT_TRUE(boxes.Boxes().empty());
    return light.GetLight();
}

// What the scaling page shows of a channel when the set-up page opens it.
// A sensor as it leaves the factory, except that its block keeps channel B unmarked for the
// diagram (a single sensor has no box to change that), measuring a sine on A and a ramp on B.
struct FreshSensorInFrame : measurement_test::ConnectedFrame {
    sim::SensorConfig SensorConfig() const override
    {
        sim::SensorConfig config = workflow_test::AcceptedSensor();
        config.signalA = {sim::SignalSpec::Kind::Sine, 0.0, 5000.0, 0.0, 2000.0};
        config.signalB = {sim::SignalSpec::Kind::Ramp, 0.0, 0.0, 1000.0};
        config.identity.hmbUsb = false;  // channels A and B
        measurement_test::KeepBlockBits(config, 0x83, 13, 0x00, 0x08);
        return config;
    }
};

// The set-up offers time, A and B on the axes and no trigger or limit; the panel has no box
// without a caption; a measurement draws both curves on axes that span them, and the channel
// views follow the values.
TEST_F(FreshSensorInFrame, ItsCurvesAndValuesShowDuringAMeasurement)
{
    const CMeasureSetup& setup = FindPage<MeasureSetupWidget>(*frame)->Logic().Setup();
    EXPECT_EQ(setup.axis[0].source, kAxisTime);
    EXPECT_EQ(setup.axis[1].source, 2);
    EXPECT_EQ(setup.axis[2].source, 3);
    EXPECT_FALSE(setup.startSet || setup.stopSet);
    EXPECT_FALSE(FindPage<MeasureSetupWidget>(*frame)->Logic().GetIoNioInputs().defined);

    frame->show();
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    for (QAbstractButton* box : panel->findChildren<QAbstractButton*>()) {
        if (box->isVisible() && box->isCheckable()) {
            EXPECT_FALSE(box->text().isEmpty()) << box->objectName().toStdString();
        }
    }

    Click(IDC_MC_START);
    loop.RunFor(1500);
    app::ViewsWiring& views = *frame->Views();
    const double first = views.Refresher().ShownValueOf(0);
    loop.RunFor(500);
    EXPECT_NE(views.Refresher().ShownValueOf(0), first);
    EXPECT_GT(views.Refresher().ShownValueOf(1), 0.0);
    CGraphicDisplayWnd& display = views.Diagram()->Display();
    for (int channel : {0, 1}) {
        const int curve = display.ChartCurveOfChannel(channel);
        ASSERT_GE(curve, 0) << channel;
        EXPECT_TRUE(display.Graph().GetCurve(curve).GetVisible()) << channel;
    }
    double min = 0.0, max = 0.0, step = 0.0;
    display.Graph().GetYAxis(display.ChartCurveOfChannel(0)).GetRangeAndStep(min, max, step);
    const double peak = views.Refresher().ShownMaximumOf(0);
    EXPECT_GT(peak, 1.0);
    EXPECT_LE(min, -0.9 * peak);
    EXPECT_GE(max, peak);
    EXPECT_LT(max, 3.0 * peak);
    Click(IDC_MC_STOP);
}

struct ScalingPageTexts {
    CString measurand, nominal;  // the nominal value with the sensor's unit
};

// Opens the scaling page for a channel from the set-up page, as its button does; work is done
// on the open page (it is modal) and ends by closing it. False when no page opened.
static bool WorkScalingPage(CMainFrame& frame, platform::MessageLoop& loop, int channel, ScalingPageTexts& texts,
                            const std::function<void(ChannelScalingWidget&)>& work)
{
    MeasureSetupWidget& setup = ShownSetup(frame);
    loop.RunFor(300);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        ChannelScalingWidget* page = FindPage<ChannelScalingWidget>(frame);
        if (page == nullptr) return;
        opened = true;
        const PageControls& c = page->Logic().Controls();
        texts.measurand = c.Text(IDC_SCALE_MEASURAND);
        texts.nominal = c.Text(IDC_SCALE_NOMINAL) + " " + c.Text(IDC_SCALE_SENSOR_UNIT);
        work(*page);
    });
    setup.Logic().OnScalingButton(channel);
    return opened;
}

// A sensor at 0.02 V a count (500 V over 25000 counts) whose channel A holds 1610 counts.
struct ScalingInFrame : measurement_test::ConnectedFrame {
    sim::SensorConfig SensorConfig() const override
    {
        sim::SensorConfig config = workflow_test::AcceptedSensor();
        config.signalA = {sim::SignalSpec::Kind::Constant, 1610.0};
        return config;
    }
    // Content bytes of the sensor's software-configuration block.
    int SwByte(int position) const { return sensor->Port(0).sensor().Blocks().ContentByte(3, position); }
};

// The user reads the channel's value on the scaling page, states that it is to read twice as
// much in a unit of his own and saves: the factor that reaches the sensor follows from the
// value in the channel's unit, not from the counts.
TEST_F(ScalingInFrame, TheReadingIsInTheChannelsUnitAndTheSavedFactorReachesTheSensor)
{
    ScalingPageTexts texts;
    CString counts, reading;
    ASSERT_TRUE(WorkScalingPage(*frame, loop, 0, texts, [&](ChannelScalingWidget& page) {
        const PageControls& c = page.Logic().Controls();
        counts = c.Text(IDC_SCALE_COUNTS);
        EXPECT_EQ(panel->Logic().Settings()->bRunning, 1);  // held while the page is open
        page.Item<QAbstractButton>(IDC_SCALE_READ)->click();
        loop.RunFor(500);
        reading = c.Text(IDC_SCALE_REFERENCE);
        page.Item<QLineEdit>(IDC_SCALE_TARGET)->setText("64,4");
        page.Item<QLineEdit>(IDC_SCALE_UNIT)->setText("kV");
        page.Item<QAbstractButton>(IDC_SCALE_SAVE)->click();
    }));
    EXPECT_EQ(texts.measurand, "Spannung");  // the measurand of the sensor's type class
    EXPECT_EQ(texts.nominal, "500,00 V");
    EXPECT_EQ(counts, "25000");
    EXPECT_EQ(reading, "32,2");
    EXPECT_DOUBLE_EQ(frame->Fields().channelSetup[0].countsToUnit, 0.02);
    EXPECT_EQ(panel->Logic().Settings()->bRunning, 0);

    ASSERT_TRUE(loop.RunUntil([this] { return frame->Com().m_pfnReplyHandler == nullptr && !frame->m_bWaitCursorShown; }, 3000));
    // Scale A in bytes 8 to 11, most significant first; its unit in 16 to 20; scaled A in bit 6
    // of byte 28.
    const std::uint32_t bits = static_cast<std::uint32_t>(SwByte(8) << 24 | SwByte(9) << 16 | SwByte(10) << 8 | SwByte(11));
    EXPECT_FLOAT_EQ(std::bit_cast<float>(bits), 2.0f);
    std::string unit;
    for (int p = 16; p <= 20; ++p) unit += static_cast<char>(SwByte(p));
    EXPECT_EQ(unit, "kV   ");
    EXPECT_TRUE(SwByte(28) & 0x40);

    // From now on the channel is shown in the user's unit, the sensor's own: the row offers it
    // in brackets and has it chosen, the sensor keeps it as the channel's unit, and the channel
    // view, the diagram and the measured-value file have the values in it (1610 counts at
    // 0.02 V a count, times 2); so it is after a restart.
    const int own = frame->DisplayTable(0)->ownUnit;
    auto chosenUnitText = [this] {
        const ControlState& combo = FindPage<MeasureSetupWidget>(*frame)->Logic().Controls()[kUnitCombo[0]];
        return combo.selection < 0 ? CString() : combo.entries[static_cast<std::size_t>(combo.selection)].text;
    };
    EXPECT_EQ(chosenUnitText(), "[kV]");
    EXPECT_EQ(SwByte(26) & 0x1F, own);
    frame->ShowPage(app::kPageMeasureControl);
    Click(IDC_MC_START);
    loop.RunFor(500);
    Click(IDC_MC_STOP);
    loop.RunFor(2000);
    app::ViewsWiring& views = *frame->Views();
    EXPECT_NEAR(views.Refresher().ShownValueOf(0), 64.4, 1e-9);
    EXPECT_EQ(views.ChannelView(0)->Logic().UnitText(), "kV");
    const CDataManager& curves = views.Diagram()->Display().Data();
    ASSERT_GT(curves.GetPointCount(0), 0);
    EXPECT_NEAR(curves.GetPoint(0, curves.GetPointCount(0) - 1).y, 64.4, 1e-9);
    EXPECT_EQ(views.DescribeMeasurement().channels.at(0).unit, "kV");
    // Another unit chosen afterwards is the one the sensor keeps, and the own one again too.
    MeasureSetupWidget& setup = ShownSetup(*frame);
    for (int unitIndex : {1, own}) {
        ASSERT_TRUE(measurement_test::ChooseDatum(setup, kUnitCombo[0], unitIndex));
        ASSERT_TRUE(loop.RunUntil([this] { return WriteConfirmed(); }, 1000));
        EXPECT_EQ(SwByte(26) & 0x1F, unitIndex);
    }
    Restart();
    ASSERT_FALSE(HasFatalFailure());
    ShownSetup(*frame);
    loop.RunFor(300);
    EXPECT_EQ(frame->DisplayTable(0)->selectedUnit, own);
    EXPECT_EQ(chosenUnitText(), "[kV]");
    EXPECT_TRUE(boxes.Boxes().empty());
}

// A triggered measurement stopped by a number of measurements or by a measuring time shows,
// while it records, the limit as the set-up page states it.
TEST_F(TwoChannelSensorInFrame, AStopByCountOrDurationShowsTheLimitTheSetupPageStates)
{
    const std::string file = StoreMeasuredValues();
    MeasureSetupWidget& setup = ShownSetup(*frame);
    loop.RunFor(300);
    const PageControls& c = panel->Logic().Controls();
    auto recordUntilTheLimit = [&] {
        frame->ShowPage(app::kPageMeasureControl);
        Click(IDC_MC_TRIGGER);
        loop.RunFor(300);
        Click(IDC_MC_START);  // the trigger waits: the recording starts now
        EXPECT_TRUE(c.IsShown(IDC_MC_FIXED_LIMIT));
    };
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_STOP_SOURCE, 8));
    setup.Item<QLineEdit>(IDC_COUNT_EDIT)->setText("5");
    const CString countLabel = setup.Logic().Controls().Text(IDC_COUNT_LABEL);
    const int open = countLabel.Find('('), close = countLabel.Find(')');
    ASSERT_TRUE(open >= 0 && close > open) << countLabel.GetString();
    recordUntilTheLimit();
    EXPECT_EQ(std::string(c.Text(IDC_MC_FIXED_LIMIT).GetString()), countLabel.Mid(open + 1, close - open - 1).GetString());
    EXPECT_EQ(std::string(c.Text(IDC_MC_VALUE_SETS).GetString()), "5");
    // The count ends the measurement after exactly its sets, curve and file alike: by the trigger,
    // then by hand at a streamed and at a polled rate.
    for (auto [rate, count] : {std::pair{0, 5}, {9, 17}, {13, 6}}) {
        if (rate && measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, rate)) {
            setup.Item<QLineEdit>(IDC_COUNT_EDIT)->setText(QString::number(count));
            ASSERT_TRUE(loop.RunUntil([this] { return WriteConfirmed(); }, 5000));
            Click(IDC_MC_START);
        }
        ASSERT_TRUE(loop.RunUntil([this] { return !Running(); }, 5000));
        loop.RunFor(2000);
        EXPECT_EQ(frame->Views()->Diagram()->GetMaxChannelSetting(), count) << rate;
        EXPECT_EQ(measurement_test::ValueRows(file).size(), static_cast<std::size_t>(count)) << rate;
    }

    frame->ShowPage(app::kPageMeasureSetup);
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_STOP_SOURCE, 7));
    setup.Item<QLineEdit>(IDC_DURATION_EDIT)->setText("1");
    const CString durationLabel = setup.Logic().Controls().Text(IDC_DURATION_LABEL);
    recordUntilTheLimit();
    EXPECT_EQ(std::string(c.Text(IDC_MC_FIXED_LIMIT).GetString()), "1 " + std::string(LoadLangString(5190).GetString()));
    const CString points = durationLabel.Mid(durationLabel.Find('(') + 1);
    EXPECT_EQ(std::string(c.Text(IDC_MC_VALUE_SETS).GetString()), points.Left(points.Find(' ')).GetString());
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Another unit chosen for a channel leaves its reading as it was: no tare is taken for it.
TEST_F(PanelInFrame, AUnitChosenOnTheSetupPageLeavesTheChannelUntared)
{
    Click(IDC_MC_START);
    loop.RunFor(500);
    Click(IDC_MC_STOP);
    loop.RunFor(2000);
    MeasureSetupWidget& setup = ShownSetup(*frame);
    loop.RunFor(300);
    const std::vector<ComboEntry>& units = setup.Logic().Controls()[kUnitCombo[0]].entries;
    ASSERT_GE(units.size(), 2u);
    const long long other = units[frame->DisplayTable(0)->selectedUnit == units[0].datum ? 1 : 0].datum;
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, kUnitCombo[0], other));
    EXPECT_FALSE(frame->Views()->ChannelView(0)->Logic().IsTared());
}

// A sensor that keeps its channel A switched off (state 2 in its software configuration).
struct ChannelAOffInFrame : measurement_test::ConnectedFrame {
    sim::SensorConfig SensorConfig() const override
    {
        sim::SensorConfig config = control_test::RampSensor(1000.0, 500.0);
        config.identity.hmbUsb = false;  // channels A and B
        measurement_test::KeepBlockBits(config, 0x03, 28, 0x20, 0x30);
        return config;
    }
};

// A start by system time is judged on the values of the first channel measured: with channel A
// off it still fires.
TEST_F(ChannelAOffInFrame, AStartBySystemTimeFiresOnChannelB)
{
    MeasureSetupWidget& setup = ShownSetup(*frame);
    loop.RunFor(300);
    ASSERT_NE(frame->DisplayTable(0)->state, views::kChannelOn);
    auto* channelB = setup.Item<QAbstractButton>(kChannelButton[1]);
    if (!channelB->isChecked()) channelB->click();
    auto* channelA = setup.Item<QAbstractButton>(kChannelButton[0]);
    if (channelA->isChecked()) channelA->click();
    ASSERT_TRUE(loop.RunUntil([this] { return frame->Com().m_pfnReplyHandler == nullptr && !frame->m_bWaitCursorShown; }, 3000));
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_START_SOURCE, 7));
    setup.Logic().Setup().startTime = platform::CalendarSeconds() - 1;  // due now
    frame->ShowPage(app::kPageMeasureControl);
    auto* trigger = panel->Item<QAbstractButton>(IDC_MC_TRIGGER);
    ASSERT_TRUE(trigger->isEnabled());
    trigger->click();
    EXPECT_TRUE(loop.RunUntil([this] { return frame->Fields().triggers.recording == 1; }, 3000));
}

// Power is computed from the conventional units only: with power 1 shown and channel A in a
// bracketed unit, Start refuses with the notice and nothing starts.
TEST_F(PanelInFrame, StartRefusesAPowerComputedFromABracketedUnit)
{
    SetDisplayFlag(0, 0);  // power 1 shown (the setter stores the negation)
    views::DisplayTable& a = *frame->DisplayTable(0);
    a.unitIds.at(static_cast<std::size_t>(a.selectedUnit)) = 5782;  // "Zeit [s]"
    Click(IDC_MC_START);
    EXPECT_FALSE(Running());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(std::string(boxes.Boxes()[0].text.GetString()), LoadLangString(kTextPowerUnits).GetString());
}

// The documentation follows the panel: the warning of one diagram file for every trigger, and
// the automatic-storage box parked while no sensor is there. The channel views then show "---" with their buttons
// off.
TEST_F(PanelInFrame, TheDocumentationAndTheChannelViewsFollowThePanel)
{
    auto* documentation = FindPage<documentation::CDlgDocumentation>(*frame);
    ASSERT_NE(documentation, nullptr);
    documentation->Settings().autoStorage = 1;
    documentation->Settings().storageMode[documentation::kDiagrams] = documentation::kStorageConstant;
    Click(IDC_MC_AUTO_REPEAT);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(std::string(boxes.Boxes()[0].text.GetString()), LoadLangString(kTextSameDiagramFile).GetString());
    Click(IDC_MC_AUTO_REPEAT);


    CAFormChannelX& view = *frame->Views()->ChannelView(0);
    EXPECT_TRUE(documentation->GetDlgItem(documentation::IDC_DOC_AUTO_STORAGE)->isEnabled());
    EXPECT_TRUE(view.AreValueButtonsEnabled());
    sensor->Port(0).HangUp();
    ASSERT_TRUE(loop.RunUntil([this] { return !panel->Logic().IsSensorConnected(); }, 5000));
    loop.RunFor(500);
    EXPECT_FALSE(documentation->GetDlgItem(documentation::IDC_DOC_AUTO_STORAGE)->isEnabled());
    EXPECT_FALSE(view.AreValueButtonsEnabled());
    for (int id : {CAFormChannelX::IDC_CAPTION, CAFormChannelX::IDC_VALUE, CAFormChannelX::IDC_MINIMUM, CAFormChannelX::IDC_MAXIMUM})
        EXPECT_EQ(std::string(view.GetDlgItemText(id).GetString()), "---") << id;
}

// A sensor of stator type 5 whose channel B is its digital input, on a serial port that is no
// USB interface's: an HMB-USB device, not the RS-485 module.
struct DigitalInputSensorInFrame : measurement_test::ConnectedFrame {
    sim::SensorConfig SensorConfig() const override
    {
        sim::SensorConfig config = workflow_test::AcceptedSensor();
        config.identity.statorId = 5;
        config.identity.statorRevision = 7;
        return config;
    }
    CString PortDescription() const override { return "Serial port"; }
    void MeasureUntilTheReceptionStalls()
    {
        // 200/s, a streamed rate: the reception is watched by the stream.
        auto* setup = FindPage<MeasureSetupWidget>(*frame);
        ASSERT_TRUE(setup && measurement_test::ChooseDatum(*setup, IDC_RATE_COMBO, 6));
        loop.RunFor(1000);
        panel->Item<QAbstractButton>(IDC_MC_START)->click();
        loop.RunFor(500);
        sensor->Port(0).Stall(4000);
        ASSERT_TRUE(loop.RunUntil([this] { return !Running(); }, 5000));
        loop.RunFor(5000);
    }
};

// The info field names channel A only; a reception that stalls ends the measurement with the
// RS-485 module's notice only when the sensor is behind that module.
TEST_F(DigitalInputSensorInFrame, OnlyChannelAIsNamedAndTheRs485NoticeNeedsTheModule)
{
    const PageControls& c = panel->Logic().Controls();
    EXPECT_EQ(std::string(c.Text(IDC_MC_SERIAL).GetString()), " A1");
    EXPECT_EQ(c.Text(IDC_MC_RANGE).Find("B."), -1) << c.Text(IDC_MC_RANGE).GetString();
    MeasureUntilTheReceptionStalls();
    EXPECT_EQ(boxes.Count(), 0u);
    frame->Com().m_Sensor[0].m_sIdent[kIdentHmbUsb] = 0;
    MeasureUntilTheReceptionStalls();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(std::string(boxes.Boxes()[0].text.GetString()), LoadLangString(kTextRs485Problem).GetString());
}

// A multiport device of two sensors: a torque sensor whose channel its rotor operation block
// keeps shown in the diagram, and a speed sensor (an encoder stator) kept off it but on Y2.
struct DeviceInFrame : measurement_test::ConnectedFrame {
    std::unique_ptr<sim::SimDevice> MakeDevice() override
    {
        std::vector<sim::SensorConfig> configs = sim::MultiportConfigs(2, workflow_test::AcceptedSensor(777));
        configs[0].identity.rotorTypeClass = 'D';
        configs[1].identity.rotorTypeClass = 'Y';
        configs[1].identity.statorId = 9;
        measurement_test::KeepBlockBits(configs[0], 0x83, 12, 0x28);  // display: on Y1, shown
        measurement_test::KeepBlockBits(configs[1], 0x83, 12, 0x40);  // display: on Y2, not shown
        return std::make_unique<sim::MultiportDevice>(configs, loop);
    }
};

// The sensor check boxes show the sensors the set-up page's axes show, whatever their blocks
// keep; a change the set-up page writes into the sensors clears the single-shot-ended mark, so
// that showing the panel sets the slaves up again, Start disabled until the slave (late) has
// acknowledged. A sensor falling silent then ends the next single shot with both closed: the
// connection page lists neither as connected.
TEST_F(DeviceInFrame, TheSensorBoxesFollowTheSensorsAndAWrittenChangeSetsTheSlavesUpAgain)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    const PageControls& c = panel->Logic().Controls();
    EXPECT_TRUE(c.IsChecked(kSensorCheck[0]));
    EXPECT_TRUE(c.IsChecked(kSensorCheck[1]));
    EXPECT_FALSE(c.IsChecked(kSensorCheck[2]));
    auto* start = panel->Item<QAbstractButton>(IDC_MC_START);
    ASSERT_TRUE(start->isEnabled());  // the slaves are set up

    MeasureSetupWidget& setup = ShownSetup(*frame);
    loop.RunFor(300);
    // Rows 3 and 4 have no sensor whose low-pass filter they could offer.
    for (int row : {2, 3}) EXPECT_FALSE(setup.Item<QWidget>(kLowPassCombo[row])->isVisible()) << "row " << row;
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, kDecimalsCombo[0], frame->DisplayTable(0)->decimals == 3 ? 2 : 3));
    loop.RunFor(1000);
    sensor->Port(1).Stall(1000);
    // The written change cleared the mark: showing the panel sets the slaves up again.
    frame->ShowPage(app::kPageMeasureControl);
    EXPECT_FALSE(start->isEnabled());
    EXPECT_TRUE(loop.RunUntil([&] { return start->isEnabled(); }, 1200));
    EXPECT_TRUE(boxes.Boxes().empty());
    sensor->Port(1).Stall(-1);
    Click(IDC_MC_SINGLE_SHOT);
    ASSERT_TRUE(loop.RunUntil([this] { return boxes.Count() == 1; }, 5000));
    for (int row : {0, 1})
        EXPECT_EQ(frame->SensorAdmin()->connection.GetItemText(row, sensor_admin::kColumnStatus), LoadLangString(workflow::kTextPortAvailable));
}

// A choice written into one sensor of the device is confirmed by that sensor's acknowledgement
// alone, and the write ends at rest; the next sensor's write and a store of the settings follow.
// A rate, a filter or a channel switched while the device's sensors restart after a baud-rate change (the same
// rate chosen twice: told twice), and a rate chosen while their ports are closed for the search
// that finds them, are not written (the user is told why): their reconnection goes on and Start is free after it. A rate written into
// both ends only with both confirmations: the second sensor silent, the user is told. The scaling page knows the speed channel of the second sensor by its measurand,
// in each language.
TEST_F(DeviceInFrame, EachSensorConfirmsItsOwnWriteAndTheNextWritesFollow)
{
    ScalingPageTexts texts;
    const auto cancel = [](ChannelScalingWidget& page) { page.Item<QAbstractButton>(IDC_SCALE_CANCEL)->click(); };
    ASSERT_TRUE(WorkScalingPage(*frame, loop, 1, texts, cancel));
    EXPECT_EQ(texts.measurand + " " + texts.nominal, LoadLangString(5032) + " 30000 1/min");
    frame->SwitchLanguage(2000);
    ASSERT_TRUE(WorkScalingPage(*frame, loop, 1, texts, cancel));
    EXPECT_EQ(texts.nominal, "30000 tr/min");

    MeasureSetupWidget& setup = ShownSetup(*frame);
    loop.RunFor(300);
    const CComPort& com = frame->Com();
    for (int row : {0, 1}) {
        const int decimals = frame->DisplayTable(row)->decimals == 3 ? 2 : 3;
        ASSERT_TRUE(measurement_test::ChooseDatum(setup, kDecimalsCombo[row], decimals));
        // Well within the writer's own guard, which would end the wait cursor unconfirmed.
        ASSERT_TRUE(loop.RunUntil([this] { return WriteConfirmed(); }, 1000)) << "row " << row;
        EXPECT_EQ(sensor->Port(row).sensor().Blocks().ContentByte(3, 26) >> 5, decimals) << "row " << row;
        // So does the record a later connect takes from the sensor's port row.
        EXPECT_EQ(com.m_PortRec[static_cast<std::size_t>(com.m_nPortRecOfSensor[static_cast<std::size_t>(row)])].m_Sensor.m_sSwConfig.cCode3A, decimals);
        EXPECT_EQ(com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
        EXPECT_EQ(com.m_pfnReplyHandler, nullptr);
    }
    sensor_admin::CDlgSensorInformationHmb& information = frame->SensorAdmin()->information;
    information.m_strStatusLine.Empty();
    ASSERT_TRUE(information.OnStoreSettings());
    EXPECT_TRUE(loop.RunUntil([&] { return information.m_strStatusLine == LoadLangString(5872); }, 10000));
    EXPECT_TRUE(boxes.Boxes().empty());
    sensor_admin::CDlgSensorConnection& connection = frame->SensorAdmin()->connection;
    // A rate chosen just before the change, refused once its write's pause is over, is told again when chosen again.
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, frame->Fields().measureRateIndex == 14 ? 15 : 14));
    ASSERT_TRUE(connection.OnChangeBaudRate(230400));
    ASSERT_TRUE(loop.RunUntil([&] { return com.GetZMCOMConfgFlow() == ZM_RESTART_AFTER_INIT_DEVICE; }, 5000));
    loop.RunFor(300), boxes.Clear();
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, frame->Fields().measureRateIndex) && loop.RunUntil([this] { return boxes.Count() == 1; }, 100));
    boxes.Clear();
    PageControls& c = setup.Logic().Controls();
    const auto other = [&c](int id) { return c[id].entries[c[id].entries.front().datum == c.SelectedDatum(id) ? 1 : 0].datum; };
    const int writes[2] = {sensor->Port(0).sensor().RequestCount('F'), sensor->Port(1).sensor().RequestCount('F')};
    for (int id : {int(IDC_RATE_COMBO), kLowPassCombo[0]}) ASSERT_TRUE(measurement_test::ChooseDatum(setup, id, other(id)));
    for (int id : {int(IDC_EXPAND), kAngleSelector[0], kChannelButton[1]}) setup.Item<QAbstractButton>(id)->click();
    // The second sensor's channel, not switched off, stays on: no condition is set on it meanwhile.
    EXPECT_TRUE(setup.Item<QAbstractButton>(kChannelButton[1])->isChecked());
    // The same rate chosen again while they still restart is told again, not taken for theirs.
    ASSERT_TRUE(loop.RunUntil([this] { return boxes.Count() == 1; }, 100));
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, c.SelectedDatum(IDC_RATE_COMBO)));
    ASSERT_TRUE(loop.RunUntil([this] { return boxes.Count() == 2; }, 100));
    ASSERT_TRUE(loop.RunUntil([&] { return com.m_nCountActivePorts == 0; }, 5000));
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, other(IDC_RATE_COMBO)));
    ASSERT_TRUE(loop.RunUntil([&] { return !connection.IsBusy() && com.m_nCountActivePorts == 2 && !com.m_bFurtherPortsPending; }, 20000));
    for (int port : {0, 1}) EXPECT_EQ(sensor->Port(port).sensor().RequestCount('F'), writes[port]) << port;
    ASSERT_EQ(boxes.Count(), 3u);
    for (const auto& box : boxes.Boxes()) EXPECT_EQ(box.text, LoadLangString(kTextNotWrittenWhileReconnecting));
    EXPECT_TRUE(panel->Item<QAbstractButton>(IDC_MC_START)->isEnabled());
    sensor->Port(1).Stall(-1);
    const int chosen = frame->Fields().measureRateIndex == 14 ? 15 : 14;
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, chosen));
    loop.RunFor(300);
    EXPECT_EQ(com.GetZMCOMConfgFlow(), ZM_CNFG_SW_CONFIG_EXPSTN_CONFIGS);
    ASSERT_TRUE(loop.RunUntil([this] { return boxes.Count() == 4; }, 3000));
    EXPECT_EQ(boxes.Boxes()[3].text, workflow::WorkflowText(workflow::kTextUnstableConnection));
    // The connection ended, the page shows the rate the user chose, not one of the cleared records.
    EXPECT_EQ(setup.Logic().Controls().SelectedDatum(IDC_RATE_COMBO), chosen);
}

// A rate both sensors took waits for neither once one of them has lost its power.
TEST_F(DeviceInFrame, ARateBothSensorsTookIsNotHeldForThemOnceTheyAreGone)
{
    MeasureSetupWidget& setup = ShownSetup(*frame);
    loop.RunFor(300);
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, frame->Fields().measureRateIndex == 14 ? 15 : 14));
    loop.RunFor(500);
    sensor->Port(1).HangUp();
    loop.RunFor(SoftwareConfigWriter::kWriteGuardMs);
    EXPECT_FALSE(setup.Logic().Writer().HasWritesWaiting());

    // One chosen as the first loses its power waits for it, not going to the second found alone.
    const auto searched = [&](int ports) {
        frame->SensorAdmin()->connection.OnSearch();
        const bool found = loop.RunUntil([&] { return frame->Com().m_nCountActivePorts == ports && !frame->Com().m_bFurtherPortsPending; }, 30000);
        loop.RunFor(3000);  // read and the page refilled
        return found;
    };
    const int chosen = frame->Fields().measureRateIndex == 14 ? 15 : 14;
    sensor->Port(1).PowerOn();
    ASSERT_TRUE(searched(2) && measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, chosen));
    sensor->Port(0).HangUp();
    loop.RunFor(3000);
    ASSERT_TRUE(searched(1));
    sensor->Port(0).PowerOn();
    ASSERT_TRUE(searched(2));
    EXPECT_EQ(sensor->Port(0).sensor().Blocks().ContentByte(3, 32), chosen);
}

// A multiport device of two sensors that stream their values.
struct StreamingDeviceInFrame : measurement_test::ConnectedFrame {
    std::unique_ptr<sim::SimDevice> MakeDevice() override
    {
        sim::SensorConfig config = workflow_test::AcceptedSensor(778);
        config.identity.statorId = 5;
        config.signalA = {sim::SignalSpec::Kind::Ramp, 0.0, 0.0, 1000.0};
        return std::make_unique<sim::MultiportDevice>(sim::MultiportConfigs(2, config), loop);
    }
};

// A sensor of the device that falls silent in mid-measurement leaves every value set
// incomplete: the second receive time-out ends the measurement as a protocol error, and once
// the sensor talks again the next measurements run on both sensors.
TEST_F(StreamingDeviceInFrame, ASensorFallingSilentInMidMeasurementEndsItAndTheNextRunsOnceItTalksAgain)
{
    setenv("USERNAME", "t.ost", 1);  // a developer's program: the panel offers the value-loss test
    Restart();
    unsetenv("USERNAME");
    frame->show();
    MeasureSetupWidget& setup = ShownSetup(*frame);
    loop.RunFor(300);
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, 6));  // 200 sets a second, streamed
    loop.RunFor(1000);
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    Click(IDC_MC_START);
    loop.RunFor(500);
    ASSERT_TRUE(Running());
    CDataManager& curves = frame->Views()->Diagram()->Display().Data();
    ASSERT_GT(curves.GetPointCount(0), 0);
    sensor->Port(1).Stall(3000);
    const std::int64_t silentFrom = loop.NowMs();
    ASSERT_TRUE(loop.RunUntil([this] { return !Running(); }, 5000));
    EXPECT_LE(loop.NowMs() - silentFrom, 2 * static_cast<std::int64_t>(frame->Com().m_nReceiveTimeoutMs) + 20);
    EXPECT_EQ(frame->Com().GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_EQ(panel->Logic().Controls().Text(IDC_MC_STATE_LED).Find("#"), 1);

    // A baud-rate change asked for in mid-measurement (stopped by the user later, if need be)
    // keeps every set the sensors sent, and the device comes back at its new rate.
    const std::string file = StoreMeasuredValues();
    loop.RunFor(4000);
    Click(IDC_MC_START);
    loop.RunFor(1000);
    ASSERT_TRUE(Running() && frame->SensorAdmin()->connection.OnChangeBaudRate(230400));
    loop.RunFor(500);
    if (Running()) Click(IDC_MC_STOP);
    ASSERT_TRUE(loop.RunUntil([this] { return !sensor->Port(0).sensor().IsStreaming(); }, 1000));
    const long long sent = sensor->Port(0).sensor().RecordsSampled();
    const CComPort& com = frame->Com();
    // A reduction typed as they restart is not written: typed again, it is told again.
    frame->ShowPage(app::kPageMeasureSetup), boxes.Clear();
    auto* reduction = setup.Item<QLineEdit>(IDC_REDUCTION_EDIT);
    for (int typed = 0; typed < 2; ++typed) reduction->clear(), QTest::keyClicks(reduction, "5"), loop.RunFor(20);
    EXPECT_EQ(boxes.Count(), 2u);
    frame->ShowPage(app::kPageMeasureControl);
    ASSERT_TRUE(loop.RunUntil([&] { return !frame->SensorAdmin()->connection.IsBusy() && com.m_nDefaultBaudRate == 230400 && com.m_nCountActivePorts == 2 && !com.m_bFurtherPortsPending; }, 20000));
    EXPECT_TRUE(sent > 150 && static_cast<long long>(measurement_test::ValueRows(file).size()) == sent) << sent;
    Click(IDC_MC_START);
    loop.RunFor(1000);
    EXPECT_TRUE(Running());
    EXPECT_GT(frame->Com().m_nRecordCount, 150);  // complete sets of both sensors
    frame->ShowPage(app::kPageConnection), frame->ShowPage(app::kPageMeasureControl), loop.RunFor(500);  // a look away and back
    // Started again the moment the stop lets it, and the panel shown anew meanwhile: neither the
    // stop's multiport watch nor the page sets the slaves up in the middle of the new stream.
    Click(IDC_MC_STOP);
    ASSERT_TRUE(loop.RunUntil([this] { return panel->Item<QAbstractButton>(IDC_MC_START)->isEnabled(); }, 2000));
    Click(IDC_MC_START);
    loop.RunFor(1000);
    frame->ShowPage(app::kPageConnection);
    frame->ShowPage(app::kPageMeasureControl);
    const std::size_t told = boxes.Count();
    Click(IDC_MC_STOP);
    // A look away and back right after the stop, its stream still coming: the slaves are set up
    // once it has ended, and nothing is told.
    frame->ShowPage(app::kPageConnection), frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(2000);
    EXPECT_EQ(static_cast<long long>(measurement_test::ValueRows(file).size()), sensor->Port(0).sensor().RecordsSampled());
    // A single shot the moment the stop allows it readies the slaves before the stop's watch
    // comes: it finds nothing awaited and tells of no protocol error.
    Click(IDC_MC_START), loop.RunFor(500), Click(IDC_MC_STOP);
    ASSERT_TRUE(loop.RunUntil([this] { return panel->Item<QAbstractButton>(IDC_MC_SINGLE_SHOT)->isEnabled(); }, 2000));
    Click(IDC_MC_SINGLE_SHOT);
    loop.RunFor(2000);
    EXPECT_EQ(boxes.Count(), told) << boxes.Boxes().back().text.GetString();
    // The developer's value-loss test loses the delivery of sensor 2 that begins with sequence
    // byte 150, after value 100: the measurement breaks there.
    Click(IDC_MC_LOSS_TEST);
    Click(IDC_MC_ONE_GAP);
    for (const auto& [id, text] : {std::pair{kGapField[0], "2"}, {kGapField[1], "150"}, {IDC_MC_GAP_FIRST, "100"}})
        QTest::keyClicks(panel->Item<QLineEdit>(id), text);
    Click(IDC_MC_START);
    ASSERT_TRUE(loop.RunUntil([this] { return !Running(); }, 3000));
    EXPECT_EQ(curves.GetPointCount(0), 150);  // the sets of sequence bytes 0 to 149
    // Connected again, the views show only what was measured since: no extreme from before.
    const double minimum = frame->Views()->Refresher().ShownMinimumOf(0);
    frame->SensorAdmin()->connection.OnDisconnect();
    frame->SensorAdmin()->connection.OnConnect();
    ASSERT_TRUE(loop.RunUntil([this] { return frame->Com().m_nCountActivePorts == 2 && !frame->Com().m_bFurtherPortsPending; }, 10000));
    EXPECT_FALSE(frame->Views()->Refresher().ShownMinimumOf(0) <= minimum);
}

// A multiport device of three sensors whose stators cannot stream; each sensor's channel climbs
// at a pace of its own. The third answers through a slow module, later than the next poll.
struct PolledDeviceInFrame : measurement_test::ConnectedFrame {
    static constexpr int kSensors = 3;
    std::unique_ptr<sim::SimDevice> MakeDevice() override
    {
        std::vector<sim::SensorConfig> configs = sim::MultiportConfigs(kSensors, workflow_test::AcceptedSensor(779));
        for (int i = 0; i < kSensors; ++i)
            configs[static_cast<std::size_t>(i)].signalA = {sim::SignalSpec::Kind::Ramp, 1000.0 * (i + 1), 0.0, 100.0 * (i + 1)};
        configs[2].faults.latencyMs = 150;
        return std::make_unique<sim::MultiportDevice>(configs, loop);
    }
};

// The device is offered the polled rates only; at ten a second every poll brings the value of
// every sensor into the channel views, the diagram's curves and the measured-value file. A
// sensor that holds its answers back for a while and then sends them together is back in step
// with the others at once.
TEST_F(PolledDeviceInFrame, EveryPollBringsEverySensorsValueIntoTheViewsTheCurvesAndTheFile)
{
    frame->show();
    const std::string file = StoreMeasuredValues();
    ASSERT_FALSE(file.empty());
    MeasureSetupWidget& setup = ShownSetup(*frame);
    loop.RunFor(300);
    const std::vector<ComboEntry>& rates = setup.Logic().Controls()[IDC_RATE_COMBO].entries;
    ASSERT_FALSE(rates.empty());
    for (const ComboEntry& rate : rates) EXPECT_GE(rate.datum, 13) << "a streamed rate offered";
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, 13));
    loop.RunFor(1500);
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    Click(IDC_MC_START);
    ASSERT_TRUE(Running());
    const std::int64_t started = platform::CalendarSeconds();
    loop.RunFor(1000);
    sensor->Port(1).Stall(350);
    loop.RunFor(1500);
    EXPECT_TRUE(Running());
    Click(IDC_MC_STOP);
    loop.RunFor(2000);
    // The files date the measurement by its first poll's set, not by its stop.
    EXPECT_LE(FindPage<documentation::CDlgDocumentation>(*frame)->Times().firstRecord, started + 1);

    app::ViewsWiring& views = *frame->Views();
    CDataManager& curves = views.Diagram()->Display().Data();
    const std::vector<std::vector<double>> rows = measurement_test::ValueRows(file);
    EXPECT_GE(rows.size(), 20u) << file;
    EXPECT_LE(rows.size(), 26u) << file;
    for (int c = 0; c < kSensors; ++c) {
        EXPECT_TRUE(std::isfinite(views.Refresher().ShownValueOf(c))) << "channel " << c;
        EXPECT_EQ(curves.GetPointCount(c), static_cast<int>(rows.size())) << "channel " << c;
    }
    // Sensor 2 climbs twice as fast as sensor 1 from a start twice as high: a row of one poll
    // holds twice the first value in the second column. The third sensor's answer is one poll
    // old: three times the first value less three steps. Only the set that the held-back answer
    // completed may be older; the sets after it are in step again.
    ASSERT_GE(rows.size(), 10u);
    const double step = rows[1][1] - rows[0][1];
    EXPECT_GT(step, 0.0);
    int older = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), static_cast<std::size_t>(kSensors + 1));
        if (r > 0) {
            EXPECT_NEAR(rows[r][0] - rows[r - 1][0], 0.1, 1e-6);
        }
        const bool inStep = std::abs(rows[r][2] - 2 * rows[r][1]) < 1e-3 &&
                            std::abs(rows[r][3] - 3 * (rows[r][1] - step)) < 1e-3;
        if (!inStep) ++older;
        if (r + 5 >= rows.size()) {
            EXPECT_TRUE(inStep) << "row " << r;
        }
    }
    EXPECT_LE(older, 1);
    EXPECT_TRUE(boxes.Boxes().empty());
    // Connected anew, sensor 2 switched off and sensor 3's line gone before sensor 2 confirmed
    // it: connected again, the device keeps sensor 2 off on the page, in the sensor and out of
    // what is measured.
    sensor_admin::CDlgSensorConnection& connection = frame->SensorAdmin()->connection;
    const auto whole = [this] { return frame->Com().m_nCountActivePorts == kSensors && !frame->Com().m_bFurtherPortsPending; };
    connection.OnDisconnect(), connection.OnConnect();
    ASSERT_TRUE(loop.RunUntil(whole, 20000));
    frame->ShowPage(app::kPageMeasureSetup), loop.RunFor(1000);
    setup.Item<QAbstractButton>(kChannelButton[1])->click();
    sensor->Port(2).HangUp(), loop.RunFor(4000), sensor->Port(2).PowerOn();
    connection.OnConnect();
    ASSERT_TRUE(loop.RunUntil(whole, 20000));
    loop.RunFor(3000);
    EXPECT_FALSE(setup.Logic().Controls()[kChannelButton[1]].checked);
    EXPECT_EQ(sensor->Port(1).sensor().Blocks().ContentByte(3, 28) >> 4 & 0x03, 2);
    EXPECT_FALSE(frame->Views()->GetDiagramSetup().channelMeasured[1]);
}

// A request that writes no block, refused by one sensor: its step ends at rest with one message
// that names what was refused, nothing waits for an answer any more, the port stays open, and
// the user goes on with Start.
struct RefusedStep {
    BYTE letter;
    UINT nameText;
    std::function<void()> ask;
};

static void ExpectRefusalsEndAtRest(measurement_test::ConnectedFrame& t, int port, const std::vector<RefusedStep>& steps)
{
    CComPort& com = t.frame->Com();
    const int unanswered = com.m_nUnansweredSteps;
    for (const RefusedStep& step : steps) {
        SCOPED_TRACE(std::string(1, static_cast<char>(step.letter)));
        t.loop.RunFor(1000);
        const std::size_t before = t.boxes.Count();
        t.sensor->Port(port).Refuse({step.letter, -1, 4, 1});
        step.ask();
        ASSERT_TRUE(t.loop.RunUntil([&] { return t.boxes.Count() > before; }, 3000)) << "flow " << com.GetZMCOMConfgFlow();
        t.loop.RunFor(2500);  // longer than any silence watch
        ASSERT_EQ(t.boxes.Count(), before + 1);
        const CString text = t.boxes.Count() > before ? t.boxes.Boxes().back().text : CString();
        EXPECT_NE(text.Find(LoadLangString(step.nameText)), -1) << text.GetString();
        EXPECT_NE(text.Find(CString::Formatted("%d", port + 1)), -1) << text.GetString();
        EXPECT_EQ(com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
        EXPECT_EQ(com.m_nAnswerWatchMs, 0u);
        EXPECT_FALSE(t.frame->m_bWaitCursorShown);
        // The way on is Start; the sensors of a multiport device are first set up again with
        // the busy marker, as after any single shot.
        if (!t.panel->Item<QAbstractButton>(IDC_MC_START)->isEnabled()) {
            t.Click(IDC_MC_BUSY_MARKER);
            t.loop.RunFor(500);
        }
        EXPECT_TRUE(t.panel->Item<QAbstractButton>(IDC_MC_START)->isEnabled());
    }
    EXPECT_EQ(com.m_nUnansweredSteps, unanswered);
    t.Click(IDC_MC_START);
    EXPECT_TRUE(t.Running());
    t.Click(IDC_MC_STOP);
    t.loop.RunFor(2000);
}

TEST_F(PanelInFrame, ARefusedRequestEndsItsStepAtRestAndNamesIt)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureControl);
    CComPort& com = frame->Com();
    ExpectRefusalsEndAtRest(*this, 0, {
        {'A', 5947, [this] { Click(IDC_MC_SINGLE_SHOT); }},
        {'E', 5948, [this] { Click(IDC_MC_CONTROL); }},
        {'M', 5949, [&com] { com.COM_SendRestartWithCheck(1); }},
        {'K', 5950, [&com] { com.COM_ZMCOMConfgNewLowPassFilterIsSetRestartThatDevice(); }},
    });
}

struct TwoSensorDeviceInFrame : measurement_test::ConnectedFrame {
    std::unique_ptr<sim::SimDevice> MakeDevice() override
    {
        return std::make_unique<sim::MultiportDevice>(sim::MultiportConfigs(2, workflow_test::AcceptedSensor(780)), loop);
    }
};

// Single shot and Control signal end with the last sensor's answer, as with one sensor; a
// request one sensor refuses ends the device's step at rest and names it.
TEST_F(TwoSensorDeviceInFrame, ARefusedRequestOfOneSensorEndsTheDevicesStepAtRestAndNamesIt)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(1000);
    CComPort& com = frame->Com();
    for (int button : {IDC_MC_SINGLE_SHOT, IDC_MC_CONTROL}) {
        Click(button);
        ASSERT_TRUE(loop.RunUntil([&] { return com.GetZMCOMConfgFlow() == ZM_STOP_MEASURE; }, 3000));
        EXPECT_TRUE(loop.RunUntil([&] { return panel->Item<QAbstractButton>(IDC_MC_START)->isEnabled() &&
                                               !panel->Logic().Indicators().busyShown && !frame->m_bWaitCursorShown; }, 1000));
    }
    // As if the second sensor were an encoder: the first connected sensor, its angle channel
    // selected.
    SetFirstSensorConnected();
    SetSensorSelected(0, 0);
    ExpectRefusalsEndAtRest(*this, 1, {
        {'A', 5947, [this] { Click(IDC_MC_SINGLE_SHOT); }},
        {'E', 5948, [this] { Click(IDC_MC_CONTROL); }},
        {'M', 5949, [&com] { com.COM_SendRestartWithCheck(1); }},
        {'K', 5950, [&com] { com.COM_ZMRestartSensorAfterInit(); }},
    });
}

// No control of any page or view shows the placeholder its form carries, nor the mark of a text
// the table lacks, in any language: the program is started in each, as a user who works in it
// starts it, and every page shown; a multiport device's also with its power 1 switched on, whose
// box on the panel names the device's first encoder.
void ExpectEveryCaptionFromTheTable(measurement_test::ConnectedFrame& f, bool powerToo)
{
    for (int language : {0, 1000, 2000, 3000}) {
        f.frame->SwitchLanguage(language);
        f.Restart();
        f.frame->show();
        for (int pass = 0; pass < 2; ++pass) {
            for (const app::PageSlot& slot : app::PageTable()) {
                f.frame->ShowPage(slot.index);
                f.loop.RunFor(300);
                for (const std::string& text : measurement_test::PlaceholderTexts(*f.frame))
                    ADD_FAILURE() << text << " on page " << slot.index << ", language " << language << ", pass " << pass;
            }
            if (powerToo && pass == 1) {
                const CString box = f.panel->Logic().Controls().Text(kPowerShowCheck[0]);
                EXPECT_NE(box.Find(LoadLangString(kTextQuadratureEncoder) + " " + LoadLangString(kTextFirst)), -1)
                    << box.GetString() << ", language " << language;
            }
            if (!powerToo || pass == 1) break;
            f.frame->ShowPage(app::kPageMeasureSetup);
            auto* power = FindPage<MeasureSetupWidget>(*f.frame)->Item<QAbstractButton>(kPowerButton[0]);
            ASSERT_TRUE(power->isVisible()) << "no power button, language " << language;
            power->click();
        }
    }
    f.frame->SwitchLanguage(0);
}

TEST_F(PanelInFrame, EveryCaptionOfEveryPageComesFromTheStringTable) { ExpectEveryCaptionFromTheTable(*this, false); }
TEST_F(DeviceInFrame, EveryCaptionComesFromTheStringTableAlsoInPowerMode) { ExpectEveryCaptionFromTheTable(*this, true); }

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
